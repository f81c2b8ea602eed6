#include "figures/Curves.h"

#include "pipeline/StageMatrix.h"
#include "ui/FigureSurface.h"

#include <cmath>

namespace quendrix {
namespace {

bool valid(int index) {
    return index != NoIndex;
}

/// The sum of the steps equals the sum of their magnitudes only when no step falls.
bool risesWithoutDip(const float* values, int from, int to) {
    double s = 0;
    double t = 0;
    for (int y = from; y < to; ++y) {
        const double d = double(std::fabs(values[y + 1])) - double(std::fabs(values[y]));
        s += d;
        t += std::fabs(d);
    }
    return s == t;
}

/// Joins a and b of columns x and x + 1, or plots whichever is valid; false when neither is.
bool joinOrPlot(ui::FigureSurface& surface, const GridFrame& f, int x, int a, int b,
                const QColor& colour) {
    if (valid(a) && valid(b)) {
        surface.line(f.x(x), f.y(a), f.x(x + 1), f.y(b), colour);
    } else if (valid(a)) {
        surface.point(f.x(x), f.y(a), colour);
    } else if (valid(b)) {
        surface.point(f.x(x + 1), f.y(b), colour);
    }
    return valid(a) || valid(b);
}

} // namespace

void drawIndexCurve(ui::FigureSurface& surface, const GridFrame& frame, const int* index, int first,
                    int last, const QColor& colour) {
    surface.setDrawWidth(1);
    for (int x = first; x <= last; ++x) {
        joinOrPlot(surface, frame, x, index[x], index[x + 1], colour);
    }
}

void drawModeCurve(ui::FigureSurface& surface, const GridFrame& frame, const int* mode, int first,
                   int last, const ColumnValues& column, const QColor& colour) {
    surface.setDrawWidth(1);
    for (int x = first; x <= last; ++x) {
        const int a = mode[x];
        const int b = mode[x + 1];
        bool join = true;
        if (valid(a) && valid(b)) {
            if (b >= a + 2) {
                join = risesWithoutDip(column(x + 1), a, b);
            } else if (a >= b + 2) {
                join = risesWithoutDip(column(x), b, a);
            }
        }
        if (join) {
            joinOrPlot(surface, frame, x, a, b, colour);
        } else {
            surface.point(frame.x(x), frame.y(a), colour);
            surface.point(frame.x(x + 1), frame.y(b), colour);
        }
    }
}

} // namespace quendrix
