#pragma once

#include "colour/ColourRamp.h"
#include "print/PageGeometry.h"

#include <QRectF>
#include <QString>
#include <QStringList>

#include <array>

namespace quendrix {

namespace ui {
class PrinterPage;
}
class CalibrationSession;

/// The main window's page offset in twips; the offset is not zoomed.
inline constexpr double MainPageOffsetX = 200;
inline constexpr double MainPageOffsetY = 1000;

/// The surface of Fig.n (1..8) on the main window as designed for the page, in twips: four
/// columns of two rows as the window shows them when wide, each surface ui::MainFigureSide twips
/// square, so one figure unit is one twip at 100 %. The page does not follow the window's size: it
/// is the same for every window and fits A4 and Letter at 100 %.
QRectF mainPageFigure(int n);

/// Where the statistics block and the file block start, in twips of the designed window.
QPointF mainPageStatisticsBlock();
QPointF mainPageFileBlock();

/// The settings the result depends on besides the files, as both pages print them after the
/// files and in the window's order: the smoothing level, the vertical threshold with "Skip", the
/// horizontal threshold and, when `coefficients`, both confidence coefficients.
QStringList settingLines(const CalibrationSession& session, bool coefficients);
/// The generated error model's standard deviation while the model stands in for file 2; empty
/// otherwise.
QString generatedModelLine(const CalibrationSession& session);
/// The Z-axis enhancement line for `percent` (100 = as computed).
QString enhancementLine(const QString& percent);

/// What the main window's page shows besides the session: the window's drawn flags, check boxes
/// and axis texts.
struct MainPage {
    const CalibrationSession& session;
    std::array<bool, 8> drawn{};   ///< `Pict1Drawn` .. `Pict8Drawn`
    bool fittingLineShown = false; ///< Fig.2 shows file 2's line ("Show fitting line")
    bool showMode = true;          ///< "Show mode"
    bool showAverage = true;       ///< "Show ave."
    QString lowerText;             ///< the committed range: axis labels and scatter mapping
    QString upperText;
};

/// `PrintMainWindow`: the main window's page, re-plotted from the session: the drawn figures
/// cell by cell and point by point, a frame around every figure, the title, the axis labels,
/// the statistics, the files and the settings. The print options are the session's; they must
/// give a page (`checkPrintSettings`).
void printMainWindow(ui::PrinterPage& page, const MainPage& in, double offsetX = MainPageOffsetX,
                     double offsetY = MainPageOffsetY);

/// `PrintScatterFigure`: Fig.1 (f = 0) or Fig.2 (f = 1), its samples as filled circles inside
/// the figure and the four edges of the figure.
void printScatterFigure(ui::PrinterPage& page, const MainPage& in, int f, const PageTransform& t);

/// `PrintConfidenceFigure`: Fig.8 cell by cell in the region shades; over them the mode cells red
/// while "Show mode" is checked, and over those the half-probability cells blue in dashes while
/// "Show ave." is.
void printConfidenceFigure(ui::PrinterPage& page, const MainPage& in, const PageTransform& t);

/// `PrintRainbow`: grid cell (x, y) of stage figure k (0..4 for Fig.3 .. Fig.7) in the ramp
/// colour of `value`; nothing when the enhanced value is at or below the threshold.
void printRainbow(ui::PrinterPage& page, const ColourRamp& ramp, float value, int x, int y, int k,
                  const PageTransform& t);

} // namespace quendrix
