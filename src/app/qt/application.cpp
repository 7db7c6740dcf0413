#include "app/qt/application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMouseEvent>
#include <QWidget>

#include <exception>

#include "dialogs/qt/error_display.h"
#include "runtime/messages.h"

namespace virevi {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromUtf8(msg::ApplicationTitle));
    // The interface is Japanese by design, not by locale. Without Qt's
    // translations installed its own texts stay English, and nothing else
    // is lost.
    // Dates, sizes and file types in Qt's dialogs too.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    if (QtTexts_.load(QStringLiteral("qtbase_ja"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(&QtTexts_);
    }
    SetPressTracker({[this] { return MouseCapture(); }, [this] { ForgetMouseCapture(); }});
}

TApplication::~TApplication() {
    SetPressTracker({});
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    // The press reaches the widget under the pointer here before any parent
    // sees it, so this is the widget the platform's implicit grab belongs to.
    if (receiver->isWidgetType()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            Pressed_ = static_cast<QWidget*>(receiver);
        } else if (type == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
            Pressed_ = nullptr;
        }
    }
    std::exception_ptr error;
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        error = std::current_exception();
    }
    // Shown outside the handler, so that the failed event's unwinding is over
    // before the box's own event loop runs.
    try {
        ShowException(error);
    } catch (...) {
        // Nothing is left to show a failure of the error display with.
    }
    // The failed handler had the event; nothing else is to act on it.
    return true;
}

QWidget* TApplication::MouseCapture() const {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        return grabber;
    }
    return Pressed_.data();
}

void TApplication::ForgetMouseCapture() {
    Pressed_ = nullptr;
}

} // namespace virevi
