#pragma once

#include <QRectF>

namespace quendrix {

namespace ui {
class PrinterPage;
}
class CalibrationSession;

/// The calibration chart window's page offset in twips; the offset is not zoomed.
inline constexpr double ChartPageOffsetX = 500;
inline constexpr double ChartPageOffsetY = 1000;

/// Where the chart window's controls stand as designed, in twips: the main figure (`Picture1`),
/// the section (`Picture2`) and the interval panel.
inline const QRectF ChartMainFigure(840, 960, 5055, 5055);
inline const QRectF ChartSection(6225, 960, 1375, 5055);
inline const QRectF ChartIntervalPanel(8280, 960, 1440, 3720);

/// What the calibration chart window shows besides the session: its sliders and check boxes.
struct ChartView {
    int sectionPercent = 50;      ///< `Slider1`, the section's place on the X axis
    int enhancementPercent = 100; ///< `Slider2`
    bool showAverage = true;      ///< `Check4` "Show average"
    bool showMode = true;         ///< `Check1` "Show mode"
};

/// `PrintChartWindow`: the calibration chart window's page, re-plotted from the session's
/// double-resolution matrices (which must be built): the main figure in the region shades, the
/// section as bars, the average and mode curves and the section's marker, frames around both
/// figures, the title, the axis labels and the section's X value, the files and settings, and
/// the section's intervals, average and mode as the window's panel reads them. The print options
/// are the session's; they must give a page (`checkPrintSettings`).
void printChartWindow(ui::PrinterPage& page, const CalibrationSession& session,
                      const ChartView& view, double offsetX = ChartPageOffsetX,
                      double offsetY = ChartPageOffsetY);

} // namespace quendrix
