// Timings of the calibration pipeline on a full-size data set: the whole chain from counting the
// samples to the fine matrices, and the two matrix products alone, plain loops against the fast
// path.

#include "ReferencePipeline.h"
#include "data/AxisRange.h"
#include "data/DataFile.h"
#include "pipeline/ConfidenceRegions.h"
#include "pipeline/DetailMatrices.h"
#include "pipeline/DiscreteModel.h"
#include "pipeline/GaussianModel.h"
#include "pipeline/MatrixProduct.h"
#include "pipeline/Normalization.h"
#include "pipeline/Smoothing.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>

namespace {

using namespace quendrix;

constexpr int Smoothing = 5;
constexpr int Threshold = 2;
constexpr Coefficients Levels{682, 954};

// A field instrument against its reference: most of the 0..40 range is covered, the reference
// follows a line with noise. The seed is fixed so every run times the same data.
DataFile makeSamples() {
    std::mt19937 rng(20261206);
    std::uniform_real_distribution<double> x(2.0, 38.0);
    std::normal_distribution<double> noise(0.0, 1.6);
    DataFile file{"Reading", "Reference", {}, 0, {}, {}};
    for (int r = 0; r < MaxRecords; ++r) {
        const double xr = x(rng);
        file.records.push_back({float(xr), float(0.92 * xr + 1.4 + noise(rng))});
    }
    file.completeCount = MaxRecords;
    return file;
}

// The matrices with the error model and file 1 in place, shared by every benchmark.
struct Setup {
    DataFile samples = makeSamples();
    Grid grid;
    std::unique_ptr<StageMatrix> matrix = std::make_unique<StageMatrix>();

    Setup() {
        Result<Grid> g = gridFromRange(0, 40);
        if (!g || !gaussianModel(*matrix, g.value(), 1.0f, 0.0f, 1.45f)) {
            std::cerr << "benchmark set-up failed\n";
            std::exit(1);
        }
        grid = g.value();
        countSamples(*matrix, samples, grid);
        buildKernel(*matrix, Smoothing);
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

void BM_FullPipeline(benchmark::State& state) {
    Setup& s = setup();
    StageMatrix& m = *s.matrix;
    ColumnResults columns;
    auto detail = std::make_unique<DetailMatrices>();
    for (auto _ : state) {
        countSamples(m, s.samples, s.grid);
        multipleMatrix(m, Field::Model, Field::Samples, Field::Discrete);
        smoothing(m, Smoothing);
        const UnitWeights w = unitWeights(m);
        normalizeH(m, w, Threshold, false);
        normalizeV(m, w, Threshold, columns.aveIndex);
        findConfidenceRegions(m, Levels, columns);
        buildDetailMatrices(m, Levels, *detail);
        benchmark::DoNotOptimize(detail->fineProb.data());
        benchmark::ClobberMemory();
    }
}

// Both products of the chain: Discrete = Samples x Model, Smoothed = Kernel x Discrete.
template <void (*Product)(StageMatrix&, Field, Field, Field)>
void products(benchmark::State& state) {
    StageMatrix& m = *setup().matrix;
    for (auto _ : state) {
        Product(m, Field::Model, Field::Samples, Field::Discrete);
        Product(m, Field::Discrete, Field::Kernel, Field::Smoothed);
        benchmark::DoNotOptimize(m.row(Field::Smoothed, 0));
        benchmark::ClobberMemory();
    }
}

void BM_ProductsStraightforward(benchmark::State& state) {
    products<reference::multipleMatrix>(state);
}

void BM_ProductsFast(benchmark::State& state) {
    products<multipleMatrix>(state);
}

void timed(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_FullPipeline)->Apply(timed);
BENCHMARK(BM_ProductsStraightforward)->Apply(timed);
BENCHMARK(BM_ProductsFast)->Apply(timed);

} // namespace

BENCHMARK_MAIN();
