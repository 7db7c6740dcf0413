#include "app/splitter.h"

namespace virevi {

void TSplitter::MouseDown(TMouseButton button, std::int32_t x, std::int32_t paneWidth) {
    if (button == TMouseButton::mbLeft) {
        Captured_ = true;
    }
    if (OnGrip(x, paneWidth)) {
        *Dragging_ = true;
    }
}

TSplitMove TSplitter::MouseMove(std::int32_t x, std::int32_t paneWidth,
                                std::int32_t windowWidth) const {
    if (!*Dragging_) {
        return {OnGrip(x, paneWidth) ? TSplitCursor::HorizontalSplit : TSplitCursor::Default, {}};
    }
    if (x > 10 && x < windowWidth - 20) {
        return {TSplitCursor::Unchanged, x};
    }
    return {};
}

void TSplitter::MouseUp(TMouseButton button) {
    if (button == TMouseButton::mbLeft) {
        Captured_ = false;
    }
    *Dragging_ = false;
}

void TSplitter::CancelMode() {
    Captured_ = false;
    *Dragging_ = false;
}

} // namespace virevi
