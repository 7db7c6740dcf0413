#pragma once
// The core's own buffers take their memory here, in one place, so that a test
// can make any one allocation fail and check that nothing is lost; and the
// program's error for memory that has run out.
#include <cstddef>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "runtime/errors.h"
#include "runtime/messages.h"

namespace virevi {

/// Called before each allocation with its size; returning true makes the
/// allocation fail as if memory had run out.
using TAllocationHook = std::function<bool(std::size_t bytes)>;

/// Installs (or, with an empty hook, removes) the allocation hook. Tests only.
void SetAllocationHook(TAllocationHook hook);

/// `bytes` bytes aligned for any scalar; raises std::bad_alloc when memory
/// runs out (or the hook says so). Zero bytes give a block of its own.
void* AllocateBytes(std::size_t bytes);
/// Cuts a block of AllocateBytes to `bytes` (not 0, nor more than it has),
/// mostly where it lies; the block returned replaces it. Raises nothing: when
/// the system cannot cut it, the block stays as it was.
void* ShrinkBytes(void* block, std::size_t bytes) noexcept;
/// Gives back a block of AllocateBytes; nothing for null.
void FreeBytes(void* block) noexcept;

/// Frees a block of AllocateBytes, for owning pointers.
struct TFreeBytes {
    void operator()(void* block) const noexcept { FreeBytes(block); }
};

/// A standard allocator over AllocateBytes.
template <typename T> struct TAllocator {
    using value_type = T;
    TAllocator() noexcept = default;
    template <typename U> TAllocator(const TAllocator<U>&) noexcept {}
    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(AllocateBytes(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t) noexcept { FreeBytes(block); }
    template <typename U> bool operator==(const TAllocator<U>&) const noexcept { return true; }
};

/// A vector whose memory comes from AllocateBytes.
template <typename T> using TVector = std::vector<T, TAllocator<T>>;

/// Runs `operation`; memory that runs out in it (std::bad_alloc, or a size
/// past what a container can hold) comes out as EOutOfMemory, the program's
/// own error, instead of an exception the user was never meant to see.
template <typename TOperation> decltype(auto) WithOutOfMemoryError(TOperation&& operation) {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(msg::SOutOfMemory);
    } catch (const std::length_error&) {
        throw EOutOfMemory(msg::SOutOfMemory);
    }
}

} // namespace virevi
