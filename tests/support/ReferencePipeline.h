#pragma once

#include "data/AxisRange.h"
#include "data/DataFile.h"
#include "pipeline/ConfidenceRegions.h"
#include "pipeline/DetailMatrices.h"
#include "pipeline/LevelSearch.h"
#include "pipeline/StageMatrix.h"

#include <array>
#include <vector>

namespace quendrix::reference {

/// The plain triple loop of the matrix product: i, j, then k, no shortcut.
void multipleMatrix(StageMatrix& m, Field a, Field b, Field c);

/// The level bisection of one column, branch by branch as written out in the method.
std::array<float, 2> columnLevels(const std::vector<float>& column, float peak, float total,
                                  Coefficients coefficients);

/// The stages below are written cell by cell in the order the method states them, with every
/// single-precision sum spelled out; the fast stages must reproduce them bit for bit.

/// Sample counts: each complete record's grid indices rounded half to even.
void countSamples(StageMatrix& m, const DataFile& file1, const Grid& grid);

/// Row-wise normalisation over X with the threshold in sample weights; `skip` copies.
void normalizeH(StageMatrix& m, double unitWeightH, int threshold, bool skip);

/// Column-wise normalisation over Y, the first crossing of half the column and its marker.
void normalizeV(StageMatrix& m, double unitWeightV, int threshold,
                std::array<int, GridSize>& aveIndex);

/// Mode, levels by columnLevels, and classes, one column after the other.
void findConfidenceRegions(StageMatrix& m, Coefficients coefficients, ColumnResults& columns);

/// Interpolation to the fine grid and its column analysis, cell by cell.
void buildDetailMatrices(const StageMatrix& m, Coefficients coefficients, DetailMatrices& out);

} // namespace quendrix::reference
