#include "pipeline/Normalization.h"

#include <algorithm>

namespace quendrix {

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
    // Row sums over X for every Y, accumulated in increasing X per row.
    alignas(64) float sums[GridSize] = {};
    for (int i = 0; i < GridSize; ++i) {
        const float* s = m.row(Field::Smoothed, i);
        for (int j = 0; j < GridSize; ++j) {
            sums[j] += s[j];
        }
    }
    const float t = float(w.horizontal * threshold * 1.05);
    for (int i = 0; i < GridSize; ++i) {
        const float* s = m.row(Field::Smoothed, i);
        float* out = m.row(Field::NormH, i);
        for (int j = 0; j < GridSize; ++j) {
            out[j] = (sums[j] != 0 && t <= sums[j]) ? float(double(s[j]) / double(sums[j])) : 0.0f;
        }
    }
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
    const float t = float(w.vertical * threshold * 1.05);
    for (int i = 0; i < GridSize; ++i) {
        const float* normH = m.row(Field::NormH, i);
        const float* smoothed = m.row(Field::Smoothed, i);
        float* prob = m.row(Field::Prob, i);
        float s5 = 0;
        float s4 = 0;
        for (int j = 0; j < GridSize; ++j) {
            s5 += normH[j];
            s4 += smoothed[j];
        }
        const bool keep = s5 != 0 && !(t > s4);
        for (int j = 0; j < GridSize; ++j) {
            prob[j] = keep ? float(double(normH[j]) / double(s5)) : 0.0f;
        }
        float total = 0;
        for (int j = 0; j < GridSize; ++j) {
            total += prob[j];
        }
        aveIndex[size_t(i)] = total == 0 ? 0 : halfProbabilityIndex(prob, GridSize, total);
        if (aveIndex[size_t(i)] >= 1) {
            prob[aveIndex[size_t(i)]] = -prob[aveIndex[size_t(i)]];
        }
    }
}

} // namespace quendrix
