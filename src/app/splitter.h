#pragma once
// The border between the outline pane and the note pane. It is dragged by the
// outline pane's right frame, the only part of that pane not covered by the
// outline itself, so the pane sees the mouse only there.
#include <cstdint>
#include <optional>

#include "runtime/mouse.h"

namespace virevi {

enum class TSplitCursor : std::uint8_t { Unchanged, Default, HorizontalSplit };

struct TSplitMove {
    TSplitCursor Cursor = TSplitCursor::Unchanged;
    std::optional<std::int32_t> Width; ///< the pane's new width, when it changes
};

class TSplitter {
public:
    /// The pane's width at every start; it is never saved.
    static constexpr std::int32_t InitialWidth = 201;

    /// `dragging` is where the drag flag lives (the window's own field, which
    /// starting a new document clears); none: the splitter keeps its own.
    explicit TSplitter(bool* dragging = nullptr) : Dragging_(dragging ? dragging : &Own_) {}
    TSplitter(const TSplitter&) = delete;
    TSplitter& operator=(const TSplitter&) = delete;

    /// Set by a press on the grip, cleared by the next release the pane receives.
    bool Dragging() const { return *Dragging_; }

    /// X lies on the grip: the pane's rightmost 3 pixels (strictly past width - 4).
    static bool OnGrip(std::int32_t x, std::int32_t paneWidth) { return x > paneWidth - 4; }

    /// Whether an event over the pane reaches the handlers below: always while
    /// a left press holds the mouse, otherwise only over the pane's own frame.
    bool Receives(bool overFrame) const { return Captured_ || overFrame; }

    /// Any button starts a drag on the grip; only the left one holds the mouse.
    void MouseDown(TMouseButton button, std::int32_t x, std::int32_t paneWidth);
    /// Outside a drag: the cursor for X. During one: the new width, only for
    /// 10 < X < windowWidth - 20 (the window's outer width); otherwise nothing.
    TSplitMove MouseMove(std::int32_t x, std::int32_t paneWidth, std::int32_t windowWidth) const;
    /// Any button ends the drag.
    void MouseUp(TMouseButton button);
    /// The mouse was taken away (an error is being shown): the drag ends and
    /// the pane holds the mouse no longer.
    void CancelMode();

private:
    bool Own_ = false;
    bool* Dragging_;
    bool Captured_ = false;
};

} // namespace virevi
