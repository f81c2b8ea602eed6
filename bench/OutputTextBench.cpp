// Writing the common output format of a full-size calibration into memory: the project's writer
// beside the reference texts of tests/support (a string per number from the C library's
// conversions), and reading a full data file, which the batch command does twice.

#include "ReferenceNumberText.h"
#include "data/DataFileReader.h"
#include "export/CommonOutput.h"
#include "session/CalibrationSession.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

namespace {

using namespace quendrix;

// Two files of 10000 records like those of bench/run-batch-bench, written once.
std::string writeFile(const char* name, double slope, double intercept, double sd, unsigned seed) {
    const std::string path = std::string("/tmp/quendrix_output_bench_") + name + ".csv";
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> x(2.0, 38.0);
    std::normal_distribution<double> noise(0.0, sd);
    std::ofstream out(path, std::ios::binary);
    out << "X,Y\r\n";
    char line[64];
    for (int r = 0; r < MaxRecords; ++r) {
        const double xr = x(rng);
        std::snprintf(line, sizeof line, "%.3f,%.3f\r\n", xr, slope * xr + intercept + noise(rng));
        out << line;
    }
    return path;
}

struct Calibration {
    std::string file1 = writeFile("file1", 0.92, 1.4, 1.6, 20261206);
    std::string file2 = writeFile("file2", 1.0, 0.0, 1.45, 20261207);
    CalibrationSession session;
    ExportMatrix block;

    Calibration() {
        if (!session.importFile(0, file1, file1) || !session.importFile(1, file2, file2) ||
            !session.runAll()) {
            std::abort();
        }
        block = exportMatrix(session.matrix());
    }
};

Calibration& calibration() {
    static Calibration c;
    return c;
}

void BM_CommonOutputText_Project(benchmark::State& state) {
    Calibration& c = calibration();
    const CommonOutputHead head = c.session.outputHead();
    for (auto _ : state) {
        benchmark::DoNotOptimize(commonOutputText(head, c.block));
    }
}

// The numbers alone, each as its own string from the reference.
void BM_CommonOutputText_Reference(benchmark::State& state) {
    Calibration& c = calibration();
    for (auto _ : state) {
        std::string out;
        for (int j = 0; j < ExportSize; ++j) {
            for (int i = 0; i < ExportSize; ++i) {
                out += ',';
                out += reference::outputNumberText(c.block.at(i, j));
            }
            out += "\r\n";
        }
        benchmark::DoNotOptimize(out);
    }
}

void BM_ReadDataFile_Project(benchmark::State& state) {
    const std::string& path = calibration().file1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(readDataFile(path));
    }
}

void timed(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_CommonOutputText_Project)->Name("BM_CommonOutputText/Project")->Apply(timed);
BENCHMARK(BM_CommonOutputText_Reference)->Name("BM_CommonOutputText/Reference")->Apply(timed);
BENCHMARK(BM_ReadDataFile_Project)->Name("BM_ReadDataFile/Project")->Apply(timed);

} // namespace

BENCHMARK_MAIN();
