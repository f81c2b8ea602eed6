#include "WindowFixture.h"

namespace quendrix::test {
namespace {

using FigurePixelsTest = WindowFixture;

TEST_F(FigurePixelsTest, EveryFigureInColourAndInGrey) {
    auto showsSession = [&](int last) {
        for (int n = 3; n <= last; ++n) {
            EXPECT_TRUE(showsSessionStage(n)) << "Fig." << n;
        }
    };
    runAll();
    click(c().coefficients.showMode);
    click(c().coefficients.showAverage);
    showsSession(8);

    // Grey, as the colour settings leave it: the next activation redraws the stages.
    w.session().state().colour = ColourRamp{greyColourPoints(), 0.1f, 1.0f, true};
    w.session().state().colourChanged = true;
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    EXPECT_FALSE(w.session().state().colourChanged);
    showsSession(7);

    // A new import and run draws the rest in grey too.
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    click(&fig(3));
    EXPECT_EQ(dataAt(1, 23.74, 22.98, 40), Black); // record 1 of each file
    EXPECT_EQ(dataAt(2, 19.62, 20.17, 40), Black);
    EXPECT_EQ(dataAt(2, 1.3, 38.7, 40), White); // far from every record
    const ColumnResults& r = w.session().columns();
    click(c().coefficients.showMode); // the mode alone: both overlays are black
    EXPECT_TRUE(near(8, cellX(125), cellY(r.modeIndex[125]), Black));
    click(c().coefficients.showMode);
    click(c().coefficients.showAverage);
    EXPECT_TRUE(near(8, cellX(125), cellY(r.aveIndex[125]), Black));
    click(c().coefficients.showAverage);
    showsSession(8);
}

} // namespace
} // namespace quendrix::test
