#pragma once

#include "data/DataFile.h"
#include "pipeline/StageMatrix.h"

#include <cmath>
#include <cstddef>

namespace quendrix {

/// The grid index of a value as the samples are counted: nearest, halves to even, as a double
/// (infinite or far off the grid for a value outside it).
inline double gridIndex(float value, const Grid& grid) {
    return std::nearbyint((double(value) - double(grid.gridMin)) / grid.gridStep);
}

/// Counts the complete samples of file 1 into `Samples`; samples off the grid are dropped.
/// Returns how many were counted.
std::size_t countSamples(StageMatrix& m, const DataFile& file1, const Grid& grid);

/// The discrete model: the sample counts spread along Y by the error model,
/// Discrete = Samples x Model. Returns how many samples were counted.
std::size_t descreteModel(StageMatrix& m, const DataFile& file1, const Grid& grid);

} // namespace quendrix
