#pragma once

#include <functional>
#include <vector>

namespace quendrix {

/// One piece of a curve through per-column row indices: a line from column x to column x + 1,
/// or a lone point where a neighbour has no value.
struct CurvePiece {
    int x1, y1, x2, y2;
    bool line; ///< false: a point at (x1, y1)
    bool operator==(const CurvePiece&) const = default;
};

/// The magnitude of the probability in column x, row y.
using ColumnProbability = std::function<float(int x, int y)>;

/// The average curve over columns first..last (each joined to the next; `rows` must hold
/// last + 1): neighbouring rows joined by a line, a row whose neighbour has none (`NoIndex`)
/// as a point.
std::vector<CurvePiece> averageCurve(const int* rows, int first, int last);

/// The mode curve: as the average curve, but a jump of two or more rows is joined only when the
/// column with the higher mode rises to it without a dip; otherwise both modes are points, as
/// they belong to separate peaks.
std::vector<CurvePiece> modeCurve(const int* rows, int first, int last,
                                  const ColumnProbability& probability);

} // namespace quendrix
