#include "RecordingPaintDevice.h"

#include "figures/ChartFigures.h"
#include "figures/Curves.h"
#include "print/ChartPage.h"
#include "readout/IntervalReadout.h"
#include "session/CalibrationSession.h"

namespace quendrix::test {
namespace {

const QColor Blue(0, 0, 255), Red(255, 0, 0), Black(0, 0, 0);
const QColor Inner(200, 255, 200), Outer(50, 127, 50);

/// The calibration chart's page without its window, the data calibrated and refined as Fig.8 does.
class ChartPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(session.importFile(0, QUENDRIX_EXAMPLES "/calibration.csv", "calibration.csv"));
        ASSERT_TRUE(session.importFile(1, QUENDRIX_EXAMPLES "/error.csv", "error.csv"));
        ASSERT_TRUE(session.runAll());
        ASSERT_TRUE(session.buildDetail());
    }
    std::vector<Mark> printed() {
        return recordPage([&](ui::PrinterPage& p) { printChartWindow(p, session, view); });
    }
    /// A form point of the chart window on the page, in device pixels.
    QPointF onPage(double x, double y) const {
        const double zoom = session.state().printZoom;
        return QPointF(x * zoom + ChartPageOffsetX, y * zoom + ChartPageOffsetY) * PxPerTwip;
    }
    QRectF onPage(const QRectF& form) const {
        return {onPage(form.left(), form.top()), onPage(form.right(), form.bottom())};
    }
    /// Fine cell (i, j) of the main figure on the page.
    QPointF fine(int i, int j) const {
        return onPage(ChartMainFigure.left() + (i - FineFirst) * 5055.0 / 400,
                      ChartMainFigure.top() + (1 - (j - FineFirst) / 400.0) * 5055);
    }
    /// The lines of `colour` within `box`, by default the main figure with a margin.
    std::vector<Mark> lines(const std::vector<Mark>& marks, const QColor& colour, QRectF box = {}) {
        box = box.isNull() ? onPage(ChartMainFigure).adjusted(-20, -20, 20, 20) : box;
        return filtered(marks, [&](const Mark& m) {
            return m.kind == Mark::Kind::Line && m.colour == colour && box.contains(m.line.p1()) &&
                   box.contains(m.line.p2());
        });
    }

    CalibrationSession session;
    ChartView view;
};

TEST_F(ChartPageTest, MainFigureSectionAndCurvesAreRePlottedFromTheFineMatrices) {
    const std::vector<Mark> marks = printed();
    const DetailMatrices& d = session.detail();
    // Every fine cell in a region in its shade: the ring dark, the inside pale.
    const auto regions = [&](const QColor& ring, const QColor& inside) {
        return cellsOf(FineFirst, FineLast, [&](int i, int j) {
            const float c = std::fabs(d.confi(i, j));
            return c < 0.5f ? QColor() : c < 1.5f ? ring : inside;
        });
    };
    // The cells, not the lone points of the curves.
    const auto cells = [&](const std::vector<Mark>& m, double width) {
        const std::vector<Mark> rects = filtered(m, [](const Mark& k) {
            return k.kind == Mark::Kind::Rect && k.colour != Blue && k.colour != Red &&
                   k.colour != Black;
        });
        const double pitch = 5055.0 / 400 * PxPerTwip * session.state().printZoom;
        return printedCells(rects, onPage(ChartMainFigure), width, FineFirst, FineLast, pitch,
                            [&](int i, int j) { return fine(i, j); });
    };
    EXPECT_EQ(cells(marks, 6), regions(Outer, Inner));

    // Mode and average in lines of 6 dots kept inside the figure; the average over the mode in
    // dashes of four columns four apart, so that the mode shows between them.
    const QRectF figure = onPage(ChartMainFigure);
    const std::vector<Mark> blue = lines(marks, Blue);
    const std::vector<CurvePiece> dashes =
        filtered(averageCurve(d.fineAve.data(), FineFirst, FineLast),
                 [](const CurvePiece& p) { return p.line && (p.x1 - FineFirst) / 4 % 2 == 0; });
    // One more line: the section's marker at 50 %, across the whole figure.
    ASSERT_EQ(blue.size(), dashes.size() + 1);
    EXPECT_EQ(blue.front().line,
              QLineF(fine(dashes[0].x1, dashes[0].y1), fine(dashes[0].x2, dashes[0].y2)));
    EXPECT_EQ(blue.front().clip, figure);
    EXPECT_EQ(blue.front().penWidth, 6);
    EXPECT_EQ(blue.back().line, QLineF(QPointF(figure.center().x(), figure.top()),
                                       QPointF(figure.center().x(), figure.bottom())));
    const std::vector<Mark> red = lines(marks, Red);
    EXPECT_GT(red.size(), 300u);
    const auto firstBlue = std::find_if(marks.begin(), marks.end(), [](const Mark& m) {
        return m.kind == Mark::Kind::Line && m.colour == Blue;
    });
    EXPECT_EQ(lines({marks.begin(), firstBlue}, Red).size(), red.size());

    // The section: a bar per row with dots, from the left edge over (dots - 1) % of the width.
    const QRectF section = onPage(ChartSection);
    const std::vector<Mark> bars = lines(marks, Blue, section.adjusted(-1, -1, 1, 1));
    const int column = sectionColumn(50);
    size_t b = 0;
    for (int r = FineFirst; r <= FineLast; ++r) {
        if (const int dots = sectionDots(sectionValue(d.prob(column, r), 100)); dots > 0) {
            ASSERT_LT(b, bars.size());
            EXPECT_NEAR(bars[b].line.x1(), section.left(), 1e-9);
            EXPECT_NEAR(bars[b].line.length(), (dots - 1) * section.width() / 100, 1e-9) << r;
            EXPECT_NEAR(bars[b].line.y1(), fine(column, r).y(), 1e-9);
            ++b;
        }
    }
    EXPECT_EQ(b, bars.size());

    // Without the curves only the marker is left; at 0 % there is none.
    view.showAverage = view.showMode = false;
    view.sectionPercent = 0;
    const std::vector<Mark> bare = printed();
    EXPECT_TRUE(lines(bare, Blue).empty());
    EXPECT_TRUE(lines(bare, Red).empty());

    // Grey scale: grey shades and black lines; at 50 % zoom cells 3 dots wide, the offset kept.
    session.state().colour.greyScale = true;
    session.state().printZoom = 0.5f;
    view.showAverage = true;
    view.sectionPercent = 50;
    const std::vector<Mark> grey = printed();
    EXPECT_EQ(cells(grey, 3), regions(QColor(100, 100, 100), QColor(200, 200, 200)));
    EXPECT_FALSE(lines(grey, Black).empty());
    EXPECT_TRUE(lines(grey, Blue).empty());
}

