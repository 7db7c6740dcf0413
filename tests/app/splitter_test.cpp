#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/splitter.h"

namespace virevi {
namespace {

// One pointer event on the outline pane, as the window delivers it: the pane
// sees it only if the splitter says so (captured, or over its frame).
struct TStep {
    enum { Down, Move, Up } Kind;
    TMouseButton Button;
    std::int32_t X;
    bool OverFrame;
};

struct TDragCase {
    std::string Name;
    std::vector<TStep> Steps;
    std::int32_t Width;
    bool Dragging;
};

constexpr std::int32_t WindowWidth = 628;

class SplitterDragTest : public testing::TestWithParam<TDragCase> {};

TEST_P(SplitterDragTest, EndsAtWidth) {
    TSplitter splitter;
    std::int32_t width = TSplitter::InitialWidth;
    for (const TStep& step : GetParam().Steps) {
        if (!splitter.Receives(step.OverFrame) && step.Kind != TStep::Down) {
            continue;
        }
        switch (step.Kind) {
        case TStep::Down:
            splitter.MouseDown(step.Button, step.X, width);
            break;
        case TStep::Move:
            if (auto changed = splitter.MouseMove(step.X, width, WindowWidth).Width) {
                width = *changed;
            }
            break;
        case TStep::Up:
            splitter.MouseUp(step.Button);
            break;
        }
    }
    EXPECT_EQ(width, GetParam().Width);
    EXPECT_EQ(splitter.Dragging(), GetParam().Dragging);
}

constexpr auto L = TMouseButton::mbLeft;
constexpr auto R = TMouseButton::mbRight;
constexpr auto M = TMouseButton::mbMiddle;

INSTANTIATE_TEST_SUITE_P(Cases, SplitterDragTest,
                         testing::Values(TDragCase{"drag_from_grip_to_300",
                                                   {{TStep::Down, L, 199, true},
                                                    {TStep::Move, L, 300, false},
                                                    {TStep::Up, L, 300, false}},
                                                   300,
                                                   false},
                                         TDragCase{"past_window_width_minus_20_keeps_last_width",
                                                   {{TStep::Down, L, 200, true},
                                                    {TStep::Move, L, 300, false},
                                                    {TStep::Move, L, WindowWidth - 20, false}},
                                                   300,
                                                   true},
                                         TDragCase{"to_5_keeps_last_width_above_10",
                                                   {{TStep::Down, L, 199, true},
                                                    {TStep::Move, L, 11, false},
                                                    {TStep::Move, L, 10, false},
                                                    {TStep::Move, L, 5, false}},
                                                   11,
                                                   true},
                                         TDragCase{"left_release_anywhere_ends_the_drag",
                                                   {{TStep::Down, L, 199, true},
                                                    {TStep::Up, L, 400, false},
                                                    {TStep::Move, L, 150, true}},
                                                   201,
                                                   false},
                                         TDragCase{"right_release_over_outline_keeps_dragging",
                                                   {{TStep::Down, R, 199, true},
                                                    {TStep::Up, R, 100, false},
                                                    {TStep::Move, R, 300, false},
                                                    {TStep::Move, R, 150, true}},
                                                   150,
                                                   true},
                                         TDragCase{"right_drag_ends_at_release_over_frame",
                                                   {{TStep::Down, R, 199, true},
                                                    {TStep::Up, R, 100, false},
                                                    {TStep::Move, R, 150, true},
                                                    {TStep::Up, M, 150, true},
                                                    {TStep::Move, R, 120, true}},
                                                   150,
                                                   false}),
                         [](const auto& info) { return info.param.Name; });

TEST(SplitterTest, ClearingTheWindowsFlagEndsAStickyDrag) {
    bool dragging = false;
    TSplitter splitter(&dragging);
    splitter.MouseDown(TMouseButton::mbRight, 199, 201);
    EXPECT_TRUE(dragging);
    dragging = false; // a new document
    EXPECT_FALSE(splitter.MouseMove(150, 201, WindowWidth).Width);
}

} // namespace
} // namespace virevi
