#include "data/AxisRange.h"
#include "data/DataFileReader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace quendrix;

TEST(AxisRangeTest, GridFromRange) {
    auto grid = gridFromRange(0, 200);
    ASSERT_TRUE(grid) << grid.reason();
    EXPECT_EQ(grid->gridStep, 1);
    EXPECT_EQ(grid->gridMin, -25);
    EXPECT_EQ(grid->gridMax, 225);
    EXPECT_EQ(grid->valueAt(PlotFirst), 0);
    EXPECT_EQ(grid->valueAt(PlotLast), 200);
    EXPECT_EQ(rangeWidth(0, 200), 200);

    auto reversed = gridFromRange(50, 10);
    ASSERT_TRUE(reversed) << reversed.reason();
    EXPECT_EQ(reversed->gridStep, -0.2);
    EXPECT_EQ(reversed->gridMin, 55);
    EXPECT_EQ(reversed->gridMax, 5);
    EXPECT_EQ(rangeWidth(50, 10), 40);

    auto equal = gridFromRange(10, 10);
    ASSERT_FALSE(equal);
    EXPECT_EQ(equal.reason(), "Please set valid range.");
    // 3.1E38 fits a single, but the margin above it does not.
    auto huge = gridFromRange(0, 3.1e38);
    ASSERT_FALSE(huge);
    EXPECT_FALSE(huge.reason().empty());
}

TEST(AxisRangeTest, RoundBoundsStepByMagnitude) {
    // Steps 5, 50, 500 below 100, 1000, 10000; beyond, 1000 for positive and 5000 for negative.
    const std::pair<float, float> up[] = {
        {0, 0},         {10, 15},       {12, 15},         {-12, -10},
        {-10, -10},     {37.2f, 40},    {99.9f, 100},     {100, 150},
        {-100, -100},   {612, 650},     {-5000, -5000},   {9999, 10000},
        {10000, 11000}, {12345, 13000}, {-10000, -10000}, {-12345, -10000}};
    const std::pair<float, float> down[] = {
        {0, 0},         {10, 10},       {12, 10},         {-10, -15},
        {-3.1f, -5},    {37.2f, 35},    {99.9f, 95},      {100, 100},
        {-100, -150},   {612, 600},     {-5000, -5500},   {9999, 9500},
        {10000, 10000}, {12345, 12000}, {-10000, -15000}, {-12345, -15000}};
    for (const auto& [v, bound] : up) {
        EXPECT_EQ(roundUpBound(v), bound) << v;
    }
    for (const auto& [v, bound] : down) {
        EXPECT_EQ(roundDownBound(v), bound) << v;
    }
}

namespace {

std::string proposed(const char* bytes) {
    auto file = parseDataFile(bytes);
    auto range = file ? proposeRange(file.value()) : std::nullopt;
    return range ? range->lower + " .. " + range->upper : "none";
}

} // namespace

TEST(AxisRangeTest, ProposedRangeIgnoresMarkersAndEmptyFiles) {
    EXPECT_EQ(proposed("x,y\n0,1.5\n9.6,-9999\n-9999,4\n"), "0 .. 10");
    EXPECT_EQ(proposed("x,y\n37.2,-3.1\n"), "-5 .. 40");
    EXPECT_EQ(proposed("x,y\n612,12345\n"), "600 .. 13000");
    EXPECT_EQ(proposed("x,y\n-12345,-612\n"), "-15000 .. -600");
    EXPECT_EQ(proposed("x,y\n"), "none");
    EXPECT_EQ(proposed("x,y\n-9999,-9999\n"), "none");
    EXPECT_EQ(proposed("x,y\n0,0\n0,0\n"), "none");
}
