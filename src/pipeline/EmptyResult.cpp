#include "pipeline/EmptyResult.h"

#include <optional>

namespace quendrix {
namespace {

bool anyInRange(const StageMatrix& m, Field f) {
    for (int i = PlotFirst; i <= PlotLast; ++i) {
        const float* column = m.row(f, i);
        for (int j = PlotFirst; j <= PlotLast; ++j) {
            if (column[j] != 0) {
                return true;
            }
        }
    }
    return false;
}

// The sums below are taken in the order the normalisations take them, so that a threshold said
// to let a row or column through does let it through.

/// The largest vertical threshold below `current` at which some Y row of the range holds enough
/// weight for the horizontal normalisation to keep it.
std::optional<int> rowThresholdThatKeeps(const StageMatrix& m, const UnitWeights& w, int current) {
    float sums[GridSize] = {};
    for (int i = 0; i < GridSize; ++i) {
        const float* s = m.row(Field::Smoothed, i);
        for (int j = 0; j < GridSize; ++j) {
            sums[j] += s[j];
        }
    }
    for (int k = current - 1; k >= 0; --k) {
        const float t = float(w.horizontal * k * 1.05);
        for (int j = PlotFirst; j <= PlotLast; ++j) {
            if (sums[j] == 0 || t > sums[j]) {
                continue;
            }
            for (int i = PlotFirst; i <= PlotLast; ++i) {
                if (m.at(Field::Smoothed, i, j) != 0) {
                    return k;
                }
            }
        }
    }
    return std::nullopt;
}

/// The largest horizontal threshold below `current` at which some X column of the range holds
/// enough weight for the vertical normalisation to keep it.
std::optional<int> columnThresholdThatKeeps(const StageMatrix& m, const UnitWeights& w,
                                            int current) {
    for (int k = current - 1; k >= 0; --k) {
        const float t = float(w.vertical * k * 1.05);
        for (int i = PlotFirst; i <= PlotLast; ++i) {
            const float* normH = m.row(Field::NormH, i);
            const float* smoothed = m.row(Field::Smoothed, i);
            float s5 = 0;
            float s4 = 0;
            bool inRange = false;
            for (int j = 0; j < GridSize; ++j) {
                s5 += normH[j];
                s4 += smoothed[j];
                inRange |= j >= PlotFirst && j <= PlotLast && normH[j] != 0;
            }
            if (inRange && s5 != 0 && !(t > s4)) {
                return k;
            }
        }
    }
    return std::nullopt;
}

std::string thresholdReason(const char* line, const char* name, int threshold,
                            std::optional<int> keeps) {
    std::string reason = std::string("no ") + line + " in the range holds the " +
                         std::to_string(threshold) + " sample(s) the " + name +
                         " threshold asks for";
    if (keeps) {
        reason += "; at " + std::to_string(*keeps) + (*keeps == 0 ? "" : " or less") + " some do";
    }
    return reason;
}

} // namespace

std::string emptyResultReason(const StageMatrix& m, const UnitWeights& w,
                              const ThresholdSettings& thresholds) {
    if (anyInRange(m, Field::Confi)) {
        return {};
    }
    if (!thresholds.skip && !anyInRange(m, Field::NormH)) {
        return thresholdReason("Y row", "vertical", thresholds.vertical,
                               rowThresholdThatKeeps(m, w, thresholds.vertical));
    }
    if (!anyInRange(m, Field::Prob)) {
        return thresholdReason("X column", "horizontal", thresholds.horizontal,
                               columnThresholdThatKeeps(m, w, thresholds.horizontal));
    }
    return "no cell of the range lies in a confidence region";
}

} // namespace quendrix