TEST_F(ChartPageTest, TextsReadTheSectionAsThePanelDoes) {
    session.state().printTitle = "Chart";
    view.sectionPercent = 25;
    view.enhancementPercent = 150;
    const std::vector<Mark> marks = printed();
    EXPECT_EQ(texts(marks).at(0), "Chart");
    // The files and every setting the result depends on, a line each.
    const std::vector<std::string> settings(
        {"X: Field reading (mg/L) (calibration.csv)", "Y: Reference (mg/L) (calibration.csv)",
         "File 2: error.csv", "Smoothing level:  5 %", "Vertical threshold:  2 sample(s)",
         "Skip:  off", "Horizontal threshold:  2 sample(s)", "Confidence coefficient 1:  68.2 %",
         "Confidence coefficient 2:  95.4 %", "Z-axis enhancement:  150 %"});
    ASSERT_EQ(textsFrom(marks, settings[0], 10), settings);
    EXPECT_NE(textMark(marks, "40"), nullptr);
    // The section's X value (25 % of 0..40) is centred between the axis labels, under the figure.
    const Mark* ten = textMark(marks, "10");
    ASSERT_NE(ten, nullptr);
    EXPECT_NEAR(ten->rect.left() + 2 * 10 * 10.8 * PxPerTwip / 2,
                onPage(360 + (5400 - 360) * 0.25 + 975 / 2.0, 0).x(), 0.02);

    // The panel: the headers at one indent, the intervals, "Out of range" and the mode value at
    // a deeper one; a line apart, half a line more before each header.
    const IntervalReadout r = session.readout(25).value();
    const std::vector<std::string> panel = r.panelLines();
    ASSERT_EQ(textsFrom(marks, panel.front(), panel.size()), panel);
    const Mark* first = textMark(marks, panel.front());
    const double header = first->rect.left();
    EXPECT_NEAR(header, onPage(8280 + 120, 0).x(), 0.02);
    const Mark* x = textMark(marks, settings[0]);
    const double line = x[1].rect.top() - x->rect.top(); // the settings' pitch
    EXPECT_GT(line, 150 * PxPerTwip);
    for (size_t i = 0; i < panel.size(); ++i) {
        const Mark& m = first[i];
        const bool isHeader = panel[i] == r.header1 || panel[i] == r.header2 ||
                              panel[i] == "Average" || panel[i] == "Mode";
        const bool numberAtHeader = i == panel.size() - 3 && r.averageText != "Out of range";
        EXPECT_NEAR(m.rect.left(), header + (isHeader || numberAtHeader ? 0 : 60 * PxPerTwip), 0.02)
            << panel[i];
        if (i > 0) {
            // Qt snaps baselines to 1/64 pixel: a gap of `rows` lines is up to (1 + rows)/64 off,
            // while a line too many or too few is off by over 60 pixels whatever the font.
            const double rows = isHeader ? 1.5 : 1;
            EXPECT_NEAR(m.rect.top() - first[i - 1].rect.top(), rows * line, (1 + rows) / 64)
                << panel[i];
        }
    }

    // The settings as they are, and the generated model in file 2's place.
    session.setVerticalThreshold(3);
    session.setSkip(true);
    session.setHorizontalThreshold(4);
    ASSERT_TRUE(session.setModelPercent(7));
    ASSERT_TRUE(session.setGeneratedModel(true));
    ASSERT_TRUE(session.runAll());
    ASSERT_TRUE(session.buildDetail());
    EXPECT_EQ(
        textsFrom(printed(), "File 2: Generated error model", 6),
        (std::vector<std::string>{"File 2: Generated error model", "Model Std. Dev.:  7 % of range",
                                  "Smoothing level:  5 %", "Vertical threshold:  3 sample(s)",
                                  "Skip:  on", "Horizontal threshold:  4 sample(s)"}));

    // The axes carry the number the range was read as, not the text typed.
    session.setRangeTexts("0,5", "40");
    ASSERT_TRUE(session.validateRange());
    ASSERT_TRUE(session.importFile(1, QUENDRIX_EXAMPLES "/error.csv", "error.csv"));
    ASSERT_TRUE(session.runAll());
    ASSERT_TRUE(session.buildDetail());
    const std::vector<std::string> shown = texts(printed());
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "0,5"), 0);
    EXPECT_GE(std::count(shown.begin(), shown.end(), "0"), 2);
}

} // namespace
} // namespace quendrix::test
