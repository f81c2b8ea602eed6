#include "figures/Curves.h"

#include "pipeline/StageMatrix.h"
#include "ui/FigureScene.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace quendrix {
namespace {

/// Whether column x rises without a dip from row `from` up to row `to`: the sum of the steps
/// equals the sum of their magnitudes only when no step is negative.
bool risesWithoutDip(const ColumnProbability& probability, int x, int from, int to) {
    double s = 0;
    double t = 0;
    for (int y = from; y < to; ++y) {
        const double d = double(probability(x, y + 1)) - double(probability(x, y));
        s += d;
        t += std::fabs(d);
    }
    return s == t;
}

/// Walks the columns; `join` decides for two valid rows whether they are joined by a line.
template <class Join>
std::vector<CurvePiece> curve(const int* rows, int first, int last, Join join) {
    std::vector<CurvePiece> pieces;
    for (int x = first; x <= last; ++x) {
        const int a = rows[x];
        const int b = rows[x + 1];
        const bool va = a != NoIndex;
        const bool vb = b != NoIndex;
        if (va && vb && join(x, a, b)) {
            pieces.push_back({x, a, x + 1, b, true});
        } else if (va && vb) {
            pieces.push_back({x, a, x, a, false});
            pieces.push_back({x + 1, b, x + 1, b, false});
        } else if (va) {
            pieces.push_back({x, a, x, a, false});
        } else if (vb) {
            pieces.push_back({x + 1, b, x + 1, b, false});
        }
    }
    return pieces;
}

} // namespace

std::vector<CurvePiece> averageCurve(const int* rows, int first, int last) {
    return curve(rows, first, last, [](int, int, int) { return true; });
}

std::vector<CurvePiece> modeCurve(const int* rows, int first, int last,
                                  const ColumnProbability& probability) {
    return curve(rows, first, last, [&](int x, int a, int b) {
        if (b >= a + 2) {
            return risesWithoutDip(probability, x + 1, a, b);
        }
        if (a >= b + 2) {
            return risesWithoutDip(probability, x, b, a);
        }
        return true;
    });
}

bool inDash(int x, int first, int columns) {
    return (x - first) / columns % 2 == 0;
}

std::vector<CurvePiece> dashes(const std::vector<CurvePiece>& pieces, int first, int columns) {
    std::vector<CurvePiece> out;
    std::copy_if(pieces.begin(), pieces.end(), std::back_inserter(out),
                 [&](const CurvePiece& p) { return !p.line || inDash(p.x1, first, columns); });
    return out;
}

void drawCurve(ui::FigureScene& scene, const GridFrame& frame,
               const std::vector<CurvePiece>& pieces, const QColor& colour) {
    scene.setDrawWidth(1);
    for (const CurvePiece& p : pieces) {
        if (p.line) {
            scene.line(frame.x(p.x1), frame.y(p.y1), frame.x(p.x2), frame.y(p.y2), colour);
        } else {
            scene.point(frame.x(p.x1), frame.y(p.y1), colour);
        }
    }
}

} // namespace quendrix
