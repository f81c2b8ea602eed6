#include "figures/StageFigures.h"

#include "figures/Curves.h"
#include "figures/FigureColours.h"
#include "ui/FigureSurface.h"

#include <QColor>

#include <cmath>

namespace quendrix {

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

double cellX(double i) {
    return MainFigureFrame.x(i);
}
double cellY(double j) {
    return MainFigureFrame.y(j);
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
    drawCurve(surface, MainFigureFrame, averageCurve(columns.aveIndex.data(), PlotFirst, PlotLast),
              lineColour(greyScale, QColor(0, 0, 255)));
}

void drawModeOverlay(ui::FigureSurface& surface, const ColumnResults& columns, const StageMatrix& m,
                     bool greyScale) {
    const auto probability = [&m](int x, int y) { return std::fabs(m.at(Field::Prob, x, y)); };
    drawCurve(surface, MainFigureFrame,
              modeCurve(columns.modeIndex.data(), PlotFirst, PlotLast, probability),
              lineColour(greyScale, QColor(255, 0, 0)));
}

} // namespace quendrix
