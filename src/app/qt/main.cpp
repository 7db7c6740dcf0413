// Start-up: the application, the main window, the About box, the message loop.
// The command line may name a document to open (Qt takes its own platform
// options first); no settings are kept.
#include <QIcon>
#include <QScreen>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/qt/application.h"
#include "app/qt/main_window.h"
#include "dialogs/qt/about_box.h"
#include "dialogs/qt/window_placement.h"
#include "runtime/messages.h"

int main(int argc, char* argv[]) {
    // 1-2. The application object, which also takes the title "virevi" before
    //      any window exists; an exception escaping any event is shown there
    //      by the error display and the loop goes on.
    virevi::TApplication app(argc, argv);
    virevi::TApplication::setWindowIcon(QIcon(QStringLiteral(":/mainicon.xpm")));

    // What Qt left of the command line: nothing, or the document to start with.
    const virevi::TCommandLine commandLine =
        virevi::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (commandLine.Usage) {
        std::fputs(virevi::msg::Usage, stderr);
        return virevi::UsageStatus;
    }

    // 3. The main window; its layout gives the note editor the focus for when
    //    the window first becomes active.
    virevi::TMain window;

    // 4. The About box, created hidden; About1Click shows it.
    virevi::TAboutBox aboutBox;
    window.ShowAbout = [&aboutBox] { aboutBox.ShowModal(); };

    // 5. Shown centred, then the message loop until the main window closes.
    virevi::CentreFrameIn(window, window.screen()->availableGeometry());
    window.show();
    window.OpenAtStartUp(commandLine.FileName);
    return virevi::TApplication::exec();
}
