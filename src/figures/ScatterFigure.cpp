#include "figures/ScatterFigure.h"

#include "ui/FigureScene.h"
#include "ui/FormUnits.h"

#include <QColor>

namespace quendrix {

namespace {

constexpr double Extent = ui::MainFigureSide;
constexpr double PointRadius = 30;

} // namespace

float scatterPosition(float value, double lo, double hi) {
    return float((double(value) - lo) * Extent / (hi - lo));
}

std::pair<double, double> fittingLineHeights(float slope, float intercept, double lo, double hi,
                                             float rangeWidth) {
    auto q = [&](double v) {
        return (1 - ((double(slope) * v + double(intercept)) - lo) / double(rangeWidth)) * Extent;
    };
    return {q(lo), q(hi)};
}

void drawScatter(ui::FigureScene& scene, const DataFile& file, double lo, double hi,
                 ScatterStyle style) {
    const QColor colour = style.greyScale ? QColor(0, 0, 0) : QColor(0, 0, 255);
    scene.fillAll(Qt::white);
    scene.setDrawWidth(1);
    if (lo == hi) {
        return;
    }
    for (const Sample& s : file.records) {
        // A missing value is no position; within a range near -9999 it would show as a point.
        if (!s.complete()) {
            continue;
        }
        const float x = scatterPosition(s.x, lo, hi);
        const float y = scatterPosition(s.y, lo, hi);
        scene.circle(x, Extent - double(y), PointRadius, colour, colour);
    }
}

void drawFittingLine(ui::FigureScene& scene, float slope, float intercept, double lo, double hi,
                     float rangeWidth, ScatterStyle style) {
    const QColor colour = style.greyScale ? QColor(0, 0, 0) : QColor(255, 0, 0);
    scene.setDrawWidth(1);
    if (rangeWidth == 0) {
        return;
    }
    const auto [left, right] = fittingLineHeights(slope, intercept, lo, hi, rangeWidth);
    scene.line(0, left, Extent, right, colour);
}

} // namespace quendrix
