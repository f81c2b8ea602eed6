#include "data/Regression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace quendrix;

namespace {

DataFile fileOf(const std::vector<Sample>& samples) {
    DataFile file;
    for (const Sample& s : samples) {
        file.records.push_back(s);
        file.completeCount += s.complete() ? 1 : 0;
    }
    return file;
}

} // namespace

TEST(RegressionTest, TwoPointsGiveAnExactLine) {
    DataFile file = fileOf({{1, 2}, {-9999, 5}, {3, 4}, {7, -9999}});
    FileStatistics stats = computeRegression(file, {});
    EXPECT_TRUE(stats.lineDefined);
    EXPECT_EQ(stats.slope, 1);
    EXPECT_EQ(stats.intercept, 1);
    EXPECT_EQ(stats.correlation, 1);
    EXPECT_EQ(residualStdDev(file, stats.slope, stats.intercept), 0);
    EXPECT_EQ(fittingLineCaption(stats.slope, stats.intercept), "y = 1 x + 1");
    EXPECT_EQ(stdDevCaption(0), "0");
}

TEST(RegressionTest, NoSpreadKeepsThePreviousValues) {
    const FileStatistics previous{7, 8, 0.5f, 3, true};
    FileStatistics flatY = computeRegression(fileOf({{1, 5}, {2, 5}, {6, 5}}), previous);
    EXPECT_TRUE(flatY.lineDefined);
    EXPECT_EQ(flatY.slope, 0);
    EXPECT_EQ(flatY.intercept, 5);
    EXPECT_EQ(flatY.correlation, 0.5f);

    for (const DataFile& file : {fileOf({{2, 1}, {2, 3}, {2, 8}}), fileOf({{-9999, 1}})}) {
        FileStatistics kept = computeRegression(file, previous);
        EXPECT_FALSE(kept.lineDefined);
        EXPECT_EQ(kept.slope, 7);
        EXPECT_EQ(kept.intercept, 8);
        EXPECT_EQ(kept.correlation, 0.5f);
    }
}

TEST(RegressionTest, MarkerRecordsAreSkipped) {
    // Irregular values, so that any change in what is summed, or in which order, shows.
    std::vector<Sample> complete, withMarkers;
    std::uint32_t seed = 12345;
    for (int r = 0; r < 300; ++r) {
        seed = seed * 1103515245u + 12345u;
        const float x = float(r * 0.731 + (seed >> 16) % 1000 / 997.0);
        const Sample s{x, float(3.3 * x - 17 + (seed >> 8) % 1000 / 331.0)};
        complete.push_back(s);
        withMarkers.push_back(s);
        if (r % 7 == 3) {
            withMarkers.push_back(r % 2 ? Sample{-9999, s.y} : Sample{s.x, -9999});
        }
    }
    const FileStatistics expected = computeRegression(fileOf(complete), {});
    const FileStatistics stats = computeRegression(fileOf(withMarkers), {});
    EXPECT_TRUE(stats.lineDefined);
    EXPECT_EQ(stats.slope, expected.slope);
    EXPECT_EQ(stats.intercept, expected.intercept);
    EXPECT_EQ(stats.correlation, expected.correlation);
    EXPECT_EQ(residualStdDev(fileOf(withMarkers), stats.slope, stats.intercept),
              residualStdDev(fileOf(complete), stats.slope, stats.intercept));
}

TEST(RegressionTest, StandardDeviationOverManyRecordsDividesByNMinusOne) {
    // Residuals of +1 and -1 around y = 2x + 1 on 6000 complete records, markers in between.
    std::vector<Sample> samples;
    for (int r = 1; r <= 7000; ++r) {
        const float y = float(2 * r + 1 + (r % 2 ? 1 : -1));
        samples.push_back(r % 7 == 0 ? Sample{float(r), -9999} : Sample{float(r), y});
    }
    const DataFile file = fileOf(samples);
    ASSERT_EQ(file.completeCount, 6000);
    EXPECT_EQ(residualStdDev(file, 2, 1), float(std::sqrt(6000.0 / 5999.0)));
}

TEST(RegressionTest, CaptionsRoundHalvesToEven) {
    EXPECT_EQ(fittingLineCaption(2, -1.5f), "y = 2 x + -1.5");
    EXPECT_EQ(fittingLineCaption(0.0625f, 99.0625f), "y = 0.062 x + 99.062");
    EXPECT_EQ(fittingLineCaption(0.1875f, 100.125f), "y = 0.188 x + 100.12");
    EXPECT_EQ(fittingLineCaption(1, 100), "y = 1 x + 100");
    EXPECT_EQ(fittingLineCaption(-1, -250.0625f), "y = -1 x + -250.062");

    // Odd multiples of 2^-(d+1) are exact halves at d decimals.
    const std::pair<float, const char*> stdDevs[] = {
        {1.0f / 3, "0.33333"},  {0.015625f, "0.01562"}, {0.046875f, "0.04688"},
        {10.03125f, "10.0312"}, {10.09375f, "10.0938"}, {100.0625f, "100.062"},
        {100.1875f, "100.188"}, {1000.125f, "1000.12"}, {1000.375f, "1000.38"},
        {10000.25f, "10000.2"}, {10000.75f, "10000.8"}, {123456.25f, "123456.2"}};
    for (const auto& [value, text] : stdDevs) {
        EXPECT_EQ(stdDevCaption(value), text) << text;
    }
}
