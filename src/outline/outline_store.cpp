#include "outline/outline_store.h"

#include <cstdlib>
#include <new>
#include <utility>

#include "runtime/allocation.h"

namespace virevi {

TOutlineStore::~TOutlineStore() {
    Clear();
}

void* TOutlineStore::AllocateSlow(std::size_t bytes) {
    const std::size_t rounded = Rounded(bytes == 0 ? 1 : bytes);
    if (rounded > LargestSmall) {
        void* memory = AllocateBytes(sizeof(TLargeBlock) + rounded);
        auto* block = new (memory) TLargeBlock{nullptr, Large_, rounded};
        if (Large_ != nullptr) {
            Large_->Previous = block;
        }
        Large_ = block;
        LargeBytes_ += rounded;
        return block + 1;
    }
    // The bump chunk is used up: the rest of it is too small to matter.
    if (NextChunk_ == Chunks_.size()) {
        Chunks_.reserve(Chunks_.size() + 1);
        char* chunk = static_cast<char*>(AllocateBytes(ChunkBytes));
        VIREVI_POISON(chunk, ChunkBytes);
        Chunks_.push_back(chunk);
    }
    Next_ = Chunks_[NextChunk_++];
    End_ = Next_ + ChunkBytes;
    char* block = Next_;
    Next_ += rounded;
    VIREVI_UNPOISON(block, rounded);
    return block;
}

void TOutlineStore::Release(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) {
        return;
    }
    const std::size_t rounded = Rounded(bytes == 0 ? 1 : bytes);
    if (rounded > LargestSmall) {
        TLargeBlock* large = static_cast<TLargeBlock*>(block) - 1;
        if (large->Previous != nullptr) {
            large->Previous->Next = large->Next;
        } else {
            Large_ = large->Next;
        }
        if (large->Next != nullptr) {
            large->Next->Previous = large->Previous;
        }
        LargeBytes_ -= large->Bytes;
        FreeBytes(large);
        return;
    }
    TFreeBlock*& head = Free_[rounded / Granule];
    head = new (block) TFreeBlock{head};
    VIREVI_POISON(block, rounded);
}

void TOutlineStore::FreeLarge() noexcept {
    while (Large_ != nullptr) {
        TLargeBlock* next = Large_->Next;
        FreeBytes(Large_);
        Large_ = next;
    }
    LargeBytes_ = 0;
}

void TOutlineStore::Recycle() noexcept {
    FreeLarge();
    for (char* chunk : Chunks_) {
        VIREVI_POISON(chunk, ChunkBytes);
    }
    Free_.fill(nullptr);
    NextChunk_ = 0;
    Next_ = nullptr;
    End_ = nullptr;
}

void TOutlineStore::Clear() noexcept {
    Recycle();
    for (char* chunk : Chunks_) {
        VIREVI_UNPOISON(chunk, ChunkBytes);
        FreeBytes(chunk);
    }
    Chunks_.clear();
    Chunks_.shrink_to_fit();
}

void TOutlineStore::Swap(TOutlineStore& other) noexcept {
    std::swap(Free_, other.Free_);
    std::swap(Chunks_, other.Chunks_);
    std::swap(NextChunk_, other.NextChunk_);
    std::swap(Next_, other.Next_);
    std::swap(End_, other.End_);
    std::swap(Large_, other.Large_);
    std::swap(LargeBytes_, other.LargeBytes_);
}

std::size_t TOutlineStore::Reserved() const {
    return Chunks_.size() * ChunkBytes + LargeBytes_;
}

} // namespace virevi
