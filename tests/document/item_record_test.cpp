#include "document/item_record.h"

#include <gtest/gtest.h>

#include "document/base_path.h"

namespace virevi {
namespace {

TEST(ItemRecordTest, EncodesLittleEndianWhateverTheHost) {
    const std::string bytes = EncodeItemRecords({{1, 2}, {-1, 0x01020304}});
    EXPECT_EQ(bytes, std::string("\x01\0\0\0\x02\0\0\0"
                                 "\xff\xff\xff\xff\x04\x03\x02\x01",
                                 16));
    EXPECT_EQ(DecodeItemRecord(bytes, 1).Start, -1);
    EXPECT_EQ(DecodeItemRecord(bytes, 1).Count, 0x01020304);
}

TEST(RecordStoreTest, ReusesReleasedRecordsAndCountsThoseInUse) {
    TRecordStore store;
    ItemRecord* first = store.New(3, 4);
    store.New(5, 6);
    store.Release(first);
    store.Release(nullptr);
    EXPECT_EQ(store.InUse(), 1u);
    ItemRecord* again = store.New(7, 8);
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->Start, 7);
    EXPECT_EQ(again->Count, 8);
    ItemRecord* block = store.NewBlock(3);
    EXPECT_EQ(block[2].Count, 0);
    EXPECT_EQ(store.InUse(), 5u);
    store.Clear();
    EXPECT_EQ(store.InUse(), 0u);
}

struct TBaseCase {
    const char* Name;
    const char* FileName;
    const char* Base;
};

class BasePathTest : public testing::TestWithParam<TBaseCase> {};

TEST_P(BasePathTest, DropsTheExtensionOfTheLastName) {
    EXPECT_EQ(BasePathOf(GetParam().FileName), GetParam().Base);
}

INSTANTIATE_TEST_SUITE_P(
    Names, BasePathTest,
    testing::Values(TBaseCase{"outline_extension", "notes/plan.Trr", "notes/plan"},
                    TBaseCase{"other_extension", "notes/plan.txt", "notes/plan"},
                    TBaseCase{"no_extension", "notes/plan", "notes/plan"},
                    TBaseCase{"last_dot_only", "notes/plan.2024.Trr", "notes/plan.2024"},
                    TBaseCase{"dot_in_folder", "my.notes/plan", "my.notes/plan"},
                    TBaseCase{"utf8_name", "メモ/計画.Trr", "メモ/計画"}),
    [](const testing::TestParamInfo<TBaseCase>& info) { return info.param.Name; });

} // namespace
} // namespace virevi
