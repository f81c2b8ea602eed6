#include "data/AxisRange.h"
#include "pipeline/DiscreteModel.h"
#include "pipeline/GeneratedModel.h"

#include <gtest/gtest.h>

namespace quendrix {
namespace {

TEST(PipelineStages, GeneratedModelDeviationIsRoundedOnceToASingle) {
    // 5 % of the range 0..200 is a deviation of 10. 3 % of the single 1.9 (1.89999998) is
    // 0.0569999993, nearest to the single 0.057; rounding to single after the product or the
    // division would land one step lower, on 0.0569999963.
    EXPECT_EQ(generatedModelStdDev(rangeWidth(0, 200), 5), 10.0f);
    EXPECT_EQ(generatedModelStdDev(rangeWidth(0, 1.9), 3), 0.057f);
}

TEST(PipelineStages, SampleIndicesRoundHalvesToEvenUpToTheLastGridIndex) {
    // Range 0..200: index k stands for the value k - 25, so a value's index is the value + 25.
    const Grid grid = gridFromRange(0, 200).value();
    DataFile file;
    file.records = {{225, 0},         // X on the last index, 250
                    {0, 225},         // Y on the last index
                    {225.5f, 1.5f},   // 250.5 and 26.5 go down to the even 250 and 26
                    {0, 2.5f},        // 27.5 goes up to the even 28
                    {0, 5.75f},       // 30.75 goes to the nearest, 31
                    {-24.5f, -25.5f}, // 0.5 and -0.5 both go to 0
                    {225.75f, 0},     // 250.75: index 251, off the grid
                    {0, -26}};        // index -1
    StageMatrix m, want;
    EXPECT_EQ(countSamples(m, file, grid), 6u);
    const int cells[][2] = {{250, 25}, {25, 250}, {250, 26}, {25, 28}, {25, 31}, {0, 0}};
    for (const auto& [i, j] : cells) {
        want.at(Field::Samples, i, j) = 1;
    }
    EXPECT_TRUE(m.plane(Field::Samples) == want.plane(Field::Samples));
}

} // namespace
} // namespace quendrix
