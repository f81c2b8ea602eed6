// Timings of the calibration pipeline on a full-size data set, stage by stage and as a whole
// chain from counting the samples to the fine matrices, each beside the literal loops of
// tests/support/ReferencePipeline (the benchmarks named .../Reference), so that a change shows
// as a ratio measured in one run (bench/compare prints it).

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
constexpr float ModelSlope = 1.0f, ModelIntercept = 0.0f, ModelStdDev = 1.45f;

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

/// The stage functions of one implementation.
struct Stages {
    void (*model)(StageMatrix&, const Grid&, float, float, float);
    void (*count)(StageMatrix&, const DataFile&, const Grid&);
    void (*product)(StageMatrix&, Field, Field, Field);
    void (*kernel)(StageMatrix&, int);
    void (*normalizeH)(StageMatrix&, const UnitWeights&, int, bool);
    void (*normalizeV)(StageMatrix&, const UnitWeights&, int, std::array<int, GridSize>&);
    void (*confidence)(StageMatrix&, Coefficients, ColumnResults&);
    void (*detail)(const StageMatrix&, Coefficients, DetailMatrices&);
};

const Stages Project{[](StageMatrix& m, const Grid& g, float a, float b, float s) {
                         if (!gaussianModel(m, g, a, b, s)) {
                             std::abort();
                         }
                     },
                     [](StageMatrix& m, const DataFile& f, const Grid& g) {
                         benchmark::DoNotOptimize(countSamples(m, f, g));
                     },
                     multipleMatrix,
                     buildKernel,
                     normalizeH,
                     normalizeV,
                     findConfidenceRegions,
                     buildDetailMatrices};

// The project's kernel is the plain loop already.
const Stages Reference{reference::gaussianModel,
                       reference::countSamples,
                       reference::multipleMatrix,
                       buildKernel,
                       reference::normalizeH,
                       reference::normalizeV,
                       reference::findConfidenceRegions,
                       reference::buildDetailMatrices};

/// Every stage's input in place, computed once by the project's code.
struct Setup {
    DataFile samples = makeSamples();
    Grid grid;
    std::unique_ptr<StageMatrix> matrix = std::make_unique<StageMatrix>();
    ColumnResults columns;
    UnitWeights weights;

    Setup() {
        Result<Grid> g = gridFromRange(0, 40);
        if (!g) {
            std::cerr << "benchmark set-up failed\n";
            std::exit(1);
        }
        grid = g.value();
        StageMatrix& m = *matrix;
        Project.model(m, grid, ModelSlope, ModelIntercept, ModelStdDev);
        descreteModel(m, samples, grid);
        smoothing(m, Smoothing);
        weights = unitWeights(m);
        normalizeH(m, weights, Threshold, false);
        normalizeV(m, weights, Threshold, columns.aveIndex);
        findConfidenceRegions(m, Levels, columns);
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

void done(benchmark::State& state, const void* result) {
    (void)state;
    benchmark::DoNotOptimize(result);
    benchmark::ClobberMemory();
}

/// The chain the figure times: counting the samples to the fine matrices.
template <const Stages& S> void BM_Pipeline(benchmark::State& state) {
    Setup& s = setup();
    StageMatrix m = *s.matrix;
    ColumnResults columns;
    auto detail = std::make_unique<DetailMatrices>();
    for (auto _ : state) {
        S.count(m, s.samples, s.grid);
        S.product(m, Field::Model, Field::Samples, Field::Discrete);
        S.kernel(m, Smoothing);
        S.product(m, Field::Discrete, Field::Kernel, Field::Smoothed);
        const UnitWeights w = unitWeights(m);
        S.normalizeH(m, w, Threshold, false);
        S.normalizeV(m, w, Threshold, columns.aveIndex);
        S.confidence(m, Levels, columns);
        S.detail(m, Levels, *detail);
        done(state, detail->fineProb.data());
    }
}

template <const Stages& S> void BM_GaussianModel(benchmark::State& state) {
    StageMatrix m = *setup().matrix;
    for (auto _ : state) {
        S.model(m, setup().grid, ModelSlope, ModelIntercept, ModelStdDev);
        done(state, m.row(Field::Model, 0));
    }
}

template <const Stages& S> void BM_CountSamples(benchmark::State& state) {
    StageMatrix m = *setup().matrix;
    for (auto _ : state) {
        S.count(m, setup().samples, setup().grid);
        done(state, m.row(Field::Samples, 0));
    }
}

/// Both products of the chain: Discrete = Samples x Model, Smoothed = Kernel x Discrete.
template <const Stages& S> void BM_Products(benchmark::State& state) {
    StageMatrix m = *setup().matrix;
    for (auto _ : state) {
        S.product(m, Field::Model, Field::Samples, Field::Discrete);
        S.product(m, Field::Discrete, Field::Kernel, Field::Smoothed);
        done(state, m.row(Field::Smoothed, 0));
    }
}

template <const Stages& S> void BM_Normalization(benchmark::State& state) {
    StageMatrix m = *setup().matrix;
    ColumnResults columns;
    for (auto _ : state) {
        S.normalizeH(m, setup().weights, Threshold, false);
        S.normalizeV(m, setup().weights, Threshold, columns.aveIndex);
        done(state, m.row(Field::Prob, 0));
    }
}

template <const Stages& S> void BM_ConfidenceRegions(benchmark::State& state) {
    StageMatrix m = *setup().matrix;
    ColumnResults columns = setup().columns;
    for (auto _ : state) {
        S.confidence(m, Levels, columns);
        done(state, m.row(Field::Confi, 0));
    }
}

template <const Stages& S> void BM_DetailMatrices(benchmark::State& state) {
    const StageMatrix& m = *setup().matrix;
    auto detail = std::make_unique<DetailMatrices>();
    for (auto _ : state) {
        S.detail(m, Levels, *detail);
        done(state, detail->fineConfi.data());
    }
}

void timed(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);
}

#define QUENDRIX_BENCH_PAIR(name)                                                                  \
    BENCHMARK_TEMPLATE(name, Project)->Name(#name "/Project")->Apply(timed);                       \
    BENCHMARK_TEMPLATE(name, Reference)->Name(#name "/Reference")->Apply(timed)

QUENDRIX_BENCH_PAIR(BM_Pipeline);
QUENDRIX_BENCH_PAIR(BM_GaussianModel);
QUENDRIX_BENCH_PAIR(BM_CountSamples);
QUENDRIX_BENCH_PAIR(BM_Products);
QUENDRIX_BENCH_PAIR(BM_Normalization);
QUENDRIX_BENCH_PAIR(BM_ConfidenceRegions);
QUENDRIX_BENCH_PAIR(BM_DetailMatrices);

} // namespace

BENCHMARK_MAIN();
