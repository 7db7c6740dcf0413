#include "dialogs/qt/error_display.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <cstdlib>
#include <cxxabi.h>
#include <dlfcn.h>
#include <memory>
#include <typeinfo>

#include "dialogs/message_layout.h"
#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {
namespace {

void ShowPlatformBox(const TErrorBox& box) {
    // Whatever had the focus gets it back once the box is gone.
    const QPointer<QWidget> active = QApplication::activeWindow();
    const QPointer<QWidget> focus = QApplication::focusWidget();
    QMessageBox dialog(QMessageBox::Critical, QString::fromUtf8(box.Caption),
                       QString::fromUtf8(box.Text), QMessageBox::Ok);
    dialog.setObjectName(QStringLiteral("ErrorBox"));
    dialog.setTextFormat(Qt::PlainText);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
    if (active) {
        active->activateWindow();
    }
    if (focus) {
        focus->setFocus();
    }
}

TErrorBoxDisplay& Display() {
    static TErrorBoxDisplay display = ShowPlatformBox;
    return display;
}

std::string Hex(const void* address) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    auto value = reinterpret_cast<std::uintptr_t>(address);
    std::string text(2 * sizeof value, '0');
    for (auto it = text.rbegin(); it != text.rend(); ++it, value >>= 4) {
        *it = Digits[value & 0xF];
    }
    return text;
}

// The "%s" and "%p" of the application error's format, filled in one pass so
// that a "%s" inside a class or file name stays as it is.
std::string FormatApplicationError(const std::string& className, const std::string& module,
                                   const void* address) {
    const std::string arguments[] = {className, module, Hex(address), "", ""};
    const std::string_view pattern = msg::SApplicationErrorFormat;
    std::string text;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == 's' || pattern[i + 1] == 'p') && next < std::size(arguments)) {
            text += arguments[next++];
            ++i;
            continue;
        }
        text += pattern[i];
    }
    return text;
}

// A C++ exception carries no address of the code that threw it; the box names
// the module that defines the exception's type and where that type lives in it.
TErrorBox ApplicationErrorBox(const std::type_info* type) {
    std::string className = "?";
    std::string module = "?";
    if (type != nullptr) {
        int status = 0;
        const std::unique_ptr<char, decltype(&std::free)> demangled(
            abi::__cxa_demangle(type->name(), nullptr, nullptr, &status), &std::free);
        className = status == 0 && demangled ? demangled.get() : type->name();
        Dl_info info{};
        if (::dladdr(type, &info) != 0 && info.dli_fname != nullptr) {
            module = info.dli_fname;
        }
    }
    return {msg::SApplicationErrorCaption, FormatApplicationError(className, module, type)};
}

TPressTracker& PressTracker() {
    static TPressTracker tracker;
    return tracker;
}

void CancelMouseCapture() {
    const TPressTracker& tracker = PressTracker();
    QWidget* holder = QWidget::mouseGrabber();
    if (holder == nullptr && tracker.Pressed) {
        holder = tracker.Pressed();
    }
    if (holder == nullptr) {
        return;
    }
    // Released before the widget hears of it, so that a failure in its
    // handler cannot bring it back here.
    if (QWidget::mouseGrabber() == holder) {
        holder->releaseMouse();
    }
    if (tracker.Forget) {
        tracker.Forget();
    }
    QEvent cancel(CancelModeEvent());
    QCoreApplication::sendEvent(holder, &cancel);
}

} // namespace

void ShowException(std::exception_ptr error) {
    if (!error) {
        return;
    }
    CancelMouseCapture();
    TErrorBox box;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return;
    } catch (const Exception& known) {
        box = {msg::ApplicationTitle, ErrorDisplayText(known.Message())};
    } catch (...) {
        box = ApplicationErrorBox(abi::__cxa_current_exception_type());
    }
    const TErrorBoxDisplay& display = Display();
    display(box);
}

TErrorBoxDisplay SetErrorBoxDisplay(TErrorBoxDisplay display) {
    TErrorBoxDisplay previous = std::move(Display());
    Display() = display ? std::move(display) : TErrorBoxDisplay(ShowPlatformBox);
    return previous;
}

void SetPressTracker(TPressTracker tracker) {
    PressTracker() = std::move(tracker);
}

QEvent::Type CancelModeEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace virevi
