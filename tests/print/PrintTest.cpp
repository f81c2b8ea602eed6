#include "RecordingPaintDevice.h"
#include "WindowFixture.h"

#include "app/MainMenus.h"
#include "app/PrintCommands.h"
#include "print/MainPage.h"
#include "print/PrintOptionsDialog.h"
#include "session/ColourChangeProtocol.h"

#include <QDir>
#include <QPrinter>

namespace quendrix::test {
namespace {

/// Fig.n's plotted area in device pixels: zoomed, then shifted by the unzoomed 200 x 1000 twips.
QRectF onPage(int n, double zoom = 1) {
    const QRectF f = mainPageFigure(n);
    return {(f.topLeft() * zoom + QPointF(200, 1000)) * PxPerTwip, f.size() * zoom * PxPerTwip};
}

/// The colour printed over the centre of each grid cell (x, y) of Fig.n.
Cells printedCells(const std::vector<Mark>& marks, int n, double width, double zoom = 1) {
    const QRectF figure = onPage(n, zoom);
    const double px = zoom * PxPerTwip;
    return test::printedCells(
        marks, figure, width, PlotFirst, PlotLast, ui::MainFigureSide / 200 * px,
        [&](int x, int y) { return figure.topLeft() + QPointF(cellX(x), cellY(y)) * px; });
}

TEST(PrinterPageTest, PlacesTwipsAndWidensOnlyTouchingDotsIntoBars) {
    const double pitch = ui::MainFigureSide / 200;
    const std::vector<Mark> marks = recordPage([&](ui::PrinterPage& p) {
        p.setLineWidth(4);            // 9.6 twips: cells a pitch apart overlap
        for (int k = 0; k < 6; ++k) { // two columns of three, the second's middle one blue
            p.point(1440 + k / 3 * 1440, 1440 + k % 3 * pitch, k == 4 ? Blue : Red);
        }
        p.setLineWidth(1); // 2.4 twips: gaps between the cells stay
        p.point(4320, 1440, Red);
        p.point(4320, 1440 + pitch, Red);
        p.setLineWidth(0);
        p.line(0, 0, 1440, 0, Black);
        p.text(720, 2880, QStringLiteral("x"));
    });
    std::vector<QRectF> red, blue;
    for (const Mark& m : marks) {
        (m.colour == Red ? red : blue).push_back(m.rect);
    }
    // Twips to device pixels at 600 per inch; a dot of width w centred on its point.
    const double step = pitch * PxPerTwip;
    EXPECT_EQ(red,
              (std::vector<QRectF>{QRectF(598, 598, 4, 4 + 2 * step), QRectF(1198, 598, 4, 4),
                                   QRectF(1198, 598 + 2 * step, 4, 4), QRectF(1799.5, 599.5, 1, 1),
                                   QRectF(1799.5, 599.5 + step, 1, 1)}));
    ASSERT_EQ(blue.size(), 3u); // the blue dot, the line, the text
    EXPECT_EQ(blue[0], QRectF(1198, 598 + step, 4, 4));
    // Points go to the printer before what follows them; no width is below one dot.
    EXPECT_EQ(marks[marks.size() - 2].kind, Mark::Kind::Line);
    EXPECT_EQ(marks[marks.size() - 2].penWidth, 1);
    EXPECT_EQ(marks.back().text, QStringLiteral("x"));
    EXPECT_NEAR(marks.back().rect.left(), 300, 1);
    EXPECT_GT(marks.back().rect.top(), 1200); // the baseline, below the top at 2880 twips
}

class PrintTest : public WindowFixture {
  protected:
    std::vector<Mark> printed() {
        const MainPage page = w.workflow().printing().mainPage();
        return recordPage([&](ui::PrinterPage& p) { printMainWindow(p, page); });
    }
    /// Fig.8's cells in the region shades, the mode red and the average blue while shown; the
    /// average in dashes of two columns two apart, so that the mode shows between them.
    Cells regions(bool overlays) {
        return cellsOf(PlotFirst, PlotLast, [&](int x, int y) {
            const float q = m().at(Field::Confi, x, y);
            const bool dash = (x - PlotFirst) / 2 % 2 == 0;
            return overlays && q < 0 && dash       ? Blue
                   : overlays && std::fabs(q) == 3 ? Red
                   : std::fabs(q) >= 2             ? QColor(200, 255, 200)
                   : std::fabs(q) == 1             ? QColor(50, 127, 50)
                                                   : QColor();
        });
    }
};

TEST_F(PrintTest, FiguresArePlottedCellByCellZoomedButNotTheOffsetAndUndrawnOnesLeftEmpty) {
    importBoth();
    std::vector<Mark> marks = printed();
    // Per complete record a disc of radius 30 twips, outlined one dot wide; none in stage figures.
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const std::vector<Mark> in = plotted(marks, onPage(n));
        EXPECT_EQ(in.size(), n == 1 ? 300u : n == 2 ? 150u : 0u);
        for (const Mark& m : in) {
            EXPECT_EQ(m.kind, Mark::Kind::Dot);
            EXPECT_NEAR(m.rect.width(), 60 * PxPerTwip + 1, 1e-9);
            EXPECT_EQ(m.colour, Blue);
        }
    }
    // Where the screen has it on 0..40, Y upwards; calibration.csv begins with (23.74, 22.98).
    const Mark first = plotted(marks, onPage(1)).front();
    const double unit = ui::MainFigureSide / 40 * PxPerTwip;
    EXPECT_NEAR(first.centre().x(), onPage(1).left() + double(23.74f) * unit, 1e-3);
    EXPECT_NEAR(first.centre().y(), onPage(1).bottom() - double(22.98f) * unit, 1e-3);
    EXPECT_EQ(first.clip, onPage(1));

