#include "data/AxisRange.h"
#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace quendrix;

TEST(AxisRangeTest, GridFromRange) {
    // Indices 25 and 225 are the bounds, so a margin of an eighth of the width lies outside.
    auto up = gridFromRange(0, 200), down = gridFromRange(50, 10);
    EXPECT_EQ(std::tuple(up->gridStep, up->gridMin, up->gridMax), std::tuple(1.0, -25.f, 225.f));
    EXPECT_EQ(std::tuple(down->gridStep, down->gridMin, down->gridMax),
              std::tuple(-0.2, 55.f, 5.f));
    EXPECT_EQ(rangeWidth(50, 10), 40);
    EXPECT_FALSE(gridFromRange(10, 10));
    EXPECT_FALSE(gridFromRange(0, 3.1e38)); // fits a single, but the margin above it does not
}

TEST(AxisRangeTest, RoundBoundsStepByMagnitude) {
    // Steps 5, 50, 500 below 100, 1000, 10000; beyond, 1000 for positive and 5000 for negative.
    // Whole steps are counted toward zero, then a positive upper or a negative lower bound gets
    // one step more.
    // clang-format off
    const std::tuple<float, float, float> cases[] = { // value, lower, upper
        {0, 0, 0}, {10, 10, 15}, {12, 10, 15}, {-10, -15, -10}, {-12, -15, -10}, {37.2f, 35, 40},
        {99.9f, 95, 100}, {100, 100, 150}, {-100, -150, -100}, {612, 600, 650},
        {-5000, -5500, -5000}, {9999, 9500, 10000}, {10000, 10000, 11000}, {12345, 12000, 13000},
        {-10000, -15000, -10000}, {-12345, -15000, -10000}};
    // clang-format on
    for (const auto& [v, lower, upper] : cases) {
        EXPECT_EQ(roundDownBound(v), lower) << v;
        EXPECT_EQ(roundUpBound(v), upper) << v;
    }
}

TEST(AxisRangeTest, LabelsShowTheNumberTheGridIsBuiltFrom) {
    EXPECT_EQ(rangeLabel(""), "");
    EXPECT_EQ(rangeLabel("0,5"), "0");
    EXPECT_EQ(rangeLabel(" 12.50 mm"), "12.5");
    EXPECT_EQ(rangeLabel("&H10"), "16");
    // Every digit it takes to read back the very number, and no more.
    for (const char* typed : {"0.1", "0.12345678901234567", "-1e-7", "123456789012345678"}) {
        EXPECT_EQ(leadingNumber(rangeLabel(typed)), leadingNumber(typed)) << typed;
    }
    EXPECT_EQ(rangeLabel("0.12345678901234567"), "0.12345678901234566");
}
