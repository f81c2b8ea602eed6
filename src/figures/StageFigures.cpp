#include "figures/StageFigures.h"

#include "ui/FigureSurface.h"

#include <cmath>

namespace quendrix {

namespace {

QColor toQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

bool valid(int index) {
    return index != NoIndex;
}

/// Whether |Prob| of column x rises without a dip from row `from` up to row `to`: the sum of the
/// steps equals the sum of their magnitudes only when no step is negative.
bool risesWithoutDip(const StageMatrix& m, int x, int from, int to) {
    double s = 0;
    double t = 0;
    for (int y = from; y < to; ++y) {
        const double d = double(std::fabs(m.at(Field::Prob, x, y + 1))) -
                         double(std::fabs(m.at(Field::Prob, x, y)));
        s += d;
        t += std::fabs(d);
    }
    return s == t;
}

} // namespace

float figureFactor(StageFigure figure, float rangeWidth, int smoothing) {
    switch (figure) {
    case StageFigure::Model:
    case StageFigure::Discrete:
        return float(double(rangeWidth) / 20);
    case StageFigure::Smoothed:
        return float((2.5 / smoothing) * (double(rangeWidth) / 20));
    case StageFigure::NormH:
    case StageFigure::Prob:
        return float(200.0 / 10);
    case StageFigure::Confi:
        break;
    }
    // The region classes are drawn in fixed colours, never through the ramp.
    return 1.0f;
}

Field figureField(StageFigure figure) {
    switch (figure) {
    case StageFigure::Model:
        return Field::Model;
    case StageFigure::Discrete:
        return Field::Discrete;
    case StageFigure::Smoothed:
        return Field::Smoothed;
    case StageFigure::NormH:
        return Field::NormH;
    case StageFigure::Prob:
        return Field::Prob;
    case StageFigure::Confi:
        break;
    }
    return Field::Confi;
}

// Plot positions are singles, as every other figure coordinate.
double cellX(double i) {
    return double(float((i - 25) * 1875 / 200));
}
double cellY(double j) {
    return double(float((1 - (j - 25) / 200) * 1875));
}

void drawStageFigure(ui::FigureSurface& surface, const StageMatrix& m, StageFigure figure,
                     float factor, const ColourRamp& ramp) {
    const Field field = figureField(figure);
    surface.setDrawWidth(1);
    surface.fillAll(Qt::white);
    for (int i = PlotFirst; i <= PlotLast; ++i) {
        for (int j = PlotFirst; j <= PlotLast; ++j) {
            const float value = float(double(m.at(field, i, j)) * double(factor));
            if (const auto colour = cellColour(ramp, value)) {
                surface.cell(cellX(i), cellY(j), toQColor(*colour));
            }
        }
    }
}

void drawMaskedProbability(ui::FigureSurface& surface, const StageMatrix& m,
                           const ColourRamp& ramp) {
    // Every plot cell is painted, so the earlier drawing needs no clearing.
    for (int i = PlotFirst; i <= PlotLast; ++i) {
        for (int j = PlotFirst; j <= PlotLast; ++j) {
            QColor colour(Qt::white);
            if (std::fabs(m.at(Field::Confi, i, j)) >= 1) {
                const double value = double(std::fabs(m.at(Field::Prob, i, j))) * (200.0 / 10) *
                                     double(ramp.enhancement);
                colour = toQColor(rampColour(ramp.points, value));
            }
            surface.cell(cellX(i), cellY(j), colour);
        }
    }
}

RegionShades regionShades(bool greyScale) {
    if (greyScale) {
        return {QColor(200, 200, 200), QColor(100, 100, 100)};
    }
    return {QColor(200, 255, 200), QColor(50, 127, 50)};
}

void drawConfidenceRegions(ui::FigureSurface& surface, const StageMatrix& m, bool greyScale) {
    const auto [inner, outer] = regionShades(greyScale);
    surface.setDrawWidth(1);
    surface.fillAll(Qt::white);
    for (int i = PlotFirst; i <= PlotLast; ++i) {
        for (int j = PlotFirst; j <= PlotLast; ++j) {
            const float q = std::fabs(m.at(Field::Confi, i, j));
            if (q == 1) {
                surface.cell(cellX(i), cellY(j), outer);
            } else if (q >= 2) {
                surface.cell(cellX(i), cellY(j), inner);
            }
        }
    }
    // Overlays drawn later go on top and a plain clear removes only them.
    surface.makePersistent();
}

void drawAverageOverlay(ui::FigureSurface& surface, const ColumnResults& columns, bool greyScale) {
    const QColor colour = greyScale ? QColor(0, 0, 0) : QColor(0, 0, 255);
    surface.setDrawWidth(1);
    for (int x = PlotFirst; x <= PlotLast; ++x) {
        const int a = columns.aveIndex[size_t(x)];
        const int b = columns.aveIndex[size_t(x + 1)];
        if (valid(a) && valid(b)) {
            surface.line(cellX(x), cellY(a), cellX(x + 1), cellY(b), colour);
        } else if (valid(a)) {
            surface.point(cellX(x), cellY(a), colour);
        } else if (valid(b)) {
            surface.point(cellX(x + 1), cellY(b), colour);
        }
    }
}

void drawModeOverlay(ui::FigureSurface& surface, const ColumnResults& columns, const StageMatrix& m,
                     bool greyScale) {
    const QColor colour = greyScale ? QColor(0, 0, 0) : QColor(255, 0, 0);
    surface.setDrawWidth(1);
    for (int x = PlotFirst; x <= PlotLast; ++x) {
        const int m0 = columns.modeIndex[size_t(x)];
        const int m1 = columns.modeIndex[size_t(x + 1)];
        if (!valid(m0) || !valid(m1)) {
            if (valid(m0)) {
                surface.point(cellX(x), cellY(m0), colour);
            } else if (valid(m1)) {
                surface.point(cellX(x + 1), cellY(m1), colour);
            }
            continue;
        }
        // A jump of two or more rows is bridged only when the column with the higher mode climbs
        // to it steadily; otherwise the two modes belong to separate peaks.
        bool join = true;
        if (m1 >= m0 + 2) {
            join = risesWithoutDip(m, x + 1, m0, m1);
        } else if (m0 >= m1 + 2) {
            join = risesWithoutDip(m, x, m1, m0);
        }
        if (join) {
            surface.line(cellX(x), cellY(m0), cellX(x + 1), cellY(m1), colour);
        } else {
            surface.point(cellX(x), cellY(m0), colour);
            surface.point(cellX(x + 1), cellY(m1), colour);
        }
    }
}

} // namespace quendrix
