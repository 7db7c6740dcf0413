#include "outline/outline_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <vector>

namespace virevi {
namespace {

struct TBlock {
    unsigned char* Bytes;
    std::size_t Size;
    unsigned char Fill;
};

bool Intact(const TBlock& block) {
    for (std::size_t i = 0; i < block.Size; ++i) {
        if (block.Bytes[i] != block.Fill) {
            return false;
        }
    }
    return true;
}

TEST(OutlineStore, BlocksNeverOverlapAndKeepTheirBytesThroughReuse) {
    // Random sizes on both sides of the small-block limit, released in random
    // order; every live block must keep what was written into it.
    TOutlineStore store;
    std::mt19937 random(7);
    std::vector<TBlock> live;
    for (int step = 0; step < 20000; ++step) {
        if (!live.empty() && random() % 3 == 0) {
            const std::size_t at = random() % live.size();
            ASSERT_TRUE(Intact(live[at])) << step;
            store.Release(live[at].Bytes, live[at].Size);
            live[at] = live.back();
            live.pop_back();
            continue;
        }
        const std::size_t size = random() % 8 == 0 ? 1 + random() % 3000 : 1 + random() % 120;
        auto* bytes = static_cast<unsigned char*>(store.Allocate(size));
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % alignof(void*), 0u);
        const auto fill = static_cast<unsigned char>(random());
        std::memset(bytes, fill, size);
        live.push_back({bytes, size, fill});
    }
    for (const TBlock& block : live) {
        EXPECT_TRUE(Intact(block));
    }
}

TEST(OutlineStore, ReleasedBlockIsReusedForTheSameSize) {
    TOutlineStore store;
    void* first = store.Allocate(48);
    void* second = store.Allocate(48);
    store.Release(first, 48);
    EXPECT_EQ(store.Allocate(44), first); // rounds to the same size
    EXPECT_NE(store.Allocate(48), second);
}

TEST(OutlineStore, RecycleKeepsTheChunksAndClearGivesEverythingBack) {
    TOutlineStore store;
    void* first = store.Allocate(64);
    for (int i = 0; i < 100000; ++i) {
        store.Allocate(64);
    }
    store.Allocate(100000); // a large block
    const std::size_t reserved = store.Reserved();
    EXPECT_GE(reserved, 6400000u + 100000u);
    store.Recycle();
    EXPECT_EQ(store.Reserved(), reserved - 100000);
    EXPECT_EQ(store.Allocate(64), first);
    store.Clear();
    EXPECT_EQ(store.Reserved(), 0u);
}

TEST(OutlineStore, SwapExchangesEverything) {
    TOutlineStore a;
    TOutlineStore b;
    void* small = a.Allocate(16);
    void* large = a.Allocate(5000);
    a.Release(small, 16);
    a.Swap(b);
    EXPECT_EQ(a.Reserved(), 0u);
    EXPECT_EQ(b.Allocate(16), small);
    b.Release(large, 5000); // the large block is b's now
}

#if defined(VIREVI_STORE_POISONS)
TEST(OutlineStoreDeathTest, ReachingAReleasedItemIsReported) {
    // Without this the sanitizer could not see an item used after its release.
    TOutlineStore store;
    auto* block = static_cast<volatile char*>(store.Allocate(48));
    block[40] = 1;
    store.Release(const_cast<char*>(block), 48);
    EXPECT_DEATH(block[40] = 2, "use-after-poison");
}
#endif

} // namespace
} // namespace virevi
