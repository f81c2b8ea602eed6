#include "ChartFixture.h"
#include "RecordingPaintDevice.h"
#include "TestFiles.h"

#include "app/PrintCommands.h"
#include "app/StatusLine.h"
#include "print/PrintOptionsDialog.h"
#include "session/ColourChangeProtocol.h"

#include <QMenu>

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
    ASSERT_TRUE(cc().check4->isChecked());
    ASSERT_TRUE(cc().check1->isChecked());
    click(cc().check1); // "Show mode" off
    const ChartView view = chart()->printView();
    EXPECT_EQ(view.sectionPercent, 30);
    EXPECT_EQ(view.enhancementPercent, 150);
    EXPECT_TRUE(view.showAverage);
    EXPECT_FALSE(view.showMode);

    TempDir dir("quendrix-chart-print");
    const std::string pdf = (dir.path / "chart.pdf").string();
    const QString before = w.workflow().status().text();
    dialogs.answerPrint({QString::fromStdString(pdf)});
    chart()->printAction()->trigger();
    EXPECT_EQ(dialogs.printDialogsShown(), 1);
    const std::string bytes = slurp(pdf);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_EQ(pdfPages(bytes), 1);
    // Said where the user printed from.
    EXPECT_EQ(chartStatus(), QStringLiteral("Printed to chart.pdf"));
    EXPECT_EQ(w.workflow().status().text(), before);

    // Cancel prints nothing and says nothing.
    std::filesystem::remove(pdf);
    chart()->printAction()->trigger();
    EXPECT_EQ(dialogs.printDialogsShown(), 2);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(chartStatus(), QStringLiteral("Printed to chart.pdf"));
}

TEST_F(ChartPrintTest, CopyItemsPutTheMainFigureOrTheSectionOnTheClipboard) {
    cc().slider1->setValue(70); // curves, marker and section as they stand now
    ASSERT_NE(cc().picture1->contentsRect().size(), cc().picture2->contentsRect().size());
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        const ui::FigureSurface& s = n == 1 ? *cc().picture1 : *cc().picture2;
        const QImage expected = surfacePicture(s);
        ASSERT_EQ(expected.size(), s.contentsRect().size() * s.devicePixelRatioF());
        // The Edit menu's item and the figure's pop-up menu's.
        for (QAction* item : {chart()->findChild<QAction*>(QStringLiteral("CopyFig%1").arg(n)),
                              chart()->figureMenu(n)->actions().front()}) {
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(clipboardPictureAfter([&] { item->trigger(); }), expected);
        }
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
