#include "WindowFixture.h"

#include "app/ChannelEditor.h"
#include "app/ColourBar.h"
#include "app/ColourSettingsWindow.h"
#include "app/MainMenus.h"
#include "colour/ColourEditing.h"

#include <QSignalSpy>

namespace quendrix::test {
namespace {

class ColourSettingsTest : public WindowFixture {
  protected:
    ColourSettingsWindow& open() {
        click(c().coefficients.colourSettings);
        ColourSettingsWindow* cs = w.workflow().colourSettings();
        EXPECT_NE(cs, nullptr);
        EXPECT_TRUE(activate(cs));
        return *cs;
    }

    /// Pixel position of breakpoint k (value b) on an editor.
    static QPointF pointAt(const ChannelEditor* editor, int k, float b) {
        const QRect inside = editor->contentsRect();
        return {editor->pixelX(b), inside.top() + (k == 0 || k == 3 ? 0.8 : 0.2) * inside.height()};
    }
    static void mouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, widget->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
        QApplication::sendEvent(widget, &event);
    }
    /// A drag from `from` to `to` in steps, not yet released.
    static void dragTo(QWidget* editor, QPointF from, QPointF to) {
        mouse(editor, QEvent::MouseButtonPress, from, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step) {
            mouse(editor, QEvent::MouseMove, from + (to - from) * step / 4, Qt::LeftButton);
        }
    }

    /// How far a label's centre stands from pixel x of `anchor`, the point it names.
    static double offCentre(const QLabel* label, const QWidget* anchor, double x) {
        return label->mapTo(label->window(), QPointF(label->width() / 2.0, 0)).x() -
               anchor->mapTo(label->window(), QPointF(x, 0)).x();
    }

