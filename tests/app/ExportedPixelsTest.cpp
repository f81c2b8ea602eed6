#include "ChartFixture.h"

#include "app/ColourSettingsWindow.h"
#include "figexport/FigureExport.h"

namespace quendrix::test {
namespace {

/// The exported PNGs against the windows' own figures in the same state, pixel for pixel: the
/// export draws what the windows draw, not a likeness of it.
class ExportedPixelsTest : public ChartFixture {
  protected:
    /// Pixels of the window's surface, rendered at the sheet's box and scale, that differ from
    /// the exported picture there.
    static int differences(const QImage& exported, const QRectF& box,
                           const ui::FigureSurface& shown) {
        const QImage expected =
            shown.render(box.size().toSize(), PngScale).convertToFormat(QImage::Format_RGB32);
        const QImage actual =
            exported.copy(QRectF(box.topLeft() * PngScale, box.size() * PngScale).toRect());
        if (actual.size() != expected.size()) {
            return -1;
        }
        int n = 0;
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                n += actual.pixel(x, y) != expected.pixel(x, y);
            }
        }
        return n;
    }

    void expectWindowsPixels() {
        // The chart window as Fig.8 opens it: the confidence view, the section in the middle.
        ASSERT_NE(openFrom(8), nullptr);
        ASSERT_EQ(cc().slider1->value(), 50);
        auto files = renderFigures(w.session(), FigureFormat::Png, 50);
        ASSERT_TRUE(files) << files.reason();
        const FigureSet set(w.session(), 50);
        for (int n = 1; n <= 8; ++n) {
            const QImage image = QImage::fromData(files.value()[size_t(n - 1)], "PNG");
            EXPECT_EQ(differences(image, set.sheet(n - 1).surfaces[0].box, fig(n)), 0)
                << "Fig." << n;
        }
        const QImage chart = QImage::fromData(files.value()[8], "PNG");
        const auto& surfaces = set.sheet(8).surfaces;
        EXPECT_EQ(differences(chart, surfaces[0].box, *cc().picture1), 0) << "main figure";
        EXPECT_EQ(differences(chart, surfaces[1].box, *cc().picture2), 0) << "section";
        w.workflow().chart().close();
    }
};

TEST_F(ExportedPixelsTest, EveryFigureAsTheWindowsShowIt) {
    runAll();
    // The export shows file 2's fitting line and both overlays of Fig.8.
    click(c().model.showFittingLine);
    ASSERT_TRUE(c().model.showFittingLine->isChecked());
    ASSERT_TRUE(c().coefficients.showMode->isChecked() &&
                c().coefficients.showAverage->isChecked());
    expectWindowsPixels();

    // The generated model (Fig.2 blank), no horizontal normalisation (Fig.6 blank), grey scale.
    click(c().model.generateModel);
    click(c().thresholds.skip);
    click(c().run.start);
    click(c().coefficients.colourSettings);
    ColourSettingsWindow* colours = w.workflow().colourSettings();
    ASSERT_NE(colours, nullptr);
    click(colours->greyScaleButton());
    colours->close();
    ASSERT_TRUE(activate(&w));
    ASSERT_TRUE(w.session().state().colour.greyScale);
    ASSERT_TRUE(drawn(8));
    expectWindowsPixels();
}

} // namespace
} // namespace quendrix::test
