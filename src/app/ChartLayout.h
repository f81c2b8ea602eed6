#pragma once

#include "ui/FormUnits.h"

#include <QRect>
#include <QSize>

#include <array>

namespace quendrix {

/// What the chart window's layout takes from its fonts and style, in pixels.
struct ChartMetrics {
    int line = 16;         ///< a label
    int slider = 20;       ///< a slider's height
    int sliderHandle = 10; ///< the length of a slider's thumb
    int yLabelWidth = 40;  ///< the vertical axis labels, left of the main figure
    int rightWidth = 120;  ///< the column of options, panel, check boxes and "OK"
    int option = 20;
    int check = 20;
    int button = 28;
    int panelMinimum = 100;
};

/// Where every control of the chart window stands. The main figure (`Picture1`) is square; the
/// section (`Picture2`) has its top and height, with the read-out strip beside it and the colour
/// chart (`Picture3`) under it; both grow with the designed proportions. The sliders span their
/// figure so that the thumb's centre stands over the position it chooses. The right column
/// keeps its natural width; its panel takes the height the figure leaves.
struct ChartGeometry {
    QRect picture1;
    QRect picture2;
    QRect picture3;
    QRect marks;
    QRect slider1;
    QRect slider2;
    QRect yUpper;       ///< `Label2(0)`
    QRect yLower;       ///< `Label1(0)`
    int labelRow = 0;   ///< top of `Label3` and `Label4`
    int xLabelRow = 0;  ///< top of `Label1(1)`, `Label2(1)`
    int sectionRow = 0; ///< top of `Label5`
    int line = 0;
    std::array<QRect, 2> option;
    QRect panel;
    QRect showAverage;
    QRect showMode;
    QRect ok;
    double pixelsPerTwip = 1.0 / ui::FormUnitsPerPixel;

    /// A label of `width` centred at `centre` in the row at `top`, moved inside left..right.
    QRect centred(int centre, int width, int top, int left, int right) const;
    /// `Label3`/`Label5` for a section at `percent`; `Label4` for an enhancement of `percent`.
    QRect sectionLabel(int percent, int width, int top) const;
    QRect enhancementLabel(int percent, int width) const;
};

ChartGeometry layoutChart(QSize area, const ChartMetrics& m);

/// The area the window needs at the smallest main figure, and the one it opens at.
QSize minimumChartArea(const ChartMetrics& m);
QSize preferredChartArea(const ChartMetrics& m);

} // namespace quendrix
