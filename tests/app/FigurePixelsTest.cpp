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
    showsSession(8);

    // Grey, as the colour settings leave it: the next activation redraws the stages.
    w.session().state().colour = ColourRamp{greyColourPoints(), 0.1f, 1.0f, true};
    w.session().state().colourChanged = true;
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    EXPECT_FALSE(w.session().state().colourChanged);
    showsSession(7);

    // A new import and run draws the rest in grey too, the overlays of Fig.8 with them.
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    click(&fig(3));
    EXPECT_TRUE(showsSessionScatter(1, 40) && showsSessionScatter(2, 40));
    showsSession(8);
}

} // namespace
} // namespace quendrix::test
