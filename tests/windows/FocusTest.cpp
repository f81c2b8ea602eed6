#include "TestFiles.h"
#include "WindowFixture.h"

namespace quendrix::test {
namespace {

/// Records every control that received the focus, so a test can tell that "Quit" or
/// "Generate model" never did, not even for a moment.
class FocusTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        recorder_ =
            QObject::connect(qApp, &QApplication::focusChanged, &w, [this](QWidget*, QWidget* now) {
                if (now == c().run.quit || now == c().model.generateModel) {
                    unsafe.push_back(now);
                }
            });
    }
    // The window's own teardown moves the focus too, while its controls are half gone.
    void TearDown() override { QObject::disconnect(recorder_); }
    QWidget* focus() { return QApplication::focusWidget(); }
    void key(Qt::Key k) {
        QTest::keyClick(focus(), k);
        QApplication::processEvents();
    }

    std::vector<QWidget*> unsafe;
    TempDir dir{"quendrix-focus"};
    QMetaObject::Connection recorder_;
};

TEST_F(FocusTest, KeyboardAloneWalksTheWorkflowAndRefusalsPointAtTheirRemedy) {
    EXPECT_EQ(focus(), c().file[0].importButton);
    // A file 1 whose values are all 0 proposes no range: the range box is the next step.
    dialogs.answerFile(QString::fromStdString(dir.file("zero.csv", "X,Y\n0,0\n0,0\n")));
    key(Qt::Key_Space);
    EXPECT_EQ(focus(), c().range.lower);
    c().file[0].importButton->setFocus();
    dialogs.answerFile(CalibrationCsv);
    key(Qt::Key_Space);
    EXPECT_EQ(focus(), c().file[1].importButton); // the error model is missing next
    // File 2 with all X equal gives no line: "Start" is refused, and Return then must not
    // reach "Quit" but the import of file 2 that resolves the refusal.
    dialogs.answerFile(QString::fromStdString(dir.file("flat.csv", "A,B\n2,1\n2,3\n")));
    key(Qt::Key_Space);
    EXPECT_EQ(focus(), c().file[1].importButton);
    c().run.start->setFocus();
    key(Qt::Key_Return);
    EXPECT_FALSE(drawn(3));
    EXPECT_EQ(focus(), c().file[1].importButton);
    dialogs.answerFile(ErrorCsv);
    key(Qt::Key_Return);
    EXPECT_EQ(focus(), c().run.start);
    key(Qt::Key_Return);
    EXPECT_EQ(figures(Drawn), "12345678");
    EXPECT_EQ(focus(), &fig(8));
    EXPECT_TRUE(unsafe.empty());

    // Even when it has the focus, Return does not end the session on "Quit".
    c().run.quit->setFocus();
    key(Qt::Key_Return);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(FocusTest, KeyboardStepsOnASliderKeepTheFocusThere) {
    runAll();
    QSlider* const sliders[] = {c().smoothing.slider, c().thresholds.vertical,
                                c().thresholds.horizontal, c().coefficients.sliders[0],
                                c().coefficients.sliders[1]};
    for (QSlider* slider : sliders) {
        SCOPED_TRACE(slider->value());
        slider->setFocus();
        const int start = slider->value();
        // Each step recomputes the stages after it, and the next key still lands on the slider.
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        key(Qt::Key_PageUp);
        EXPECT_EQ(focus(), slider);
        EXPECT_NE(slider->value(), start);
        EXPECT_EQ(figures(Drawn), "12345678");
    }
    // The model's slider likewise, with the generated model on.
    click(c().model.generateModel);
    QSlider* model = c().model.modelSlider;
    model->setFocus();
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(model->value(), 7);
    EXPECT_EQ(focus(), model);
    key(Qt::Key_Tab); // "Start" is reached where it now stands, beside the slider
    EXPECT_EQ(focus(), c().run.start);
    key(Qt::Key_Tab);
    EXPECT_EQ(focus(), c().range.lower);
    EXPECT_TRUE(c().model.generateModel->isChecked());
    EXPECT_TRUE(unsafe.empty() || unsafe == std::vector<QWidget*>{c().model.generateModel});
}

} // namespace
} // namespace quendrix::test
