#pragma once

// The main window with two full-size data files imported and every figure drawn, offscreen:
// what the window benchmarks time their redraws, prints and copies against.

#include "ScriptedDialogService.h"
#include "app/MainWindow.h"
#include "app/Workflow.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>

// Fifteen runs, their median and spread in milliseconds.
#define QUENDRIX_BENCHMARK(f)                                                                      \
    BENCHMARK(f)->Repetitions(15)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond)

namespace quendrix::bench {
inline constexpr int Records = 10000;

// A field instrument against its reference (file 1) and two analyses of the same samples
// (file 2), both covering most of the 0..40 range. The seed is fixed so every run times the
// same data.
inline bool writeSamples(const std::string& path, const char* header, double slope,
                         double intercept, double sd, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> x(2.0, 38.0);
    std::normal_distribution<double> noise(0.0, sd);
    std::ofstream out(path);
    out << header << '\n';
    char line[64];
    for (int r = 0; r < Records; ++r) {
        const double xr = x(rng);
        std::snprintf(line, sizeof line, "%.3f,%.3f\n", xr, slope * xr + intercept + noise(rng));
        out << line;
    }
    return bool(out.flush());
}

/// The window with both files imported and every figure drawn, shared by all benchmarks.
struct Window {
    QTemporaryDir dir;
    ui::ScriptedDialogService dialogs;
    MainWindow window{dialogs};

    bool open() {
        if (!dir.isValid()) {
            return false;
        }
        const QString file1 = dir.filePath(QStringLiteral("calibration.csv"));
        const QString file2 = dir.filePath(QStringLiteral("error.csv"));
        if (!writeSamples(file1.toStdString(), "Reading,Reference", 0.92, 1.4, 1.6, 20261206) ||
            !writeSamples(file2.toStdString(), "Analysis 1,Analysis 2", 1.0, 0.0, 1.45, 20261207)) {
            return false;
        }
        // The size the window used to open at, so that runs stay comparable.
        window.resize(1560, 800);
        window.show();
        dialogs.answerFile(file1);
        dialogs.answerFile(file2);
        window.workflow().readDataFile(0);
        window.workflow().readDataFile(1);
        window.workflow().start();
        QApplication::processEvents();
        for (int n = 1; n <= 8; ++n) {
            if (!window.workflow().figures().drawn(n)) {
                return false;
            }
        }
        return true;
    }
};

/// A benchmark's whole `main`: offscreen, the window opened once and shared through `shared`
/// while the registered benchmarks run.
inline int runWindowBenchmarks(int argc, char** argv, Window*& shared) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    auto window = std::make_unique<Window>();
    if (!window->open()) {
        std::cerr << "benchmark set-up failed: the window did not draw all eight figures\n";
        return 1;
    }
    shared = window.get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shared = nullptr;
    return 0;
}

} // namespace quendrix::bench
