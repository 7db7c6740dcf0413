// Start-up: the application, the main window, the About box, the message loop.
// No command line is read (Qt takes its own platform options) and no settings
// are kept.
#include <QIcon>
#include <QScreen>

#include "app/application.h"
#include "app/main_window.h"
#include "dialogs/about_box.h"
#include "dialogs/window_placement.h"

int main(int argc, char* argv[]) {
    // 1-2. The application object, which also takes the title "virevi" before
    //      any window exists; an exception escaping any event is shown there
    //      by the error display and the loop goes on.
    virevi::TApplication app(argc, argv);
    virevi::TApplication::setWindowIcon(QIcon(QStringLiteral(":/mainicon.xpm")));

    // 3. The main window; its layout gives the note editor the focus for when
    //    the window first becomes active.
    virevi::TMain window;

    // 4. The About box, created hidden; About1Click shows it.
    virevi::TAboutBox aboutBox;
    window.ShowAbout = [&aboutBox] { aboutBox.ShowModal(); };

    // 5. Shown centred, then the message loop until the main window closes.
    virevi::CentreFrameIn(window, window.screen()->availableGeometry());
    window.show();
    return virevi::TApplication::exec();
}
