#include "pipeline/DetailMatrices.h"

#include "pipeline/ColumnAnalysis.h"
#include "pipeline/Normalization.h"

#include <cmath>

namespace quendrix {
namespace {

void interpolate(const StageMatrix& m, DetailMatrices& out) {
    auto p = [&m](int i, int j) { return std::fabs(m.at(Field::Prob, i, j)); };
    auto fine = [&out](int a, int b) -> float& { return out.fineProb[size_t(a * FineSize + b)]; };
    for (int j = 0; j < GridSize - 1; ++j) {
        float rowSum = 0;
        for (int i = 0; i < GridSize; ++i) {
            rowSum += p(i, j);
        }
        for (int i = PlotFirst; i <= PlotLast; ++i) {
            if (rowSum == 0) {
                for (int b = (j > 0 ? 2 * j - 1 : 0); b <= 2 * j + 1; ++b) {
                    fine(2 * i, b) = 0;
                    fine(2 * i + 1, b) = 0;
                }
                continue;
            }
            const double p00 = p(i, j), p01 = p(i, j + 1), p10 = p(i + 1, j), p11 = p(i + 1, j + 1);
            fine(2 * i, 2 * j) = float(p00);
            fine(2 * i, 2 * j + 1) = float((p01 + p00) / 2);
            const float left = float(p01 + p00);
            const float right = float(p11 + p10);
            if (left != 0 && right != 0) {
                fine(2 * i + 1, 2 * j) = float((p10 + p00) / 2);
                fine(2 * i + 1, 2 * j + 1) = float((p00 + p10 + p01 + p11) / 4);
            } else {
                fine(2 * i + 1, 2 * j) = 0;
                fine(2 * i + 1, 2 * j + 1) = 0;
            }
        }
    }
    for (int i = PlotFirst; i <= PlotLast; ++i) {
        const double p0 = p(i, 250), p1 = p(i + 1, 250);
        fine(2 * i, 500) = float(p0);
        fine(2 * i + 1, 500) = (p0 != 0 && p1 != 0) ? float((p1 + p0) / 2) : 0.0f;
    }
}

} // namespace

void buildDetailMatrices(const StageMatrix& m, Coefficients coefficients, DetailMatrices& out) {
    interpolate(m, out);
    constexpr int rows = FineSize - 1; // fine Y 0..500
    constexpr int columns = FineLast - FineFirst + 1;

    for (int a = 0; a <= 500; ++a) {
        const float* column = &out.fineProb[size_t(a * FineSize)];
        float tot = 0;
        for (int b = 0; b < rows; ++b) {
            tot += column[b];
        }
        out.fineAve[size_t(a)] = tot == 0 ? NoIndex : halfProbabilityIndex(column, rows, tot);
    }

    const ColumnAnalysis analysis(&out.fineProb[size_t(FineFirst * FineSize)], columns, rows,
                                  FineSize, coefficients);
    for (int a = FineFirst; a <= FineLast; ++a) {
        const int c = a - FineFirst;
        out.fineMode[size_t(a)] = analysis.mode(c);
        out.fineLevel[size_t(a)] = analysis.levels(c);
        analysis.classify(c, &out.fineConfi[size_t(a * FineSize)]);
    }
}

} // namespace quendrix
