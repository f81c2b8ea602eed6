#include "data/Regression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

using namespace quendrix;

static DataFile fileOf(const std::vector<Sample>& samples) {
    DataFile file;
    file.records = samples;
    file.completeCount = int(std::ranges::count_if(samples, &Sample::complete));
    return file;
}

TEST(RegressionTest, LineOfTheCompleteRecordsOrThePreviousValues) {
    auto fit = [](const std::vector<Sample>& samples) {
        const FileStatistics st = computeRegression(fileOf(samples), {7, 8, 0.5f, 3, true, true});
        return std::tuple(st.slope, st.intercept, st.correlation, st.lineDefined,
                          st.correlationDefined);
    };
    // Either marker in a record would pull the line off y = x + 1.
    EXPECT_EQ(fit({{1, 2}, {-9999, 5}, {3, 4}, {7, -9999}}), std::tuple(1.f, 1.f, 1.f, true, true));
    // No spread of Y: a flat line, the correlation stays; no spread of X: nothing is defined.
    EXPECT_EQ(fit({{1, 5}, {2, 5}, {6, 5}}), std::tuple(0.f, 5.f, 0.5f, true, false));
    EXPECT_EQ(fit({{2, 1}, {2, 3}, {2, 8}}), std::tuple(7.f, 8.f, 0.5f, false, false));
    EXPECT_EQ(fit({{-9999, 1}}), std::tuple(7.f, 8.f, 0.5f, false, false));
}

TEST(RegressionTest, StandardDeviationOverManyRecordsDividesByNMinusOne) {
    // Residuals of +1 and -1 around y = 2x + 1 on 6000 complete records, markers in between.
    std::vector<Sample> samples;
    for (int r = 1; r <= 7000; ++r) {
        const float y = float(2 * r + 1 + (r % 2 ? 1 : -1));
        samples.push_back(r % 7 == 0 ? Sample{float(r), -9999} : Sample{float(r), y});
    }
    EXPECT_EQ(residualStdDev(fileOf(samples), 2, 1), float(std::sqrt(6000.0 / 5999.0)));
}

TEST(RegressionTest, CaptionsRoundHalvesToEven) {
    // The intercept gets 3 decimals below 100 (negative ones included), 2 from 100 on.
    EXPECT_EQ(fittingLineCaption(2, -1.5f), "y = 2 x + -1.5");
    EXPECT_EQ(fittingLineCaption(0.0625f, 99.0625f), "y = 0.062 x + 99.062");
    EXPECT_EQ(fittingLineCaption(0.1875f, 100.125f), "y = 0.188 x + 100.12");
    EXPECT_EQ(fittingLineCaption(-1, -250.0625f), "y = -1 x + -250.062");

    // Odd multiples of 2^-(d+1) are exact halves at d decimals.
    // clang-format off
    const std::pair<float, const char*> stdDevs[] = {
        {0, "0"}, {0.015625f, "0.01562"}, {0.046875f, "0.04688"}, {10.09375f, "10.0938"},
        {100.0625f, "100.062"}, {1000.375f, "1000.38"}, {10000.25f, "10000.2"},
        {123456.25f, "123456.2"}};
    // clang-format on
    for (const auto& [value, text] : stdDevs) {
        EXPECT_EQ(stdDevCaption(value), text) << text;
    }
}
