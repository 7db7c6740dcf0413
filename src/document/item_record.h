#pragma once
// Where an item's note lies in the note pool, and the store that owns every
// such record of a document.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/allocation.h"

namespace virevi {

/// An item's note: lines Start … Start + Count - 1 of the note pool.
struct ItemRecord {
    std::int32_t Start = 0;
    std::int32_t Count = 0;
};

/// Bytes of one record in the `.Bin` file.
inline constexpr std::uint32_t ItemRecordBytes = 8;

/// The `.Bin` form of records: Start then Count of each, 32-bit
/// little-endian whatever the host.
std::string EncodeItemRecords(const std::vector<ItemRecord>& records);
/// Record `index` of `.Bin` bytes, which must hold it.
ItemRecord DecodeItemRecord(std::string_view bytes, std::size_t index);

/// Owns the records that the outline's items point at through Data. Records
/// are handed out from blocks and released ones are reused, so a million
/// items cost eight bytes each rather than a heap block each. Every
/// operation that raises (memory only) leaves the store as it was.
class TRecordStore {
public:
    TRecordStore() = default;
    TRecordStore(const TRecordStore&) = delete;
    TRecordStore& operator=(const TRecordStore&) = delete;

    /// A new record holding {start, count}; valid until released or Clear.
    ItemRecord* New(std::int32_t start, std::int32_t count);
    /// `count` new records in one block, in order; none for 0.
    ItemRecord* NewBlock(std::size_t count);
    /// Gives `record` back for reuse; nothing for a null record.
    void Release(ItemRecord* record) noexcept;
    /// Releases every record at once.
    void Clear() noexcept;
    /// Records handed out and not released.
    std::size_t InUse() const { return InUse_; }
    /// Exchanges the records of two stores.
    void Swap(TRecordStore& other) noexcept;

private:
    static constexpr std::size_t BlockSize = 4096;
    static_assert(sizeof(ItemRecord) >= sizeof(ItemRecord*),
                  "a released record holds the link to the next one");

    TVector<std::unique_ptr<ItemRecord, TFreeBytes>> Blocks_;
    std::size_t UsedInLast_ = 0; // records handed out from the last block
    std::size_t LastSize_ = 0;   // size of the last block
    ItemRecord* Free_ = nullptr; // released records, each linking to the next
    std::size_t InUse_ = 0;
};

} // namespace virevi
