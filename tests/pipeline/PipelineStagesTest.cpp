#include "data/AxisRange.h"
#include "pipeline/ConfidenceRegions.h"
#include "pipeline/DiscreteModel.h"
#include "pipeline/GaussianModel.h"
#include "pipeline/GeneratedModel.h"
#include "pipeline/Normalization.h"
#include "pipeline/Smoothing.h"

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

TEST(PipelineStages, SamplesAreCountedOnTheGridAndSpreadByTheModel) {
    // Range -10000..0: index k stands for -11250 + 50 k, so the marker -9999 would land on the
    // grid. Indices 25.5 and 26.5 both round to 26 (that cell counts 2), -0.5 and 250.5 to 0 and
    // 250; markers are skipped; 251.5 (rounding to 252) and -1 are off the grid.
    const Grid grid = gridFromRange(-10000, 0).value();
    DataFile file;
    file.records = {{-9975, -5000},        {-9925, -5000},        {-11275, 1275}, {1325, -5000},
                    {MissingValue, -5000}, {-5000, MissingValue}, {-11300, -5000}};
    StageMatrix m;
    m.plane(Field::Samples).fill(9.0f);
    ASSERT_TRUE(gaussianModel(m, grid, 1.0f, 0.0f, 300.0f));
    descreteModel(m, file, grid);
    expectOnly(m, Field::Samples, {{26, 125, 2}, {0, 250, 1}});
    // One sample at (i, k) puts the model's row k into row i; two samples double it.
    int wrong = 0;
    for (int j = 0; j < GridSize; ++j) {
        wrong += m.at(Field::Discrete, 26, j) != 2 * m.at(Field::Model, 125, j);
        wrong += m.at(Field::Discrete, 0, j) != m.at(Field::Model, 250, j);
        wrong += m.at(Field::Discrete, 100, j) != 0;
    }
    EXPECT_EQ(wrong, 0);
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

TEST(PipelineStages, SmoothingSpreadsEachCellAlongXByACutOffTriangle) {
    StageMatrix m;
    m.at(Field::Discrete, 100, 60) = 2;
    smoothing(m, 5); // half-width 5 steps: weights 0.5, 0.4, .., 0.1 and then 0
    for (int d = -6; d <= 6; ++d) {
        const float k = std::abs(d) < 5 ? float((1 - std::abs(d) / 5.0) * 0.5) : 0.0f;
        EXPECT_EQ(m.at(Field::Smoothed, 100 + d, 60), 2 * k) << d;
        EXPECT_EQ(m.at(Field::Smoothed, 100, 60 + d), d == 0 ? 1.0f : 0.0f) << d;
    }
    // At the grid's edge the triangle is cut off: row 0 keeps k = 0..4 only.
    const float* row0 = m.row(Field::Kernel, 0);
    EXPECT_EQ(std::count(row0, row0 + GridSize, 0.0f), GridSize - 5);
}

TEST(PipelineStages, NormalizeHScalesRowsThatReachTheThreshold) {
    StageMatrix m;
    // Threshold 4 with a horizontal unit weight of 0.5: T = 2.1 (the vertical weight is unused).
    const UnitWeights w{0.5, 100.0};
    const float t = float(0.5 * 4 * 1.05);
    set(m, Field::Smoothed, {{0, 0, 1}, {1, 0, 3}, {5, 1, 2}, {3, 2, t}});
    m.plane(Field::NormH).fill(9.0f);
    normalizeH(m, w, 4, false); // row 0 sums to 4, row 1 to less than T, row 2 to exactly T
    expectOnly(m, Field::NormH, {{0, 0, 0.25f}, {1, 0, 0.75f}, {3, 2, 1}});
    normalizeH(m, w, 4, true);
    EXPECT_TRUE(m.plane(Field::NormH) == m.plane(Field::Smoothed));
}

TEST(PipelineStages, NormalizeVMakesColumnsOfSumOneAndMarksTheFirstHalfCrossing) {
    StageMatrix m;
    // Threshold 4 with a vertical unit weight of 0.5: T = 2.1, tested on the Smoothed column.
    const UnitWeights w{100.0, 0.5};
    const float t = float(0.5 * 4 * 1.05);
    for (int j = 10; j < 20; ++j) {
        set(m, Field::NormH, {{10, j, 0.1f}}); // ten equal cells
        set(m, Field::Smoothed, {{10, j, 1}});
    }
    // Column 50 holds too little weight in Smoothed, column 60 enough, whatever their NormH.
    const std::vector<Cell> normH{{20, 0, 1}, {20, 1, 2}, {20, 2, 3},   {20, 3, 4},
                                  {30, 0, 3}, {30, 1, 1}, {50, 5, 100}, {60, 7, 0.001f}};
    set(m, Field::NormH, normH);
    set(m, Field::Smoothed, {{20, 0, 3}, {30, 0, 5}, {50, 5, 1}, {60, 7, 5}});
    // Column 70 holds exactly T and is kept; column 80 holds the next single below and is not.
    set(m, Field::NormH, {{70, 7, 3}, {80, 7, 3}});
    set(m, Field::Smoothed, {{70, 7, t}, {80, 7, std::nextafter(t, 0.0f)}});
    // In column 40 the running sum 0.25 + 0.25 reaches half at row 11 but first exceeds it at 12.
    set(m, Field::NormH, {{40, 10, 1}, {40, 11, 1}, {40, 12, 2}});
    set(m, Field::Smoothed, {{40, 10, 5}});
    std::array<int, GridSize> ave;
    ave.fill(-1);
    normalizeV(m, w, 4, ave);

    // The running sum of ten equal singles first passes half the total at the fifth cell; a loop
    // that resets the sum and carries on would fire again at row 19.
    const float p10 = m.at(Field::Prob, 10, 10);
    EXPECT_NEAR(10 * p10, 1.0f, 1e-6f);
    std::vector<Cell> want{{20, 0, 0.1f},   {20, 1, 0.2f},   {20, 2, -0.3f}, {20, 3, 0.4f},
                           {30, 0, 0.75f},  {30, 1, 0.25f},  {60, 7, -1},    {70, 7, -1},
                           {40, 10, 0.25f}, {40, 11, 0.25f}, {40, 12, -0.5f}};
    for (int j = 10; j < 20; ++j) {
        want.push_back({10, j, j == 14 ? -p10 : p10});
    }
    expectOnly(m, Field::Prob, want);
    // 0.6 of column 20 lies in rows 0..2; column 30 crosses in row 0, which is never marked.
    for (int i = 0; i < GridSize; ++i) {
        const int row = i == 10 ? 14 : i == 20 ? 2 : i == 40 ? 12 : i == 60 || i == 70 ? 7 : 0;
        EXPECT_EQ(ave[size_t(i)], row) << i;
    }
}

TEST(PipelineStages, ConfidenceClassesPerColumn) {
    StageMatrix m;
    // Column 3 holds one cell, column 4 one cell in row 0 (never marked as the mode), column 6 a
    // tie; column 8 a triangle with the half-probability marker at row 13; column 9 a marker
    // below both levels. Column 5 is empty.
    const std::vector<Cell> prob{{3, 40, 0.5f}, {4, 0, 1},     {6, 10, 0.5f},    {6, 20, 0.5f},
                                 {8, 10, 0.1f}, {8, 11, 0.2f}, {8, 12, 0.4f},    {8, 13, -0.2f},
                                 {8, 14, 0.1f}, {9, 10, 0.9f}, {9, 11, -0.0001f}};
    set(m, Field::Prob, prob);
    // In column 8, 0.4 alone holds 40 % and 0.2 + 0.4 + 0.2 hold 80 %, so region 1 is the middle
    // three cells and region 2 (95.4 %) needs all five. Swapped coefficients give the same
    // classes: a class counts the levels a cell lies above.
    const std::vector<Cell> classes{{3, 40, 3}, {4, 0, 2},  {6, 10, 3},  {6, 20, 2}, {8, 10, 1},
                                    {8, 11, 2}, {8, 12, 3}, {8, 13, -2}, {8, 14, 1}, {9, 10, 3}};
    ColumnResults cols;
    for (Coefficients k : {Coefficients{682, 954}, Coefficients{954, 682}}) {
        findConfidenceRegions(m, k, cols);
        expectOnly(m, Field::Confi, classes);
        EXPECT_EQ(
            (std::array{cols.modeIndex[3], cols.modeIndex[4], cols.modeIndex[5], cols.modeIndex[6],
                        cols.aveIndex[5], cols.aveIndex[8], cols.aveIndex[9]}),
            (std::array{40, 0, NoIndex, 10, NoIndex, 13, 11}));
    }
    // 100 %: every cell of a non-empty column is in a region, and the marked cells stay negative.
    findConfidenceRegions(m, {682, 1000}, cols);
    int outside = 0;
    for (int i = 3; i <= 9; ++i) {
        const float* c = m.row(Field::Confi, i);
        outside += int(std::count(c, c + GridSize, 0.0f));
    }
    EXPECT_EQ(outside, 2 * GridSize); // the empty columns 5 and 7
    EXPECT_EQ(m.at(Field::Confi, 8, 13), -2.0f);
    EXPECT_EQ(m.at(Field::Confi, 9, 11), -1.0f);
}

} // namespace
} // namespace quendrix
