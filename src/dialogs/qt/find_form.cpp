#include "dialogs/qt/find_form.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "dialogs/qt/window_placement.h"
#include "runtime/messages.h"
#include "runtime/qt/qt_shift_jis.h"

namespace virevi {
namespace {

constexpr QSize ClientSize{330, 72};
constexpr QRect FieldBounds{8, 10, 232, 21};
constexpr QRect MatchCaseBounds{8, 42, 232, 20};
constexpr QRect FindNextBounds{248, 8, 75, 25};
constexpr QRect CloseBounds{248, 40, 75, 25};

} // namespace

TFindForm::TFindForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      edFind(new QLineEdit(this)), cbMatchCase(new QCheckBox(this)),
      btFindNext(new QPushButton(this)), btClose(new QPushButton(this)) {
    setObjectName(QStringLiteral("FindForm"));
    setWindowTitle(QString::fromUtf8(msg::FindCaption));
    setModal(false);
    // The main window's font, so the dialog reads like the rest of the program.
    if (parent != nullptr) {
        setFont(parent->font());
    }
    setFixedSize(ClientSize);

    edFind->setObjectName(QStringLiteral("edFind"));
    edFind->setGeometry(FieldBounds);
    cbMatchCase->setObjectName(QStringLiteral("cbMatchCase"));
    cbMatchCase->setText(QString::fromUtf8(msg::FindMatchCase));
    cbMatchCase->setGeometry(MatchCaseBounds);
    btFindNext->setObjectName(QStringLiteral("btFindNext"));
    btFindNext->setText(QString::fromUtf8(msg::FindNextButton));
    btFindNext->setGeometry(FindNextBounds);
    btFindNext->setDefault(true);
    btClose->setObjectName(QStringLiteral("btClose"));
    btClose->setText(QString::fromUtf8(msg::FindCloseButton));
    btClose->setGeometry(CloseBounds);
    btClose->setAutoDefault(false);

    connect(btFindNext, &QPushButton::clicked, this, [this] { FindNextClick(); });
    // Escape rejects, which hides the dialog as the close button does.
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
}

void TFindForm::Open() {
    if (!isVisible()) {
        // Centred on the screen, frame and all, as the program's other dialogs.
        const QScreen* where = parentWidget() != nullptr ? parentWidget()->screen() : screen();
        CentreFrameIn(*this, where->geometry());
        show();
    }
    raise();
    activateWindow();
    edFind->selectAll();
    edFind->setFocus(Qt::OtherFocusReason);
}

std::string TFindForm::SearchText() const {
    return ToShiftJis(edFind->text());
}

bool TFindForm::MatchCase() const {
    return cbMatchCase->isChecked();
}

void TFindForm::SetSearch(const std::string& text, bool matchCase) {
    edFind->setText(FromShiftJis(text));
    cbMatchCase->setChecked(matchCase);
}

void TFindForm::FindNextClick() {
    const std::string text = SearchText();
    if (text.empty()) {
        return;
    }
    if (OnFindNext) {
        OnFindNext(text, MatchCase());
    }
}

} // namespace virevi
