#include "ChartFixture.h"
#include "RecordingPaintDevice.h"
#include "TestFiles.h"

#include "app/PrintCommands.h"
#include "app/StatusLine.h"
#include "print/PrintOptionsDialog.h"
#include "session/ColourChangeProtocol.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

namespace quendrix::test {
namespace {

/// The calibration chart window's printing and copying, and the main window's pop-up copies.
class ChartPrintTest : public ChartFixture {
  protected:
    void SetUp() override {
        ChartFixture::SetUp();
        runAll();
        ASSERT_NE(openFrom(8), nullptr);
        ASSERT_TRUE(activate(chart()));
    }
    QAction* chartAction(const char* name) {
        return chart()->findChild<QAction*>(QString::fromLatin1(name));
    }
    QString chartStatus() { return chart()->status().text(); }
    QString mainStatus() { return w.workflow().status().text(); }
    /// A mark on the main figure's picture that only a redraw removes.
    void stamp() {
        ui::FigureSurface& p = *cc().picture1;
        p.clear();
        p.fillBox(0, 0, 20, 20, Stamp);
        p.makePersistent();
    }
    bool stamped() { return cc().picture1->colourAt(10, 10, {400, 400}) == Stamp; }
    /// The clipboard's picture after `item` is triggered over a text it held before.
    QImage copiedBy(QAction* item) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("before"));
        item->trigger();
        EXPECT_FALSE(clipboard->mimeData()->hasText());
        return clipboard->image().convertToFormat(QImage::Format_RGB32);
    }
    /// What the surface shows, pixel for pixel at the screen's density.
    static QImage shown(const ui::FigureSurface& s) {
        return s.render(s.contentsRect().size(), s.devicePixelRatioF())
            .convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(ChartPrintTest, PrintSendsThePageAsTheWindowShowsItThroughThePrintDialog) {
    cc().slider1->setValue(30);
    cc().slider2->setValue(150);
    ASSERT_TRUE(cc().check4->isChecked());
    ASSERT_TRUE(cc().check1->isChecked());
    click(cc().check1); // "Show mode" off
    const ChartView view = chart()->printView();
    EXPECT_EQ(view.sectionPercent, 30);
    EXPECT_EQ(view.enhancementPercent, 150);
    EXPECT_TRUE(view.showAverage);
    EXPECT_FALSE(view.showMode);
    // That view's page: the average curve without the mode curve, and the enhancement.
    const std::vector<Mark> page =
        recordPage([&](ui::PrinterPage& p) { printChartWindow(p, w.session(), view); });
    const auto lines = [&](const QColor& colour) {
        return std::count_if(page.begin(), page.end(), [&](const Mark& m) {
            return m.kind == Mark::Kind::Line && m.colour == colour;
        });
    };
    EXPECT_GT(lines(Blue), 100);
    EXPECT_EQ(lines(Red), 0);
    EXPECT_TRUE(std::any_of(page.begin(), page.end(), [](const Mark& m) {
        return m.text == QStringLiteral("Z-axis enhancement:  150 %");
    }));

    TempDir dir("quendrix-chart-print");
    const std::string pdf = (dir.path / "chart.pdf").string();
    QAction* print = chartAction("Print");
    ASSERT_NE(print, nullptr);
    EXPECT_TRUE(print->isEnabled());
    const QString before = mainStatus();
    dialogs.answerPrint({QString::fromStdString(pdf)});
    print->trigger();
    EXPECT_EQ(dialogs.printDialogsShown(), 1);
    const std::string bytes = slurp(pdf);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_EQ(pdfPages(bytes), 1);
    // Said where the user printed from.
    EXPECT_EQ(chartStatus(), QStringLiteral("Printed to chart.pdf"));
    EXPECT_EQ(mainStatus(), before);
    // The next print from either window proposes a PDF in that folder.
    EXPECT_EQ(w.workflow().printing().proposedPdf(&w),
              QString::fromStdString((dir.path / "calibration.pdf").string()));

    // Cancel prints nothing and says nothing.
    std::filesystem::remove(pdf);
    print->trigger();
    EXPECT_EQ(dialogs.printDialogsShown(), 2);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(chartStatus(), QStringLiteral("Printed to chart.pdf"));

    // An unusable option is refused before the dialog, in the chart's status line.
    w.session().state().printZoom = 0;
    print->trigger();
    EXPECT_EQ(dialogs.printDialogsShown(), 2);
    EXPECT_EQ(chartStatus(), QStringLiteral("The page was not printed: Zoom (%) must be above 0"));
}

TEST_F(ChartPrintTest, CopyItemsPutTheMainFigureOrTheSectionOnTheClipboard) {
    // Curves, marker and section as they stand now.
    cc().slider1->setValue(70);
    const ui::FigureSurface* surfaces[] = {cc().picture1, cc().picture2};
    ASSERT_NE(surfaces[0]->contentsRect().size(), surfaces[1]->contentsRect().size());
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        const ui::FigureSurface& s = *surfaces[n - 1];
        const QImage expected = shown(s);
        ASSERT_EQ(expected.size(), s.contentsRect().size() * s.devicePixelRatioF());
        for (const QString& name :
             {QStringLiteral("CopyFig%1").arg(n), QStringLiteral("Copy%1").arg(n)}) {
            SCOPED_TRACE(name.toStdString());
            QAction* item = chart()->findChild<QAction*>(name);
            ASSERT_NE(item, nullptr);
            EXPECT_TRUE(item->isEnabled());
            EXPECT_EQ(copiedBy(item), expected);
        }
    }
}

TEST_F(ChartPrintTest, MainWindowFigureMenusCopyTheirFigure) {
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        QAction* item = w.menus().figureCopies[size_t(n - 1)];
        ASSERT_EQ(item->objectName(), QStringLiteral("Copy%1").arg(n));
        const QImage copied = copiedBy(item);
        EXPECT_EQ(copied.size(), fig(n).contentsRect().size() * fig(n).devicePixelRatioF());
        EXPECT_EQ(copied, shown(fig(n)));
    }
}

TEST_F(ChartPrintTest, ReturningFromPrintOptionsRedrawsNothingButTheNextActivationDoes) {
    SessionState& state = w.session().state();
    stamp();
    markColourChanged(state);
    chartAction("PrintOptions")->trigger();
    PrintOptionsDialog* d = w.workflow().printing().printOptions();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(activate(d));
    d->close();
    ASSERT_TRUE(activate(chart()));
    EXPECT_TRUE(stamped());
    // The change is still to be drawn, on the activation after.
    ASSERT_TRUE(activate(&w));
    ASSERT_TRUE(activate(chart()));
    EXPECT_FALSE(stamped());
}

} // namespace
} // namespace quendrix::test
