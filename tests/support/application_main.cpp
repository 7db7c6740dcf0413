// The main of the test programs that run under the program's own application
// object (a process can hold only one).
#include <gtest/gtest.h>

#include "app/qt/application.h"

int main(int argc, char** argv) {
    // Real widgets, no screen: the offscreen platform unless the caller chose one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The program's own application object: an error that escapes an event
    // handler reaches the error display, as it does for a user.
    virevi::TApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
