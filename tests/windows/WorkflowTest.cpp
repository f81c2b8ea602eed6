#include "WindowFixture.h"

#include <cmath>

namespace quendrix::test {
namespace {

using WorkflowTest = WindowFixture;

TEST_F(WorkflowTest, GeneratedModelStandsInForFileTwo) {
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    click(c().check4);
    ASSERT_TRUE(c().check4->isChecked());
    EXPECT_EQ(text(c().label17), "y = x");
    EXPECT_EQ(text(c().label21[1]), "Generated error model");
    EXPECT_EQ(text(c().label15[1]), "Error model");
    EXPECT_EQ(text(c().label12[1]), "");
    EXPECT_EQ(text(c().label19), "2"); // 5 % of the range 0..40
    EXPECT_EQ(text(c().label22), "Std.Dev.: 5 % of range");
    EXPECT_TRUE(c().slider4->isVisible() && !c().command1[1]->isEnabled());
    EXPECT_EQ(figures(Drawn), "13");
    const double twoPi = 6.28318530718;
    EXPECT_FLOAT_EQ(m().at(Field::Model, 100, 100), float(1 / (std::sqrt(twoPi) * 2)));
    EXPECT_NE(cellAt(3, 100, 100), White);
    EXPECT_EQ(cellAt(3, 100, 200), White);

    c().slider4->setValue(6);
    EXPECT_EQ(text(c().label22), "Std.Dev.: 6 % of range");
    EXPECT_EQ(text(c().label19), "2.4");
    EXPECT_FLOAT_EQ(m().at(Field::Model, 100, 100), float(1 / (std::sqrt(twoPi) * 2.4)));
    click(&fig(4)); // the next step: its click runs the rest with the model
    EXPECT_TRUE(drawn(8));

    click(c().check4);
    EXPECT_EQ(text(c().label12[1]), "150");
    EXPECT_EQ(text(c().label17), "");
    EXPECT_EQ(text(c().label21[1]), "");
    EXPECT_TRUE(c().command1[1]->isEnabled());
    EXPECT_EQ(figures(Drawn), "12");
    // File 2's line went with the model: the Gaussian model refuses until file 2 comes back.
    click(&fig(3));
    EXPECT_FALSE(drawn(3));
    EXPECT_TRUE(w.statusBar()->currentMessage().contains(QStringLiteral("file 2")))
        << w.statusBar()->currentMessage().toStdString();
    import(1, ErrorCsv);
    click(&fig(3));
    EXPECT_TRUE(drawn(8));
}

TEST_F(WorkflowTest, EachControlRecomputesExactlyItsStages) {
    runAll();
    // Moves `control` to `v` if it is a slider, clicks it otherwise.
    int count = 0;
    auto step = [&](QWidget* control, int v, const char* redraws, const char* fields) {
        SCOPED_TRACE(testing::Message() << "step " << ++count);
        mark();
        auto* slider = qobject_cast<QSlider*>(control);
        slider ? slider->setValue(v) : click(control);
        EXPECT_EQ(figures(Redrawn), redraws);
        EXPECT_EQ(changed(), fields);
        EXPECT_EQ(figures(Drawn), c().check5->isChecked() ? "1234578" : "12345678");
    };
    // The overlays toggle without recomputing.
    const int mode = w.session().columns().modeIndex[125],
              ave = w.session().columns().aveIndex[125];
    EXPECT_TRUE(near(8, cellX(125), cellY(mode), Red));
    step(c().check2, 0, "8", ""); // mode off
    EXPECT_FALSE(near(8, cellX(125), cellY(mode), Red));
    EXPECT_TRUE(near(8, cellX(125), cellY(ave), Blue));
    step(c().check6, 0, "8", ""); // average off
    EXPECT_FALSE(near(8, cellX(125), cellY(ave), Blue));
    // Only the region picture is left: the mode's cell shows the inner region's colour.
    EXPECT_EQ(cellAt(8, 125, mode), QColor(200, 255, 200));
    step(c().check2, 0, "8", ""); // mode on
    EXPECT_TRUE(near(8, cellX(125), cellY(mode), Red));
    EXPECT_FALSE(near(8, cellX(125), cellY(ave), Blue));

    step(c().slider3, 8, "5678", "Kernel Smoothed NormH Prob Confi");
    EXPECT_EQ(text(c().label7), "8");
    step(c().slider5, 6, "678", "NormH Prob Confi");
    EXPECT_EQ(text(c().label23), "Threshold: 6 sample(s)");
    step(c().slider6, 6, "78", "Prob Confi");
    EXPECT_EQ(text(c().label24), "Threshold: 6 sample(s)");
    step(c().coefficientSliders[0], 500, "8", "Confi");
    EXPECT_EQ(text(c().label4[0]), "50");
    step(c().coefficientSliders[1], 800, "8", "Confi");
    EXPECT_EQ(text(c().label4[1]), "80");
    step(c().check5, 0, "678", "NormH Prob Confi"); // skip
    // Skipped, the horizontal normalisation passes the smoothed field through; Fig.6 stays blank.
    EXPECT_TRUE(m().plane(Field::NormH) == m().plane(Field::Smoothed));
    EXPECT_EQ(fig(6).colourAt(1000, 1000, Px), White);
    EXPECT_EQ(fig(6).itemCount(), 0u);
    step(c().slider5, 9, "", "");
    EXPECT_EQ(text(c().label23), "Threshold: 9 sample(s)");
    step(c().check5, 0, "678", "NormH Prob Confi");
}

} // namespace
} // namespace quendrix::test
