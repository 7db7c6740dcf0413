#include "dialogs/form_scaling.h"

#include <gtest/gtest.h>

namespace virevi::test {
namespace {

struct TMulDivCase {
    const char* Name;
    std::int32_t Value, Numerator, Denominator, Expected;
};

class MulDivTest : public testing::TestWithParam<TMulDivCase> {};

TEST_P(MulDivTest, RoundsHalvesAwayFromZero) {
    const auto& c = GetParam();
    EXPECT_EQ(MulDiv(c.Value, c.Numerator, c.Denominator), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MulDivTest,
    testing::Values(TMulDivCase{"exact", 12, 120, 96, 15}, TMulDivCase{"half_up", 5, 3, 2, 8},
                    TMulDivCase{"half_of_negative_down", -5, 3, 2, -8},
                    TMulDivCase{"below_half", 298, 13, 12, 323},
                    TMulDivCase{"negative_denominator", 7, 1, -2, -4},
                    TMulDivCase{"no_overflow_in_product", 2000000000, 3, 4, 1500000000},
                    TMulDivCase{"zero_denominator_keeps_value", 9, 5, 0, 9}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FormScalingTest, FontHeightFollowsScreenResolution) {
    EXPECT_EQ(ScaledFontHeight(-12, 96), -12);
    EXPECT_EQ(ScaledFontHeight(-12, 120), -15);
    EXPECT_EQ(ScaledFontHeight(-12, 144), -18);
    EXPECT_EQ(ScaledFontHeight(-12, 72), -9);
}

TEST(FormScalingTest, BoundsScaleEachMeasureWhenTextHeightDiffers) {
    const TRect button{111, 180, 186, 205};
    EXPECT_EQ(ScaledBounds(button, 12, 12), button);
    // 111·13/12 = 120.25, 180·13/12 = 195, 75·13/12 = 81.25, 25·13/12 = 27.08
    EXPECT_EQ(ScaledBounds(button, 13, 12), (TRect{120, 195, 120 + 81, 195 + 27}));
    // 111·18/12 = 166.5 rounds up; 75·18/12 = 112.5 too
    EXPECT_EQ(ScaledBounds(button, 18, 12), (TRect{167, 270, 167 + 113, 270 + 38}));
}

} // namespace
} // namespace virevi::test