    click(c().run.start);
    click(c().model.showFittingLine);
    state().printTitle = "Lead in water";
    marks = printed();
    // Fig.3 .. Fig.7 cell by cell in their stages' screen colours (Fig.7 before the regions mask
    // it), 4 dots wide (6 x 0.6 = 3.6 rounds to 4), at the cell's place in the figure.
    for (int n = 3; n <= 7; ++n) {
        SCOPED_TRACE(n);
        ui::FigureScene shown;
        drawSessionStage(shown, w.session(), n - 3);
        EXPECT_EQ(printedCells(marks, n, 4), cellsOf(PlotFirst, PlotLast, [&](int x, int y) {
                      const QColor c = shown.colourAt(cellX(x), cellY(y), Px);
                      return c == White ? QColor() : c;
                  }));
    }
    // Dots overlap their neighbours: regions first, then the mode, then the average on top.
    std::vector<int> order;
    for (const Mark& dot : plotted(marks, onPage(8))) {
        order.push_back(dot.colour == Red ? 1 : dot.colour == Blue ? 2 : 0);
    }
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    // Widths: cells dot size x zoom x 0.6, Fig.8 dot size x zoom, the line dot size x zoom / 2,
    // frames 3 x zoom, each to the nearest whole dot with halves to even (1.5 gives 2).
    for (const auto& [zoom, dotSize, cells, confidence, line, frame] :
         {std::tuple{1.0, 6.0, 4, 6, 3, 3}, {0.5, 6.0, 2, 3, 2, 2}, {1.0, 4.0, 2, 4, 2, 3}}) {
        SCOPED_TRACE(testing::Message() << zoom << " " << dotSize);
        state().printZoom = float(zoom);
        state().dotSize = float(dotSize);
        marks = printed();
        EXPECT_EQ(plotted(marks, onPage(5, zoom))[0].rect.width(), cells);
        EXPECT_EQ(printedCells(marks, 8, confidence, zoom), regions(true));
        int lines = 0, frames = 0;
        const double edge = 9 * zoom * PxPerTwip;
        for (const Mark& m : marks) {
            if (m.kind == Mark::Kind::Line && m.colour == Red) {
                ++lines;
                EXPECT_EQ(m.penWidth, line);
                // The fitting line spans Fig.2 and is kept inside it.
                EXPECT_NEAR(m.line.x1(), onPage(2, zoom).left(), 1e-9);
                EXPECT_NEAR(m.line.x2(), onPage(2, zoom).right(), 1e-9);
                EXPECT_EQ(m.clip, onPage(2, zoom));
            } else if (m.kind == Mark::Kind::Rect && !m.filled) {
                // A frame around every figure, 3 x its thickness outside its plotted area.
                EXPECT_EQ(m.penWidth, frame);
                EXPECT_EQ(m.rect, onPage(++frames, zoom).adjusted(-edge, -edge, edge, edge));
            }
        }
        EXPECT_EQ(lines, 1);
        EXPECT_EQ(frames, 8);
        // The title is the first text, above the figures at the left of Fig.1.
        const Mark* title = textMark(marks, texts(marks).at(0));
        EXPECT_EQ(title->text, QStringLiteral("Lead in water"));
        EXPECT_NEAR(title->rect.left(), onPage(1, zoom).left(), 1);
        EXPECT_LT(title->rect.top(), onPage(1, zoom).top());
    }
    // Without the overlays each of their cells in its region's shade.
    click(c().coefficients.showMode);
    click(c().coefficients.showAverage);
    EXPECT_EQ(printedCells(printed(), 8, 4), regions(false));
}

TEST_F(PrintTest, TextBlocksFollowTheCaptionsLineByLine) {
    importBoth();
    using Lines = std::vector<std::string>;
    std::vector<Mark> marks = printed();
    for (const char* label : {"Fig.1", "Fig.8", "0", "40"}) {
        EXPECT_NE(textMark(marks, label), nullptr) << label;
    }
    // The files, then every setting the result depends on; the coefficients only with Fig.8.
    EXPECT_EQ(textsFrom(marks, "Figure 1", 13),
              (Lines{"Figure 1", "File: " + CalibrationCsv.toStdString(), "X: Field reading (mg/L)",
                     "Y: Reference (mg/L)", "Figure 2", "File: " + ErrorCsv.toStdString(),
                     "X: Analysis 1 (mg/L)", "Y: Analysis 2 (mg/L)", "Smoothing level:  5 %",
                     "Vertical threshold:  2 sample(s)", "Skip:  off",
                     "Horizontal threshold:  2 sample(s)", "Z-axis enhancement:  100 %"}));
    // The statistics as the window shows them; the fitting line only while it is shown.
    const std::string r2 = "R2 = " + text(c().file[1].correlation);
    EXPECT_EQ(
        textsFrom(marks, "N1 = 300", 5),
        (Lines{"N1 = 300", "N2 = 150", "R1 = " + text(c().file[0].correlation), r2, "Figure 1"}));

    click(c().model.showFittingLine);
    click(c().run.start);
    state().colour.enhancement = 1.5f;
    marks = printed();
    EXPECT_EQ(textsFrom(marks, r2, 4), (Lines{r2, "Fitting line:", text(c().model.fittingLine),
                                              "Std. Dev. = " + text(c().model.stdDev)}));
    EXPECT_EQ(textsFrom(marks, "Horizontal threshold:  2 sample(s)", 4),
              (Lines{"Horizontal threshold:  2 sample(s)", "Confidence coefficient 1:  68.2 %",
                     "Confidence coefficient 2:  95.4 %", "Z-axis enhancement:  150 %"}));
    // Each line one line height below the one before, whatever the font.
    for (const char* const block : {"N1 = 300", "Figure 1"}) {
        const Mark* first = textMark(marks, block);
        ASSERT_NE(first, nullptr);
        const double step = first[1].rect.top() - first->rect.top();
        EXPECT_GT(step, 150 * PxPerTwip); // 10 points, a little over 200 twips
        EXPECT_LT(step, 300 * PxPerTwip);
        EXPECT_NEAR(first[2].rect.top() - first[1].rect.top(), step, 1e-6);
    }
    // The statistics stand below the figures, clear of them and of the file block.
    const Mark* n1 = textMark(marks, "N1 = 300");
    EXPECT_GT(n1->rect.top(), onPage(8).bottom());
    EXPECT_NEAR(n1->rect.top(), textMark(marks, "Figure 1")->rect.top(), 1e-6);
    EXPECT_GT(n1->rect.left(), onPage(6).right());
    state().printFontSize = 20;
    const std::vector<Mark> large = printed();
    EXPECT_GT(textMark(large, "N2 = 150")->rect.top() - textMark(large, "N1 = 300")->rect.top(),
              400 * PxPerTwip);

    click(c().model.generateModel);
    EXPECT_EQ(textsFrom(printed(), "File: Generated error model", 4),
              (Lines{"File: Generated error model", "X: Reference (mg/L)", "Y: Error model",
                     "Model Std. Dev.:  5 % of range"}));
}

TEST(PageGeometryTest, RoundsWidthsAndNamesUnusableSettings) {
    for (const auto& [dots, width] :
         {std::pair{3.6, 4}, {2.5, 2}, {1.5, 2}, {0.3, 1}, {1e30, 1000000}}) {
        EXPECT_EQ(printerWidth(dots), width) << dots;
    }
    SessionState s;
    EXPECT_TRUE(checkPrintSettings(s));
    s.dotSize = s.frameThickness = 0;
    EXPECT_TRUE(checkPrintSettings(s));
    s.frameThickness = -1;
    EXPECT_EQ(checkPrintSettings(s).reason(), "Picture Frame Thickness must not be negative");
    s.dotSize = -0.5f;
    EXPECT_EQ(checkPrintSettings(s).reason(), "Dot Size must not be negative");
    s.printFontSize = 0;
    EXPECT_EQ(checkPrintSettings(s).reason(), "Font Size must be above 0");
    s.printZoom = -1;
    EXPECT_EQ(checkPrintSettings(s).reason(), "Zoom (%) must be above 0");
    s.printZoom = std::numeric_limits<float>::infinity();
    EXPECT_EQ(checkPrintSettings(s).reason(), "Zoom (%) is too large");
}

TEST_F(PrintTest, PrintsToPdfThroughTheDialogAndReportsRefusalsAndFailures) {
    runAll();
    // The proposed PDF bears file 1's name, in the home folder until a file is saved or printed.
    EXPECT_EQ(w.workflow().printing().proposedPdf(&w),
              QDir::home().filePath(QStringLiteral("calibration.pdf")));
    dialogs.answerPrint({path("page.pdf"), 2, QPageLayout::Landscape, QPageSize::Letter});
    QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
    // Two copies on Letter across: 792 x 612 points.
    const std::string bytes = slurp(dir.path / "page.pdf");
    EXPECT_EQ(pdfPages(bytes), 2);
    EXPECT_TRUE(QString::fromLatin1(bytes.data(), qsizetype(bytes.size()))
                    .contains(QRegularExpression(QStringLiteral("/MediaBox \\[0 0 792[.0]* 612"))));
    EXPECT_EQ(status(), "Printed to page.pdf");
    // The printer handed to the dialog carries the proposal, now beside page.pdf.
    const QString proposed = path("calibration.pdf");
    EXPECT_EQ(w.workflow().printing().proposedPdf(&w), proposed);
    struct : ui::ScriptedDialogService {
        QString pdf;
        bool print(QWidget*, QPrinter& printer) override {
            pdf = printer.outputFileName();
            return false;
        }
    } seen;
    EXPECT_EQ(printWindowPage(&w, seen, state(), w.windowTitle(), proposed, {}).kind,
              PrintOutcome::Kind::Cancelled);
    EXPECT_EQ(seen.pdf, proposed);

    // A zoom that gives no page is refused before the dialog, naming the setting.
    state().printZoom = 0;
    w.menus().print->trigger();
    EXPECT_EQ(dialogs.printDialogsShown(), 1);
    EXPECT_EQ(status(), "The page was not printed: Zoom (%) must be above 0");

    // A file that cannot be written is reported; nothing is left behind.
    state().printZoom = 1;
    dialogs.answerPrint({path("no-such-folder/p.pdf")});
    w.menus().print->trigger();
    EXPECT_EQ(status().rfind("The page was not printed: cannot write", 0), 0u) << status();
    EXPECT_EQ(listing(dir.path), "page.pdf ");
}

using PrintOptionsTest = PrintTest;

TEST_F(PrintOptionsTest, EditsApplyAtEachKeystrokeCancelRestoresAllFiveAndARedrawWaits) {
    PrintOptionsDialog* d = nullptr;
    const auto open = [&] {
        w.menus().printOptions->trigger();
        d = w.workflow().printing().printOptions();
    };
    const auto type = [&](std::initializer_list<std::pair<int, const char*>> edits) {
        for (const auto& [k, typed] : edits) {
            d->text(k)->selectAll();
            QTest::keyClicks(d->text(k), QString::fromUtf8(typed));
        }
    };
    const auto shown = [&] {
        return text(d->text(1), d->text(2), d->text(3), d->text(4), d->text(5));
    };
    const auto options = [&] {
        const SessionState& s = state();
        return std::to_string(s.dotSize) + " " + std::to_string(s.frameThickness) + " " +
               std::to_string(s.printZoom) + " " + std::to_string(s.printFontSize) + " '" +
               s.printTitle + "'";
    };
    runAll();
    mark();
    markColourChanged(state());
    open();
    ASSERT_TRUE(activate(d));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Print options"));
    EXPECT_EQ(shown(), "6|3|100|10|");

    // Each keystroke stores the box's leading number; letters alone and an empty box read 0.
    type({{3, "150"}, {4, "12pt"}, {1, "abc"}, {2, "2.5"}, {5, "Lead, run 2 \u00b5g"}});
    EXPECT_EQ(options(), "0.000000 2.500000 1.500000 12.000000 'Lead, run 2 \u00b5g'");
    d->text(3)->clear();
    EXPECT_FLOAT_EQ(state().printZoom, 0);

    // Cancel puts back all five values found at opening.
    d->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(options(), "6.000000 3.000000 1.000000 10.000000 ''");
    // The activation after the dialog leaves the colour change pending; the next one redraws.
    ASSERT_TRUE(activate(&w));
    EXPECT_EQ(figures(Redrawn), "");
    EXPECT_TRUE(state().colourChanged);
    QWidget other;
    other.show();
    ASSERT_TRUE(activate(&other));
    ASSERT_TRUE(activate(&w));
    EXPECT_EQ(figures(Redrawn), "34567");
    EXPECT_FALSE(state().colourChanged);

    // OK keeps every edit; opened again, the dialog shows them and Escape cancels back to them.
    open();
    type({{3, "50"}, {5, "Run 3"}});
    d->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(options(), "6.000000 3.000000 0.500000 10.000000 'Run 3'");
    open();
    EXPECT_EQ(shown(), "6|3|50|10|Run 3");
    type({{1, "9"}});
    QTest::keyClick(d, Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(options(), "6.000000 3.000000 0.500000 10.000000 'Run 3'");
}

TEST_F(PrintTest, CopyItemsFollowTheirFigureAndPutItOnTheClipboardAtFullSize) {
    // The figures whose items, in the Edit menu and in the figure's pop-up menu, are enabled.
    const auto enabled = [&] {
        std::string out;
        for (int n = 1; n <= 8; ++n) {
            const bool on = w.menus().copies[size_t(n - 1)]->isEnabled();
            EXPECT_EQ(on, w.menus().figureCopies[size_t(n - 1)]->isEnabled()) << n;
            out += on ? std::to_string(n) : "";
        }
        return out;
    };
    EXPECT_EQ(enabled(), "");
    runAll();
    EXPECT_EQ(enabled(), "12345678");
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const QImage shown = surfacePicture(fig(n));
        // The Edit menu's item by its shortcut, Ctrl+F1 .. Ctrl+F8, and the pop-up menu's.
        const Qt::Key key = Qt::Key(Qt::Key_F1 + n - 1);
        QAction* popup = w.menus().figureCopies[size_t(n - 1)];
        EXPECT_EQ(clipboardPictureAfter([&] { QTest::keyClick(&w, key, Qt::ControlModifier); }),
                  shown);
        EXPECT_EQ(clipboardPictureAfter([&] { popup->trigger(); }), shown);
    }
    click(c().thresholds.skip); // Fig.6 left blank
    EXPECT_EQ(enabled(), "1234578");
    // A blank figure copies as its blank picture.
    typeRange(c().range.upper, QStringLiteral("50"));
    EXPECT_EQ(enabled(), "12");
    EXPECT_EQ(clipboardPictureAfter([&] { w.workflow().printing().copyFigure(5); }),
              surfacePicture(fig(5)));
}

} // namespace
} // namespace quendrix::test
