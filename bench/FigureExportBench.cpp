// Timings of the figure export, offscreen, with two full-size data files: all nine figures
// drawn and encoded in memory, and written into a folder through the output writer. Exporting
// every figure as PNG should stay under 500 ms.

#include "BenchWindow.h"

#include "figexport/FigureExport.h"
#include "session/CalibrationSession.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <iostream>

namespace {

using namespace quendrix;

CalibrationSession* theSession = nullptr;

void render(benchmark::State& state, FigureFormat format) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto files = renderFigures(*theSession, format, 50);
        if (!files) {
            state.SkipWithError(files.reason().c_str());
            return;
        }
        for (const QByteArray& f : files.value()) {
            bytes += std::size_t(f.size());
        }
    }
    benchmark::DoNotOptimize(bytes);
}

void BM_RenderAllPng(benchmark::State& state) {
    render(state, FigureFormat::Png);
}
QUENDRIX_BENCHMARK(BM_RenderAllPng);

void BM_RenderAllSvg(benchmark::State& state) {
    render(state, FigureFormat::Svg);
}
QUENDRIX_BENCHMARK(BM_RenderAllSvg);

void BM_RenderAllPdf(benchmark::State& state) {
    render(state, FigureFormat::Pdf);
}
QUENDRIX_BENCHMARK(BM_RenderAllPdf);

// What --figures adds to a run: drawing, encoding and writing (synced) all nine PNG files.
void BM_ExportAllPng(benchmark::State& state) {
    QTemporaryDir dir;
    for (auto _ : state) {
        if (Status st =
                exportFigures(*theSession, {dir.path().toStdString(), FigureFormat::Png, 50});
            !st) {
            state.SkipWithError(st.reason().c_str());
            return;
        }
    }
}
QUENDRIX_BENCHMARK(BM_ExportAllPng);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    QTemporaryDir dir;
    const std::string file1 = dir.filePath(QStringLiteral("calibration.csv")).toStdString();
    const std::string file2 = dir.filePath(QStringLiteral("error.csv")).toStdString();
    CalibrationSession session;
    if (!bench::writeSamples(file1, "Reading,Reference", 0.92, 1.4, 1.6, 20261206) ||
        !bench::writeSamples(file2, "Analysis 1,Analysis 2", 1.0, 0.0, 1.45, 20261207) ||
        !session.importFile(0, file1, file1) || !session.importFile(1, file2, file2) ||
        !session.runAll() || !session.buildDetail()) {
        std::cerr << "benchmark set-up failed: no calibration of the two files\n";
        return 1;
    }
    theSession = &session;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
