#include "document/item_record.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace virevi {

namespace {
void PutInt32(char* out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
}

std::int32_t GetInt32(const char* in) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}
} // namespace

std::string EncodeItemRecords(const std::vector<ItemRecord>& records) {
    std::string bytes(records.size() * ItemRecordBytes, '\0');
    for (std::size_t i = 0; i < records.size(); ++i) {
        PutInt32(bytes.data() + i * ItemRecordBytes, records[i].Start);
        PutInt32(bytes.data() + i * ItemRecordBytes + 4, records[i].Count);
    }
    return bytes;
}

ItemRecord DecodeItemRecord(std::string_view bytes, std::size_t index) {
    const char* at = bytes.data() + index * ItemRecordBytes;
    return ItemRecord{GetInt32(at), GetInt32(at + 4)};
}

namespace {
// A released record's bytes hold the next released record.
ItemRecord* NextFree(const ItemRecord* record) {
    ItemRecord* next;
    std::memcpy(&next, static_cast<const void*>(record), sizeof next);
    return next;
}

std::unique_ptr<ItemRecord, TFreeBytes> NewRecords(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(ItemRecord)) {
        throw std::bad_alloc();
    }
    auto* records = static_cast<ItemRecord*>(AllocateBytes(count * sizeof(ItemRecord)));
    std::uninitialized_value_construct_n(records, count);
    return std::unique_ptr<ItemRecord, TFreeBytes>(records);
}
} // namespace

ItemRecord* TRecordStore::New(std::int32_t start, std::int32_t count) {
    ItemRecord* record;
    if (Free_ != nullptr) {
        record = Free_;
        Free_ = NextFree(record);
    } else {
        if (Blocks_.empty() || UsedInLast_ == LastSize_) {
            // Room for the block's entry first, so a failure leaves nothing behind.
            Blocks_.reserve(Blocks_.size() + 1);
            Blocks_.push_back(NewRecords(BlockSize));
            LastSize_ = BlockSize;
            UsedInLast_ = 0;
        }
        record = Blocks_.back().get() + UsedInLast_++;
    }
    record->Start = start;
    record->Count = count;
    ++InUse_;
    return record;
}

ItemRecord* TRecordStore::NewBlock(std::size_t count) {
    if (count == 0) {
        return nullptr;
    }
    // A block of its own, placed before the last one so that the room left
    // in the last block stays usable by New.
    Blocks_.reserve(Blocks_.size() + 1);
    auto block = NewRecords(count);
    ItemRecord* records = block.get();
    if (Blocks_.empty()) {
        Blocks_.push_back(std::move(block));
        LastSize_ = count;
        UsedInLast_ = count;
    } else {
        Blocks_.insert(Blocks_.end() - 1, std::move(block));
    }
    InUse_ += count;
    return records;
}

void TRecordStore::Release(ItemRecord* record) noexcept {
    if (record == nullptr) {
        return;
    }
    std::memcpy(static_cast<void*>(record), &Free_, sizeof Free_);
    Free_ = record;
    --InUse_;
}

void TRecordStore::Clear() noexcept {
    Blocks_.clear();
    Free_ = nullptr;
    UsedInLast_ = 0;
    LastSize_ = 0;
    InUse_ = 0;
}

void TRecordStore::Swap(TRecordStore& other) noexcept {
    Blocks_.swap(other.Blocks_);
    std::swap(Free_, other.Free_);
    std::swap(UsedInLast_, other.UsedInLast_);
    std::swap(LastSize_, other.LastSize_);
    std::swap(InUse_, other.InUse_);
}

} // namespace virevi
