#include "pipeline/DetailMatrices.h"

#include "base/Vectorise.h"
#include "pipeline/ColumnAnalysis.h"
#include "pipeline/Normalization.h"

#include <algorithm>
#include <cmath>

namespace quendrix {
namespace {

constexpr int Rows = FineSize - 1; // fine Y 0..500

/// Which grid rows 0..249 hold no probability at all (their sum of |Prob| over X, taken in
/// increasing X, is 0): 1 for such a row, 0 otherwise; entry 250 is 0, as the last row is never
/// blanked.
QUENDRIX_VECTOR_CLONES
void emptyRows(const StageMatrix& m, float* empty) {
    float sums[GridSize] = {};
    for (int i = 0; i < GridSize; ++i) {
        const float* prob = m.row(Field::Prob, i);
        for (int j = 0; j < GridSize; ++j) {
            sums[j] += std::fabs(prob[j]);
        }
    }
    for (int j = 0; j < GridSize - 1; ++j) {
        empty[j] = sums[j] == 0 ? 1.0f : 0.0f;
    }
    empty[GridSize - 1] = 0;
}

/// Fine columns 2i (`even`) and 2i + 1 (`odd`) over fine Y 0..500 from grid columns i (`left`)
/// and i + 1 (`right`). A fine row is blanked by the empty grid row it lies on or touches; the
/// cells between two columns stay 0 unless both columns hold something there.
QUENDRIX_VECTOR_CLONES
void interpolateColumns(const float* left, const float* right, const float* empty, float* even,
                        float* odd) {
    for (int j = 0; j < GridSize - 1; ++j) {
        const double p00 = std::fabs(left[j]), p01 = std::fabs(left[j + 1]);
        const double p10 = std::fabs(right[j]), p11 = std::fabs(right[j + 1]);
        const float up = float((p01 + p00) / 2);
        const float across = float((p10 + p00) / 2);
        const float middle = float((p00 + p10 + p01 + p11) / 4);
        const bool onEmpty = empty[j] != 0;
        const bool touchesEmpty = onEmpty | (empty[j + 1] != 0);
        const bool bothSides = (float(p01 + p00) != 0) & (float(p11 + p10) != 0);
        even[2 * j] = keptOrZero(!onEmpty, float(p00));
        even[2 * j + 1] = keptOrZero(!touchesEmpty, up);
        odd[2 * j] = keptOrZero(!onEmpty & bothSides, across);
        odd[2 * j + 1] = keptOrZero(!touchesEmpty & bothSides, middle);
    }
    const double p0 = std::fabs(left[GridSize - 1]), p1 = std::fabs(right[GridSize - 1]);
    even[Rows - 1] = float(p0);
    odd[Rows - 1] = p0 != 0 && p1 != 0 ? float((p1 + p0) / 2) : 0.0f;
}

/// The half-probability index of a fine column the interpolation does not write.
int plainHalfIndex(const float* column) {
    if (std::all_of(column, column + Rows, [](float v) { return v == 0; })) {
        return NoIndex;
    }
    float tot = 0;
    for (int b = 0; b < Rows; ++b) {
        tot += column[b];
    }
    return tot == 0 ? NoIndex : halfProbabilityIndex(column, Rows, tot);
}

} // namespace

void buildDetailMatrices(const StageMatrix& m, Coefficients coefficients, DetailMatrices& out) {
    float empty[GridSize];
    emptyRows(m, empty);
    auto column = [&out](int a) { return &out.fineProb[size_t(a * FineSize)]; };
    for (int i = PlotFirst; i <= PlotLast; ++i) {
        interpolateColumns(m.row(Field::Prob, i), m.row(Field::Prob, i + 1), empty, column(2 * i),
                           column(2 * i + 1));
    }

    // Fine X 50..451 are written above and hold no negative value, so their magnitudes are
    // their values and the analysis also gives their half-probability indices.
    constexpr int written = 2 * PlotLast + 1 - FineFirst + 1;
    const ColumnAnalysis analysis(column(FineFirst), written, Rows, FineSize, coefficients, true);
    for (int a = 0; a < Rows; ++a) {
        const bool inside = a >= FineFirst && a < FineFirst + written;
        out.fineAve[size_t(a)] =
            inside ? analysis.halfIndex(a - FineFirst) : plainHalfIndex(column(a));
    }
    for (int a = FineFirst; a <= FineLast; ++a) {
        const int c = a - FineFirst;
        out.fineMode[size_t(a)] = analysis.mode(c);
        out.fineLevel[size_t(a)] = analysis.levels(c);
        analysis.classify(c, &out.fineConfi[size_t(a * FineSize)]);
    }
}

} // namespace quendrix
