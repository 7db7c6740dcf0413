#pragma once
// A count of widths that answers "the largest" at once and takes and gives
// back single widths in constant time (most of the time), so the column
// width follows the rows without measuring them all again.
#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace virevi {

class TWidthTally {
public:
    void Clear() {
        Small_.clear();
        Large_.clear();
        Max_ = -1;
    }
    void Add(std::int32_t width) {
        width = std::max(width, 0);
        if (width < SmallLimit) {
            if (static_cast<std::size_t>(width) >= Small_.size()) {
                Small_.resize(static_cast<std::size_t>(width) + 1);
            }
            ++Small_[static_cast<std::size_t>(width)];
        } else {
            ++Large_[width];
        }
        Max_ = std::max(Max_, width);
    }
    void Remove(std::int32_t width) {
        width = std::max(width, 0);
        if (width < SmallLimit) {
            if (static_cast<std::size_t>(width) >= Small_.size() || Small_[width] == 0) {
                return;
            }
            --Small_[static_cast<std::size_t>(width)];
        } else {
            const auto found = Large_.find(width);
            if (found == Large_.end()) {
                return;
            }
            if (--found->second == 0) {
                Large_.erase(found);
            }
        }
        if (width == Max_) {
            FindMax();
        }
    }
    /// -1 when empty.
    std::int32_t Max() const { return Max_; }

private:
    static constexpr std::int32_t SmallLimit = 1 << 16;

    void FindMax() {
        if (!Large_.empty()) {
            Max_ = Large_.rbegin()->first;
            return;
        }
        std::int32_t width =
            std::min<std::int32_t>(Max_, static_cast<std::int32_t>(Small_.size()) - 1);
        while (width >= 0 && Small_[static_cast<std::size_t>(width)] == 0) {
            --width;
        }
        Max_ = width;
    }

    std::vector<std::int32_t> Small_;
    std::map<std::int32_t, std::int32_t> Large_;
    std::int32_t Max_ = -1;
};

} // namespace virevi
