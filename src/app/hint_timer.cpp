#include "app/hint_timer.h"

#include <algorithm>

namespace virevi {

THintStep THintTimer::StartWaiting(std::int32_t control, std::int32_t pause) {
    Control_ = control;
    if (pause > 0) {
        State_ = TState::Waiting;
        return {.Hide = false, .Show = THintStep::NoControl, .Timer = pause};
    }
    State_ = TState::Showing;
    return {.Hide = false, .Show = control, .Timer = Settings_.HintHidePause};
}

THintStep THintTimer::Enter(std::int32_t control) {
    if (control == Over_) {
        return {.Hide = false, .Show = THintStep::NoControl, .Timer = THintStep::KeepTimer};
    }
    Over_ = control;
    switch (State_) {
    case TState::Showing: {
        THintStep step = StartWaiting(control, Settings_.HintShortPause);
        step.Hide = true;
        return step;
    }
    case TState::JustShown:
        return StartWaiting(control, Settings_.HintShortPause);
    case TState::Idle:
    case TState::Waiting:
        break;
    }
    return StartWaiting(control, Settings_.HintPause);
}

THintStep THintTimer::Leave() {
    Over_ = THintStep::NoControl;
    const bool wasShowing = State_ == TState::Showing;
    State_ = wasShowing ? TState::JustShown : TState::Idle;
    Control_ = THintStep::NoControl;
    return {.Hide = wasShowing};
}

THintStep THintTimer::Cancel() {
    const bool wasShowing = State_ == TState::Showing;
    State_ = TState::Idle;
    Control_ = THintStep::NoControl;
    return {.Hide = wasShowing};
}

THintStep THintTimer::Away() {
    Over_ = THintStep::NoControl;
    return Cancel();
}

THintStep THintTimer::Timeout() {
    switch (State_) {
    case TState::Waiting:
        State_ = TState::Showing;
        return {.Hide = false, .Show = Control_, .Timer = Settings_.HintHidePause};
    case TState::Showing:
        // The pointer is still on the control: its hint does not come back
        // until the pointer enters a control again.
        State_ = TState::Idle;
        return {.Hide = true};
    case TState::Idle:
    case TState::JustShown:
        break;
    }
    return {};
}

TRect HintBounds(TPoint pointer, std::int32_t cursorHeight, std::int32_t textWidth,
                 std::int32_t textHeight, const TRect& desktop) {
    const std::int32_t width = textWidth + 4;
    const std::int32_t height = textHeight + 4;
    std::int32_t left = pointer.X;
    std::int32_t top = pointer.Y + cursorHeight;
    left = std::max(std::min(left, desktop.Right - width), desktop.Left);
    top = std::max(std::min(top, desktop.Bottom - height), desktop.Top);
    return {left, top, left + width, top + height};
}

} // namespace virevi
