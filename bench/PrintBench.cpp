// Timings of printing and copying on the main window with two full-size data files and every
// figure drawn, offscreen: the page to a PDF file through the print dialog (its answer
// scripted), and a figure's picture to the clipboard.

#include "BenchWindow.h"

#include "app/PrintCommands.h"

#include <QClipboard>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace quendrix;
using bench::Window;

Window* theWindow = nullptr;

void BM_PrintMainWindowToPdf(benchmark::State& state) {
    const QString pdf = theWindow->dir.filePath(QStringLiteral("page.pdf"));
    PrintCommands& printing = theWindow->window.workflow().printing();
    for (auto _ : state) {
        theWindow->dialogs.answerPrint({pdf});
        if (printing.printMainWindow().kind != PrintOutcome::Kind::Printed) {
            state.SkipWithError("the page was not printed");
            return;
        }
    }
    state.counters["bytes"] = double(std::filesystem::file_size(pdf.toStdString()));
}

void BM_CopyFigure(benchmark::State& state) {
    PrintCommands& printing = theWindow->window.workflow().printing();
    const int n = int(state.range(0));
    for (auto _ : state) {
        printing.copyFigure(n);
    }
    const QImage copied = QGuiApplication::clipboard()->image();
    state.counters["width"] = copied.width();
    state.counters["height"] = copied.height();
}

QUENDRIX_BENCHMARK(BM_PrintMainWindowToPdf);
// A scatter figure and the confidence figure.
BENCHMARK(BM_CopyFigure)
    ->Arg(1)
    ->Arg(8)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv, theWindow);
}
