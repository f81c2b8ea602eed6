#include "WindowFixture.h"

#include "app/ChannelEditor.h"
#include "app/ColourBar.h"
#include "app/ColourSettingsWindow.h"
#include "colour/ColourEditing.h"

#include <QAction>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWheelEvent>

#include <cmath>
#include <vector>

namespace quendrix::test {
namespace {

class ColourSettingsTest : public WindowFixture {
  protected:
    SessionState& state() { return w.session().state(); }

    /// Opens the colour settings from the main window's button and waits until they are active.
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
    /// A drag from `from` to `to` in steps along x; the release waits for `release()`.
    static void dragTo(QWidget* editor, QPointF from, QPointF to) {
        mouse(editor, QEvent::MouseButtonPress, from, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step) {
            mouse(editor, QEvent::MouseMove, from + (to - from) * step / 4, Qt::LeftButton);
        }
    }
    static void release(QWidget* editor, QPointF at) {
        mouse(editor, QEvent::MouseButtonRelease, at, Qt::NoButton);
    }

    /// Where a label's centre lies, and where the point it names lies, in its strip's pixels.
    static double labelCentre(const QLabel* label) { return label->x() + label->width() / 2.0; }
    static double anchorIn(const QLabel* label, const QWidget* anchor, double x) {
        return anchor->mapTo(label->window(), QPoint(0, 0)).x() -
               label->parentWidget()->mapTo(label->window(), QPoint(0, 0)).x() + x;
    }

