#pragma once

#include "data/DataFile.h"

#include <string>

namespace quendrix {

/// The statistics of one file; they keep their previous values where the data cannot define
/// them (no spread of X, or no spread of Y for the correlation).
struct FileStatistics {
    float slope = 0;
    float intercept = 0;
    float correlation = 0;
    float stdDev = 0;
    bool lineDefined = false;        ///< X had a spread, so slope and intercept describe this file
    bool correlationDefined = false; ///< X and Y had a spread, so the correlation describes it
};

/// Least-squares line of Y on X and correlation over the complete records, in single-precision
/// sums. Returns `previous` with what the data define replaced.
FileStatistics computeRegression(const DataFile& file, FileStatistics previous);

/// Residual standard deviation of the complete records around the given line, divided by n - 1.
/// Needs at least two complete records.
float residualStdDev(const DataFile& file, float slope, float intercept);

/// "y = A x + B" with A to 3 decimals and B to 3 (below 100) or 2 decimals, halves to even.
std::string fittingLineCaption(float slope, float intercept);

/// The standard deviation to 5, 4, 3, 2 or 1 decimals by its size, halves to even.
std::string stdDevCaption(float stdDev);

} // namespace quendrix
