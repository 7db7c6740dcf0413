#pragma once
// The message dialog: a small modal window built for one question, with an
// icon, the message and a row of buttons, laid out in dialog units of the
// message-box font.
#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/message_layout.h"

class QKeyEvent;
class QPushButton;

namespace virevi {

class TMessageForm : public QDialog {
    Q_OBJECT

public:
    /// Builds the dialog; `message` is UTF-8.
    TMessageForm(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
                 std::int32_t helpContext = 0, QWidget* parent = nullptr);

    /// Shows the dialog centred on the screen until a button with a result or
    /// the close box ends it: the button's result, 2 for the close box or
    /// when the application is ending.
    int ShowModal();

    /// The layout the dialog was built with.
    const TMessageLayout& Layout() const { return Layout_; }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Enter, Escape, the access letters and Ctrl+C; true when the key was one of them.
    bool DialogKey(QKeyEvent* event);
    void CopyToClipboard();
    QPushButton* ButtonOf(TMsgDlgBtn kind) const;

    std::string Caption_;
    std::string Message_;
    TMsgDlgButtons Buttons_;
    TMessageLayout Layout_;
    std::vector<QPushButton*> ButtonControls_; // in the order of Layout_.Buttons
};

/// Asks `message` in a TMessageForm and returns the result code of its answer.
int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
               std::int32_t helpContext = 0);

/// "セーブしますか ?" with yes, no and cancel: 6, 7, or 2 (also for the close box).
int AskToSave();

} // namespace virevi
