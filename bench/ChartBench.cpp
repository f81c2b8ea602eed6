// Timings of the calibration chart window, offscreen, with two full-size data files: opening it
// (the fine matrices and the first drawing of every surface), moving the section (section,
// read-out, curves and marker, colour chart) and changing the enhancement. Opening should stay
// under 50 ms, a section move well inside a frame (8 ms), an enhancement change inside one
// 60 Hz frame (16 ms).

#include "BenchWindow.h"

#include "app/ChartWindow.h"
#include "ui/FigureSurface.h"

#include <QSlider>

#include <benchmark/benchmark.h>

namespace {

using namespace quendrix;

bench::Window* theWindow = nullptr;

ChartWindow* chart() {
    return theWindow->window.workflow().chart().window();
}

/// The chart's surfaces rendered as the next paint would show them.
std::size_t render() {
    std::size_t pixels = 0;
    const ChartControls& c = chart()->controls();
    for (ui::FigureSurface* s : {c.picture1, c.picture2, c.picture3}) {
        const QImage image = s->render(s->contentsRect().size(), s->devicePixelRatioF());
        pixels += std::size_t(image.width()) * std::size_t(image.height());
    }
    return pixels;
}

void BM_OpenChart(benchmark::State& state) {
    std::size_t pixels = 0;
    for (auto _ : state) {
        theWindow->window.workflow().openChart(ChartMode::Confidence);
        pixels += render();
        state.PauseTiming();
        QApplication::processEvents();
        theWindow->window.workflow().chart().close();
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(pixels);
}

/// Moves `slider` between `a` and `b` once per iteration and renders the chart's surfaces, in a
/// chart window of the size it opens at (argument 0) or of state.range(0) x state.range(1).
void toggle(benchmark::State& state, QSlider* ChartControls::*slider, int a, int b) {
    theWindow->window.workflow().openChart(ChartMode::Probability);
    if (state.range(0) > 0) {
        chart()->resize(int(state.range(0)), int(state.range(1)));
    }
    QApplication::processEvents();
    QSlider* s = chart()->controls().*slider;
    std::size_t pixels = 0;
    for (auto _ : state) {
        s->setValue(s->value() == a ? b : a);
        pixels += render();
        // The window's own repaint (the cached images copied to the screen) is not timed.
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(pixels);
    const QSize side = chart()->controls().picture1->contentsRect().size();
    state.counters["side"] = side.width();
    theWindow->window.workflow().chart().close();
}

void BM_MoveSection(benchmark::State& state) {
    toggle(state, &ChartControls::slider1, 40, 41);
}

void BM_Enhancement(benchmark::State& state) {
    toggle(state, &ChartControls::slider2, 100, 101);
}

QUENDRIX_BENCHMARK(BM_OpenChart);
QUENDRIX_BENCHMARK(BM_MoveSection)->Args({0, 0})->Args({1600, 1000});
QUENDRIX_BENCHMARK(BM_Enhancement)->Args({0, 0})->Args({1600, 1000});

} // namespace

int main(int argc, char** argv) {
    return quendrix::bench::runWindowBenchmarks(argc, argv, theWindow);
}
