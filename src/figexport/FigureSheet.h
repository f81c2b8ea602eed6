#pragma once

#include "export/FigureFiles.h"
#include "figures/ReadoutLayout.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;

namespace quendrix {

namespace ui {
class FigureScene;
}

/// The words around a figure: its title, the range at both ends of both axes (one range for X
/// and Y) and the names of the axes.
struct AxisCaptions {
    QString title;
    QString xName;
    QString yName;
    QString lower;
    QString upper;
};

/// A figure laid out for a page, in logical pixels (the size it has on a screen): scenes drawn
/// by the windows' code, each in its box, texts and strokes around them.
struct FigureSheet {
    /// A figure's place on the sheet and what is drawn there.
    struct Surface {
        const ui::FigureScene* scene;
        QRectF box;
    };
    struct Text {
        enum class Style { Plain, Bold, Title };
        QRectF box;
        QString text;
        Qt::Alignment alignment;
        Style style = Style::Plain;
        bool vertical = false; ///< read from bottom to top
    };

    QSize size;
    QFont font;
    std::vector<Surface> surfaces;
    std::vector<Text> texts;
    std::vector<ReadoutStroke> strokes;
};

/// The side of a main window figure and of the chart's main figure on the sheet.
inline constexpr int SheetFigureSide = 320;
inline constexpr int SheetChartSide = 400;
/// How many device pixels a PNG gives each logical pixel: fit for print.
inline constexpr int PngScale = 4;

/// One of the main window's figures with its captions.
FigureSheet figureSheet(const ui::FigureScene& scene, const AxisCaptions& captions,
                        const QFont& font);

/// The calibration chart: the main figure, the section beside it with the brackets and marks
/// of its read-out (none without one), and the read-out's panel.
FigureSheet chartSheet(const ui::FigureScene& main, const ui::FigureScene& section,
                       const IntervalReadout* readout, const AxisCaptions& captions,
                       const QFont& font);

/// Fontconfig does not check its allocations as it loads, which Qt has it do when a font is first
/// measured: this measures the fonts of a sheet in `font` once there is room for that. False,
/// with nothing loaded, without that room.
bool loadSheetFonts(const QFont& font);

/// Qt's raster painting hands large fills and image conversions to its global thread pool and
/// waits for them, and the pool cannot tell that a thread it starts never ran: without the memory
/// for a thread's stack, painting would wait forever. This gives the pool one thread for good,
/// started once the memory for it is made sure of, and no more, so that painting never waits on
/// a thread that was not started. Called before the caller starts threads of its own. False, with
/// the pool left as it was, without that memory.
bool keepPaintingThread();

/// Paints the sheet at its logical size. False, with nothing or part of it painted, when the
/// painter is not active or a figure could not be drawn for want of memory.
bool paintSheet(QPainter& painter, const FigureSheet& sheet);

/// The sheet painted at `PngScale` times its logical size, with that resolution for printing;
/// null when it could not be drawn whole.
QImage sheetImage(const FigureSheet& sheet);

/// The sheet as a file's bytes: PNG at `PngScale` times the logical size, SVG and PDF as
/// vectors where the figure is lines and text. Empty when it could not be drawn whole.
QByteArray encodeSheet(const FigureSheet& sheet, FigureFormat format);

} // namespace quendrix
