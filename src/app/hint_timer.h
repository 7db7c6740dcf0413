#pragma once
// When the tool bar's hints show and hide. One timer serves both the wait
// before a hint shows and the time it stays; the ui only carries out steps.
#include <cstdint>

#include "runtime/canvas.h"

namespace virevi {

struct THintSettings {
    std::int32_t HintPause = 500;      ///< pointer at rest until a hint shows
    std::int32_t HintShortPause = 0;   ///< the same while another hint has just shown
    std::int32_t HintHidePause = 2500; ///< a shown hint hides after this
};

/// What to do after an event, in this order: hide, show, then the timer.
struct THintStep {
    static constexpr std::int32_t NoControl = -1;
    static constexpr std::int32_t StopTimer = -1;
    static constexpr std::int32_t KeepTimer = -2;
    bool Hide = false;
    std::int32_t Show = NoControl;  ///< the control whose hint shows now
    std::int32_t Timer = StopTimer; ///< restart the timer with this many ms, stop or keep it
    friend bool operator==(const THintStep&, const THintStep&) = default;
};

/// Controls are numbered by the caller; any number but NoControl will do.
class THintTimer {
public:
    explicit THintTimer(THintSettings settings = {}) : Settings_(settings) {}

    THintSettings& Settings() { return Settings_; }
    /// The control whose hint is up, or NoControl.
    std::int32_t Shown() const {
        return State_ == TState::Showing ? Control_ : THintStep::NoControl;
    }

    /// The pointer came onto a control with a hint. Straight from a control
    /// whose hint was showing, the new hint comes after the short pause. A
    /// repeated enter without a leave (windows re-send it when one above
    /// hides) changes nothing.
    THintStep Enter(std::int32_t control);
    /// The pointer left the control it was on.
    THintStep Leave();
    /// A key or mouse button was pressed: everything stops until the pointer
    /// enters a control again.
    THintStep Cancel();
    /// The pointer is over something without a hint: the same, and the next
    /// control entered waits the full pause.
    THintStep Away();
    THintStep Timeout();

private:
    enum class TState : std::uint8_t { Idle, Waiting, Showing, JustShown };
    THintStep StartWaiting(std::int32_t control, std::int32_t pause);

    THintSettings Settings_;
    TState State_ = TState::Idle;
    std::int32_t Control_ = THintStep::NoControl; ///< the one waited for or shown
    std::int32_t Over_ = THintStep::NoControl;    ///< the one under the pointer
};

/// The hint box for a text of the given size: the text 2 pixels in from every
/// edge, its top left corner below the pointer by the cursor's height, pushed
/// back inside `desktop` where it would cross an edge.
TRect HintBounds(TPoint pointer, std::int32_t cursorHeight, std::int32_t textWidth,
                 std::int32_t textHeight, const TRect& desktop);

} // namespace virevi
