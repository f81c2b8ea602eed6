#include "print/ChartPage.h"

#include "base/NumberText.h"
#include "figures/ChartFigures.h"
#include "figures/Curves.h"
#include "figures/FigureColours.h"
#include "print/MainPage.h"
#include "print/PageGeometry.h"
#include "session/CalibrationSession.h"
#include "ui/PrinterPage.h"
#include "ui/Text.h"

#include <cmath>

namespace quendrix {
namespace {

const QString FontName = QStringLiteral("Arial");
// The axis labels' boxes as designed (left, top, width): the vertical axis's right-aligned,
// the horizontal axis's centred.
constexpr double VerticalLabelLeft = -120, VerticalLabelWidth = 855;
constexpr double HorizontalLabelTop = 6120, HorizontalLabelWidth = 975;
constexpr double LowerLabelLeft = 360, UpperLabelLeft = 5400;
// The texts start below the window's last row.
constexpr double TextBlockTop = 6600;

using ui::qs;

/// Fine index i (X) or j (Y), 50..450, on the main figure and the section.
double fineX(double i) {
    return ChartMainFigure.left() + (i - FineFirst) * ChartMainFigure.width() / 400;
}
double fineY(double j) {
    return ChartMainFigure.top() + (1 - (j - FineFirst) / 400) * ChartMainFigure.height();
}

void printCurve(ui::PrinterPage& page, const std::vector<CurvePiece>& pieces, const QColor& colour,
                const PageTransform& t) {
    for (const CurvePiece& p : pieces) {
        if (p.line) {
            page.line(t.x(fineX(p.x1)), t.y(fineY(p.y1)), t.x(fineX(p.x2)), t.y(fineY(p.y2)),
                      colour);
        } else {
            page.point(t.x(fineX(p.x1)), t.y(fineY(p.y1)), colour);
        }
    }
}

void printFigures(ui::PrinterPage& page, const CalibrationSession& session, const ChartView& view,
                  const PageTransform& t) {
    const DetailMatrices& d = session.detail();
    const bool grey = session.state().colour.greyScale;
    const auto [inner, outer] = regionShades(grey);
    for (int i = FineFirst; i <= FineLast; ++i) {
        for (int j = FineFirst; j <= FineLast; ++j) {
            const float c = std::fabs(d.confi(i, j));
            if (c >= 0.5f) {
                page.point(t.x(fineX(i)), t.y(fineY(j)), c < 1.5f ? outer : inner);
            }
        }
    }
    const QColor blue = lineColour(grey, QColor(0, 0, 255));
    const QColor red = lineColour(grey, QColor(255, 0, 0));
    // The curves run on to the column after the last shown one, so they are cut at the edge.
    // The dashed average goes over the solid mode, as on screen.
    page.setClip(t.map(ChartMainFigure));
    if (view.showMode) {
        const auto probability = [&d](int x, int y) { return std::fabs(d.prob(x, y)); };
        printCurve(page, modeCurve(d.fineMode.data(), FineFirst, FineLast, probability), red, t);
    }
    if (view.showAverage) {
        printCurve(page, fineAverageDashes(d), blue, t);
    }
    page.clearClip();
    if (view.sectionPercent > 0 && view.sectionPercent < 100) {
        const double x =
            ChartMainFigure.left() + ChartMainFigure.width() * view.sectionPercent / 100;
        page.line(t.x(x), t.y(ChartMainFigure.top()), t.x(x), t.y(ChartMainFigure.bottom()), blue);
    }
    // The section: one bar per row, as long as the dots the window plots for it.
    const int column = sectionColumn(view.sectionPercent);
    for (int r = FineFirst; r <= FineLast; ++r) {
        const int dots = sectionDots(sectionValue(d.prob(column, r), view.enhancementPercent));
        if (dots == 0) {
            continue;
        }
        const double longest = dots - 1;
        const double y = t.y(fineY(r));
        page.line(t.x(ChartSection.left()), y,
                  t.x(ChartSection.left() + longest * ChartSection.width() / 100), y, blue);
    }
}

void printLabels(ui::PrinterPage& page, const CalibrationSession& session, const ChartView& view,
                 const PageTransform& t, double fontSize) {
    const Captions& cap = session.captions();
    const QString lower = qs(rangeLabel(cap.lowerText));
    const QString upper = qs(rangeLabel(cap.upperText));
    const auto width = [&](const QString& s) { return estimatedTextWidth(s, fontSize); };
    const double right = t.x(VerticalLabelLeft + VerticalLabelWidth);
    page.text(right - width(upper), t.y(ChartMainFigure.top() - 120), upper);
    page.text(right - width(lower), t.y(ChartMainFigure.bottom() - 135), lower);
    const auto centred = [&](double left, const QString& text) {
        page.text(t.x(left + HorizontalLabelWidth / 2) - width(text) / 2, t.y(HorizontalLabelTop),
                  text);
    };
    centred(LowerLabelLeft, lower);
    centred(UpperLabelLeft, upper);
    // The section's X value under the main figure, between the two axis labels.
    const double s = view.sectionPercent / 100.0;
    const double lo = leadingNumber(cap.lowerText);
    const double hi = leadingNumber(cap.upperText);
    centred(LowerLabelLeft + (UpperLabelLeft - LowerLabelLeft) * s,
            qs(shortestText(float(lo + (hi - lo) * s))));
}

void printTexts(ui::PrinterPage& page, const CalibrationSession& session, const ChartView& view,
                const PageTransform& t) {
    const Captions& cap = session.captions();
    const double h = page.lineHeight();
    double y = t.y(TextBlockTop);
    const auto line = [&](const QString& text) {
        page.text(t.x(ChartMainFigure.left()), y, text);
        y += h;
    };
    line(QStringLiteral("X: %1 (%2)").arg(qs(cap.xName[0]), qs(cap.path[0])));
    line(QStringLiteral("Y: %1 (%2)").arg(qs(cap.yName[0]), qs(cap.path[0])));
    // What the page's result was computed from, in the main page's words.
    line(QStringLiteral("File 2: ") + qs(cap.path[1]));
    if (const QString model = generatedModelLine(session); !model.isEmpty()) {
        line(model);
    }
    for (const QString& setting : settingLines(session, true)) {
        line(setting);
    }
    line(enhancementLine(QString::number(view.enhancementPercent)));

    // The interval panel's lines at its pitch of one line, each header but the first half a
    // line further down.
    const Result<IntervalReadout> readout = session.readout(view.sectionPercent);
    if (!readout) {
        return;
    }
    const IntervalReadout& r = readout.value();
    const double top = t.y(ChartIntervalPanel.top() + 120);
    const double header = t.x(ChartIntervalPanel.left() + 120);
    const double value = t.x(ChartIntervalPanel.left() + 180);
    double row = 0;
    const auto next = [&](double rows, double x, const std::string& text) {
        row += rows;
        page.text(x, top + row * h, qs(text));
    };
    next(0, header, r.header1);
    for (size_t k = 0; k < 2; ++k) {
        if (k == 1) {
            next(1.5, header, r.header2);
        }
        for (const ReadoutInterval& in : r.intervals[k]) {
            next(1, value, in.low + " - " + in.high);
        }
    }
    next(1.5, header, "Average");
    // A number stands at the headers' indent with its sign's blank; "Out of range" is indented.
    next(1, r.averageInRange ? header : value, r.averageText);
    next(1.5, header, "Mode");
    next(1, value, r.modeText);
}

} // namespace

void printChartWindow(ui::PrinterPage& page, const CalibrationSession& session,
                      const ChartView& view, double offsetX, double offsetY) {
    const SessionState& state = session.state();
    const PageTransform t{state.printZoom, offsetX, offsetY};
    page.setLineWidth(printerWidth(double(state.dotSize) * t.zoom));
    printFigures(page, session, view, t);

    const double frame = double(state.frameThickness) * t.zoom;
    page.setLineWidth(printerWidth(frame));
    const double margin = frame * 3;
    for (const QRectF& box : {ChartMainFigure, ChartSection}) {
        const QRectF b = t.map(box).adjusted(-margin, -margin, margin, margin);
        page.rectangle(b.left(), b.top(), b.right(), b.bottom(), Qt::black);
    }

    page.setFont(FontName, state.printFontSize);
    page.text(t.x(ChartMainFigure.left()), offsetY, QString::fromStdString(state.printTitle));
    printLabels(page, session, view, t, state.printFontSize);
    printTexts(page, session, view, t);
    page.flush();
}

} // namespace quendrix
