#include "files/line_starts.h"

#include <algorithm>

namespace virevi {

TLineStarts::TLineStarts() : Low_(1, 0), Bases_(1, 0) {}

void TLineStarts::PushSlow(std::uint64_t start) {
    const std::size_t index = Low_.size();
    const bool newBlock = (index & Mask) == 0;
    const std::uint64_t base = newBlock ? start : Bases_.back();
    const bool wide = !newBlock && (base & Wide) != 0;
    const bool widen = !newBlock && !wide && start - base > UINT32_MAX;
    // All the room first, so that a failure changes nothing.
    if (Low_.size() == Low_.capacity()) {
        Low_.reserve(std::max<std::size_t>(Low_.capacity() * 2, 16));
    }
    if (newBlock && Bases_.size() == Bases_.capacity()) {
        Bases_.reserve(Bases_.capacity() * 2 + 1);
    }
    if (widen) {
        Wide_.reserve(Wide_.size() + Block);
    }
    if (newBlock) {
        Bases_.push_back(start);
    } else if (widen) {
        // The block's starts so far move to full width.
        const std::size_t first = index & ~Mask;
        const std::size_t at = Wide_.size();
        for (std::size_t i = first; i < index; ++i) {
            Wide_.push_back(base + Low_[i]);
        }
        Bases_.back() = Wide | at;
    }
    if ((Bases_.back() & Wide) != 0) {
        Wide_.push_back(start);
        Low_.push_back(0);
        return;
    }
    Low_.push_back(static_cast<std::uint32_t>(start - Bases_.back()));
}

void TLineStarts::reserve(std::size_t count) {
    Low_.reserve(count);
    Bases_.reserve((count + Mask) >> Shift);
}

void TLineStarts::Truncate(std::size_t count) noexcept {
    if (count == 0 || count >= Low_.size()) {
        return;
    }
    Low_.resize(count);
    Bases_.resize((count + Mask) >> Shift);
    // A wide last block keeps its starts at the end of Wide_, where the next
    // ones go; those of wide blocks dropped here are simply left behind.
    const std::uint64_t base = Bases_.back();
    if ((base & Wide) != 0) {
        Wide_.resize((base & ~Wide) + (((count - 1) & Mask) + 1));
    }
}

void TLineStarts::Reset() noexcept {
    Low_.resize(1);
    Low_[0] = 0;
    Bases_.resize(1);
    Bases_[0] = 0;
    Wide_.clear();
}

void TLineStarts::ShrinkToFit() {
    Low_.shrink_to_fit();
    Bases_.shrink_to_fit();
    Wide_.shrink_to_fit();
}

void TLineStarts::swap(TLineStarts& other) noexcept {
    Low_.swap(other.Low_);
    Bases_.swap(other.Bases_);
    Wide_.swap(other.Wide_);
}

} // namespace virevi
