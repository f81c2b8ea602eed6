#include "RecordingPaintDevice.h"
#include "TestFiles.h"
#include "WindowFixture.h"

#include "app/MainMenus.h"
#include "app/PrintCommands.h"
#include "print/MainPage.h"
#include "print/PageGeometry.h"
#include "print/PrintOptionsDialog.h"
#include "session/ColourChangeProtocol.h"
#include "ui/FormUnits.h"
#include "ui/PrinterPage.h"

#include <QDir>
#include <QPrinter>
#include <QRegularExpression>

#include <algorithm>

namespace quendrix::test {
namespace {

/// Fig.n's plotted area on the page, in device pixels.
QRectF onPage(int n, double zoom = 1) {
    const PageTransform t{zoom, MainPageOffsetX, MainPageOffsetY};
    const QRectF b = t.map(mainPageFigure(n));
    return {b.topLeft() * PxPerTwip, b.bottomRight() * PxPerTwip};
}

/// The colour printed over the centre of each grid cell (x, y) of Fig.n.
Cells printedCells(const std::vector<Mark>& marks, int n, double width) {
    const QRectF figure = mainPageFigure(n);
    return test::printedCells(marks, onPage(n), width, PlotFirst, PlotLast,
                              ui::MainFigureSide / 200 * PxPerTwip, [&](int x, int y) {
                                  return QPointF(
                                      (figure.left() + cellX(x) + MainPageOffsetX) * PxPerTwip,
                                      (figure.top() + cellY(y) + MainPageOffsetY) * PxPerTwip);
                              });
}

TEST(PrinterPageTest, PlacesTwipsAndWidensOnlyTouchingDotsIntoBars) {
    const double pitch = ui::MainFigureSide / 200;
    const std::vector<Mark> marks = recordPage([&](ui::PrinterPage& p) {
        p.setLineWidth(4);            // 9.6 twips: cells a pitch apart overlap
        for (int k = 0; k < 6; ++k) { // two columns of three, the second's middle one blue
            p.point(1440 + k / 3 * 1440, 1440 + k % 3 * pitch, k == 4 ? Blue : Red);
        }
        p.setLineWidth(1); // 2.4 twips: gaps between the cells stay
        for (int j = 0; j < 2; ++j) {
            p.point(4320, 1440 + j * pitch, Red);
        }
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
    EXPECT_EQ(red, (std::vector<QRectF>{{598, 598, 4, 4 + 2 * step},
                                        {1198, 598, 4, 4},
                                        {1198, 598 + 2 * step, 4, 4},
                                        {1799.5, 599.5, 1, 1},
                                        {1799.5, 599.5 + step, 1, 1}}));
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
    SessionState& state() { return w.session().state(); }
    QString status() { return w.workflow().status().text(); }
};

TEST_F(PrintTest, DrawnFiguresArePlottedCellByCellAndUndrawnOnesLeftEmpty) {
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    std::vector<Mark> marks = printed();
    // One disc of radius 30 twips (and an outline of one dot) per complete record; nothing
    // plotted in the stage figures.
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
    // Each sample where the screen figure has it in the range 0..40, Y growing upwards; the
    // first record of calibration.csv is (23.74, 22.98).
    const Mark first = plotted(marks, onPage(1)).front();
    const double unit = ui::MainFigureSide / 40 * PxPerTwip;
    EXPECT_NEAR(first.centre().x(), onPage(1).left() + double(23.74f) * unit, 1e-3);
    EXPECT_NEAR(first.centre().y(), onPage(1).bottom() - double(22.98f) * unit, 1e-3);
    EXPECT_EQ(first.clip, onPage(1));

    click(c().run.start);
    marks = printed();
    // Fig.3 .. Fig.7 cell by cell in the colours the figure code draws them on screen (Fig.7
    // as its stage draws it, before the regions mask it), 4 dots wide (6 x 0.6 = 3.6 rounds to
    // 4), at the cell's place in the figure.
    for (int n = 3; n <= 7; ++n) {
        SCOPED_TRACE(n);
        ui::FigureScene shown;
        drawSessionStage(shown, w.session(), n - 3);
        EXPECT_EQ(printedCells(marks, n, 4), cellsOf(PlotFirst, PlotLast, [&](int x, int y) {
                      const QColor c = shown.colourAt(cellX(x), cellY(y), Px);
                      return c == White ? QColor() : c;
                  }));
    }
    // Fig.8 in the region shades, 6 dots wide; the mode red and the average blue while shown,
    // in their region's shade when not. The average in dashes of two columns two apart, so
    // that where it shares the mode's cells the mode shows between its dashes.
    const auto confidence = [&](bool overlays) {
        return cellsOf(PlotFirst, PlotLast, [&](int x, int y) {
            const float q = m().at(Field::Confi, x, y);
            const bool dash = (x - PlotFirst) / 2 % 2 == 0;
            return overlays && q < 0 && dash       ? Blue
                   : overlays && std::fabs(q) == 3 ? Red
                   : std::fabs(q) >= 2             ? QColor(200, 255, 200)
                   : std::fabs(q) == 1             ? QColor(50, 127, 50)
                                                   : QColor();
        });
    };
    EXPECT_EQ(printedCells(marks, 8, 6), confidence(true));
    // A dot is wider than the cells are apart: the regions go first, then the mode, then the
    // average, so that no neighbour's dot covers an overlay.
    std::vector<int> order;
    for (const Mark& dot : plotted(marks, onPage(8))) {
        order.push_back(dot.colour == Red ? 1 : dot.colour == Blue ? 2 : 0);
    }
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    click(c().coefficients.showMode);
    click(c().coefficients.showAverage);
    EXPECT_EQ(printedCells(printed(), 8, 6), confidence(false));
}

TEST_F(PrintTest, ZoomScalesPositionsAndWidthsButNotTheOffset) {
    runAll();
    click(c().model.showFittingLine);
    state().printTitle = "Lead in water";
    struct Case {
        double zoom, dotSize;
        int cells, confidence, line, frame;
    };
    // Widths: cells dot size x zoom x 0.6, Fig.8 dot size x zoom, the line dot size x zoom / 2,
    // frames 3 x zoom, each to the nearest whole dot with halves to even (1.5 gives 2).
    for (const auto [zoom, dotSize, cells, confidence, line, frame] :
         {Case{1, 6, 4, 6, 3, 3}, Case{0.5, 6, 2, 3, 2, 2}, Case{1, 10, 6, 10, 5, 3}}) {
        SCOPED_TRACE(testing::Message() << zoom << " " << dotSize);
        state().printZoom = float(zoom);
        state().dotSize = float(dotSize);
        const std::vector<Mark> marks = printed();
        EXPECT_EQ(plotted(marks, onPage(5, zoom))[0].rect.width(), cells);
        EXPECT_EQ(plotted(marks, onPage(8, zoom))[0].rect.width(), confidence);
        int lines = 0, frames = 0;
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
                const double margin = 9 * zoom * PxPerTwip;
                EXPECT_EQ(m.rect,
                          onPage(++frames, zoom).adjusted(-margin, -margin, margin, margin));
            }
        }
        EXPECT_EQ(lines, 1);
        EXPECT_EQ(frames, 8);
        // The first cell of Fig.8 in a region's shade (the overlays follow the regions), zoomed,
        // then shifted by the unzoomed offset; the cells above it may join it in a bar.
        int x = PlotFirst, y = PlotFirst;
        while (m().at(Field::Confi, x, y) <= 0 || m().at(Field::Confi, x, y) == 3) {
            y = y < PlotLast ? y + 1 : PlotFirst;
            x += y == PlotFirst;
        }
        const QRectF fig8 = mainPageFigure(8);
        const Mark first = plotted(marks, onPage(8, zoom).adjusted(-4, -4, 4, 4)).front();
        EXPECT_NEAR(first.centre().x(), ((fig8.left() + cellX(x)) * zoom + 200) * PxPerTwip, 1e-6);
        EXPECT_NEAR(first.rect.bottom() - first.rect.width() / 2,
                    ((fig8.top() + cellY(y)) * zoom + 1000) * PxPerTwip, 1e-6);
        // The title is the first text, above the figures at the left of Fig.1.
        const Mark* title = textMark(marks, texts(marks).at(0));
        EXPECT_EQ(title->text, QStringLiteral("Lead in water"));
        EXPECT_NEAR(title->rect.left(), (mainPageFigure(1).left() * zoom + 200) * PxPerTwip, 1);
        EXPECT_LT(title->rect.top(), onPage(1, zoom).top());
    }
}

TEST_F(PrintTest, TextBlocksFollowTheCaptionsLineByLine) {
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    using Lines = std::vector<std::string>;
    std::vector<Mark> marks = printed();
    for (const char* label : {"Fig.1", "Fig.8", "0", "40"}) {
        EXPECT_NE(textMark(marks, QString::fromLatin1(label)), nullptr) << label;
    }
    // The files, then every setting the result depends on; the coefficients only with Fig.8.
    EXPECT_EQ(textsFrom(marks, QStringLiteral("Figure 1"), 13),
              (Lines{"Figure 1", "File: " + CalibrationCsv.toStdString(), "X: Field reading (mg/L)",
                     "Y: Reference (mg/L)", "Figure 2", "File: " + ErrorCsv.toStdString(),
                     "X: Analysis 1 (mg/L)", "Y: Analysis 2 (mg/L)", "Smoothing level:  5 %",
                     "Vertical threshold:  2 sample(s)", "Skip:  off",
                     "Horizontal threshold:  2 sample(s)", "Z-axis enhancement:  100 %"}));
    // The statistics as the window shows them; the fitting line only while it is shown.
    const std::string r2 = "R2 = " + text(c().file[1].correlation);
    EXPECT_EQ(
        textsFrom(marks, QStringLiteral("N1 = 300"), 5),
        (Lines{"N1 = 300", "N2 = 150", "R1 = " + text(c().file[0].correlation), r2, "Figure 1"}));

    click(c().model.showFittingLine);
    click(c().run.start);
    state().colour.enhancement = 1.5f;
    marks = printed();
    EXPECT_EQ(textsFrom(marks, QString::fromStdString(r2), 4),
              (Lines{r2, "Fitting line:", text(c().model.fittingLine),
                     "Std. Dev. = " + text(c().model.stdDev)}));
    EXPECT_EQ(textsFrom(marks, QStringLiteral("Horizontal threshold:  2 sample(s)"), 4),
              (Lines{"Horizontal threshold:  2 sample(s)", "Confidence coefficient 1:  68.2 %",
                     "Confidence coefficient 2:  95.4 %", "Z-axis enhancement:  150 %"}));
    // Each line one line height below the one before, whatever the font.
    for (const char* const block : {"N1 = 300", "Figure 1"}) {
        const Mark* first = textMark(marks, QString::fromLatin1(block));
        ASSERT_NE(first, nullptr);
        const double step = first[1].rect.top() - first->rect.top();
        EXPECT_GT(step, 150 * PxPerTwip); // 10 points, a little over 200 twips
        EXPECT_LT(step, 300 * PxPerTwip);
        EXPECT_NEAR(first[2].rect.top() - first[1].rect.top(), step, 1e-6);
    }
    // The statistics stand below the figures, clear of them and of the file block.
    const Mark* n1 = textMark(marks, QStringLiteral("N1 = 300"));
    EXPECT_GT(n1->rect.top(), onPage(8).bottom());
    EXPECT_NEAR(n1->rect.top(), textMark(marks, QStringLiteral("Figure 1"))->rect.top(), 1e-6);
    EXPECT_GT(n1->rect.left(), onPage(6).right());
    // A larger font moves the lines further apart.
    state().printFontSize = 20;
    const std::vector<Mark> large = printed();
    EXPECT_GT(textMark(large, QStringLiteral("N2 = 150"))->rect.top() -
                  textMark(large, QStringLiteral("N1 = 300"))->rect.top(),
              400 * PxPerTwip);

    // The generated model in file 2's place, with its standard deviation.
    click(c().model.generateModel);
    EXPECT_EQ(textsFrom(printed(), QStringLiteral("File: Generated error model"), 4),
              (Lines{"File: Generated error model", "X: Reference (mg/L)", "Y: Error model",
                     "Model Std. Dev.:  5 % of range"}));
}

TEST(PageGeometryTest, RoundsWidthsAndNamesUnusableSettings) {
    const std::pair<double, int> widths[] = {
        {3.6, 4}, {2.5, 2}, {1.5, 2}, {0.3, 1}, {1e30, 1000000}};
    for (const auto& [dots, width] : widths) {
        EXPECT_EQ(printerWidth(dots), width) << dots;
    }
    SessionState s;
    EXPECT_TRUE(checkPrintSettings(s));
    s.dotSize = 0;
    s.frameThickness = 0;
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
    TempDir dir("quendrix-print-pdf");
    // The dialog proposes file 1's name as a PDF: in the home folder until a file is saved or
    // printed, then in that file's folder.
    PrintCommands& printing = w.workflow().printing();
    EXPECT_EQ(printing.proposedPdf(&w), QDir::home().filePath(QStringLiteral("calibration.pdf")));
    dialogs.answerPrint({QString::fromStdString((dir.path / "page.pdf").string()), 2,
                         QPageLayout::Landscape, QPageSize::Letter});
    QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
    const QString proposed = QString::fromStdString((dir.path / "calibration.pdf").string());
    EXPECT_EQ(printing.proposedPdf(&w), proposed);
    // The printer handed to the dialog carries the proposal.
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
    // Two copies on Letter across: 792 x 612 points.
    const std::string bytes = slurp(dir.path / "page.pdf");
    EXPECT_EQ(pdfPages(bytes), 2);
    EXPECT_TRUE(QString::fromLatin1(bytes.data(), qsizetype(bytes.size()))
                    .contains(QRegularExpression(QStringLiteral("/MediaBox \\[0 0 792[.0]* 612"))));
    EXPECT_EQ(status(), QStringLiteral("Printed to page.pdf"));

    // A zoom that gives no page is refused before the dialog, naming the setting.
    state().printZoom = 0;
    w.menus().print->trigger();
    EXPECT_EQ(dialogs.printDialogsShown(), 1);
    EXPECT_EQ(status(), QStringLiteral("The page was not printed: Zoom (%) must be above 0"));

    // A file that cannot be written is reported; nothing is left behind.
    state().printZoom = 1;
    dialogs.answerPrint({QString::fromStdString((dir.path / "no-such-folder" / "p.pdf").string())});
    w.menus().print->trigger();
    EXPECT_TRUE(status().startsWith(QStringLiteral("The page was not printed: cannot write")))
        << status().toStdString();
    EXPECT_EQ(listing(dir.path), "page.pdf ");
}

class PrintOptionsTest : public PrintTest {
  protected:
    PrintOptionsDialog* open() {
        w.menus().printOptions->trigger();
        return w.workflow().printing().printOptions();
    }
    void type(PrintOptionsDialog* d, int k, const QString& text) {
        d->text(k)->selectAll();
        QTest::keyClicks(d->text(k), text);
    }
    /// The five boxes' texts.
    static std::string shown(PrintOptionsDialog* d) {
        std::string out;
        for (int k = 1; k <= 5; ++k) {
            out += text(d->text(k)) + "|";
        }
        return out;
    }
    std::string options() {
        const SessionState& s = state();
        return std::to_string(s.dotSize) + " " + std::to_string(s.frameThickness) + " " +
               std::to_string(s.printZoom) + " " + std::to_string(s.printFontSize) + " '" +
               s.printTitle + "'";
    }
};

TEST_F(PrintOptionsTest, EditsApplyAtEachKeystrokeCancelRestoresAllFiveAndARedrawWaits) {
    runAll();
    mark();
    markColourChanged(state());
    PrintOptionsDialog* d = open();
    ASSERT_TRUE(activate(d));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Print options"));
    EXPECT_EQ(shown(d), "6|3|100|10||");

    // Every keystroke is stored: "1" then "15" then "150" gives 1.5 at the end.
    d->text(3)->selectAll();
    QTest::keyClick(d->text(3), Qt::Key_1);
    EXPECT_FLOAT_EQ(state().printZoom, 0.01f);
    QTest::keyClicks(d->text(3), QStringLiteral("50"));
    EXPECT_FLOAT_EQ(state().printZoom, 1.5f);
    // The leading number counts; letters alone read 0, and an emptied box too.
    type(d, 4, QStringLiteral("12pt"));
    type(d, 1, QStringLiteral("abc"));
    type(d, 2, QStringLiteral("2.5"));
    type(d, 5, QStringLiteral("Lead, run 2 \u00b5g"));
    EXPECT_EQ(options(), "0.000000 2.500000 1.500000 12.000000 'Lead, run 2 \u00b5g'");
    d->text(3)->clear();
    EXPECT_FLOAT_EQ(state().printZoom, 0);

    // Cancel puts back all five values found at opening.
    d->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(options(), "6.000000 3.000000 1.000000 10.000000 ''");
    // The activation after the dialog redraws nothing and leaves the colour change pending; the
    // next one redraws the ramp-coloured figures.
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
    d = open();
    type(d, 3, QStringLiteral("50"));
    type(d, 5, QStringLiteral("Run 3"));
    d->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(options(), "6.000000 3.000000 0.500000 10.000000 'Run 3'");
    d = open();
    EXPECT_EQ(shown(d), "6|3|50|10|Run 3|");
    type(d, 1, QStringLiteral("9"));
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
    import(0, CalibrationCsv);
    EXPECT_EQ(enabled(), "1");
    import(1, ErrorCsv);
    EXPECT_EQ(enabled(), "12");
    click(c().run.start);
    EXPECT_EQ(enabled(), "12345678");
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        const QImage shown = surfacePicture(fig(n));
        // The Edit menu's item by its shortcut, Ctrl+F1 .. Ctrl+F8, and the pop-up menu's.
        EXPECT_EQ(clipboardPictureAfter([&] {
                      QTest::keyClick(&w, Qt::Key(Qt::Key_F1 + n - 1), Qt::ControlModifier);
                  }),
                  shown);
        EXPECT_EQ(clipboardPictureAfter([&] { w.menus().figureCopies[size_t(n - 1)]->trigger(); }),
                  shown);
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
