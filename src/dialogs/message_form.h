#pragma once
// Stand-in for the message dialog until it is built: the same declarations,
// shown through the platform's message box.
#include <QMessageBox>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "runtime/messages.h"

namespace virevi {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TMsgDlgButtons = std::uint16_t;

constexpr TMsgDlgButtons MsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
    TMsgDlgButtons set = 0;
    for (TMsgDlgBtn button : buttons) {
        set = static_cast<TMsgDlgButtons>(set | (1u << button));
    }
    return set;
}

inline constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                     mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

/// Yes, No and Cancel only; the close box answers Cancel.
inline int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
                      std::int32_t helpContext = 0) {
    QMessageBox box(type == TMsgDlgType::mtWarning ? QMessageBox::Warning
                                                   : QMessageBox::Information,
                    QString::fromUtf8(msg::ApplicationTitle), QString::fromUtf8(message));
    QMessageBox::StandardButtons standard;
    if (buttons & (1u << mbYes)) {
        standard |= QMessageBox::Yes;
    }
    if (buttons & (1u << mbNo)) {
        standard |= QMessageBox::No;
    }
    if (buttons & (1u << mbCancel)) {
        standard |= QMessageBox::Cancel;
    }
    box.setStandardButtons(standard);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    default:
        return mrCancel;
    }
}

} // namespace virevi
