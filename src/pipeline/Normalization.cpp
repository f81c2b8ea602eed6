#include "pipeline/Normalization.h"

#include "base/Vectorise.h"

#include <algorithm>

namespace quendrix {
namespace {

// A single quotient of two singles is the same whether taken in single precision or in double
// and then rounded to single: double holds more than twice single's digits plus two, so the
// first rounding can never move the quotient across a point where the second one turns. The
// divisions below are therefore taken in single precision, several at once.

QUENDRIX_VECTOR_CLONES
void normalizeRows(const float* smoothed, float* normH, float t) {
    // Row sums over X for every Y, accumulated in increasing X per row.
    float sums[GridSize] = {};
    for (int i = 0; i < GridSize; ++i) {
        const float* s = smoothed + i * GridSize;
        for (int j = 0; j < GridSize; ++j) {
            sums[j] += s[j];
        }
    }
    for (int i = 0; i < GridSize; ++i) {
        const float* s = smoothed + i * GridSize;
        float* out = normH + i * GridSize;
        for (int j = 0; j < GridSize; ++j) {
            out[j] = keptOrZero((sums[j] != 0) & (t <= sums[j]), s[j] / sums[j]);
        }
    }
}

/// Columns handled together: their sums are separate chains of additions that the processor
/// can run side by side, each still in increasing row order.
constexpr int Lanes = 8;

/// Prob and the half-probability index of the `Width` columns from `first` on.
template <int Width>
[[gnu::always_inline]] inline void normalizeColumns(StageMatrix& m, int first, float t,
                                                    std::array<int, GridSize>& aveIndex) {
    const float* normH[Width];
    const float* smoothed[Width];
    float* prob[Width];
    for (int l = 0; l < Width; ++l) {
        normH[l] = m.row(Field::NormH, first + l);
        smoothed[l] = m.row(Field::Smoothed, first + l);
        prob[l] = m.row(Field::Prob, first + l);
    }
    float s5[Width] = {};
    float s4[Width] = {};
    for (int j = 0; j < GridSize; ++j) {
        for (int l = 0; l < Width; ++l) {
            s5[l] += normH[l][j];
            s4[l] += smoothed[l][j];
        }
    }
    for (int l = 0; l < Width; ++l) {
        if (s5[l] != 0 && !(t > s4[l])) {
            for (int j = 0; j < GridSize; ++j) {
                prob[l][j] = normH[l][j] / s5[l];
            }
        } else {
            std::fill(prob[l], prob[l] + GridSize, 0.0f);
        }
    }
    float total[Width] = {};
    for (int j = 0; j < GridSize; ++j) {
        for (int l = 0; l < Width; ++l) {
            total[l] += prob[l][j];
        }
    }
    // The first crossing of half the total, as halfProbabilityIndex finds it, for all lanes in
    // one pass; a lane without a total stays at 0.
    float half[Width];
    float c[Width] = {};
    int ave[Width];
    int open = 0;
    for (int l = 0; l < Width; ++l) {
        half[l] = float(double(total[l]) / 2);
        ave[l] = total[l] == 0 ? 0 : -1;
        open += ave[l] < 0;
    }
    for (int j = 0; j < GridSize && open > 0; ++j) {
        for (int l = 0; l < Width; ++l) {
            c[l] += prob[l][j];
            if (ave[l] < 0 && c[l] > half[l]) {
                ave[l] = j;
                --open;
            }
        }
    }
    for (int l = 0; l < Width; ++l) {
        aveIndex[size_t(first + l)] = std::max(ave[l], 0);
        if (ave[l] >= 1) {
            prob[l][ave[l]] = -prob[l][ave[l]];
        }
    }
}

QUENDRIX_VECTOR_CLONES
void normalizeAllColumns(StageMatrix& m, float t, std::array<int, GridSize>& aveIndex) {
    int i = 0;
    for (; i + Lanes <= GridSize; i += Lanes) {
        normalizeColumns<Lanes>(m, i, t, aveIndex);
    }
    for (; i < GridSize; ++i) {
        normalizeColumns<1>(m, i, t, aveIndex);
    }
}

} // namespace

UnitWeights unitWeights(const StageMatrix& m) {
    UnitWeights w;
    float peak = 0;
    for (int i = 0; i < GridSize; ++i) {
        w.horizontal += double(m.at(Field::Kernel, i, 25));
        const float model = m.at(Field::Model, 25, i);
        w.vertical += double(model);
        if (peak < model) {
            peak = model;
        }
    }
    w.horizontal *= double(peak);
    return w;
}

void normalizeH(StageMatrix& m, const UnitWeights& w, int threshold, bool skip) {
    if (skip) {
        m.plane(Field::NormH) = m.plane(Field::Smoothed);
        return;
    }
    normalizeRows(m.plane(Field::Smoothed).data(), m.plane(Field::NormH).data(),
                  float(w.horizontal * threshold * 1.05));
}

int halfProbabilityIndex(const float* values, int count, float total) {
    const float half = float(double(total) / 2);
    float c = 0;
    for (int j = 0; j < count; ++j) {
        c += values[j];
        if (c > half) {
            return j;
        }
    }
    return 0;
}

void normalizeV(StageMatrix& m, const UnitWeights& w, int threshold,
                std::array<int, GridSize>& aveIndex) {
    normalizeAllColumns(m, float(w.vertical * threshold * 1.05), aveIndex);
}

} // namespace quendrix
