#include "tuning/HeldOutScore.h"

#include "pipeline/ColumnAnalysis.h"
#include "pipeline/DiscreteModel.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quendrix {

FoldCells cellsOf(const std::vector<Measurement>& pairs, const Grid& grid, double lower,
                  double upper) {
    // The cell a value is counted in, as the samples are; -1 off the grid.
    auto index = [&grid](float value) {
        const double i = gridIndex(value, grid);
        return i >= 0 && i < GridSize ? int(i) : -1;
    };
    std::vector<std::pair<int, int>> cells;
    FoldCells f;
    const double lo = std::min(lower, upper);
    const double hi = std::max(lower, upper);
    for (const Measurement& m : pairs) {
        const int column = index(*m.x);
        if (!(*m.x >= lo && *m.x <= hi) || column < 0) {
            ++f.outsideRange;
            continue;
        }
        cells.emplace_back(column, index(*m.y));
    }
    std::stable_sort(cells.begin(), cells.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [column, row] : cells) {
        if (f.columns.empty() || f.columns.back() != column) {
            f.columns.push_back(column);
            f.start.push_back(int(f.rows.size()));
        }
        f.rows.push_back(row);
    }
    f.start.push_back(int(f.rows.size()));
    return f;
}

FoldScore scoreFold(const StageMatrix& m, const FoldCells& cells, Coefficients coefficients,
                    std::vector<float>& gathered) {
    const int n = int(cells.columns.size());
    const int from = n > 0 ? cells.columns.front() : 0;
    const int span = n > 0 ? cells.columns.back() - from + 1 : 0;
    // Pairs in most columns: the whole span is analysed where it lies; in few: those columns
    // are gathered first.
    const bool dense = 2 * n > span;
    const float* first = m.row(Field::Prob, from);
    if (!dense) {
        gathered.resize(size_t(n) * GridSize);
        for (int c = 0; c < n; ++c) {
            std::copy_n(m.row(Field::Prob, cells.columns[size_t(c)]), GridSize,
                        &gathered[size_t(c) * GridSize]);
        }
        first = gathered.data();
    }
    const ColumnAnalysis analysis(first, dense ? span : n, GridSize, GridSize, coefficients);
    const double floorLog = std::log(ProbabilityFloor);
    FoldScore s;
    s.usable = true;
    for (int k = 0; k < n; ++k) {
        const int c = dense ? cells.columns[size_t(k)] - from : k;
        const float total = analysis.total(c);
        // A column's highest class is its peak's, at its mode.
        const bool region = total != 0 && analysis.classOf(c, analysis.mode(c)) >= 1;
        for (int q = cells.start[size_t(k)]; q < cells.start[size_t(k) + 1]; ++q) {
            const int row = cells.rows[size_t(q)];
            double p = 0;
            if (region) {
                const int cls = analysis.classOf(c, row);
                ++s.pairs;
                s.inNarrow += cls >= 2;
                s.inWide += cls >= 1;
                if (row >= 0) {
                    p = std::fabs(first[size_t(c) * GridSize + size_t(row)]) / double(total);
                }
            } else {
                ++s.noRegion;
            }
            if (p < ProbabilityFloor) {
                ++s.atFloor;
                s.logSum += floorLog;
            } else {
                s.logSum += std::log(p);
            }
        }
    }
    return s;
}

} // namespace quendrix
