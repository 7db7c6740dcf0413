#pragma once
// Where each line of a string list starts in its bytes. The starts never
// decrease, so within a block of 4096 lines they are kept as 32-bit offsets
// from the block's first start: four bytes a line instead of eight, which is
// most of what a list of short lines costs. A block whose lines span 4 GB or
// more keeps full 64-bit starts instead.
#include <cstddef>
#include <cstdint>

#include "runtime/allocation.h"

namespace virevi {

class TLineStarts {
public:
    /// One start, 0: the start of the first line, or the end of none.
    TLineStarts();

    std::size_t size() const { return Low_.size(); }
    std::uint64_t operator[](std::size_t index) const {
        const std::uint64_t base = Bases_[index >> Shift];
        if ((base & Wide) != 0) [[unlikely]] {
            return Wide_[(base & ~Wide) + (index & Mask)];
        }
        return base + Low_[index];
    }
    std::uint64_t back() const { return (*this)[size() - 1]; }

    /// Adds a start no smaller than the last; raises std::bad_alloc and then
    /// changes nothing.
    void push_back(std::uint64_t start) {
        const std::size_t index = Low_.size();
        if ((index & Mask) != 0 && Low_.size() < Low_.capacity()) {
            const std::uint64_t base = Bases_.back();
            if ((base & Wide) == 0 && start - base <= UINT32_MAX) {
                Low_.push_back(static_cast<std::uint32_t>(start - base));
                return;
            }
        }
        PushSlow(start);
    }
    /// Room for `count` starts in all; raises std::bad_alloc and then changes nothing.
    void reserve(std::size_t count);
    std::size_t capacity() const { return Low_.capacity(); }
    /// Bytes held for the starts, room included.
    std::size_t Reserved() const {
        return Low_.capacity() * sizeof(std::uint32_t) +
               (Bases_.capacity() + Wide_.capacity()) * sizeof(std::uint64_t);
    }
    /// Keeps the first `count` (at least 1) starts.
    void Truncate(std::size_t count) noexcept;
    /// Back to the single start 0, keeping the room.
    void Reset() noexcept;
    /// Gives back room beyond the starts held; may raise std::bad_alloc.
    void ShrinkToFit();
    void swap(TLineStarts& other) noexcept;

private:
    static constexpr unsigned Shift = 12;
    static constexpr std::size_t Block = std::size_t{1} << Shift;
    static constexpr std::size_t Mask = Block - 1;
    static constexpr std::uint64_t Wide = std::uint64_t{1} << 63;

    void PushSlow(std::uint64_t start);

    TVector<std::uint32_t> Low_;   // one per start: its offset from its block's base
    TVector<std::uint64_t> Bases_; // one per block: its first start, or Wide + where in Wide_
    TVector<std::uint64_t> Wide_;  // the starts of wide blocks, Block for each
};

} // namespace virevi
