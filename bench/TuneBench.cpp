// The settings search of --tune and "Suggest settings...": 10000 records, every smoothing level
// and every deviation of the generated model, 5 folds (2500 calibrations), on 1, 2 and all
// cores, in wall time.

#include "data/AxisRange.h"
#include "data/DataFile.h"
#include "data/DataFileReader.h"
#include "tuning/SettingsSearch.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <thread>

namespace {

using namespace quendrix;

// A field instrument against its reference over 0..40, as the pipeline benchmark's data.
TuningProblem makeProblem() {
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<double> x(2.0, 38.0);
    std::normal_distribution<double> noise(0.0, 1.6);
    TuningProblem p;
    for (int r = 0; r < MaxRecords; ++r) {
        const double xr = x(rng);
        p.samples.records.push_back({float(xr), float(0.92 * xr + 1.4 + noise(rng))});
    }
    recount(p.samples);
    p.lower = 0;
    p.upper = 40;
    p.grid = gridFromRange(0, 40).value();
    p.rangeWidth = rangeWidth(0, 40);
    return p;
}

void searchAll(benchmark::State& state) {
    const TuningProblem p = makeProblem();
    const SearchGrid grid = defaultSearchGrid(p);
    TuningOptions o;
    o.threads = int(state.range(0));
    for (auto _ : state) {
        auto r = tuneSettings(p, grid, o);
        if (!r) {
            std::abort();
        }
        benchmark::DoNotOptimize(r->recommended());
    }
    state.counters["calibrations"] = double(grid.smoothing.size() * grid.modelPercent.size() * 5);
}
BENCHMARK(searchAll)
    ->Arg(1)
    ->Arg(2)
    ->Arg(int(std::thread::hardware_concurrency()))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
