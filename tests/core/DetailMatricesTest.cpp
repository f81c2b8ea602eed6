#include "pipeline/DetailMatrices.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quendrix {
namespace {

// Grid columns 100 and 101 hold rows 50 and 51 (row 51 of column 100 is the marked cell); rows
// 49 and 52 are empty. Columns 150 and 151 hold only the last row, column 120 only row 0.
StageMatrix tinyPattern() {
    StageMatrix m;
    m.at(Field::Prob, 100, 50) = 1;
    m.at(Field::Prob, 100, 51) = -2;
    m.at(Field::Prob, 101, 50) = 3;
    m.at(Field::Prob, 101, 51) = 4;
    m.at(Field::Prob, 150, 250) = 1;
    m.at(Field::Prob, 151, 250) = 3;
    m.at(Field::Prob, 120, 0) = 1;
    return m;
}

// Earlier contents: every value 9, the modes 77.
DetailMatrices filledWithEarlierValues() {
    DetailMatrices d;
    d.fineProb.assign(d.fineProb.size(), 9.0f);
    d.fineConfi.assign(d.fineConfi.size(), 9.0f);
    d.fineMode.fill(77);
    return d;
}

TEST(DetailMatrices, InterpolationAveragesNeighboursButNeverIntoEmptyRowsOrColumns) {
    DetailMatrices d = filledWithEarlierValues();
    buildDetailMatrices(tinyPattern(), {682, 954}, d);
    // Fine rows 100..102 of fine columns 199..203: even indices are grid cells, odd ones the
    // averages of two (or four) neighbours. Column 199 and 203 lie next to an empty grid column.
    const float expected[5][3] = {{0, 0, 0}, {1, 1.5, 2}, {2, 2.5, 3}, {3, 3.5, 4}, {0, 0, 0}};
    for (int a = 199; a <= 203; ++a) {
        for (int b = 100; b <= 102; ++b) {
            EXPECT_EQ(d.prob(a, b), expected[a - 199][b - 100]) << a << ", " << b;
        }
        // Row 51 interpolated fine row 103 towards empty row 52, which blanks it again; empty
        // row 49 blanks 97..99.
        for (int b : {97, 98, 99, 103, 104, 105}) {
            EXPECT_EQ(d.prob(a, b), 0.0f) << a << ", " << b;
        }
    }
    // The last grid row: cells and the average of two non-empty neighbours only.
    const float lastRow[] = {0, 1, 2, 3, 0};
    for (int a = 299; a <= 303; ++a) {
        EXPECT_EQ(d.prob(a, 500), lastRow[a - 299]) << a;
    }
    // Fine X 0..49 and 452..501, and fine Y 501, keep their earlier values.
    for (int a = 0; a < FineSize; ++a) {
        for (int b = 0; b < FineSize; ++b) {
            if (a < 50 || a > 451 || b == 501) {
                ASSERT_EQ(d.prob(a, b), 9.0f) << a << ", " << b;
            }
        }
    }
}

TEST(DetailMatrices, ColumnAnalysisAtDoubleResolution) {
    DetailMatrices d = filledWithEarlierValues();
    // Fine column 20 (never written by the interpolation): ten equal cells at rows 10..19.
    for (int b = 0; b <= 500; ++b) {
        d.fineProb[size_t(20 * FineSize + b)] = b >= 10 && b < 20 ? 0.3f : 0.0f;
    }
    buildDetailMatrices(tinyPattern(), {682, 954}, d);

    // The half-probability index is found for every fine X from what the columns hold: the
    // untouched columns of 9s cross half at row 250, the ten equal cells at their fifth (a loop
    // that resets and carries on would fire again at row 19).
    EXPECT_EQ(d.fineAve[0], 250);
    EXPECT_EQ(d.fineAve[500], 250);
    EXPECT_EQ(d.fineAve[20], 14);
    EXPECT_EQ(d.fineAve[200], 101); // 1, 1.5, 2: 2.5 of 4.5 at row 101
    EXPECT_EQ(d.fineAve[203], NoIndex);
    EXPECT_EQ(d.fineAve[300], 500);

    // Modes and classes only for fine X 50..450.
    EXPECT_EQ(d.fineMode[49], 77);
    EXPECT_EQ(d.fineMode[451], 77);
    EXPECT_EQ(d.fineMode[200], 102);
    EXPECT_EQ(d.fineMode[203], NoIndex);
    EXPECT_EQ(d.fineMode[300], 500);
    for (int b = 0; b < FineSize; ++b) {
        ASSERT_EQ(d.confi(49, b), 9.0f) << b;
        ASSERT_EQ(d.confi(451, b), 9.0f) << b;
    }
    // In columns 200 and 202 the larger two cells hold more than 68.2 % and all three are needed
    // for 95.4 %; the peak is the mode. The marked grid cell gives no negative class.
    for (int a : {200, 202}) {
        EXPECT_EQ(d.confi(a, 99), 0.0f);
        EXPECT_EQ(d.confi(a, 100), 1.0f);
        EXPECT_EQ(d.confi(a, 101), 2.0f);
        EXPECT_EQ(d.confi(a, 102), 3.0f);
        EXPECT_EQ(d.confi(a, 103), 0.0f);
    }
    EXPECT_EQ(d.confi(300, 500), 3.0f);
    EXPECT_EQ(d.fineMode[240], 0);
    EXPECT_EQ(d.confi(240, 0), 2.0f); // row 0 is never marked as the mode
    for (int a = 50; a <= 450; ++a) {
        for (int b = 0; b <= 500; ++b) {
            ASSERT_GE(d.confi(a, b), 0.0f) << a << ", " << b;
        }
    }

    // 100 %: every cell of a non-empty fine column is at least class 1; empty columns stay 0.
    buildDetailMatrices(tinyPattern(), {1000, 954}, d);
    for (int b = 0; b <= 500; ++b) {
        ASSERT_GE(d.confi(200, b), 1.0f) << b;
        ASSERT_GE(d.confi(300, b), 1.0f) << b;
        ASSERT_EQ(d.confi(203, b), 0.0f) << b;
    }
    EXPECT_EQ(d.confi(200, 102), 3.0f);
}

} // namespace
} // namespace quendrix
