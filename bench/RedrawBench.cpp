// Timings of the main window's answer to a slider: the stages the change invalidates, their
// figures drawn again and rendered, with two full-size data files, offscreen. A slider has to
// feel live, so each of these should stay well inside one 60 Hz frame (16 ms).

#include "BenchWindow.h"

#include "app/ChannelEditor.h"
#include "app/ColourSettingsWindow.h"
#include "app/ControlPanel.h"
#include "app/FigurePanel.h"
#include "session/ColourChangeProtocol.h"
#include "ui/FigureSurface.h"

#include <QMouseEvent>
#include <QSlider>

#include <initializer_list>

namespace {

using namespace quendrix;
using bench::Window;

Window* theWindow = nullptr;

/// Moves `slider` between `a` and `b` once per iteration (so every iteration really
/// recomputes) and renders figures `figures` (Fig.n) as the next paint would show them.
void toggle(benchmark::State& state, QSlider* slider, int a, int b,
            std::initializer_list<int> figures) {
    FigurePanel& panel = theWindow->window.figures();
    std::size_t pixels = 0;
    QSize shown;
    for (auto _ : state) {
        slider->setValue(slider->value() == a ? b : a);
        for (int n : figures) {
            ui::FigureSurface* surface = panel.figure(n);
            const QImage image =
                surface->render(surface->contentsRect().size(), surface->devicePixelRatioF());
            pixels += std::size_t(image.width()) * std::size_t(image.height());
            shown = image.size();
        }
        // The window's own repaint (the cached images copied to the screen) is not timed.
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(pixels);
    // The figures' size in device pixels, since the rendering grows with it.
    state.counters["width"] = shown.width();
    state.counters["height"] = shown.height();
    for (int n = 3; n <= 8; ++n) {
        if (!theWindow->window.workflow().figures().drawn(n)) {
            state.SkipWithError("a figure was left undrawn");
            return;
        }
    }
}

// Confidence regions: Fig.7 (its mask) and Fig.8.
void BM_CoefficientSlider(benchmark::State& state) {
    toggle(state, theWindow->window.controls().coefficients.sliders[0], 682, 700, {7, 8});
}

// From the vertical normalisation: Fig.7 and Fig.8.
void BM_HorizontalThreshold(benchmark::State& state) {
    toggle(state, theWindow->window.controls().thresholds.horizontal, 2, 3, {7, 8});
}

// From the horizontal normalisation: Fig.6 to Fig.8.
void BM_VerticalThreshold(benchmark::State& state) {
    toggle(state, theWindow->window.controls().thresholds.vertical, 2, 3, {6, 7, 8});
}

// From the smoothing: Fig.5 to Fig.8, the largest change a slider makes.
void BM_SmoothingSlider(benchmark::State& state) {
    toggle(state, theWindow->window.controls().smoothing.slider, 5, 6, {5, 6, 7, 8});
}

// A colour change seen by the main window's next activation: all eight figures drawn again
// with the new threshold and rendered.
void BM_ColourChange(benchmark::State& state) {
    MainWindow& window = theWindow->window;
    SessionState& session = window.session().state();
    FigurePanel& panel = window.figures();
    for (auto _ : state) {
        session.colour.threshold = session.colour.threshold == 0.1f ? 0.11f : 0.1f;
        markColourChanged(session);
        window.workflow().activated();
        for (int n = 1; n <= 8; ++n) {
            ui::FigureSurface* surface = panel.figure(n);
            benchmark::DoNotOptimize(
                surface->render(surface->contentsRect().size(), surface->devicePixelRatioF()));
        }
    }
    if (session.colourChanged) {
        state.SkipWithError("the activation did not take the change");
    }
}

// One step of a breakpoint drag on the colour settings: the pointer moves, the editors and
// labels follow, and the window is rendered as the next paint would show it.
void BM_BreakpointDragStep(benchmark::State& state) {
    Workflow& workflow = theWindow->window.workflow();
    workflow.showColourSettings();
    ColourSettingsWindow* colours = workflow.colourSettings();
    ChannelEditor* red = colours->editor(0);
    const QRect inside = red->contentsRect();
    auto send = [red](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, red->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
        QApplication::sendEvent(red, &event);
    };
    const double y = inside.top() + 0.2 * inside.height();
    const QPointF a(red->pixelX(0.45f), y);
    const QPointF b(red->pixelX(0.55f), y);
    send(QEvent::MouseButtonPress, a, Qt::LeftButton);
    QImage image(colours->size() * colours->devicePixelRatioF(), QImage::Format_ARGB32);
    image.setDevicePixelRatio(colours->devicePixelRatioF());
    bool atA = true;
    for (auto _ : state) {
        atA = !atA;
        send(QEvent::MouseMove, atA ? a : b, Qt::LeftButton);
        colours->render(&image);
    }
    send(QEvent::MouseButtonRelease, a, Qt::NoButton);
    if (theWindow->window.session().state().colour.points[0][1] != 0.45f) {
        state.SkipWithError("the breakpoint did not follow the pointer");
    }
    colours->close();
}

QUENDRIX_BENCHMARK(BM_ColourChange);
QUENDRIX_BENCHMARK(BM_BreakpointDragStep);
QUENDRIX_BENCHMARK(BM_CoefficientSlider);
QUENDRIX_BENCHMARK(BM_HorizontalThreshold);
QUENDRIX_BENCHMARK(BM_VerticalThreshold);
QUENDRIX_BENCHMARK(BM_SmoothingSlider);

} // namespace

int main(int argc, char** argv) {
    return quendrix::bench::runWindowBenchmarks(argc, argv, theWindow);
}
