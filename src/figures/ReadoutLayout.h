#pragma once

#include "readout/IntervalReadout.h"
#include "ui/FormUnits.h"

#include <QColor>
#include <QLineF>
#include <QString>

#include <vector>

namespace quendrix {

/// Where the section stands in its window, in pixels: its right edge, the top and height of its
/// rows, and the scale of the designed offsets (twips) beside it.
struct SectionFrame {
    double right = 0;
    double top = 0;
    double height = 0;
    double pixelsPerTwip = 1.0 / ui::FormUnitsPerPixel;

    /// Row offset s (0..400, 0 at the bottom) on the section.
    double y(double s) const { return top + (1 - s / 400) * height; }
    double x(double twips) const { return right + twips * pixelsPerTwip; }
};

/// One stroke of the read-out beside the section.
struct ReadoutStroke {
    QLineF line;
    QColor colour;
};

/// The brackets of both regions (coefficient 1 farther out) and the mode (red) and average (blue)
/// marks beside the section. An end that runs on beyond the shown range gets no tick.
std::vector<ReadoutStroke> readoutStrokes(const IntervalReadout& r, const SectionFrame& frame);

/// One line of the interval panel, placed in line pitches from the panel's top left.
struct PanelLine {
    QString text;
    bool bold = false;
    double x = 0;
    double y = 0;
};

/// The panel's lines, exactly the read-out's `panelLines()`: bold headers, indented values, half
/// a line between the groups.
std::vector<PanelLine> panelLayout(const IntervalReadout& r);

} // namespace quendrix
