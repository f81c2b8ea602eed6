#pragma once

#include "data/DataFile.h"
#include "pipeline/DetailMatrices.h"
#include "pipeline/LevelSearch.h"
#include "pipeline/Normalization.h"
#include "pipeline/StageMatrix.h"

#include <array>
#include <vector>

namespace quendrix::reference {

/// The plain triple loop of the matrix product: i, j, then k, no shortcut.
void multipleMatrix(StageMatrix& m, Field a, Field b, Field c);

/// The level bisection of one column of (signed) probabilities, one level after the other.
std::array<float, 2> columnLevels(const std::vector<float>& column, Coefficients coefficients);

// Each stage as literal loops, cell by cell in the written order, to compare and time against.

/// Model: one exponential per cell.
void gaussianModel(StageMatrix& m, const Grid& grid, float slope, float intercept, float stdDev);
void countSamples(StageMatrix& m, const DataFile& file1, const Grid& grid);
/// NormH: one Y row after the other, its sum first.
void normalizeH(StageMatrix& m, const UnitWeights& w, int threshold, bool skip);
/// Prob and the half-probability index: one X column after the other.
void normalizeV(StageMatrix& m, const UnitWeights& w, int threshold,
                std::array<int, GridSize>& aveIndex);
/// Confi and the column results: one X column after the other.
void findConfidenceRegions(StageMatrix& m, Coefficients coefficients, ColumnResults& columns);
/// The fine matrices: interpolated grid row by row (later rows blank earlier ones), then by column.
void buildDetailMatrices(const StageMatrix& m, Coefficients coefficients, DetailMatrices& out);

} // namespace quendrix::reference
