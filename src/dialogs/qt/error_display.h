#pragma once
// The error display: every exception that no command handled ends up here and
// is shown in a modal box, after which the program goes on.
#include <QEvent>

class QWidget;

#include <exception>
#include <functional>
#include <string>

namespace virevi {

/// A box of the error display, as it is about to be shown. Both kinds carry
/// the stop icon and one OK button.
struct TErrorBox {
    std::string Caption; ///< UTF-8
    std::string Text;    ///< UTF-8
};

/// Shows the box modally and returns once the user has dismissed it.
using TErrorBoxDisplay = std::function<void(const TErrorBox& box)>;

/// Shows `error`: nothing for EAbort; the program's own errors with their
/// message ("." appended by ErrorDisplayText) under the application title;
/// anything else in the "アプリケーション エラー" box. A widget holding the
/// mouse capture first gets CancelModeEvent() and loses the capture, so that
/// no drag goes on behind the box. An empty pointer shows nothing.
void ShowException(std::exception_ptr error);

/// Replaces how the boxes are shown (tests read them instead of answering a
/// real box) and returns the display it replaces. An empty function brings
/// back the platform's message box.
TErrorBoxDisplay SetErrorBoxDisplay(TErrorBoxDisplay display);

/// The event a widget receives when an error is shown while it holds the
/// mouse capture: it ends whatever mode the pressed button started.
QEvent::Type CancelModeEvent();

/// Who holds the mouse when no widget has grabbed it: the widget a still-held
/// button was pressed on, which only the application object sees. It tells
/// the error display here; empty functions mean that nobody tracks presses.
struct TPressTracker {
    std::function<QWidget*()> Pressed;
    std::function<void()> Forget;
};
void SetPressTracker(TPressTracker tracker);

} // namespace virevi
