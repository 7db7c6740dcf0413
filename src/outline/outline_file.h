#pragma once
// Helpers of the outline text file that its readers share.
#include <cstddef>
#include <functional>

namespace virevi {

/// A byte source for TOutlineTree::LoadOutlineFrom that ends the data
/// right after the line that makes `items` + 1 items, so that reading a file
/// with more lines than its caller can use stops early and holds no more
/// than that many items. Every CR before the first 0x1A byte ends one line;
/// the data also ends after that 0x1A byte.
class TOutlineItemLimit {
public:
    using TRead = std::function<std::size_t(char* buffer, std::size_t count)>;
    TOutlineItemLimit(TRead read, std::size_t items) : Read_(std::move(read)), Left_(items) {}

    /// Up to `count` bytes of the source; 0 once the data has ended.
    std::size_t operator()(char* buffer, std::size_t count);

private:
    TRead Read_;
    std::size_t Left_; // lines that may still end before the one that passes the limit
    bool Ended_ = false;
};

} // namespace virevi
