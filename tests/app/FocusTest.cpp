#include "ChartFixture.h"
#include "TestFiles.h"

#include "app/ColourSettingsWindow.h"

namespace quendrix::test {
namespace {

/// Records every control that received the focus, so a test can tell that "Quit" or
/// "Generate model" never did, not even for a moment.
class FocusTest : public ChartFixture {
  protected:
    void SetUp() override {
        ChartFixture::SetUp();
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

TEST_F(FocusTest, KeyboardAloneWalksTheWorkflowRefusalsPointAtTheirRemedyAndStepsStay) {
    EXPECT_EQ(focus(), c().file[0].importButton);
    // A file 1 whose values are all 0 proposes no range: the range box is the next step.
    dialogs.answerFile(QString::fromStdString(dir.file("zero.csv", "X,Y\n0,0\n0,0\n")));
    key(Qt::Key_Space);
    EXPECT_EQ(focus(), c().range.lower);
    c().file[0].importButton->setFocus();
    dialogs.answerFile(CalibrationCsv);
    key(Qt::Key_Space);
    EXPECT_EQ(focus(), c().file[1].importButton); // the error model is missing next
    // File 2 without a line: "Start" is refused, and Return reaches its remedy, not "Quit".
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

    // Keyboard steps on a slider keep the focus there.
    QSlider* const sliders[] = {c().smoothing.slider, c().thresholds.vertical,
                                c().thresholds.horizontal, c().coefficients.sliders[0],
                                c().coefficients.sliders[1]};
    for (QSlider* slider : sliders) {
        SCOPED_TRACE(slider->value());
        slider->setFocus();
        // Each step recomputes the stages after it, and the next key still lands on the slider.
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        key(Qt::Key_PageUp);
        EXPECT_EQ(focus(), slider);
    }
    // The model's slider likewise, with the generated model on.
    click(c().model.generateModel);
    QSlider* model = c().model.modelSlider;
    model->setFocus();
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(focus(), model);
    key(Qt::Key_Tab); // "Start" is reached where it now stands, beside the slider
    EXPECT_EQ(focus(), c().run.start);
    key(Qt::Key_Tab);
    EXPECT_EQ(focus(), c().range.lower);
    EXPECT_TRUE(c().model.generateModel->isChecked());
    EXPECT_TRUE(unsafe.empty() || unsafe == std::vector<QWidget*>{c().model.generateModel});

    // Even when it has the focus, Return does not end the session on "Quit".
    c().run.quit->setFocus();
    key(Qt::Key_Return);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(FocusTest, TheChartsSectionTakesKeysAfterADragAndEverySliderShowsItsFocus) {
    runAll();
    ASSERT_NE(openFrom(8), nullptr);
    ASSERT_TRUE(activate(chart()));
    QSlider* s = cc().slider1;
    const QPoint thumb = s->rect().center(); // the section opens in the middle
    QTest::mousePress(s, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(s, thumb + QPoint(40, 0));
    QTest::mouseRelease(s, Qt::LeftButton, {}, thumb + QPoint(40, 0));
    const int dragged = s->value();
    EXPECT_EQ(focus(), s);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    EXPECT_EQ(s->value(), dragged + 2);
    EXPECT_TRUE(cc().option1[1]->isChecked()); // the view stays

    // Sliders, then the column from the top; the view options one stop, entered at the view shown.
    std::vector<QWidget*> met;
    for (int k = 0; k < 6; ++k) {
        key(Qt::Key_Tab);
        met.push_back(focus());
    }
    EXPECT_EQ(met, (std::vector<QWidget*>{cc().slider2, cc().option1[1], cc().check4, cc().check1,
                                          cc().command1, s}));
    cc().check4->setFocus();
    key(Qt::Key_Backtab);
    EXPECT_EQ(focus(), cc().option1[1]);

    // Every slider of every window shows plainly that it has the focus.
    w.menus().colourSettings->trigger();
    ASSERT_NE(w.workflow().colourSettings(), nullptr);
    for (QWidget* window : {static_cast<QWidget*>(&w), static_cast<QWidget*>(chart()),
                            static_cast<QWidget*>(w.workflow().colourSettings())}) {
        ASSERT_TRUE(activate(window)) << window->windowTitle().toStdString();
        for (QSlider* slider : window->findChildren<QSlider*>()) {
            if (slider->window() != window || !slider->isVisibleTo(window)) {
                continue;
            }
            SCOPED_TRACE(window->windowTitle().toStdString() + " " +
                         slider->objectName().toStdString());
            slider->clearFocus();
            const QImage before = grabbed(slider);
            slider->setFocus();
            const QImage after = grabbed(slider);
            // A ring two pixels wide round half the slider; the style's own faint tint has fewer.
            int changed = 0;
            for (int y = 0; y < before.height(); ++y) {
                for (int x = 0; x < before.width(); ++x) {
                    const QColor a = before.pixelColor(x, y), b = after.pixelColor(x, y);
                    changed += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                                   std::abs(a.blue() - b.blue()) >
                               96;
                }
            }
            EXPECT_GE(changed, 2 * (slider->width() + slider->height()));
        }
    }
}

} // namespace
} // namespace quendrix::test
