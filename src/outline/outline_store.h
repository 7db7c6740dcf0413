#pragma once
// The memory of one outline's items: their nodes, captions and child lists
// come from a few large chunks instead of one heap block each, so a million
// items cost no more than their bytes and a whole tree goes at once.
#include <array>
#include <cstddef>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VIREVI_STORE_POISONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VIREVI_STORE_POISONS 1
#endif
#endif
#if defined(VIREVI_STORE_POISONS)
#include <sanitizer/asan_interface.h>
// Under the address sanitizer, memory that no item holds is marked unusable,
// so reaching a released item is reported as it would be for the heap.
#define VIREVI_POISON(start, bytes) ASAN_POISON_MEMORY_REGION(start, bytes)
#define VIREVI_UNPOISON(start, bytes) ASAN_UNPOISON_MEMORY_REGION(start, bytes)
#else
#define VIREVI_POISON(start, bytes) ((void)(start), (void)(bytes))
#define VIREVI_UNPOISON(start, bytes) ((void)(start), (void)(bytes))
#endif

namespace virevi {

class TOutlineStore {
public:
    TOutlineStore() = default;
    ~TOutlineStore();
    TOutlineStore(const TOutlineStore&) = delete;
    TOutlineStore& operator=(const TOutlineStore&) = delete;

    /// A block of at least `bytes` bytes, aligned for pointers; raises
    /// std::bad_alloc when memory runs out.
    void* Allocate(std::size_t bytes) {
        const std::size_t rounded = Rounded(bytes);
        if (rounded - 1 < LargestSmall) { // 0 goes the slow way
            TFreeBlock*& head = Free_[rounded / Granule];
            if (head != nullptr) {
                TFreeBlock* block = head;
                VIREVI_UNPOISON(block, rounded);
                head = block->Next;
                return block;
            }
            if (static_cast<std::size_t>(End_ - Next_) >= rounded) {
                char* block = Next_;
                Next_ += rounded;
                VIREVI_UNPOISON(block, rounded);
                return block;
            }
        }
        return AllocateSlow(bytes);
    }
    /// Gives back a block from Allocate of the same `bytes`, for reuse.
    void Release(void* block, std::size_t bytes) noexcept;
    /// Gives every block back and returns the memory to the system.
    void Clear() noexcept;
    /// Gives every block back at once but keeps the chunks for what is
    /// allocated next, as when a tree is replaced by one of a like size.
    void Recycle() noexcept;
    void Swap(TOutlineStore& other) noexcept;

    /// Bytes held from the system, blocks in use or not.
    std::size_t Reserved() const;

private:
    static constexpr std::size_t Granule = alignof(void*);
    static constexpr std::size_t LargestSmall = 512;
    static constexpr std::size_t ChunkBytes = std::size_t{256} * 1024;

    struct TFreeBlock {
        TFreeBlock* Next;
    };
    // Blocks above LargestSmall come from the heap, linked so Clear finds them.
    struct alignas(16) TLargeBlock {
        TLargeBlock* Previous;
        TLargeBlock* Next;
        std::size_t Bytes;
    };

    static std::size_t Rounded(std::size_t bytes) { return (bytes + Granule - 1) & ~(Granule - 1); }
    void* AllocateSlow(std::size_t bytes);
    void FreeLarge() noexcept;

    std::array<TFreeBlock*, LargestSmall / Granule + 1> Free_{};
    std::vector<char*> Chunks_;
    std::size_t NextChunk_ = 0; // first chunk not yet bumped from
    char* Next_ = nullptr;
    char* End_ = nullptr;
    TLargeBlock* Large_ = nullptr;
    std::size_t LargeBytes_ = 0;
};

} // namespace virevi
