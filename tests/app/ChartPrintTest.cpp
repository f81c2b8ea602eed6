#include "ChartFixture.h"
#include "RecordingPaintDevice.h"
#include "TestFiles.h"

#include "app/PrintCommands.h"
#include "app/StatusLine.h"
#include "print/PrintOptionsDialog.h"
#include "session/ColourChangeProtocol.h"

#include <tuple>

namespace quendrix::test {
namespace {

/// The calibration chart window's printing and copying.
class ChartPrintTest : public ChartFixture {
  protected:
    void SetUp() override {
        ChartFixture::SetUp();
        runAll();
        ASSERT_NE(openFrom(8), nullptr);
        ASSERT_TRUE(activate(chart()));
    }
    QString chartStatus() { return chart()->status().text(); }
};

TEST_F(ChartPrintTest, PrintSendsThePageAsTheWindowShowsItThroughThePrintDialog) {
    cc().slider1->setValue(30);
    cc().slider2->setValue(150);
    click(cc().check1); // "Show mode" off
    const ChartView view = chart()->printView();
    EXPECT_EQ(
        std::tuple(view.sectionPercent, view.enhancementPercent, view.showAverage, view.showMode),
        std::tuple(30, 150, true, false));

    TempDir dir("quendrix-chart-print");
    const std::string pdf = (dir.path / "chart.pdf").string();
    const QString before = w.workflow().status().text();
    dialogs.answerPrint({QString::fromStdString(pdf)});
    chart()->printAction()->trigger();
    EXPECT_EQ(pdfPages(slurp(pdf)), 1);
    // Said where the user printed from.
    EXPECT_EQ(chartStatus(), QStringLiteral("Printed to chart.pdf"));
    EXPECT_EQ(w.workflow().status().text(), before);

    // Cancel says nothing.
    chart()->printAction()->trigger();
    EXPECT_EQ(dialogs.printDialogsShown(), 2);
    EXPECT_EQ(chartStatus(), QStringLiteral("Printed to chart.pdf"));
}

TEST_F(ChartPrintTest, CopyItemsPutTheMainFigureOrTheSectionOnTheClipboard) {
    cc().slider1->setValue(70); // curves, marker and section as they stand now
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        const ui::FigureSurface& s = n == 1 ? *cc().picture1 : *cc().picture2;
        // The Edit menu's item; the figure's pop-up menu's is connected with it.
        QAction* item = chart()->findChild<QAction*>(QStringLiteral("CopyFig%1").arg(n));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(clipboardPictureAfter([&] { item->trigger(); }), surfacePicture(s));
    }
}

TEST_F(ChartPrintTest, ReturningFromPrintOptionsRedrawsNothingButTheNextActivationDoes) {
    stamp();
    markColourChanged(w.session().state());
    chart()->printOptionsAction()->trigger();
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
