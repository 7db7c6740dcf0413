#include "files/line_starts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace virevi {
namespace {

std::vector<std::uint64_t> Read(const TLineStarts& starts) {
    std::vector<std::uint64_t> values;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        values.push_back(starts[i]);
    }
    return values;
}

struct TStartsCase {
    const char* Name;
    std::vector<std::uint64_t> Gaps; // between successive starts, repeated in turn
    std::size_t Count;               // starts added after the first
};

class LineStartsTest : public testing::TestWithParam<TStartsCase> {};

// Whatever the gaps, every start reads back as it was added, also after the
// list is cut back and grown again across blocks of 4096.
TEST_P(LineStartsTest, ReadBackAsAddedAndAfterCuts) {
    TLineStarts starts;
    std::vector<std::uint64_t> expected{0};
    for (std::size_t i = 0; i < GetParam().Count; ++i) {
        expected.push_back(expected.back() + GetParam().Gaps[i % GetParam().Gaps.size()]);
        starts.push_back(expected.back());
    }
    ASSERT_EQ(Read(starts), expected);
    for (const std::size_t keep : {std::size_t{5000}, std::size_t{4097}, std::size_t{4096},
                                   std::size_t{100}, std::size_t{1}}) {
        if (keep > expected.size()) {
            continue;
        }
        starts.Truncate(keep);
        expected.resize(keep);
        ASSERT_EQ(Read(starts), expected) << "cut to " << keep;
        for (std::size_t i = 0; i < 300; ++i) {
            expected.push_back(expected.back() + GetParam().Gaps[i % GetParam().Gaps.size()]);
            starts.push_back(expected.back());
        }
        ASSERT_EQ(Read(starts), expected) << "grown after cutting to " << keep;
        starts.Truncate(keep);
        expected.resize(keep);
    }
}

constexpr std::uint64_t FourGigabytes = std::uint64_t{1} << 32;

INSTANTIATE_TEST_SUITE_P(
    Cases, LineStartsTest,
    testing::Values(
        TStartsCase{"empty_lines", {0}, 10000}, TStartsCase{"short_lines", {1, 7, 0, 30}, 10000},
        // The block's span reaches 4 GB only at its last start.
        TStartsCase{"block_spanning_just_under_4_gigabytes", {(FourGigabytes - 1) / 4095}, 9000},
        TStartsCase{"line_of_4_gigabytes", {FourGigabytes}, 10},
        TStartsCase{"block_crossing_4_gigabytes_midway", {3, FourGigabytes / 3000}, 9000},
        TStartsCase{"huge_gaps_every_block", {1, 1, FourGigabytes * 3}, 13000}),
    [](const testing::TestParamInfo<TStartsCase>& info) { return info.param.Name; });

} // namespace
} // namespace virevi
