#include "figures/StageFigures.h"

#include "figures/CurvePieces.h"
#include "ui/FigureSurface.h"

#include <cmath>

namespace quendrix {

namespace {

QColor toQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

void drawCurve(ui::FigureSurface& surface, const std::vector<CurvePiece>& pieces,
               const QColor& colour) {
    surface.setDrawWidth(1);
    for (const CurvePiece& p : pieces) {
        if (p.line) {
            surface.line(cellX(p.x1), cellY(p.y1), cellX(p.x2), cellY(p.y2), colour);
        } else {
            surface.point(cellX(p.x1), cellY(p.y1), colour);
        }
    }
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
    drawCurve(surface, averageCurve(columns.aveIndex.data(), PlotFirst, PlotLast),
              greyScale ? QColor(0, 0, 0) : QColor(0, 0, 255));
}

void drawModeOverlay(ui::FigureSurface& surface, const ColumnResults& columns, const StageMatrix& m,
                     bool greyScale) {
    const auto probability = [&m](int x, int y) { return std::fabs(m.at(Field::Prob, x, y)); };
    drawCurve(surface, modeCurve(columns.modeIndex.data(), PlotFirst, PlotLast, probability),
              greyScale ? QColor(0, 0, 0) : QColor(255, 0, 0));
}

} // namespace quendrix
