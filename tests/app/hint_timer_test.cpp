#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/hint_timer.h"

namespace virevi {
namespace {

constexpr std::int32_t None = THintStep::NoControl;
constexpr std::int32_t Stop = THintStep::StopTimer;

struct TEvent {
    enum { Enter, Leave, Cancel, Away, Timeout } Kind;
    std::int32_t Control = None;
};

struct THintCase {
    std::string Name;
    std::vector<TEvent> Before; ///< events whose steps are not checked
    TEvent Last;
    THintStep Expected;
    std::int32_t ShortPause = 0;
};

class HintTimerTest : public testing::TestWithParam<THintCase> {};

THintStep Feed(THintTimer& timer, const TEvent& event) {
    switch (event.Kind) {
    case TEvent::Enter:
        return timer.Enter(event.Control);
    case TEvent::Leave:
        return timer.Leave();
    case TEvent::Cancel:
        return timer.Cancel();
    case TEvent::Away:
        return timer.Away();
    case TEvent::Timeout:
        return timer.Timeout();
    }
    return {};
}

TEST_P(HintTimerTest, StepAfterEvents) {
    THintTimer timer(
        {.HintPause = 500, .HintShortPause = GetParam().ShortPause, .HintHidePause = 2500});
    for (const TEvent& event : GetParam().Before) {
        Feed(timer, event);
    }
    EXPECT_EQ(Feed(timer, GetParam().Last), GetParam().Expected);
}

constexpr TEvent Timeout{TEvent::Timeout};
constexpr TEvent Leave{TEvent::Leave};
constexpr TEvent Cancel{TEvent::Cancel};
constexpr TEvent Away{TEvent::Away};
constexpr std::int32_t Keep = THintStep::KeepTimer;
constexpr TEvent Enter(std::int32_t control) {
    return {TEvent::Enter, control};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HintTimerTest,
    testing::Values(
        THintCase{"entering_waits_the_pause", {}, Enter(2), {false, None, 500}},
        THintCase{"pause_over_shows_for_the_hide_pause", {Enter(2)}, Timeout, {false, 2, 2500}},
        THintCase{"hide_pause_over_hides", {Enter(2), Timeout}, Timeout, {true, None, Stop}},
        THintCase{"leaving_before_the_pause_shows_nothing",
                  {Enter(2), Leave},
                  Timeout,
                  {false, None, Stop}},
        THintCase{"leaving_hides", {Enter(2), Timeout}, Leave, {true, None, Stop}},
        THintCase{
            "next_button_shows_at_once", {Enter(2), Timeout, Leave}, Enter(3), {false, 3, 2500}},
        THintCase{"next_button_after_short_pause",
                  {Enter(2), Timeout, Leave},
                  Enter(3),
                  {false, None, 100},
                  100},
        THintCase{"after_empty_space_waits_again",
                  {Enter(2), Timeout, Leave, Away},
                  Enter(3),
                  {false, None, 500}},
        THintCase{"repeated_enter_while_shown_changes_nothing",
                  {Enter(2), Timeout},
                  Enter(2),
                  {false, None, Keep}},
        THintCase{"repeated_enter_after_time_out_shows_nothing",
                  {Enter(2), Timeout, Timeout},
                  Enter(2),
                  {false, None, Keep}},
        THintCase{"repeated_enter_after_a_key_shows_nothing",
                  {Enter(2), Cancel},
                  Enter(2),
                  {false, None, Keep}},
        THintCase{"key_or_press_hides", {Enter(2), Timeout}, Cancel, {true, None, Stop}},
        THintCase{"press_before_the_pause_shows_nothing",
                  {Enter(2), Cancel},
                  Timeout,
                  {false, None, Stop}}),
    [](const auto& info) { return info.param.Name; });

TEST(HintBoundsTest, BelowThePointerByTheCursorHeight) {
    EXPECT_EQ(HintBounds({100, 50}, 20, 40, 12, {0, 0, 1280, 1024}), (TRect{100, 70, 144, 86}));
}

TEST(HintBoundsTest, PushedBackInsideAtTheRightAndBottom) {
    EXPECT_EQ(HintBounds({1270, 1010}, 20, 40, 12, {0, 0, 1280, 1024}),
              (TRect{1236, 1008, 1280, 1024}));
}

} // namespace
} // namespace virevi
