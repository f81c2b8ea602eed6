#include "app/ChartLayout.h"

#include <algorithm>
#include <cmath>

namespace quendrix {
namespace {

// The designed layout, in twips: the main figure's side, the section's width, the gap between
// them, the read-out strip beside the section and the colour chart's height.
constexpr double FigureSide = 5055;
constexpr double SectionWidth = 1375;
constexpr double FigureGap = 330;
constexpr double StripWidth = 680;
constexpr double ChartHeight = 210;

constexpr int Margin = 8;
constexpr int Gap = 4;
constexpr int MinimumSide = 240;
constexpr int PreferredSide = 440;

int scaled(int side, double twips) {
    return int(std::lround(side * twips / FigureSide));
}

int topRows(const ChartMetrics& m) {
    return std::max(m.line, m.option) + std::max(m.slider, m.option) + Gap;
}

int bottomRows(const ChartMetrics& m) {
    return Gap + 2 * m.line + Gap;
}

/// Width beside the figure's side, which grows with it.
int fixedWidth(const ChartMetrics& m) {
    return 2 * Margin + m.yLabelWidth + Gap + 2 * Gap + m.rightWidth;
}

double widthPerSide() {
    return 1 + (SectionWidth + FigureGap + StripWidth) / FigureSide;
}

/// The right column below the figure's top: the smallest panel, the check boxes and "OK".
int rightColumnHeight(const ChartMetrics& m) {
    return m.panelMinimum + Gap + 2 * m.check + Gap + m.button;
}

QSize areaFor(int side, const ChartMetrics& m) {
    const int height =
        Margin + topRows(m) + std::max(side + bottomRows(m), rightColumnHeight(m)) + Margin;
    return {fixedWidth(m) + int(std::ceil(side * widthPerSide())) + 3, height};
}

} // namespace

QRect ChartGeometry::centred(int centre, int width, int top, int left, int right) const {
    const int x = std::clamp(centre - width / 2, left, std::max(left, right - width));
    return {x, top, width, line};
}

QRect ChartGeometry::sectionLabel(int percent, int width, int top) const {
    const int centre = picture1.left() + int(std::lround(picture1.width() * percent / 100.0));
    return centred(centre, width, top, Margin, picture2.left() - Gap);
}

QRect ChartGeometry::enhancementLabel(int percent, int width) const {
    const int centre = picture2.left() + int(std::lround(picture2.width() * percent / 200.0));
    return centred(centre, width, labelRow, picture1.right() + Gap, marks.right());
}

ChartGeometry layoutChart(QSize area, const ChartMetrics& m) {
    ChartGeometry g;
    g.line = m.line;
    const int byWidth = int((area.width() - fixedWidth(m)) / widthPerSide());
    const int byHeight = area.height() - 2 * Margin - topRows(m) - bottomRows(m);
    const int side = std::max(MinimumSide, std::min(byWidth, byHeight));
    g.pixelsPerTwip = side / FigureSide;

    const int top = Margin + topRows(m);
    const int left = Margin + m.yLabelWidth + Gap;
    g.picture1 = QRect(left, top, side, side);
    g.picture2 = QRect(g.picture1.right() + 1 + scaled(side, FigureGap), top,
                       scaled(side, SectionWidth), side);
    g.marks = QRect(g.picture2.right() + 1, top, scaled(side, StripWidth), side);
    g.picture3 = QRect(g.picture2.left(), top + side + Gap, g.picture2.width(),
                       std::clamp(scaled(side, ChartHeight), 8, m.line));

    g.labelRow = Margin + (std::max(m.line, m.option) - m.line) / 2;
    const int sliderTop = Margin + std::max(m.line, m.option);
    // The thumb's centre runs from one edge of the figure to the other.
    g.slider1 = QRect(left - m.sliderHandle / 2, sliderTop, side + m.sliderHandle, m.slider);
    g.slider2 = QRect(g.picture2.left() - m.sliderHandle / 2, sliderTop,
                      g.picture2.width() + m.sliderHandle, m.slider);
    g.yUpper = QRect(Margin, top, m.yLabelWidth, m.line);
    g.yLower = QRect(Margin, top + side - m.line, m.yLabelWidth, m.line);
    g.xLabelRow = top + side + Gap;
    g.sectionRow = g.xLabelRow + m.line;

    const int right = g.marks.right() + 1 + 2 * Gap;
    g.option[0] = QRect(right, Margin, m.rightWidth, m.option);
    g.option[1] = QRect(right, sliderTop, m.rightWidth, m.option);
    const int bottom = std::max(top + side, top + rightColumnHeight(m));
    g.ok = QRect(right, bottom - m.button, m.rightWidth, m.button);
    g.showMode = QRect(right, g.ok.top() - Gap - m.check, m.rightWidth, m.check);
    g.showAverage = QRect(right, g.showMode.top() - m.check, m.rightWidth, m.check);
    g.panel = QRect(right, top, m.rightWidth, g.showAverage.top() - Gap - top);
    return g;
}

QSize minimumChartArea(const ChartMetrics& m) {
    return areaFor(MinimumSide, m);
}

QSize preferredChartArea(const ChartMetrics& m) {
    return areaFor(PreferredSide, m);
}

} // namespace quendrix
