#include "WindowFixture.h"

#include <QEvent>

#include <cmath>
#include <cstdlib>

namespace quendrix::test {
namespace {

const QColor Black(0, 0, 0);

class FigurePixelsTest : public WindowFixture {
  protected:
    /// The plot-window cell where |field| peaks.
    std::pair<int, int> peak(Field f) {
        std::pair<int, int> best{PlotFirst, PlotFirst};
        for (int i = PlotFirst; i <= PlotLast; ++i) {
            for (int j = PlotFirst; j <= PlotLast; ++j) {
                if (std::fabs(m().at(f, i, j)) > std::fabs(m().at(f, best.first, best.second))) {
                    best = {i, j};
                }
            }
        }
        return best;
    }

    /// Fig.3 .. Fig.7 against their fields: the peak cell in its ramp colour, and a cell far
    /// from the data (X 3, Y 37) white.
    void checkStages(const ColourRamp& ramp) {
        // Range 0..40, smoothing 5: Fig.3 and Fig.4 show x 40 / 20, Fig.5 x (2.5 / 5) * 2,
        // Fig.6 x 20.
        const std::pair<Field, float> views[] = {{Field::Model, 2.0f},
                                                 {Field::Discrete, 2.0f},
                                                 {Field::Smoothed, 1.0f},
                                                 {Field::NormH, 20}};
        for (int n = 3; n <= 6; ++n) {
            SCOPED_TRACE(n);
            const auto [field, factor] = views[n - 3];
            const auto [i, j] = peak(field);
            const auto colour = cellColour(ramp, float(double(m().at(field, i, j)) * factor));
            ASSERT_TRUE(colour);
            EXPECT_EQ(cellAt(n, i, j), QColor(colour->red, colour->green, colour->blue));
            ASSERT_FALSE(cellColour(ramp, float(double(m().at(field, 40, 210)) * factor)));
            EXPECT_EQ(cellAt(n, 40, 210), White);
        }
        // Fig.7 is masked by the regions: no threshold inside, white outside.
        const auto [i, j] = peak(Field::Prob);
        ASSERT_NE(m().at(Field::Confi, i, j), 0);
        const Rgb colour =
            rampColour(ramp.points, std::fabs(double(m().at(Field::Prob, i, j))) * 20);
        EXPECT_EQ(cellAt(7, i, j), QColor(colour.red, colour.green, colour.blue));
        ASSERT_EQ(m().at(Field::Confi, 40, 210), 0);
        EXPECT_EQ(cellAt(7, 40, 210), White);
    }

    /// Whether cell (i, j) lies three rows or more from both overlays in its column and the
    /// neighbouring ones, so no overlay line can cross its pixels.
    bool clearOfOverlays(int i, int j) {
        const ColumnResults& r = w.session().columns();
        for (int x = i - 1; x <= i + 1; ++x) {
            for (int row : {r.modeIndex[size_t(x)], r.aveIndex[size_t(x)]}) {
                if (row != NoIndex && std::abs(row - j) < 3) {
                    return false;
                }
            }
        }
        return true;
    }

    /// Fig.8: white outside, the outer and the inner region colour, the mode overlay.
    void checkRegions(const QColor& outer, const QColor& inner, const QColor& overlay) {
        bool seen[3] = {};
        for (int i = 60; i <= 190; i += 13) {
            for (int j = PlotFirst; j <= PlotLast; ++j) {
                const int q = int(std::fabs(m().at(Field::Confi, i, j)));
                if (clearOfOverlays(i, j) && !seen[std::min(q, 2)]) {
                    seen[std::min(q, 2)] = true;
                    EXPECT_EQ(cellAt(8, i, j), q == 0   ? White
                                               : q == 1 ? outer
                                                        : inner)
                        << i << ", " << j;
                }
            }
        }
        EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
        const int mode = w.session().columns().modeIndex[125];
        EXPECT_TRUE(near(8, cellX(125), cellY(mode), overlay));
    }

    void checkScatter(const QColor& ink) {
        EXPECT_EQ(fig(1).colourAt(unitX(23.74, 0, 40), unitY(22.98, 0, 40), Px), ink);
        EXPECT_EQ(fig(2).colourAt(unitX(19.62, 0, 40), unitY(20.17, 0, 40), Px), ink);
        // X 1.3, Y 38.7: far from every record.
        EXPECT_EQ(fig(1).colourAt(60, 60, Px), White);
        EXPECT_EQ(fig(2).colourAt(60, 60, Px), White);
    }
};

TEST_F(FigurePixelsTest, ColourFiguresShowTheirFields) {
    runAll();
    checkScatter(QColor(0, 0, 255));
    checkStages(ColourRamp{});
    checkRegions(QColor(50, 127, 50), QColor(200, 255, 200), QColor(255, 0, 0));
}

TEST_F(FigurePixelsTest, GreyScaleDrawsInGreyAndActivationRecolours) {
    const ColourRamp grey{greyColourPoints(), 0.1f, 1.0f, true};
    w.session().state().colour = grey;
    runAll();
    checkScatter(Black);
    checkStages(grey);
    const QColor top = cellAt(3, peak(Field::Model).first, peak(Field::Model).second);
    EXPECT_TRUE(top.red() == top.green() && top.green() == top.blue()) << top.name().toStdString();
    checkRegions(QColor(100, 100, 100), QColor(200, 200, 200), Black);

    // Back to colour, as the colour settings leave it: the next activation redraws the stages.
    w.session().state().colour = ColourRamp{};
    w.session().state().colourChanged = true;
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    EXPECT_FALSE(w.session().state().colourChanged);
    checkStages(ColourRamp{});
}

} // namespace
} // namespace quendrix::test
