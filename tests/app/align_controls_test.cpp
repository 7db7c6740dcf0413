#include <gtest/gtest.h>

#include "app/align_controls.h"

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

TEST(AlignControlsTest, StripsGiveWayToTheClientControlsMinimum) {
    std::vector<TAlignedControl> panels = MainPanels();
    panels[0].MinWidth = 16;
    panels[0].MinHeight = 10;
    std::vector<TRect> bounds = AlignControls({0, 0, 160, 104}, panels);
    EXPECT_EQ(bounds[2], (TRect{0, 31, 144, 79}));
    EXPECT_EQ(bounds[0], (TRect{144, 31, 160, 79}));
    // Where even the minimum does not fit, the client control gets what there is.
    bounds = AlignControls({0, 0, 10, 60}, panels);
    EXPECT_EQ(bounds[1], (TRect{0, 0, 10, 31}));
    EXPECT_EQ(bounds[3], (TRect{0, 41, 10, 60}));
    EXPECT_EQ(bounds[2], (TRect{0, 31, 0, 41}));
    EXPECT_EQ(bounds[0], (TRect{0, 31, 10, 41}));
}

} // namespace
} // namespace virevi
