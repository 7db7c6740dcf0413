#pragma once
// A grid or outline whose platform is a test: a client area of a given size,
// a focus that can be granted or refused, and a record of the scroll bars,
// the timer and the beeps.
#include <string>
#include <vector>

#include "outline/custom_grid.h"
#include "support/recording_canvas.h"

namespace virevi::test {

template <typename TBase> class THooked : public TBase {
public:
    TPoint Client{200, 160};
    TPoint Extent{17, 17};
    TPoint Pointer;
    bool HasFocus = false;
    bool GrantsFocus = true;
    bool TimerOn = false;
    int Beeps = 0;
    struct TBar {
        bool Visible = false;
        std::int32_t Max = 0;
        std::int32_t Position = 0;
    } Vert, Horz;
    std::vector<std::string> Scrolls;
    TRecordingCanvas Measure;

    using TBase::DrawCell;
    using TBase::UpdateScrollRange;

protected:
    void ScrollContents(std::int32_t dx, std::int32_t dy) override {
        Scrolls.push_back(std::to_string(dx) + "," + std::to_string(dy));
    }
    void SetScrollBar(TScrollBarKind kind, bool visible, std::int32_t max,
                      std::int32_t position) override {
        (kind == TScrollBarKind::sbVertical ? Vert : Horz) = {visible, max, position};
    }
    void StartTimer() override { TimerOn = true; }
    void KillTimer() override { TimerOn = false; }
    bool Focused() const override { return HasFocus; }
    void TakeFocus() override {
        if (GrantsFocus && !HasFocus) {
            HasFocus = true;
            this->FocusChanged(true);
        }
    }
    TPoint WindowClientSize() const override { return Client; }
    TPoint ScrollBarExtent() const override { return Extent; }
    TPoint CursorPos() const override { return Pointer; }
    TCanvas* MeasureCanvas() override { return &Measure; }
    void Beep() override { ++Beeps; }
};

} // namespace virevi::test
