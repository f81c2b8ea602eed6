#include "WindowFixture.h"

#include <cmath>
#include <optional>
#include <set>

namespace quendrix::test {
namespace {

using FigurePixelsTest = WindowFixture;

TEST_F(FigurePixelsTest, EveryFigureInColourAndInGrey) {
    // Column 125 (X 20) of Fig.3 .. Fig.`last` cell by cell, the overlays off: Fig.3 .. Fig.6 in
    // the ramp colour of their field, white at or below the threshold; Fig.7 masked by the
    // regions, with no threshold inside; Fig.8 white outside the regions, then outer and inner.
    auto checkColumn = [&](const ColourRamp& ramp, QColor outer, QColor inner, int last = 8) {
        // Range 0..40, smoothing 5: Fig.3 and Fig.4 show x 40 / 20, Fig.5 x (2.5 / 5) * 2,
        // Fig.6 and Fig.7 x 20.
        const Field fields[] = {Field::Model, Field::Discrete, Field::Smoothed, Field::NormH,
                                Field::Prob};
        const float factors[] = {2, 2, 1, 20, 20};
        const QColor regions[] = {White, outer, inner};
        for (int n = 3; n <= last; ++n) {
            std::set<QRgb> seen;
            for (int j = PlotFirst; j <= PlotLast; ++j) {
                const int region = std::min(int(std::fabs(m().at(Field::Confi, 125, j))), 2);
                QColor expected = regions[region];
                if (n < 8) {
                    // Exact in double, so float(v) is the float product the stages colour.
                    const double v = m().at(fields[n - 3], 125, j) * double(factors[n - 3]);
                    const std::optional<Rgb> rgb =
                        n < 7    ? cellColour(ramp, float(v))
                        : region ? std::optional(rampColour(ramp.points, std::fabs(v)))
                                 : std::nullopt;
                    expected = rgb ? QColor(rgb->red, rgb->green, rgb->blue) : White;
                }
                EXPECT_EQ(cellAt(n, 125, j), expected) << "Fig." << n << " row " << j;
                seen.insert(expected.rgb());
            }
            EXPECT_GE(seen.size(), 3u) << "Fig." << n; // white and two colours at least
        }
    };
    runAll();
    click(c().coefficients.showMode);
    click(c().coefficients.showAverage);
    checkColumn(ColourRamp{}, QColor(50, 127, 50), QColor(200, 255, 200));

    // Grey, as the colour settings leave it: the next activation redraws the stages.
    const ColourRamp grey{greyColourPoints(), 0.1f, 1.0f, true};
    w.session().state().colour = grey;
    w.session().state().colourChanged = true;
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    EXPECT_FALSE(w.session().state().colourChanged);
    checkColumn(grey, {}, {}, 7);

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
    checkColumn(grey, QColor(100, 100, 100), QColor(200, 200, 200));
}

} // namespace
} // namespace quendrix::test
