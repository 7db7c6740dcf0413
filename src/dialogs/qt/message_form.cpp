#include "dialogs/qt/message_form.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <exception>

#include "dialogs/qt/error_display.h"
#include "dialogs/qt/window_placement.h"
#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {
namespace {

constexpr int TextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs;
constexpr int IconSize = 32;

// One width per kind for the life of the process, whatever font comes later.
TButtonWidthCache& ButtonWidths() {
    static TButtonWidthCache cache;
    return cache;
}

// Draws the message exactly as it was measured, so that the wrapped lines
// fill the rectangle the dialog was sized for.
class TMessageLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), TextFlags, text());
    }
};

QStyle::StandardPixmap IconOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QStyle::SP_MessageBoxWarning;
    case TMsgDlgType::mtError:
        return QStyle::SP_MessageBoxCritical;
    case TMsgDlgType::mtInformation:
        return QStyle::SP_MessageBoxInformation;
    case TMsgDlgType::mtConfirmation:
    case TMsgDlgType::mtCustom:
        break;
    }
    return QStyle::SP_MessageBoxQuestion;
}

QRect ToQRect(const TRect& rect) {
    return QRect(rect.Left, rect.Top, rect.Width(), rect.Height());
}

QScreen* ScreenOf(const QWidget& widget) {
    QScreen* screen = widget.screen();
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

} // namespace

TMessageForm::TMessageForm(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
                           std::int32_t /*helpContext: no help system answers it*/, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Caption_(MsgDlgCaption(type)), Message_(message), Buttons_(buttons) {
    setObjectName(QStringLiteral("MessageForm"));
    setFont(QApplication::font("QMessageBox"));
    setWindowTitle(QString::fromUtf8(Caption_));
    setWindowModality(Qt::ApplicationModal);

    const QFontMetrics metrics(font());
    const QString text = QString::fromUtf8(message);
    const QRect wrapArea(0, 0, ScreenOf(*this)->geometry().width() / 2, 0);
    const QRect textRect =
        text.isEmpty() ? QRect() : metrics.boundingRect(wrapArea, TextFlags, text);
    TMessageMeasures measures;
    measures.AlphabetWidth = metrics.horizontalAdvance(QLatin1String(DialogUnitAlphabet));
    measures.CharHeight = metrics.height();
    measures.TextWidth = textRect.width();
    measures.TextHeight = textRect.height();
    Layout_ = LayoutMessageDialog(
        measures, type, buttons, ButtonWidths(), [&metrics](std::string_view caption) {
            return metrics.horizontalAdvance(
                QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
        });
    setFixedSize(Layout_.ClientWidth, Layout_.ClientHeight);

    if (Layout_.HasIcon) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(style()->standardIcon(IconOf(type)).pixmap(IconSize, IconSize));
        image->setGeometry(ToQRect(Layout_.Icon));
    }
    auto* label = new TMessageLabel(text, this);
    label->setObjectName(QStringLiteral("Message"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setGeometry(ToQRect(Layout_.Message));

    const TMsgDlgBtn defaultKind = DefaultButton(buttons);
    for (const TMessageButtonPlace& place : Layout_.Buttons) {
        const TMsgDlgButtonKind& kind = MsgDlgButtonKinds()[place.Kind];
        auto* button = new QPushButton(QString::fromUtf8(kind.Caption), this);
        button->setObjectName(QString::fromUtf8(kind.Name));
        button->setAutoDefault(true);
        button->setDefault(place.Kind == defaultKind);
        button->setGeometry(ToQRect(place.Bounds));
        button->installEventFilter(this);
        const int result = kind.Result;
        connect(button, &QPushButton::clicked, this, [this, result] {
            if (result != mrNone) {
                done(result);
            }
        });
        ButtonControls_.push_back(button);
    }
}

int TMessageForm::ShowModal() {
    CentreFrameIn(*this, ScreenOf(*this)->availableGeometry());
    // A dialog ended by the application quitting returns no result of its own.
    const int result = exec();
    return result == mrNone ? mrCancel : result;
}

void TMessageForm::reject() {
    done(mrCancel);
}

bool TMessageForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && DialogKey(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TMessageForm::keyPressEvent(QKeyEvent* event) {
    if (!DialogKey(event)) {
        QDialog::keyPressEvent(event);
    }
}

void TMessageForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!ButtonControls_.empty()) {
        ButtonControls_.front()->setFocus(Qt::ActiveWindowFocusReason);
    }
}

bool TMessageForm::DialogKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    // Enter and Escape are taken even with a modifier held, in which case
    // they do nothing: a button would otherwise click itself on Shift+Enter.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (modifiers == Qt::NoModifier) {
            QPushButton* target = nullptr;
            for (QPushButton* button : ButtonControls_) {
                if (button == focusWidget()) {
                    target = button;
                }
            }
            if (target == nullptr) {
                target = ButtonOf(DefaultButton(Buttons_));
            }
            if (target != nullptr) {
                target->click();
            }
        }
        return true;
    }
    if (key == Qt::Key_Escape) {
        if (modifiers == Qt::NoModifier) {
            if (QPushButton* cancel = ButtonOf(CancelButton(Buttons_))) {
                cancel->click();
            }
        }
        return true;
    }
    if (key == Qt::Key_C && modifiers == Qt::ControlModifier) {
        try {
            CopyToClipboard();
        } catch (...) {
            ShowException(std::current_exception());
        }
        return true;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z &&
        (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier)) {
        const char letter = static_cast<char>('A' + (key - Qt::Key_A));
        for (std::size_t i = 0; i < ButtonControls_.size(); ++i) {
            if (AccessLetter(MsgDlgButtonKinds()[Layout_.Buttons[i].Kind].Caption) == letter) {
                ButtonControls_[i]->click();
                return true;
            }
        }
    }
    return false;
}

void TMessageForm::CopyToClipboard() {
    QApplication::beep();
    const QString text = QString::fromUtf8(MessageClipboardText(Caption_, Message_, Buttons_));
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(text);
    // Qt reports no failure to take the clipboard: when the platform does not
    // hold our text right after, the clipboard could not be opened.
    if (clipboard->text() != text) {
        throw Exception(msg::SCannotOpenClipboard);
    }
}

QPushButton* TMessageForm::ButtonOf(TMsgDlgBtn kind) const {
    for (std::size_t i = 0; i < ButtonControls_.size(); ++i) {
        if (Layout_.Buttons[i].Kind == kind) {
            return ButtonControls_[i];
        }
    }
    return nullptr;
}

int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
               std::int32_t helpContext) {
    TMessageForm form(message, type, buttons, helpContext);
    return form.ShowModal();
}

int AskToSave() {
    return MessageDlg(msg::SavePrompt, TMsgDlgType::mtWarning,
                      MsgDlgButtons({mbYes, mbNo, mbCancel}));
}

} // namespace virevi
