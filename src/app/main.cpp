// Start-up: the application, the main window, the About box, the message loop.
// No command line is read (Qt takes its own platform options) and no settings
// are kept.
#include <QApplication>
#include <QIcon>
#include <QScreen>

#include "app/main_window.h"
#include "runtime/messages.h"

int main(int argc, char* argv[]) {
    // 1. The application object, with its icon.
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/mainicon.xpm")));

    // 2. The title, before any window exists.
    QApplication::setApplicationName(QString::fromUtf8(virevi::msg::ApplicationTitle));

    // 3. The main window; its layout gives the note editor the focus for when
    //    the window first becomes active.
    virevi::TMain window;

    // 4. The About box, created hidden, lives here once it exists.
    // ABOUT BOX: virevi::TAboutBox aboutBox; (shown by About1Click)

    // 5. Shown centred, then the message loop until the main window closes.
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();
    return QApplication::exec();
}
