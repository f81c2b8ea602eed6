#include "data/AxisRange.h"
#include "pipeline/DiscreteModel.h"
#include "pipeline/GaussianModel.h"
#include "pipeline/GeneratedModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quendrix {
namespace {

struct Cell {
    int i, j;
    float value;
};

void set(StageMatrix& m, Field f, const std::vector<Cell>& cells) {
    for (const Cell& c : cells) {
        m.at(f, c.i, c.j) = c.value;
    }
}

// Field f holds the listed values and 0 everywhere else.
void expectOnly(const StageMatrix& m, Field f, const std::vector<Cell>& cells) {
    StageMatrix want;
    set(want, f, cells);
    for (int i = 0; i < GridSize; ++i) {
        for (int j = 0; j < GridSize; ++j) {
            if (m.at(f, i, j) != want.at(f, i, j)) {
                ADD_FAILURE() << "cell " << i << ", " << j << " holds " << m.at(f, i, j)
                              << " instead of " << want.at(f, i, j);
            }
        }
    }
}

TEST(PipelineStages, GaussianModelPeaksOnTheLineAndRefusesAZeroDeviation) {
    // Range 0..200: grid index k stands for the value k - 25.
    const Grid grid = gridFromRange(0, 200).value();
    StageMatrix m;
    ASSERT_TRUE(gaussianModel(m, grid, 0.5f, 3.0f, 4.0f));
    const double norm = std::sqrt(6.28318530718) * 4;
    // X = 0 (index 25): the line is at Y = 3 (index 28); X = 2 (index 27): Y = 4 (index 29).
    EXPECT_EQ(m.at(Field::Model, 25, 28), float(1 / norm));
    EXPECT_EQ(m.at(Field::Model, 27, 29), float(1 / norm));
    EXPECT_EQ(m.at(Field::Model, 25, 32), float(std::exp(-0.5) / norm));
    // The generated model: 5 % of the range 0..200 is a deviation of 10. 3 % of the single 1.9
    // (1.89999998) is 0.0569999993, nearest to the single 0.057; rounding to single after the
    // product or the division would land one step lower, on 0.0569999963.
    EXPECT_EQ(generatedModelStdDev(rangeWidth(0, 200), 5), 10.0f);
    EXPECT_EQ(generatedModelStdDev(rangeWidth(0, 1.9), 3), 0.057f);

    m.plane(Field::Model).fill(7.0f);
    for (float bad : {0.0f, -1.0f, generatedModelStdDev(0, 5)}) {
        const Status st = gaussianModel(m, grid, 1.0f, 0.0f, bad);
        EXPECT_TRUE(!st.ok() && !st.reason().empty()) << bad;
    }
    EXPECT_EQ(std::count(m.plane(Field::Model).begin(), m.plane(Field::Model).end(), 7.0f),
              GridSize * GridSize);
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
    StageMatrix m;
    countSamples(m, file, grid);
    expectOnly(m, Field::Samples,
               {{250, 25, 1}, {25, 250, 1}, {250, 26, 1}, {25, 28, 1}, {25, 31, 1}, {0, 0, 1}});
}

} // namespace
} // namespace quendrix
