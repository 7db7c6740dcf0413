#include <gtest/gtest.h>

#include "app/main_window.h"

namespace virevi {
namespace {

TEST(MainWindowTest, UntitledWindowIsCaptionedNewFile) {
    TMain window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("NewFile"));
}

} // namespace
} // namespace virevi
