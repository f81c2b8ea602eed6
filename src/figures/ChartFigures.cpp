#include "figures/ChartFigures.h"

#include "base/NumberText.h"
#include "figures/FigureColours.h"
#include "ui/FigureScene.h"

#include <algorithm>
#include <cmath>

namespace quendrix {
namespace {

constexpr int Side = FineLast - FineFirst + 1;
constexpr int SectionDots = 101;

QRgb* pixelRow(QImage& image, int y) {
    return reinterpret_cast<QRgb*>(image.scanLine(y));
}

} // namespace

int enhancementPercent(const ColourRamp& ramp) {
    return int(std::clamp(roundHalfEven(double(ramp.enhancement) * 100), 0.0, 200.0));
}

float sectionValue(float prob, int percent) {
    return float(float(prob * float(percent)) * 200.0f) / 10.0f;
}

QImage chartImage(const DetailMatrices& d, ChartMode mode, int percent, const ColourRamp& ramp) {
    QImage image(Side, Side, QImage::Format_RGB32);
    // A scene given the null image counts as incomplete.
    if (image.isNull()) {
        return image;
    }
    const RegionShades shades = regionShades(ramp.greyScale);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb inner = shades.inner.rgb();
    const QRgb outer = shades.outer.rgb();
    const double s = percent / 100.0;
    // Pixel (x, y) by address: asking the image for a row per pixel costs as much as the colour.
    QRgb* const top = pixelRow(image, 0);
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    for (int i = FineFirst; i <= FineLast; ++i) {
        const float* prob = &d.fineProb[size_t(i * FineSize)];
        const float* confi = &d.fineConfi[size_t(i * FineSize)];
        QRgb* const column = top + (i - FineFirst);
        for (int j = FineFirst; j <= FineLast; ++j) {
            const float c = std::fabs(confi[j]);
            QRgb colour = white;
            if (mode == ChartMode::Confidence) {
                colour = c < 0.5f ? white : c < 1.5f ? outer : inner;
            } else if (c >= 1.0f) {
                const Rgb rgb = rampColour(ramp.points, double(prob[j]) * s * 200 / 10);
                colour = toQRgb(rgb);
            }
            column[(FineLast - j) * stride] = colour;
        }
    }
    return image;
}

void drawChartFigure(ui::FigureScene& scene, const DetailMatrices& d, ChartMode mode, int percent,
                     const ColourRamp& ramp) {
    scene.setScale(ChartFrame.width, ChartFrame.height);
    scene.setDrawWidth(1);
    scene.fillAll(Qt::white);
    // Pixel k covers the units k - 1/2 .. k + 1/2, as a cell centred on its point does.
    scene.image(chartImage(d, mode, percent, ramp), -0.5, -0.5, Side - 0.5, Side - 0.5);
    scene.makePersistent();
}

int sectionDots(float v) {
    // The h = 0..100 with v > h.
    if (!(v > 0)) {
        return 0;
    }
    return v > SectionDots - 1 ? SectionDots : int(std::ceil(v));
}

void drawSection(ui::FigureScene& scene, const DetailMatrices& d, int column, int percent,
                 bool greyScale) {
    QImage bars(SectionDots, Side, QImage::Format_ARGB32);
    bars.fill(Qt::transparent);
    const QRgb dot = lineColour(greyScale, QColor(0, 0, 255)).rgb();
    const float* prob = &d.fineProb[size_t(column * FineSize)];
    for (int r = FineFirst; r <= FineLast && !bars.isNull(); ++r) {
        std::fill_n(pixelRow(bars, FineLast - r), sectionDots(sectionValue(prob[r], percent)), dot);
    }
    scene.setScale(SectionDots, ChartFrame.height);
    scene.setDrawWidth(1);
    scene.fillAll(Qt::white);
    scene.image(bars, 0, -0.5, SectionDots, Side - 0.5);
}

float colourChartLimit(const DetailMatrices& d, int column, int percent) {
    return sectionValue(d.fineLevel[size_t(column)][1], percent);
}

void drawColourChart(ui::FigureScene& scene, const ColourPoints& points, float limit) {
    constexpr int steps = 400;
    QImage chart(steps + 1, 1, QImage::Format_RGB32);
    QRgb* row = pixelRow(chart, 0);
    for (int x = 0; x <= steps && row != nullptr; ++x) {
        const float p = float(x) / steps;
        if (limit >= p * 100) {
            row[x] = qRgb(255, 255, 255);
        } else {
            const Rgb rgb = rampColour(points, p);
            row[x] = toQRgb(rgb);
        }
    }
    scene.setScale(steps, 1);
    scene.fillAll(Qt::white);
    scene.image(chart, -0.5, 0, steps + 0.5, 1);
}

void drawSectionMarker(ui::FigureScene& scene, int sectionPercent, bool greyScale) {
    if (sectionPercent <= 0 || sectionPercent >= 100) {
        return;
    }
    const double x = ChartFrame.width * sectionPercent / 100;
    scene.setDrawWidth(1);
    scene.line(x, 0, x, ChartFrame.height, lineColour(greyScale, QColor(0, 0, 255)));
}

std::vector<CurvePiece> fineAverageDashes(const DetailMatrices& d) {
    return dashes(averageCurve(d.fineAve.data(), FineFirst, FineLast), FineFirst, 2 * AverageDash);
}

void drawChartCurves(ui::FigureScene& scene, const DetailMatrices& d, bool average, bool mode,
                     bool greyScale) {
    // The dashed average over the solid mode: where they run together both show.
    if (mode) {
        const auto probability = [&d](int x, int y) { return std::fabs(d.prob(x, y)); };
        drawCurve(scene, ChartFrame, modeCurve(d.fineMode.data(), FineFirst, FineLast, probability),
                  lineColour(greyScale, QColor(255, 0, 0)));
    }
    if (average) {
        drawCurve(scene, ChartFrame, fineAverageDashes(d),
                  lineColour(greyScale, QColor(0, 0, 255)));
    }
}

} // namespace quendrix
