#include "figures/StageFigures.h"

#include "figures/Curves.h"
#include "figures/FigureColours.h"
#include "ui/FigureScene.h"

#include <QColor>
#include <QImage>

#include <array>
#include <cmath>

namespace quendrix {

namespace {

constexpr std::size_t PlotCells = PlotLast - PlotFirst + 1;

// The plot window's cells written straight into the scene's cell grid and handed over in one
// call: tens of thousands of single cell calls cost more than the arithmetic behind them.
class CellGrid {
  public:
    explicit CellGrid(const ui::FigureScene& scene)
        : image_(scene.cellGridSize(), QImage::Format_ARGB32) {
        image_.fill(Qt::transparent);
        // Cells by address: asking the image for a row per cell costs as much as the colour.
        // A null image (no memory) has no pixels, and set() writes none.
        pixels_ = reinterpret_cast<QRgb*>(image_.bits());
        stride_ = image_.bytesPerLine() / qsizetype(sizeof(QRgb));
        for (int k = PlotFirst; k <= PlotLast; ++k) {
            const auto n = std::size_t(k - PlotFirst);
            columns_[n] = scene.cellIndex(cellX(k));
            rows_[n] = scene.cellIndex(cellY(k));
        }
    }

    // The pixel address belongs to this image alone.
    CellGrid(const CellGrid&) = delete;
    CellGrid& operator=(const CellGrid&) = delete;

    void set(int i, int j, QRgb colour) {
        const int x = columns_[std::size_t(i - PlotFirst)];
        const int y = rows_[std::size_t(j - PlotFirst)];
        if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height()) {
            pixels_[y * stride_ + x] = colour;
        }
    }

    const QImage& image() const { return image_; }

  private:
    QImage image_;
    QRgb* pixels_ = nullptr;
    qsizetype stride_ = 0;
    std::array<int, PlotCells> columns_{};
    std::array<int, PlotCells> rows_{};
};

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

double cellX(double i) {
    return MainFigureFrame.x(i);
}
double cellY(double j) {
    return MainFigureFrame.y(j);
}

void drawStageFigure(ui::FigureScene& scene, const StageMatrix& m, StageFigure figure, float factor,
                     const ColourRamp& ramp) {
    const Field field = figureField(figure);
    scene.setDrawWidth(1);
    scene.fillAll(Qt::white);
    CellGrid grid(scene);
    for (int i = PlotFirst; i <= PlotLast; ++i) {
        for (int j = PlotFirst; j <= PlotLast; ++j) {
            const float value = float(double(m.at(field, i, j)) * double(factor));
            if (const auto colour = cellColour(ramp, value)) {
                grid.set(i, j, toQRgb(*colour));
            }
        }
    }
    scene.cells(grid.image());
}

void drawMaskedProbability(ui::FigureScene& scene, const StageMatrix& m, const ColourRamp& ramp) {
    // Every plot cell is painted, so the earlier drawing needs no clearing.
    CellGrid grid(scene);
    for (int i = PlotFirst; i <= PlotLast; ++i) {
        for (int j = PlotFirst; j <= PlotLast; ++j) {
            QRgb colour = qRgb(255, 255, 255);
            if (std::fabs(m.at(Field::Confi, i, j)) >= 1) {
                const double value = double(std::fabs(m.at(Field::Prob, i, j))) * (200.0 / 10) *
                                     double(ramp.enhancement);
                colour = toQRgb(rampColour(ramp.points, value));
            }
            grid.set(i, j, colour);
        }
    }
    scene.cells(grid.image());
}

void drawConfidenceRegions(ui::FigureScene& scene, const StageMatrix& m, bool greyScale) {
    const auto [inner, outer] = regionShades(greyScale);
    scene.setDrawWidth(1);
    scene.fillAll(Qt::white);
    CellGrid grid(scene);
    for (int i = PlotFirst; i <= PlotLast; ++i) {
        for (int j = PlotFirst; j <= PlotLast; ++j) {
            const float q = std::fabs(m.at(Field::Confi, i, j));
            if (q == 1) {
                grid.set(i, j, outer.rgba());
            } else if (q >= 2) {
                grid.set(i, j, inner.rgba());
            }
        }
    }
    scene.cells(grid.image());
    // Overlays drawn later go on top and a plain clear removes only them.
    scene.makePersistent();
}

void drawAverageOverlay(ui::FigureScene& scene, const ColumnResults& columns, bool greyScale) {
    drawCurve(
        scene, MainFigureFrame,
        dashes(averageCurve(columns.aveIndex.data(), PlotFirst, PlotLast), PlotFirst, AverageDash),
        lineColour(greyScale, QColor(0, 0, 255)));
}

void drawModeOverlay(ui::FigureScene& scene, const ColumnResults& columns, const StageMatrix& m,
                     bool greyScale) {
    const auto probability = [&m](int x, int y) { return std::fabs(m.at(Field::Prob, x, y)); };
    drawCurve(scene, MainFigureFrame,
              modeCurve(columns.modeIndex.data(), PlotFirst, PlotLast, probability),
              lineColour(greyScale, QColor(255, 0, 0)));
}

void drawConfidenceOverlays(ui::FigureScene& scene, const ColumnResults& columns,
                            const StageMatrix& m, bool mode, bool average, bool greyScale) {
    // Where the two run together both show: the average's gaps leave the mode visible.
    if (mode) {
        drawModeOverlay(scene, columns, m, greyScale);
    }
    if (average) {
        drawAverageOverlay(scene, columns, greyScale);
    }
}

} // namespace quendrix
