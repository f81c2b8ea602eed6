// Reading a calibration off at many new measurements and checking its coverage, beyond the
// calibration itself (built once from the examples before timing).

#include "readout/CoverageCheck.h"
#include "readout/Prediction.h"
#include "session/CalibrationSession.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

namespace {

using namespace quendrix;

const CalibrationSession& session() {
    static CalibrationSession s = [] {
        CalibrationSession built;
        if (!built.importFile(0, QUENDRIX_EXAMPLES "/calibration.csv", "calibration.csv") ||
            !built.importFile(1, QUENDRIX_EXAMPLES "/error.csv", "error.csv") || !built.runAll() ||
            !built.buildDetail()) {
            std::abort();
        }
        return built;
    }();
    return s;
}

std::vector<Measurement> measurements(int count) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> x(-2.0f, 42.0f);
    std::normal_distribution<float> noise(0.0f, 1.6f);
    std::vector<Measurement> out;
    for (int k = 0; k < count; ++k) {
        const float v = x(rng);
        out.push_back({k + 2, v, 0.92f * v + 1.4f + noise(rng)});
    }
    return out;
}

void BM_Apply(benchmark::State& state) {
    const CalibrationSession& s = session();
    const Captions& c = s.captions();
    const ReadoutLabels labels{c.lowerText, c.upperText, c.coefficient[0], c.coefficient[1]};
    const auto records = measurements(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(predictionsCsv(predict(s.detail(), records, labels, false)));
    }
}
BENCHMARK(BM_Apply)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Check(benchmark::State& state) {
    const CalibrationSession& s = session();
    const auto pairs = measurements(int(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            coverageTable(checkCoverage(s.detail(), pairs, 0, 40, 68.2, 95.4)));
    }
}
BENCHMARK(BM_Check)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
