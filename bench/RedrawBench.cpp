// Timings of the main window's answer to a slider: the stages the change invalidates, their
// figures drawn again and rendered, with two full-size data files, offscreen. A slider has to
// feel live, so each of these should stay well inside one 60 Hz frame (16 ms).

#include "BenchWindow.h"

#include "app/ControlPanel.h"
#include "app/FigurePanel.h"
#include "ui/FigureSurface.h"

#include <QSlider>

#include <benchmark/benchmark.h>

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

BENCHMARK(BM_CoefficientSlider)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HorizontalThreshold)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VerticalThreshold)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothingSlider)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWithWindow(argc, argv, theWindow);
}
