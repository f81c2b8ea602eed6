#include "WindowFixture.h"

#include <cmath>

namespace quendrix::test {
namespace {

using WorkflowTest = WindowFixture;

TEST_F(WorkflowTest, GeneratedModelStandsInForFileTwo) {
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    click(c().model.generateModel);
    ASSERT_TRUE(c().model.generateModel->isChecked());
    EXPECT_EQ(text(c().model.fittingLine), "y = x");
    EXPECT_EQ(text(c().file[1].path), "Generated error model");
    EXPECT_EQ(text(c().file[1].yName), "Error model");
    EXPECT_EQ(text(c().file[1].count), "");
    EXPECT_EQ(text(c().model.stdDev), "2"); // 5 % of the range 0..40
    EXPECT_EQ(text(c().model.modelCaption), "Std.Dev.: 5 % of range");
    EXPECT_TRUE(c().model.modelSlider->isVisible() && !c().file[1].importButton->isEnabled());
    EXPECT_EQ(figures(Drawn), "13");
    const double twoPi = 6.28318530718;
    EXPECT_FLOAT_EQ(m().at(Field::Model, 100, 100), float(1 / (std::sqrt(twoPi) * 2)));
    EXPECT_NE(cellAt(3, 100, 100), White);
    EXPECT_EQ(cellAt(3, 100, 200), White);

    c().model.modelSlider->setValue(6);
    EXPECT_EQ(text(c().model.modelCaption), "Std.Dev.: 6 % of range");
    EXPECT_EQ(text(c().model.stdDev), "2.4");
    EXPECT_FLOAT_EQ(m().at(Field::Model, 100, 100), float(1 / (std::sqrt(twoPi) * 2.4)));
    click(&fig(4)); // the next step: its click runs the rest with the model
    EXPECT_TRUE(drawn(8));

    click(c().model.generateModel);
    EXPECT_EQ(text(c().file[1].count), "150");
    EXPECT_EQ(text(c().model.fittingLine), "");
    EXPECT_EQ(text(c().file[1].path), "");
    EXPECT_TRUE(c().file[1].importButton->isEnabled());
    EXPECT_EQ(figures(Drawn), "12");
    // File 2's line went with the model: the Gaussian model refuses until file 2 comes back.
    click(&fig(3));
    EXPECT_FALSE(drawn(3));
    EXPECT_TRUE(w.workflow().status().text().contains(QStringLiteral("file 2")))
        << w.workflow().status().text().toStdString();
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
        EXPECT_EQ(figures(Drawn), c().thresholds.skip->isChecked() ? "1234578" : "12345678");
    };
    // The overlays toggle without recomputing.
    const int mode = w.session().columns().modeIndex[125],
              ave = w.session().columns().aveIndex[125];
    EXPECT_TRUE(near(8, cellX(125), cellY(mode), Red));
    step(c().coefficients.showMode, 0, "8", ""); // mode off
    EXPECT_FALSE(near(8, cellX(125), cellY(mode), Red));
    EXPECT_TRUE(near(8, cellX(125), cellY(ave), Blue));
    step(c().coefficients.showAverage, 0, "8", ""); // average off
    EXPECT_FALSE(near(8, cellX(125), cellY(ave), Blue));
    // Only the region picture is left: the mode's cell shows the inner region's colour.
    EXPECT_EQ(cellAt(8, 125, mode), QColor(200, 255, 200));
    step(c().coefficients.showMode, 0, "8", ""); // mode on
    EXPECT_TRUE(near(8, cellX(125), cellY(mode), Red));
    EXPECT_FALSE(near(8, cellX(125), cellY(ave), Blue));

    step(c().smoothing.slider, 8, "5678", "Kernel Smoothed NormH Prob Confi");
    EXPECT_EQ(text(c().smoothing.value), "8");
    step(c().thresholds.vertical, 6, "678", "NormH Prob Confi");
    EXPECT_EQ(text(c().thresholds.verticalCaption), "Threshold: 6 sample(s)");
    step(c().thresholds.horizontal, 6, "78", "Prob Confi");
    EXPECT_EQ(text(c().thresholds.horizontalCaption), "Threshold: 6 sample(s)");
    // The regions mask Fig.7, so it is repainted with them.
    step(c().coefficients.sliders[0], 500, "78", "Confi");
    EXPECT_EQ(text(c().coefficients.values[0]), "50");
    step(c().coefficients.sliders[1], 800, "78", "Confi");
    EXPECT_EQ(text(c().coefficients.values[1]), "80");
    step(c().thresholds.skip, 0, "678", "NormH Prob Confi"); // skip
    // Skipped, the horizontal normalisation passes the smoothed field through; Fig.6 stays blank.
    EXPECT_TRUE(m().plane(Field::NormH) == m().plane(Field::Smoothed));
    EXPECT_EQ(fig(6).colourAt(1000, 1000, Px), White);
    EXPECT_EQ(fig(6).itemCount(), 0u);
    step(c().thresholds.vertical, 9, "", "");
    EXPECT_EQ(text(c().thresholds.verticalCaption), "Threshold: 9 sample(s)");
    step(c().thresholds.skip, 0, "678", "NormH Prob Confi");
}

} // namespace
} // namespace quendrix::test
