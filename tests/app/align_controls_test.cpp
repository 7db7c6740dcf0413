#include <gtest/gtest.h>

#include "app/align_controls.h"
#include "app/main_menu.h"

namespace virevi {
namespace {

using enum TAlign;

// The main window's four panels as they are made, in their creation order.
std::vector<TAlignedControl> MainPanels() {
    return {{alClient, {201, 31, 620, 331}},
            {alTop, {0, 0, 620, 31}},
            {alLeft, {0, 31, 201, 331}},
            {alBottom, {0, 331, 620, 356}}};
}

TEST(AlignControlsTest, MainWindowClientArea) {
    const std::vector<TRect> bounds = AlignControls({0, 0, 620, 356}, MainPanels());
    EXPECT_EQ(bounds[0], (TRect{201, 31, 620, 331}));
    EXPECT_EQ(bounds[1], (TRect{0, 0, 620, 31}));
    EXPECT_EQ(bounds[2], (TRect{0, 31, 201, 331}));
    EXPECT_EQ(bounds[3], (TRect{0, 331, 620, 356}));
}

TEST(AlignControlsTest, ResizingGivesTheChangeToTheClientControl) {
    const std::vector<TRect> bounds = AlignControls({0, 0, 800, 500}, MainPanels());
    EXPECT_EQ(bounds[0], (TRect{201, 31, 800, 475}));
    EXPECT_EQ(bounds[2], (TRect{0, 31, 201, 475}));
    EXPECT_EQ(bounds[3], (TRect{0, 475, 800, 500}));
}

TEST(AlignControlsTest, TooSmallAClientCutsStripsToWhatIsLeft) {
    const std::vector<TRect> bounds = AlignControls({0, 0, 150, 40}, MainPanels());
    EXPECT_EQ(bounds[1], (TRect{0, 0, 150, 31}));
    EXPECT_EQ(bounds[3], (TRect{0, 31, 150, 40}));
    EXPECT_EQ(bounds[2], (TRect{0, 31, 150, 31}));
    EXPECT_EQ(bounds[0], (TRect{150, 31, 150, 31}));
}

TEST(AlignControlsTest, FramedPanelAndUnalignedControl) {
    // The status bar's two fields inside its one-pixel bevel, and a free label.
    const std::vector<TRect> bounds = AlignControls(
        {1, 1, 619, 24},
        {{alLeft, {1, 1, 401, 24}}, {alClient, {0, 0, 5, 5}}, {alNone, {7, 8, 9, 10}}});
    EXPECT_EQ(bounds[0], (TRect{1, 1, 401, 24}));
    EXPECT_EQ(bounds[1], (TRect{401, 1, 619, 24}));
    EXPECT_EQ(bounds[2], (TRect{7, 8, 9, 10}));
}

TEST(ShortCutTextTest, NamesOfTheKeys) {
    EXPECT_EQ(ShortCutText({'N', true}), "Ctrl+N");
    EXPECT_EQ(ShortCutText({vkDelete, true}), "Ctrl+Del");
    EXPECT_EQ(ShortCutText({vkPrior, false}), "PgUp");
    EXPECT_EQ(ShortCutText({vkNext, false}), "PgDn");
    EXPECT_EQ(ShortCutText({}), "");
}

} // namespace
} // namespace virevi
