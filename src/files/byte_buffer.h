#pragma once
// The bytes of a string list: a plain buffer whose room past the end is left
// as it is, so a file can be read straight into it and nothing is zeroed first.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "runtime/allocation.h"

namespace virevi {

class TByteBuffer {
public:
    TByteBuffer() = default;
    TByteBuffer(const TByteBuffer& other) { append(other.data(), other.size()); }
    TByteBuffer& operator=(const TByteBuffer& other) {
        if (this != &other) {
            TByteBuffer copy(other);
            swap(copy);
        }
        return *this;
    }
    TByteBuffer(TByteBuffer&& other) noexcept { swap(other); }
    TByteBuffer& operator=(TByteBuffer&& other) noexcept {
        TByteBuffer taken(std::move(other));
        swap(taken);
        return *this;
    }

    /// Never null, as with a string: an empty buffer points at no bytes of its own.
    char* data() { return Data_ ? Data_.get() : &Nothing_; }
    const char* data() const { return Data_ ? Data_.get() : &Nothing_; }
    std::size_t size() const { return Size_; }
    std::size_t capacity() const { return Capacity_; }
    bool empty() const { return Size_ == 0; }
    void clear() { Size_ = 0; }

    /// Room for `bytes` bytes in all; what is held stays, also when it raises.
    void reserve(std::size_t bytes) {
        if (bytes > Capacity_) {
            std::unique_ptr<char, TFreeBytes> grown(static_cast<char*>(AllocateBytes(bytes)));
            if (Size_ > 0) {
                std::memcpy(grown.get(), Data_.get(), Size_);
            }
            Data_ = std::move(grown);
            Capacity_ = bytes;
        }
    }
    /// Gives back the room past the end when it is more than an eighth of
    /// what is held.
    void ShrinkToFit() noexcept {
        if (Capacity_ - Size_ <= Size_ / 8 + 64) {
            return;
        }
        if (Size_ == 0) {
            Data_.reset();
            Capacity_ = 0;
            return;
        }
        Data_.reset(static_cast<char*>(ShrinkBytes(Data_.release(), Size_)));
        Capacity_ = Size_;
    }
    /// Cuts to `bytes`, or grows with zeros.
    void resize(std::size_t bytes) {
        if (bytes > Size_) {
            if (bytes > Capacity_) {
                reserve(std::max(bytes, Capacity_ + Capacity_ / 2));
            }
            std::memset(Data_.get() + Size_, 0, bytes - Size_);
        }
        Size_ = bytes;
    }
    /// Takes bytes already written into the room past the end; `bytes` <= capacity().
    void SetSize(std::size_t bytes) { Size_ = bytes; }

    void append(const char* bytes, std::size_t count) {
        if (count == 0) {
            return;
        }
        if (Size_ + count > Capacity_) {
            reserve(std::max(Size_ + count, Capacity_ + Capacity_ / 2));
        }
        std::memcpy(Data_.get() + Size_, bytes, count);
        Size_ += count;
    }
    void append(std::string_view bytes) { append(bytes.data(), bytes.size()); }

    void swap(TByteBuffer& other) noexcept {
        Data_.swap(other.Data_);
        std::swap(Size_, other.Size_);
        std::swap(Capacity_, other.Capacity_);
    }

private:
    std::unique_ptr<char, TFreeBytes> Data_;
    char Nothing_ = 0;
    std::size_t Size_ = 0;
    std::size_t Capacity_ = 0;
};

} // namespace virevi