    /// Whether the bar, drawn one column per device pixel, shows every column as `ramp` says.
    static bool barFollows(const ColourSettingsWindow& cs, const ColourRamp& ramp) {
        const QImage shot = cs.bar()->grab().toImage();
        const double ratio = shot.devicePixelRatio();
        const QRect inside = cs.bar()->contentsRect();
        const int n = qRound(inside.width() * ratio), left = qRound(inside.left() * ratio);
        for (int p = 0; p < n; ++p) {
            const Rgb c = colourBarColour(ramp, float((p + 0.5) / n));
            if (shot.pixelColor(left + p, int(inside.center().y() * ratio)) !=
                QColor(c.red, c.green, c.blue)) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(ColourSettingsTest, OneWindowForMouseAndKeyboardGreyScaleAndReset) {
    ColourSettingsWindow& cs = open();
    EXPECT_FALSE(cs.isModal());
    ASSERT_TRUE(activate(&w));
    w.menus().colourSettings->trigger();
    EXPECT_EQ(active<ColourSettingsWindow>(), &cs);
    EXPECT_EQ(w.findChildren<ColourSettingsWindow*>().size(), 1);

    EXPECT_EQ(cs.windowTitle().toStdString(), "Colour settings");
    ChannelEditor* red = cs.editor(0);
    // An inside 400 pixels wide makes 50 pixels exactly 0.125.
    cs.resize(cs.width() + 400 - red->contentsRect().width(), cs.height());
    QApplication::processEvents();
    ASSERT_EQ(red->contentsRect().width(), 400);
    const double left = red->contentsRect().left();
    EXPECT_EQ(text(cs.pointLabel(0, 1)), "45");
    const ColourRamp before = state().colour;

    // The pointer shape tells a grabbable point.
    mouse(red, QEvent::MouseMove, pointAt(red, 1, 0.45f) + QPointF(3, -3), Qt::NoButton);
    EXPECT_EQ(red->cursor().shape(), Qt::SizeHorCursor);
    mouse(red, QEvent::MouseMove, pointAt(red, 1, 0.45f) + QPointF(5, 0), Qt::NoButton);
    EXPECT_EQ(red->cursor().shape(), Qt::ArrowCursor);

    // Red B1 dragged past B0 to 0.125: editor and label follow at once, the bar on release.
    dragTo(red, pointAt(red, 1, 0.45f), QPointF(left + 50, 10));
    EXPECT_EQ(state().colour.points[0][1], 0.125f);
    EXPECT_EQ(red->breakpoints()[1], 0.125f);
    EXPECT_EQ(text(cs.pointLabel(0, 1)), "12"); // 12.5, halves to even
    EXPECT_NEAR(offCentre(cs.pointLabel(0, 1), red, left + 50), 0, 1.0);
    EXPECT_TRUE(barFollows(cs, before));
    EXPECT_FALSE(state().colourChanged);
    mouse(red, QEvent::MouseButtonRelease, QPointF(left + 150, 10), Qt::NoButton);
    EXPECT_EQ(state().colour.points[0][1], 0.375f);
    EXPECT_EQ(text(cs.pointLabel(0, 1)), "38"); // 37.5, halves to even
    EXPECT_TRUE(barFollows(cs, state().colour));
    EXPECT_TRUE(state().colourChanged);
    EXPECT_EQ(QApplication::focusWidget(), cs.okButton());
    EXPECT_EQ(red->cursor().shape(), Qt::ArrowCursor);

    // Beyond the left end: a negative breakpoint, its label kept in sight at the edge.
    dragTo(red, pointAt(red, 0, 0.30f), QPointF(left - 20, 200));
    mouse(red, QEvent::MouseButtonRelease, QPointF(left - 20, 200), Qt::NoButton);
    EXPECT_EQ(state().colour.points[0][0], -0.05f);
    EXPECT_EQ(text(cs.pointLabel(0, 0)), "-5");
    EXPECT_EQ(cs.pointLabel(0, 0)->x(), 0);

    // Tab reaches every control, round to the threshold slider.
    QSlider* slider = cs.thresholdSlider();
    slider->setFocus();
    for (QWidget* next : Widgets{cs.editor(0), cs.editor(1), cs.editor(2), cs.greyScaleButton(),
                                 cs.resetButton(), cs.okButton(), slider}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    // A key step on the threshold keeps the focus, a mouse click hands it to "OK".
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(state().colour.threshold, 0.11f);
    EXPECT_EQ(text(cs.thresholdLabel()), "11");
    EXPECT_NEAR(offCentre(cs.thresholdLabel(), cs.bar(), cs.bar()->pixelX(0.11f)), 0, 1.0);
    EXPECT_EQ(QApplication::focusWidget(), slider);
    QTest::mouseClick(slider, Qt::LeftButton, {},
                      QPoint(slider->width() - 3, slider->height() / 2));
    EXPECT_EQ(QApplication::focusWidget(), cs.okButton());
    // Keys pick blue B1 (3, 1, then Down) and move it 1 % right, then 10 % left.
    for (Qt::Key key : {Qt::Key_3, Qt::Key_1, Qt::Key_Down, Qt::Key_Right}) {
        QTest::keyClick(cs.editor(2), key);
    }
    EXPECT_EQ(state().colour.points[2][1], 0.16f);
    QTest::keyClick(cs.editor(2), Qt::Key_PageDown);
    EXPECT_EQ(state().colour.points[2][1], 0.06f);

    click(cs.greyScaleButton());
    EXPECT_TRUE(state().colour.greyScale);
    EXPECT_EQ(slider->value(), 0);
    EXPECT_FALSE(cs.editor(0)->isVisible() || cs.editor(1)->isVisible() ||
                 cs.pointLabel(0, 0)->isVisible() || cs.pointLabel(1, 0)->isVisible());
    EXPECT_TRUE(cs.editor(2)->isVisible() && cs.pointLabel(2, 3)->isVisible());
    EXPECT_EQ(cs.editor(2)->lineColour(), Black);
    EXPECT_TRUE(barFollows(cs, state().colour));
    click(cs.okButton());
    EXPECT_FALSE(cs.isVisible());
    EXPECT_EQ(&open(), &cs);
    EXPECT_FALSE(cs.editor(0)->isVisible());
    EXPECT_EQ(slider->value(), 0);

    click(cs.resetButton());
    EXPECT_FALSE(state().colour.greyScale);
    EXPECT_EQ(slider->value(), 10);
    for (int c = 0; c < 3; ++c) {
        EXPECT_TRUE(cs.editor(c)->isVisible() && cs.pointLabel(c, 3)->isVisible());
    }
    EXPECT_EQ(text(cs.pointLabel(0, 3)), "95");
    EXPECT_EQ(cs.editor(2)->lineColour(), Blue);
    EXPECT_TRUE(barFollows(cs, ColourRamp{}));
    w.close();
    EXPECT_FALSE(cs.isVisible());
}

TEST_F(ColourSettingsTest, TheMainWindowRedrawsOnActivationOrAtOnceWhenItStaysActive) {
    runAll();
    ColourSettingsWindow& cs = open();
    mark();
    // Grey scale: nothing is redrawn while the colour window stays active.
    click(cs.greyScaleButton());
    EXPECT_EQ(figures(Redrawn), "");
    ASSERT_TRUE(activate(&w));
    EXPECT_EQ(figures(Redrawn), "12345678");
    EXPECT_FALSE(state().colourChanged);

    // The wheel over the colour window while the main window stays active: redrawn at once.
    mark();
    const QPointF middle = cs.thresholdSlider()->rect().center();
    QWheelEvent wheel(middle, cs.thresholdSlider()->mapToGlobal(middle), {}, {0, 120}, Qt::NoButton,
                      {}, Qt::NoScrollPhase, false);
    QSignalSpy toOtherWindows(&w.workflow(), &Workflow::coloursChanged);
    QApplication::sendEvent(cs.thresholdSlider(), &wheel);
    EXPECT_EQ(toOtherWindows.count(), 1);
    EXPECT_EQ(QApplication::activeWindow(), &w);
    // Only the ramp-coloured figures: the rest depend on the grey-scale mode alone.
    EXPECT_EQ(figures(Redrawn), "34567");
    EXPECT_TRUE(showsSession(3));
}

} // namespace
} // namespace quendrix::test
