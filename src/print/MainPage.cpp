#include "print/MainPage.h"

#include "base/NumberText.h"
#include "figures/Curves.h"
#include "figures/FigureColours.h"
#include "figures/FigureGrid.h"
#include "figures/ScatterFigure.h"
#include "figures/StageFigures.h"
#include "session/CalibrationSession.h"
#include "ui/FormUnits.h"
#include "ui/PrinterPage.h"
#include "ui/Text.h"

#include <cmath>
#include <utility>
#include <vector>

namespace quendrix {
namespace {

constexpr double Side = ui::MainFigureSide;
// The designed window: a label column left of each figure, a caption line above it and a label
// line below, under a strip that leaves the title room.
constexpr FigureFrame DesignFrame{600, 300, 150};
constexpr double FiguresTop = 600;
constexpr double LabelGap = 60;
const QString FontName = QStringLiteral("Arial");

using ui::qs;

/// Prints lines downwards from a starting point; each line moves the print position down by
/// one line at the current font.
class TextBlock {
  public:
    TextBlock(ui::PrinterPage& page, double y) : page_(page), y_(y) {}
    void line(double x, const QString& text) {
        page_.text(x, y_, text);
        y_ += page_.lineHeight();
    }

  private:
    ui::PrinterPage& page_;
    double y_;
};

void printAxisLabels(ui::PrinterPage& page, const MainPage& in, const PageTransform& t,
                     double margin, double fontSize) {
    const double h = page.lineHeight();
    const auto width = [&](const QString& s) { return estimatedTextWidth(s, fontSize); };
    for (int n = 1; n <= 8; ++n) {
        const QRectF box = t.map(mainPageFigure(n));
        page.text(box.left(), box.top() - margin - h, QStringLiteral("Fig.%1").arg(n));
        // The range along the left edge, ending just left of the frame, level with the ends.
        const double right = box.left() - margin - LabelGap * t.zoom;
        page.text(right - width(in.upperText), box.top() - h / 2, in.upperText);
        page.text(right - width(in.lowerText), box.bottom() - h / 2, in.lowerText);
        // The range along the bottom, centred under the ends.
        const double below = box.bottom() + margin;
        page.text(box.left() - width(in.lowerText) / 2, below, in.lowerText);
        page.text(box.right() - width(in.upperText) / 2, below, in.upperText);
    }
}

void printTextBlocks(ui::PrinterPage& page, const MainPage& in, const PageTransform& t) {
    const Captions& cap = in.session.captions();
    const QPointF stats = mainPageStatisticsBlock();
    TextBlock statistics(page, t.y(stats.y()));
    const double sx = t.x(stats.x());
    statistics.line(sx, QStringLiteral("N1 = ") + qs(cap.count[0]));
    statistics.line(sx, QStringLiteral("N2 = ") + qs(cap.count[1]));
    statistics.line(sx, QStringLiteral("R1 = ") + qs(cap.correlation[0]));
    statistics.line(sx, QStringLiteral("R2 = ") + qs(cap.correlation[1]));
    if (in.fittingLineShown) {
        statistics.line(sx, QStringLiteral("Fitting line:"));
        statistics.line(t.x(stats.x() + 60), qs(cap.fittingLine));
        statistics.line(t.x(stats.x() + 60), QStringLiteral("Std. Dev. = ") + qs(cap.stdDev));
    }

    const QPointF files = mainPageFileBlock();
    TextBlock block(page, t.y(files.y()));
    const double fx = t.x(files.x());
    const double indented = t.x(files.x() + 60);
    for (size_t f = 0; f < 2; ++f) {
        block.line(fx, QStringLiteral("Figure %1").arg(f + 1));
        block.line(indented, QStringLiteral("File: ") + qs(cap.path[f]));
        block.line(indented, QStringLiteral("X: ") + qs(cap.xName[f]));
        block.line(indented, QStringLiteral("Y: ") + qs(cap.yName[f]));
    }
    if (const QString model = generatedModelLine(in.session); !model.isEmpty()) {
        block.line(indented, model);
    }
    for (const QString& setting : settingLines(in.session, in.drawn[7])) {
        block.line(fx, setting);
    }
    const float percent = in.session.state().colour.enhancement * 100.0f;
    block.line(fx, enhancementLine(qs(shortestText(percent))));
}

} // namespace

QStringList settingLines(const CalibrationSession& session, bool coefficients) {
    const Captions& cap = session.captions();
    const PipelineSettings& settings = session.settings();
    QStringList lines{
        QStringLiteral("Smoothing level:  ") + qs(cap.smoothing) + QStringLiteral(" %"),
        QStringLiteral("Vertical threshold:  %1 sample(s)").arg(settings.verticalThreshold),
        settings.skip ? QStringLiteral("Skip:  on") : QStringLiteral("Skip:  off"),
        QStringLiteral("Horizontal threshold:  %1 sample(s)").arg(settings.horizontalThreshold)};
    if (coefficients) {
        for (size_t k = 0; k < 2; ++k) {
            lines.push_back(QStringLiteral("Confidence coefficient %1:  ").arg(k + 1) +
                            qs(cap.coefficient[k]) + QStringLiteral(" %"));
        }
    }
    return lines;
}

QString generatedModelLine(const CalibrationSession& session) {
    if (!session.generatedModel()) {
        return {};
    }
    return QStringLiteral("Model Std. Dev.:  %1 % of range").arg(session.settings().modelPercent);
}

QString enhancementLine(const QString& percent) {
    return QStringLiteral("Z-axis enhancement:  ") + percent + QStringLiteral(" %");
}

QRectF mainPageFigure(int n) {
    const QSize area(int(4 * (DesignFrame.labelWidth + Side) + 3 * DesignFrame.spacing),
                     int(2 * (Side + 2 * DesignFrame.lineHeight) + DesignFrame.spacing));
    const QRect box = FigureGrid(area, 8, DesignFrame).box(n - 1);
    return {box.left() + double(DesignFrame.labelWidth),
            FiguresTop + box.top() + DesignFrame.lineHeight, Side, Side};
}

// Both blocks start a fifth of a figure below the bottom row: the files under the first
// column, the statistics under the third, clear of long file names.
QPointF mainPageFileBlock() {
    return {mainPageFigure(1).left(), mainPageFigure(8).top() + 1.2 * Side};
}

QPointF mainPageStatisticsBlock() {
    return {mainPageFigure(7).left() + 100, mainPageFileBlock().y()};
}

void printRainbow(ui::PrinterPage& page, const ColourRamp& ramp, float value, int x, int y, int k,
                  const PageTransform& t) {
    if (const auto c = cellColour(ramp, value)) {
        const QRectF box = mainPageFigure(k + 3);
        page.point(t.x(box.left() + cellX(x)), t.y(box.top() + cellY(y)), toQColor(*c));
    }
}

void printScatterFigure(ui::PrinterPage& page, const MainPage& in, int f, const PageTransform& t) {
    const QRectF box = mainPageFigure(f + 1);
    const SessionState& state = in.session.state();
    const QColor colour = lineColour(state.colour.greyScale, QColor(0, 0, 255));
    const double lo = leadingNumber(ui::latin1(in.lowerText));
    const double hi = leadingNumber(ui::latin1(in.upperText));
    const std::optional<DataFile>& file = in.session.file(f);
    page.setLineWidth(1);
    if (file && lo != hi) {
        // Samples near the edge show in part, as on screen; those outside not at all.
        page.setClip(t.map(box));
        for (const Sample& s : file->records) {
            if (!s.complete()) {
                continue;
            }
            const double x = scatterPosition(s.x, lo, hi);
            const double y = Side - double(scatterPosition(s.y, lo, hi));
            page.filledCircle(t.x(box.left() + x), t.y(box.top() + y), 30 * t.zoom, colour);
        }
        page.clearClip();
    }
    page.setLineWidth(printerWidth(state.frameThickness * t.zoom));
    const QRectF b = t.map(box);
    page.line(b.left(), b.top(), b.right(), b.top(), Qt::black);
    page.line(b.right(), b.top(), b.right(), b.bottom(), Qt::black);
    page.line(b.right(), b.bottom(), b.left(), b.bottom(), Qt::black);
    page.line(b.left(), b.bottom(), b.left(), b.top(), Qt::black);
}

void printConfidenceFigure(ui::PrinterPage& page, const MainPage& in, const PageTransform& t) {
    const QRectF box = mainPageFigure(8);
    const bool grey = in.session.state().colour.greyScale;
    const auto [inner, outer] = regionShades(grey);
    const QColor mode = lineColour(grey, QColor(255, 0, 0));
    const QColor average = lineColour(grey, QColor(0, 0, 255));
    const StageMatrix& m = in.session.matrix();
    // A cell's dot is wider than the cells are apart, so the overlays follow the regions and the
    // dashed average follows the mode: where the two run together both show, as on screen.
    std::vector<QPointF> modes, averages;
    for (int x = PlotFirst; x <= PlotLast; ++x) {
        for (int y = PlotFirst; y <= PlotLast; ++y) {
            const float c = m.at(Field::Confi, x, y);
            const float q = std::fabs(c);
            const QPointF at(t.x(box.left() + cellX(x)), t.y(box.top() + cellY(y)));
            // The half-probability cell keeps its region's shade, as on screen, unless the
            // average is shown there: its sign only marks it.
            if (c < 0 && in.showAverage && inDash(x, PlotFirst, AverageDash)) {
                averages.push_back(at);
            } else if (q == 3 && in.showMode) {
                modes.push_back(at);
            } else if (q >= 2 || q == 1) {
                page.point(at.x(), at.y(), q >= 2 ? inner : outer);
            }
        }
    }
    for (const auto& [cells, colour] : {std::pair(&modes, mode), std::pair(&averages, average)}) {
        page.flush();
        for (const QPointF& p : *cells) {
            page.point(p.x(), p.y(), colour);
        }
    }
}

void printMainWindow(ui::PrinterPage& page, const MainPage& in, double offsetX, double offsetY) {
    const SessionState& state = in.session.state();
    const PageTransform t{state.printZoom, offsetX, offsetY};
    const double dots = double(state.dotSize) * t.zoom;

    for (int f = 0; f < 2; ++f) {
        if (in.drawn[size_t(f)]) {
            printScatterFigure(page, in, f, t);
        }
    }

    page.setLineWidth(printerWidth(dots / 2));
    const float rangeWidth = in.session.rangeWidth();
    if (in.drawn[1] && in.fittingLineShown && rangeWidth != 0) {
        const double lo = leadingNumber(ui::latin1(in.lowerText));
        const double hi = leadingNumber(ui::latin1(in.upperText));
        const FileStatistics& stats = in.session.statistics(1);
        const auto [left, right] =
            fittingLineHeights(stats.slope, stats.intercept, lo, hi, rangeWidth);
        const QRectF box = mainPageFigure(2);
        page.setClip(t.map(box));
        page.line(t.x(box.left()), t.y(box.top() + left), t.x(box.right()), t.y(box.top() + right),
                  lineColour(state.colour.greyScale, QColor(255, 0, 0)));
        page.clearClip();
    }

    page.setLineWidth(printerWidth(dots));
    if (in.drawn[7]) {
        printConfidenceFigure(page, in, t);
    }

    // Figure by figure rather than interleaved: cells of different figures never meet, and runs
    // of one figure's colours print faster.
    page.setLineWidth(printerWidth(dots * 3 / 5));
    const StageMatrix& m = in.session.matrix();
    for (int k = 0; k < 5; ++k) {
        if (!in.drawn[size_t(k + 2)]) {
            continue;
        }
        const auto figure = StageFigure(k);
        const Field field = figureField(figure);
        const float factor =
            figureFactor(figure, in.session.rangeWidth(), in.session.settings().smoothing);
        for (int x = PlotFirst; x <= PlotLast; ++x) {
            for (int y = PlotFirst; y <= PlotLast; ++y) {
                const float value = float(double(m.at(field, x, y)) * double(factor));
                printRainbow(page, state.colour, value, x, y, k, t);
            }
        }
    }

    const double frame = double(state.frameThickness) * t.zoom;
    page.setLineWidth(printerWidth(frame));
    const double margin = frame * 3;
    for (int n = 1; n <= 8; ++n) {
        const QRectF b = t.map(mainPageFigure(n)).adjusted(-margin, -margin, margin, margin);
        page.rectangle(b.left(), b.top(), b.right(), b.bottom(), Qt::black);
    }

    page.setFont(FontName, state.printFontSize);
    page.text(t.x(mainPageFigure(1).left()), offsetY, QString::fromStdString(state.printTitle));
    printAxisLabels(page, in, t, margin, state.printFontSize);
    printTextBlocks(page, in, t);
    page.flush();
}

} // namespace quendrix
