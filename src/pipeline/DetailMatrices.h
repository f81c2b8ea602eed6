#pragma once

#include "pipeline/LevelSearch.h"
#include "pipeline/StageMatrix.h"

#include <array>
#include <vector>

namespace quendrix {

/// Fine index f stands for grid index f / 2; 0..501 on both axes.
inline constexpr int FineSize = 502;
/// The fine indices the calibration chart shows on both axes.
inline constexpr int FineFirst = 50;
inline constexpr int FineLast = 450;

/// The probability matrix and its confidence analysis at double resolution.
struct DetailMatrices {
    DetailMatrices()
        : fineProb(size_t(FineSize * FineSize), 0.0f),
          fineConfi(size_t(FineSize * FineSize), 0.0f) {
        fineMode.fill(0);
        fineAve.fill(0);
        fineLevel.fill({0.0f, 0.0f});
    }

    float prob(int a, int b) const { return fineProb[size_t(a * FineSize + b)]; }
    float confi(int a, int b) const { return fineConfi[size_t(a * FineSize + b)]; }

    std::vector<float> fineProb;  ///< first index fine X, second fine Y
    std::vector<float> fineConfi; ///< classes 0..3, no negative marks
    std::array<int, FineSize> fineMode;
    std::array<int, FineSize> fineAve;
    std::array<std::array<float, 2>, FineSize - 1> fineLevel;
};

/// Interpolates |Prob| to the fine grid (fine X 50..451, fine Y 0..500; a column is never
/// blended into an empty neighbour, an empty grid row blanks its fine rows; other fine cells keep
/// their contents) and repeats the mode, half-probability and confidence analysis on it.
void buildDetailMatrices(const StageMatrix& m, Coefficients coefficients, DetailMatrices& out);

} // namespace quendrix