    /// The bar is drawn one column per device pixel: its inside as shown, column by column.
    static std::vector<QColor> barColumns(const ColourSettingsWindow& cs) {
        const QImage shot = cs.bar()->grab().toImage();
        const double ratio = shot.devicePixelRatio();
        const QRect inside = cs.bar()->contentsRect();
        std::vector<QColor> columns(size_t(qRound(inside.width() * ratio)));
        for (size_t p = 0; p < columns.size(); ++p) {
            columns[p] = shot.pixelColor(qRound(inside.left() * ratio) + int(p),
                                         int(inside.center().y() * ratio));
        }
        return columns;
    }
    /// Device column p of n as the ramp says.
    static QColor rampColumn(const ColourRamp& ramp, int p, size_t n) {
        const Rgb c = colourBarColour(ramp, float((p + 0.5) / double(n)));
        return {c.red, c.green, c.blue};
    }
    /// Column p of the bar's inside (in widget pixels, 0 at the left) as shown, and as the ramp
    /// says for the device column there.
    static QColor barShows(const ColourSettingsWindow& cs, int p) {
        return barColumns(cs)[size_t(p * cs.bar()->devicePixelRatioF())];
    }
    static QColor barShould(const ColourSettingsWindow& cs, const ColourRamp& ramp, int p) {
        const double ratio = cs.bar()->devicePixelRatioF();
        return rampColumn(ramp, int(p * ratio),
                          size_t(qRound(cs.bar()->contentsRect().width() * ratio)));
    }
    /// Every device column of the bar as the ramp says.
    static bool barFollows(const ColourSettingsWindow& cs, const ColourRamp& ramp) {
        const std::vector<QColor> columns = barColumns(cs);
        for (size_t p = 0; p < columns.size(); ++p) {
            if (columns[p] != rampColumn(ramp, int(p), columns.size())) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(ColourSettingsTest, DraggingMovesBreakpointsLabelsAndBar) {
    ColourSettingsWindow& cs = open();
    EXPECT_EQ(cs.windowTitle().toStdString(), "Colour settings");
    ChannelEditor* red = cs.editor(0);
    // An inside 400 pixels wide makes 50 pixels exactly 0.125.
    cs.resize(cs.width() + 400 - red->contentsRect().width(), cs.height());
    QApplication::processEvents();
    ASSERT_EQ(red->contentsRect().width(), 400);
    const double left = red->contentsRect().left();
    EXPECT_EQ(text(cs.pointLabel(0, 1)), "45");
    EXPECT_EQ(text(cs.thresholdLabel()), "10");
    EXPECT_TRUE(barFollows(cs, state().colour));
    const int p35 = 140; // value 0.35125: red rises there, and is full once B1 passes B0
    const QColor before = barShows(cs, p35);
    EXPECT_EQ(before, barShould(cs, state().colour, p35));

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
    EXPECT_NEAR(labelCentre(cs.pointLabel(0, 1)), anchorIn(cs.pointLabel(0, 1), red, left + 50),
                1.0);
    EXPECT_EQ(barShows(cs, p35), before);
    EXPECT_FALSE(state().colourChanged);
    release(red, QPointF(left + 150, 10));
    EXPECT_EQ(state().colour.points[0][1], 0.375f);
    EXPECT_EQ(text(cs.pointLabel(0, 1)), "38"); // 37.5, halves to even
    EXPECT_NE(barShows(cs, p35), before);
    EXPECT_TRUE(barFollows(cs, state().colour));
    EXPECT_TRUE(state().colourChanged);
    EXPECT_EQ(QApplication::focusWidget(), cs.okButton());
    EXPECT_EQ(red->cursor().shape(), Qt::ArrowCursor);

    // Beyond the left end: a negative breakpoint, its label kept in sight at the edge.
    dragTo(red, pointAt(red, 0, 0.30f), QPointF(left - 20, 200));
    release(red, QPointF(left - 20, 200));
    EXPECT_EQ(state().colour.points[0][0], -0.05f);
    EXPECT_EQ(text(cs.pointLabel(0, 0)), "-5");
    EXPECT_EQ(cs.pointLabel(0, 0)->x(), 0);

    // A press away from every point grabs nothing, and the release changes nothing.
    const ColourPoints kept = state().colour.points;
    state().colourChanged = false;
    dragTo(red, QPointF(left + 300, 5), QPointF(left + 10, 5));
    release(red, QPointF(left + 10, 5));
    EXPECT_EQ(state().colour.points, kept);
    EXPECT_FALSE(state().colourChanged);

    // Green B2 dropped on B1; pressed there again, both move as one.
    ChannelEditor* green = cs.editor(1);
    dragTo(green, pointAt(green, 2, 0.45f), pointAt(green, 1, 0.30f));
    release(green, pointAt(green, 1, 0.30f));
    EXPECT_EQ(state().colour.points[1][2], state().colour.points[1][1]);
    dragTo(green, pointAt(green, 1, 0.30f), QPointF(left + 200, 0));
    release(green, QPointF(left + 200, 0));
    EXPECT_EQ(state().colour.points[1][1], 0.5f);
    EXPECT_EQ(state().colour.points[1][2], 0.5f);
    EXPECT_EQ(text(cs.pointLabel(1, 1)), "50");
    EXPECT_EQ(text(cs.pointLabel(1, 2)), "50");
    EXPECT_EQ(state().colour.points[2], defaultColourPoints()[2]);
}

TEST_F(ColourSettingsTest, GreyScaleAndResetRoundTrip) {
    ColourSettingsWindow& cs = open();
    state().colour.enhancement = 1.5f; // the chart window's, untouched here
    click(cs.greyScaleButton());
    EXPECT_TRUE(state().colour.greyScale);
    EXPECT_EQ(state().colour.points, greyColourPoints());
    EXPECT_EQ(state().colour.threshold, 0.0f);
    EXPECT_EQ(cs.thresholdSlider()->value(), 0);
    EXPECT_EQ(text(cs.thresholdLabel()), "0");
    EXPECT_TRUE(state().colourChanged);
    for (int c = 0; c < 2; ++c) {
        EXPECT_FALSE(cs.editor(c)->isVisible());
        EXPECT_FALSE(cs.pointLabel(c, 0)->isVisible());
    }
    EXPECT_TRUE(cs.editor(2)->isVisible() && cs.pointLabel(2, 3)->isVisible());
    EXPECT_EQ(cs.editor(2)->lineColour(), Black);
    EXPECT_TRUE(barFollows(cs, state().colour));
    const QColor first = barShows(cs, 0); // white at 0, fading
    EXPECT_TRUE(first.red() == first.green() && first.green() == first.blue() && first.red() >= 250)
        << first.name().toStdString();
    EXPECT_EQ(barShows(cs, cs.bar()->contentsRect().width() - 1), Black);

    // The grey editor moves all three channels.
    ChannelEditor* grey = cs.editor(2);
    const double left = grey->contentsRect().left();
    const double w80 = left + 0.8 * grey->contentsRect().width();
    dragTo(grey, pointAt(grey, 3, 0.6f), QPointF(w80, 0));
    release(grey, QPointF(w80, 0));
    const float b3 = state().colour.points[2][3];
    EXPECT_NEAR(b3, 0.8, 0.01);
    EXPECT_EQ(state().colour.points[0][3], b3);
    EXPECT_EQ(state().colour.points[1][3], b3);

    // Closed and opened again in grey: still the grey editor alone.
    click(cs.okButton());
    EXPECT_FALSE(cs.isVisible());
    EXPECT_EQ(&open(), &cs);
    EXPECT_FALSE(cs.editor(0)->isVisible());
    EXPECT_EQ(cs.thresholdSlider()->value(), 0);

    click(cs.resetButton());
    EXPECT_FALSE(state().colour.greyScale);
    EXPECT_EQ(state().colour.points, defaultColourPoints());
    EXPECT_EQ(state().colour.threshold, 0.1f);
    EXPECT_EQ(state().colour.enhancement, 1.5f);
    EXPECT_EQ(cs.thresholdSlider()->value(), 10);
    EXPECT_EQ(text(cs.thresholdLabel()), "10");
    for (int c = 0; c < 3; ++c) {
        EXPECT_TRUE(cs.editor(c)->isVisible());
        EXPECT_TRUE(cs.pointLabel(c, 3)->isVisible());
    }
    EXPECT_EQ(text(cs.pointLabel(0, 3)), "95");
    EXPECT_EQ(cs.editor(2)->lineColour(), Blue);
    EXPECT_TRUE(barFollows(cs, ColourRamp{}));
}

TEST_F(ColourSettingsTest, ThresholdByKeyboardAndMouse) {
    ColourSettingsWindow& cs = open();
    QSlider* slider = cs.thresholdSlider();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(state().colour.threshold, 0.11f);
    EXPECT_EQ(text(cs.thresholdLabel()), "11");
    EXPECT_NEAR(labelCentre(cs.thresholdLabel()),
                anchorIn(cs.thresholdLabel(), cs.bar(), cs.bar()->pixelX(0.11f)), 1.0);
    EXPECT_TRUE(barFollows(cs, state().colour));
    EXPECT_TRUE(state().colourChanged);
    EXPECT_EQ(QApplication::focusWidget(), slider); // keyboard steps keep the focus

    state().colourChanged = false;
    QTest::keyClick(slider, Qt::Key_PageUp);
    EXPECT_EQ(state().colour.threshold, 0.21f);
    EXPECT_EQ(text(cs.thresholdLabel()), "21");
    EXPECT_TRUE(barFollows(cs, state().colour));
    EXPECT_TRUE(state().colourChanged);

    // The mouse: the same labels and bar, and the focus goes to "OK".
    state().colourChanged = false;
    const int was = slider->value();
    QTest::mouseClick(slider, Qt::LeftButton, {},
                      QPoint(slider->width() - 3, slider->height() / 2));
    EXPECT_GT(slider->value(), was);
    EXPECT_EQ(state().colour.threshold, thresholdOfPercent(slider->value()));
    EXPECT_EQ(text(cs.thresholdLabel()), std::to_string(slider->value()));
    EXPECT_TRUE(barFollows(cs, state().colour));
    EXPECT_TRUE(state().colourChanged);
    EXPECT_EQ(QApplication::focusWidget(), cs.okButton());
}

TEST_F(ColourSettingsTest, OneWindowFromMenuAndButtonReachableByKeyboard) {
    ColourSettingsWindow& cs = open();
    EXPECT_FALSE(cs.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_TRUE(activate(&w));
    auto* menu = w.findChild<QAction*>(QStringLiteral("ColourSetting"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->text().toStdString(), "Colour Settings");
    menu->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &cs; }));
    EXPECT_EQ(w.findChildren<ColourSettingsWindow*>().size(), 1);

    // Tab reaches every control; in grey scale the hidden editors drop out.
    cs.thresholdSlider()->setFocus();
    const QWidget* chain[] = {cs.editor(0),         cs.editor(1),     cs.editor(2),
                              cs.greyScaleButton(), cs.resetButton(), cs.okButton(),
                              cs.thresholdSlider()};
    for (const QWidget* next : chain) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    // Keyboard editing: pick blue B1 with "2", move it 1 % right and 10 % left.
    cs.editor(2)->setFocus();
    QTest::keyClick(cs.editor(2), Qt::Key_2);
    QTest::keyClick(cs.editor(2), Qt::Key_Right);
    EXPECT_EQ(state().colour.points[2][1], 0.16f);
    EXPECT_EQ(text(cs.pointLabel(2, 1)), "16");
    QTest::keyClick(cs.editor(2), Qt::Key_PageDown);
    EXPECT_EQ(state().colour.points[2][1], 0.06f);
    EXPECT_TRUE(barFollows(cs, state().colour));
    EXPECT_TRUE(state().colourChanged);
    EXPECT_EQ(QApplication::focusWidget(), cs.editor(2));

    click(cs.greyScaleButton());
    cs.thresholdSlider()->setFocus();
    QTest::keyClick(cs.thresholdSlider(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), cs.editor(2));

    // Shut-down closes it.
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
    EXPECT_TRUE(showsSessionStage(3));
    EXPECT_EQ(dataAt(1, 23.74, 22.98, 40), Black); // record 1 of each file
    EXPECT_EQ(dataAt(2, 19.62, 20.17, 40), Black);

    // A breakpoint moved by keyboard is drawn at the next activation.
    ASSERT_TRUE(activate(&cs));
    cs.editor(2)->setFocus();
    QTest::keyClick(cs.editor(2), Qt::Key_4);
    QTest::keyClick(cs.editor(2), Qt::Key_PageUp);
    EXPECT_FALSE(showsSessionStage(3));
    ASSERT_TRUE(activate(&w));
    EXPECT_TRUE(showsSessionStage(3));

    // The wheel over the colour window while the main window stays active: redrawn at once.
    mark();
    const QPointF middle = cs.thresholdSlider()->rect().center();
    QWheelEvent wheel(middle, cs.thresholdSlider()->mapToGlobal(middle), {}, {0, 120}, Qt::NoButton,
                      {}, Qt::NoScrollPhase, false);
    QSignalSpy toOtherWindows(&w.workflow(), &Workflow::coloursChanged);
    QApplication::sendEvent(cs.thresholdSlider(), &wheel);
    ASSERT_GT(state().colour.threshold, 0.1f);
    EXPECT_EQ(toOtherWindows.count(), 1);
    EXPECT_EQ(QApplication::activeWindow(), &w);
    // Only the ramp-coloured figures: the scatter figures and the regions depend on the
    // grey-scale mode alone, so they keep their drawing.
    EXPECT_EQ(figures(Redrawn), "34567");
    EXPECT_TRUE(showsSessionStage(3));
}

} // namespace
} // namespace quendrix::test
