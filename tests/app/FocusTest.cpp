#include "ChartFixture.h"

#include "app/ColourSettingsWindow.h"

namespace quendrix::test {
namespace {

class FocusTest : public ChartFixture {
  protected:
    QWidget* focus() { return QApplication::focusWidget(); }
    template <class... Keys> void key(Keys... keys) {
        for (Qt::Key k : {keys...}) {
            QTest::keyClick(focus(), k);
            QApplication::processEvents();
        }
    }
};

TEST_F(FocusTest, KeyboardAloneWalksTheWorkflowRefusalsPointAtTheirRemedyAndStepsStay) {
    // "Quit" and "Generate model" must never take the focus, not even for a moment. (The
    // recorder goes before the window's teardown moves the focus among half-gone controls.)
    std::vector<QWidget*> unsafe;
    QObject recorder;
    QObject::connect(qApp, &QApplication::focusChanged, &recorder, [&](QWidget*, QWidget* now) {
        if (now == c().run.quit || now == c().model.generateModel) {
            unsafe.push_back(now);
        }
    });
    EXPECT_EQ(focus(), c().file[0].importButton);
    // A file 1 whose values are all 0 proposes no range: the range box is the next step.
    dialogs.answerFile(file("zero.csv", "X,Y\n0,0\n0,0\n"));
    key(Qt::Key_Space);
    EXPECT_EQ(focus(), c().range.lower);
    c().file[0].importButton->setFocus();
    dialogs.answerFile(CalibrationCsv);
    key(Qt::Key_Space);
    EXPECT_EQ(focus(), c().file[1].importButton); // the error model is missing next
    // File 2 without a line: "Start" is refused, and Return reaches its remedy, not "Quit".
    dialogs.answerFile(file("flat.csv", "A,B\n2,1\n2,3\n"));
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

    // Key steps on a slider recompute the stages after it and keep the focus for the next key.
    for (QSlider* slider :
         {c().smoothing.slider, c().thresholds.vertical, c().thresholds.horizontal,
          c().coefficients.sliders[0], c().coefficients.sliders[1]}) {
        SCOPED_TRACE(slider->value());
        slider->setFocus();
        key(Qt::Key_Down, Qt::Key_Down, Qt::Key_PageUp);
        EXPECT_EQ(focus(), slider);
    }
    // The model's slider likewise, with the generated model on.
    click(c().model.generateModel);
    QSlider* model = c().model.modelSlider;
    model->setFocus();
    key(Qt::Key_Up, Qt::Key_Up);
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
    key(Qt::Key_Right, Qt::Key_Right);
    EXPECT_EQ(s->value(), dragged + 2);
    EXPECT_TRUE(cc().option1[1]->isChecked()); // the view stays

    // Sliders, then the column from the top; the view options one stop, entered at the view shown.
    for (QWidget* next :
         Widgets{cc().slider2, cc().option1[1], cc().check4, cc().check1, cc().command1, s}) {
        key(Qt::Key_Tab);
        EXPECT_EQ(focus(), next);
    }
    cc().check4->setFocus();
    key(Qt::Key_Backtab);
    EXPECT_EQ(focus(), cc().option1[1]);

    // Every slider of every window shows plainly that it has the focus.
    w.menus().colourSettings->trigger();
    ASSERT_NE(w.workflow().colourSettings(), nullptr);
    for (QWidget* window : Widgets{&w, chart(), w.workflow().colourSettings()}) {
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
