#include "pipeline/DetailMatrices.h"

#include <gtest/gtest.h>

namespace quendrix {
namespace {

TEST(DetailMatrices, InterpolationAndColumnAnalysisAtDoubleResolution) {
    // Grid columns 100 and 101 hold rows 50 and 51 (row 51 of column 100 is the marked cell); rows
    // 49 and 52 are empty. Columns 150 and 151 hold only the last row, column 120 only row 0.
    StageMatrix m;
    const int cells[][3] = {{100, 50, 1},  {100, 51, -2}, {101, 50, 3}, {101, 51, 4},
                            {150, 250, 1}, {151, 250, 3}, {120, 0, 1}};
    for (const auto& c : cells) {
        m.at(Field::Prob, c[0], c[1]) = float(c[2]);
    }
    // Earlier contents: every value 9, the modes 77; fine column 20 (never written by the
    // interpolation) holds ten equal cells at rows 10..19.
    DetailMatrices d;
    d.fineProb.assign(d.fineProb.size(), 9.0f);
    d.fineConfi.assign(d.fineConfi.size(), 9.0f);
    d.fineMode.fill(77);
    for (int b = 0; b < FineSize; ++b) {
        d.fineProb[size_t(20 * FineSize + b)] = b >= 10 && b < 20 ? 0.3f : 0.0f;
    }
    const std::vector<float> before = d.fineProb;
    buildDetailMatrices(m, {682, 954}, d);

    // Fine rows 100..102 of fine columns 199..203: even indices are grid cells, odd ones the
    // averages of two (or four) neighbours; columns 199 and 203 lie next to an empty grid column.
    // Row 51 interpolated fine row 103 towards empty row 52, which blanks it again with 104 and
    // 105; empty row 49 blanks 97..99. In the last grid row only non-empty neighbours average.
    const float expected[5][9] = {{0, 0, 0, 0, 0, 0, 0, 0, 0},
                                  {0, 0, 0, 1, 1.5, 2, 0, 0, 0},
                                  {0, 0, 0, 2, 2.5, 3, 0, 0, 0},
                                  {0, 0, 0, 3, 3.5, 4, 0, 0, 0},
                                  {0, 0, 0, 0, 0, 0, 0, 0, 0}};
    const float lastRow[] = {0, 1, 2, 3, 0};
    for (int a = 0; a < 5; ++a) {
        for (int b = 0; b < 9; ++b) {
            EXPECT_EQ(d.prob(199 + a, 97 + b), expected[a][b]) << 199 + a << ", " << 97 + b;
        }
        EXPECT_EQ(d.prob(299 + a, 500), lastRow[a]) << 299 + a;
    }
    // Fine X outside 50..451 and fine Y 501 keep their values; classes only for fine X 50..450.
    int changed = 0;
    for (int a = 0; a < FineSize; ++a) {
        for (int b = 0; b < FineSize; ++b) {
            const auto at = size_t(a * FineSize + b);
            changed += (a < 50 || a > 451 || b == 501) && d.fineProb[at] != before[at];
            changed += (a < 50 || a > 450 || b == 501) && d.fineConfi[at] != 9;
        }
    }
    EXPECT_EQ(changed, 0);

    // The half-probability index for every fine X: the columns of 9s cross half at row 250, the
    // ten equal cells at their fifth (a loop that resets and carries on would fire again at row
    // 19), 1, 1.5, 2 at row 101. Modes only for fine X 50..450, never counted from row 0.
    EXPECT_EQ(
        (std::array{d.fineAve[0], d.fineAve[20], d.fineAve[200], d.fineAve[203], d.fineAve[300]}),
        (std::array{250, 14, 101, NoIndex, 500}));
    EXPECT_EQ((std::array{d.fineMode[49], d.fineMode[451], d.fineMode[200], d.fineMode[203],
                          d.fineMode[300], d.fineMode[240]}),
              (std::array{77, 77, 102, NoIndex, 500, 0}));
    // In columns 200 and 202 the larger two cells hold more than 68.2 % and all three are needed
    // for 95.4 %; the peak is the mode. The marked grid cell gives no negative class.
    for (int a : {200, 202}) {
        for (int b = 99; b <= 103; ++b) {
            EXPECT_EQ(d.confi(a, b), b == 99 || b == 103 ? 0.0f : float(b - 99)) << a << ", " << b;
        }
    }
    EXPECT_EQ(d.confi(300, 500), 3.0f);
    EXPECT_EQ(d.confi(240, 0), 2.0f);

    // 100 %: every cell of a non-empty fine column is at least class 1; empty columns stay 0.
    buildDetailMatrices(m, {1000, 954}, d);
    int wrong = d.confi(200, 102) != 3;
    for (int b = 0; b <= 500; ++b) {
        wrong += d.confi(200, b) < 1 || d.confi(300, b) < 1 || d.confi(203, b) != 0;
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace quendrix
