#include "app/qt/main_layout.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

#include <exception>

#include "app/main_menu.h"
#include "app/qt/hint_controller.h"
#include "app/qt/panel.h"
#include "app/qt/speed_button.h"
#include "dialogs/qt/error_display.h"
#include "editor/qt/memo.h"
#include "runtime/qt/qt_color.h"
#include "runtime/qt/qt_mouse.h"

// The pictures live in this static library; naming their initialiser keeps the
// linker from dropping them.
static void InitResources() {
    Q_INIT_RESOURCE(virevi);
}

namespace virevi {

namespace {

constexpr int ClientWidth = 620;
constexpr int ClientHeight = 356;
// The smallest client area: the tool bar and the status bar whole, two rows
// of the outline, and room for both panes side by side.
constexpr int MinClientWidth = 160;
constexpr int MinClientHeight = 31 + 25 + 48;
// What the note pane keeps of a narrow window: its frame and a little of the
// editor, and less than the splitter leaves it at its widest drag.
constexpr int MinMemoWidth = 16;

QKeySequence ToKeySequence(TShortCut shortCut) {
    Qt::Key key = static_cast<Qt::Key>(shortCut.Key); // letters are the same in both
    switch (shortCut.Key) {
    case vkDelete:
        key = Qt::Key_Delete;
        break;
    case vkPrior:
        key = Qt::Key_PageUp;
        break;
    case vkNext:
        key = Qt::Key_PageDown;
        break;
    case vkF3:
        key = Qt::Key_F3;
        break;
    default:
        break;
    }
    return QKeySequence(QKeyCombination(shortCut.Ctrl ? Qt::ControlModifier : Qt::NoModifier, key));
}

QCursor LoadSplitCursor() {
    const QPixmap pixmap(QStringLiteral(":/hsplit.xpm"));
    return QCursor(pixmap, 16, 14);
}

QPalette WithColor(QPalette palette, QPalette::ColorRole role, TColor color) {
    palette.setColor(role, ToQColor(color));
    return palette;
}

} // namespace

TMainLayout::TMainLayout(QMainWindow& window, QWidget& olTree, QWidget& moNote, QLabel& lbIndex,
                         TRunCommand run, bool* dragging)
    : QObject(&window), Window_(window), Run_(std::move(run)), Splitter_(dragging),
      Hints_(new THintController(this)) {
    InitResources();
    SplitCursor_ = LoadSplitCursor();

    // "System" at 13 pixels; sizes are pixels as they stand, never scaled.
    QFont font = QApplication::font();
    font.setPixelSize(13);
    Window_.setFont(font);
    // The window's own cream shows nowhere: the client area is all panels.

    BuildMenu();
    BuildPanels(olTree, moNote, lbIndex);
    BuildToolBar();

    Window_.resize(ClientWidth, ClientHeight + dlMainMenu->sizeHint().height());
    QWidget::setTabOrder(&moNote, &olTree);
    moNote.setFocus();
    qApp->installEventFilter(this);
}

TMainLayout::~TMainLayout() = default;

void TMainLayout::BuildPanels(QWidget& olTree, QWidget& moNote, QLabel& lbIndex) {
    using enum TBevelCut;
    ClientArea = new TPanel(QStringLiteral("ClientArea"));
    ClientArea->SetBevels(bvNone, bvNone, 0);
    ClientArea->SetColor(clCream);
    Window_.setCentralWidget(ClientArea);
    ClientArea->setMinimumSize(MinClientWidth, MinClientHeight);
    ClientArea->resize(ClientWidth, ClientHeight);

    pnSpeed = new TPanel(QStringLiteral("pnSpeed"));
    pnSpeed->SetBevels(bvRaised, bvNone, 2);
    pnSpeed->SetColor(clMoneyGreen);
    pnStatus = new TPanel(QStringLiteral("pnStatus"));
    pnStatus->SetBevels(bvRaised, bvNone, 1);
    pnOutline = new TPanel(QStringLiteral("pnOutline"));
    pnOutline->SetBevels(bvRaised, bvLowered, 2);
    pnOutline->setMouseTracking(true);
    pnMemo = new TPanel(QStringLiteral("pnMemo"));
    pnMemo->SetBevels(bvRaised, bvLowered, 2);
    // Created in tab order: the note pane first, so the editor is the first to take the focus.
    ClientArea->InsertControl(*pnMemo, TAlign::alClient, {201, 31, 419, 300}, {MinMemoWidth, 0});
    ClientArea->InsertControl(*pnSpeed, TAlign::alTop, {0, 0, 620, 31});
    ClientArea->InsertControl(*pnOutline, TAlign::alLeft, {0, 31, TSplitter::InitialWidth, 300});
    ClientArea->InsertControl(*pnStatus, TAlign::alBottom, {0, 331, 620, 25});

    pnOutline->InsertControl(olTree, TAlign::alClient, {4, 4, 193, 292});
    pnMemo->InsertControl(moNote, TAlign::alClient, {4, 4, 411, 292});

    pnStLeft = new TPanel(QStringLiteral("pnStLeft"));
    pnStLeft->SetBevels(bvRaised, bvNone, 2);
    pnStRight = new TPanel(QStringLiteral("pnStRight"));
    pnStRight->SetBevels(bvRaised, bvNone, 2);
    pnStatus->InsertControl(*pnStLeft, TAlign::alLeft, {1, 1, 400, 23});
    pnStatus->InsertControl(*pnStRight, TAlign::alClient, {401, 1, 218, 23});

    pnIndex = new TPanel(QStringLiteral("pnIndex"));
    pnIndex->SetBevels(bvRaised, bvLowered, 1);
    pnSpeed->InsertControl(*pnIndex, TAlign::alNone, {400, 6, 90, 19});
    lbIndex.setAlignment(Qt::AlignCenter);
    lbIndex.setAutoFillBackground(true);
    QPalette labelColors = WithColor(lbIndex.palette(), QPalette::Window, clGradientActiveCaption);
    labelColors.setColor(QPalette::WindowText, ToQColor(clBlack));
    lbIndex.setPalette(labelColors);
    lbIndex.setFont(TMemo::NoteFont());
    pnIndex->InsertControl(lbIndex, TAlign::alClient, {2, 2, 86, 15});
}

void TMainLayout::BuildMenu() {
    dlMainMenu = new QMenuBar;
    dlMainMenu->setObjectName(QStringLiteral("dlMainMenu"));
    // The menu belongs in the window, also on desktops that gather menus elsewhere.
    dlMainMenu->setNativeMenuBar(false);
    for (const TMenuInfo& info : MainMenu()) {
        QMenu* menu = dlMainMenu->addMenu(QString::fromUtf8(info.Caption));
        menu->setObjectName(QString::fromUtf8(info.Name));
        for (const TMenuItemInfo& item : info.Items) {
            if (item.IsSeparator()) {
                menu->addSeparator()->setObjectName(QString::fromUtf8(item.Name));
                continue;
            }
            QString caption = QString::fromUtf8(item.Caption);
            const std::string keyText = ShortCutText(item.ShortCut);
            // Given with the caption, the key's text is shown as it stands
            // ("PgDn", where Qt would write "PgDown").
            if (!keyText.empty()) {
                caption += QLatin1Char('\t') + QString::fromUtf8(keyText);
            }
            QAction* action = menu->addAction(caption);
            action->setObjectName(QString::fromUtf8(item.Name));
            if (item.ShortCut.Key != 0) {
                action->setShortcut(ToKeySequence(item.ShortCut));
            }
            const TCommand command = item.Command;
            connect(action, &QAction::triggered, this, [this, command] { Run(command); });
        }
    }
    Window_.setMenuBar(dlMainMenu);
}

void TMainLayout::BuildToolBar() {
    for (const TToolButtonInfo& info : ToolButtons()) {
        const QString name = QString::fromUtf8(info.Name);
        auto* button = new TSpeedButton(name);
        button->SetGlyph(QImage(QStringLiteral(":/%1.xpm").arg(name)));
        pnSpeed->InsertControl(*button, TAlign::alNone,
                               {info.Left, ToolButtonTop, info.Width, ToolButtonHeight});
        Hints_->AddControl(*button, QString::fromUtf8(info.Hint));
        if (info.Command != TCommand::None) {
            const TCommand command = info.Command;
            connect(button, &QAbstractButton::clicked, this, [this, command] { Run(command); });
        }
        Buttons.push_back(button);
    }
}

void TMainLayout::Run(TCommand command) {
    if (command == TCommand::None || !Run_) {
        return;
    }
    try {
        Run_(command);
    } catch (...) {
        // Qt's frames between here and the application object are not built
        // to be unwound; the error travels there in a queued call of its own.
        QMetaObject::invokeMethod(
            qApp, [error = std::current_exception()] { std::rethrow_exception(error); },
            Qt::QueuedConnection);
    }
}

bool TMainLayout::OverOutlineFrame(const QPoint& position) const {
    return pnOutline->rect().contains(position) && pnOutline->childAt(position) == nullptr;
}

void TMainLayout::pnOutlineMouseDown(TMouseButton button, int x, int) {
    Splitter_.MouseDown(button, x, pnOutline->width());
}

void TMainLayout::pnOutlineMouseMove(int x, int) {
    const TSplitMove move =
        Splitter_.MouseMove(x, pnOutline->width(), Window_.frameGeometry().width());
    if (move.Cursor == TSplitCursor::HorizontalSplit) {
        pnOutline->setCursor(SplitCursor_);
    } else if (move.Cursor == TSplitCursor::Default) {
        pnOutline->unsetCursor();
    }
    if (move.Width) {
        ClientArea->SetControlWidth(*pnOutline, *move.Width);
    }
}

void TMainLayout::pnOutlineMouseUp(TMouseButton button, int, int) {
    Splitter_.MouseUp(button);
}

bool TMainLayout::IsShortCutOfWindow(QObject* focus, QEvent* event) const {
    if (!focus->isWidgetType() || static_cast<QWidget*>(focus)->window() != &Window_) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(
        QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
    for (const QAction* action : dlMainMenu->findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
            return true;
        }
    }
    return false;
}

bool TMainLayout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        if (IsShortCutOfWindow(watched, event)) {
            // Refusing the override lets the key reach the menu's short-cut.
            event->ignore();
            return true;
        }
        return false;
    }
    if (watched != pnOutline) {
        return false;
    }
    if (event->type() == CancelModeEvent()) {
        Splitter_.CancelMode();
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A press the outline passed on to its parent is not one on the frame.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        const auto button = ToMouseButton(mouse->button());
        if (button && OverOutlineFrame(at)) {
            pnOutlineMouseDown(*button, at.x(), at.y());
        }
        break;
    }
    case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (Splitter_.Receives(OverOutlineFrame(at))) {
            pnOutlineMouseMove(at.x(), at.y());
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        const auto button = ToMouseButton(mouse->button());
        if (button && Splitter_.Receives(OverOutlineFrame(at))) {
            pnOutlineMouseUp(*button, at.x(), at.y());
        }
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace virevi
