#include "ChartFixture.h"

#include "app/ColourSettingsWindow.h"
#include "figexport/FigureExport.h"

namespace quendrix::test {
namespace {

/// The exported PNGs against the windows' own figures in the same state, pixel for pixel: the
/// export draws what the windows draw, not a likeness of it.
class ExportedPixelsTest : public ChartFixture {
  protected:
    /// Whether the exported picture shows, in the sheet's `box`, what the window's surface
    /// shows rendered at the box's size and the PNG's scale.
    static bool same(const QByteArray& png, const QRectF& box, const ui::FigureSurface& shown) {
        const QImage exported = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
        return exported.copy(QRectF(box.topLeft() * PngScale, box.size() * PngScale).toRect()) ==
               shown.render(box.size().toSize(), PngScale).convertToFormat(QImage::Format_RGB32);
    }

    /// The chart window as Fig.8 opens it (the confidence view), with the section at `section`.
    void expectWindowsPixels(int section) {
        ASSERT_NE(openFrom(8), nullptr);
        cc().slider1->setValue(section);
        auto files = renderFigures(w.session(), FigureFormat::Png, section);
        ASSERT_TRUE(files) << files.reason();
        const FigureSet set(w.session(), section);
        for (int n = 1; n <= 8; ++n) {
            EXPECT_TRUE(
                same(files.value()[size_t(n - 1)], set.sheet(n - 1).surfaces[0].box, fig(n)))
                << "Fig." << n;
        }
        const auto& surfaces = set.sheet(8).surfaces;
        EXPECT_TRUE(same(files.value()[8], surfaces[0].box, *cc().picture1)) << "main figure";
        EXPECT_TRUE(same(files.value()[8], surfaces[1].box, *cc().picture2)) << "section";
        w.workflow().chart().close();
    }
};

TEST_F(ExportedPixelsTest, EveryFigureAsTheWindowsShowIt) {
    runAll();
    // The export shows file 2's fitting line and both overlays of Fig.8.
    click(c().model.showFittingLine);
    expectWindowsPixels(50);

    // The generated model (Fig.2 blank), no horizontal normalisation (Fig.6 blank), grey scale,
    // and the section off the middle.
    click(c().model.generateModel);
    click(c().thresholds.skip);
    click(c().run.start);
    click(c().coefficients.colourSettings);
    ColourSettingsWindow* colours = w.workflow().colourSettings();
    ASSERT_NE(colours, nullptr);
    click(colours->greyScaleButton());
    colours->close();
    ASSERT_TRUE(activate(&w));
    expectWindowsPixels(30);
}

} // namespace
} // namespace quendrix::test
