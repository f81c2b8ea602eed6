#include "WindowFixture.h"

namespace quendrix::test {
namespace {

using WorkflowTest = WindowFixture;

TEST_F(WorkflowTest, GeneratedModelStandsInForFileTwoAndEachControlRecomputesItsStages) {
    import(0, CalibrationCsv);
    import(1, ErrorCsv);
    click(c().model.generateModel);
    EXPECT_EQ(text(c().model.fittingLine), "y = x");
    EXPECT_EQ(text(c().model.stdDev), "2"); // 5 % of the range 0..40
    EXPECT_EQ(text(c().model.modelCaption), "Std.Dev.: 5 % of range");
    EXPECT_TRUE(c().model.modelSlider->isVisible() && !c().file[1].importButton->isEnabled());
    EXPECT_EQ(figures(Drawn), "13");

    mark();
    c().model.modelSlider->setValue(6);
    EXPECT_EQ(text(c().model.modelCaption), "Std.Dev.: 6 % of range");
    EXPECT_EQ(text(c().model.stdDev), "2.4");
    EXPECT_EQ(changed(), "Model");
    EXPECT_TRUE(showsSessionStage(3));
    click(&fig(4)); // the next step: its click runs the rest with the model
    EXPECT_TRUE(drawn(8));

    click(c().model.generateModel);
    EXPECT_EQ(text(c().file[1].count), "150");
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

    // Each control recomputes exactly its stages.
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
    // The overlays toggle without recomputing, Fig.8 showing those the boxes ask for.
    for (QCheckBox* overlay :
         {c().coefficients.showMode, c().coefficients.showAverage, c().coefficients.showMode}) {
        step(overlay, 0, "8", "");
        EXPECT_TRUE(showsSessionStage(8));
    }

    step(c().smoothing.slider, 8, "5678", "Kernel Smoothed NormH Prob Confi");
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
    // Skipped, Fig.6 stays blank.
    EXPECT_EQ(fig(6).itemCount(), 0u);
    step(c().thresholds.vertical, 9, "", "");
    step(c().thresholds.skip, 0, "678", "NormH Prob Confi");
}

} // namespace
} // namespace quendrix::test
