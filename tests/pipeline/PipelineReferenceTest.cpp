// The pipeline and its fast paths, bit for bit, against ReferencePipeline's literal loops.

#include "RandomData.h"
#include "ReferencePipeline.h"
#include "data/AxisRange.h"
#include "data/DataFileReader.h"
#include "pipeline/ConfidenceRegions.h"
#include "pipeline/DetailMatrices.h"
#include "pipeline/DiscreteModel.h"
#include "pipeline/GaussianModel.h"
#include "pipeline/GeneratedModel.h"
#include "pipeline/LevelSearch.h"
#include "pipeline/MatrixProduct.h"
#include "pipeline/Normalization.h"
#include "pipeline/Smoothing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <span>

namespace quendrix {
namespace {

using test::uniform;

struct Settings {
    float slope = 1, intercept = 0, stdDev = 1;
    int smoothing = 5, vertical = 2, horizontal = 2;
    bool skip = false;
    Coefficients coefficients;
};

struct Outcome {
    std::unique_ptr<StageMatrix> m = std::make_unique<StageMatrix>();
    ColumnResults columns;
    std::unique_ptr<DetailMatrices> detail = std::make_unique<DetailMatrices>();

    Outcome() {
        // Earlier contents, which the stages must overwrite or keep as their description says.
        std::mt19937 e(5);
        for (int f = 0; f < FieldCount; ++f) {
            for (float& v : m->plane(Field(f))) {
                v = float(e() % 1000) / 8;
            }
        }
        for (auto* fine : {&detail->fineProb, &detail->fineConfi}) {
            for (float& v : *fine) {
                v = e() % 4 == 0 ? float(e() % 100) / 16 : 0.0f;
            }
        }
        detail->fineMode.fill(77);
        detail->fineAve.fill(88);
        detail->fineLevel.fill({0.5f, 0.25f});
        columns.aveIndex.fill(99);
    }
};

void runProject(Outcome& r, const DataFile& file, const Grid& grid, const Settings& s) {
    ASSERT_TRUE(gaussianModel(*r.m, grid, s.slope, s.intercept, s.stdDev));
    descreteModel(*r.m, file, grid);
    smoothing(*r.m, s.smoothing);
    const UnitWeights w = unitWeights(*r.m);
    normalizeH(*r.m, w, s.vertical, s.skip);
    normalizeV(*r.m, w, s.horizontal, r.columns.aveIndex);
    findConfidenceRegions(*r.m, s.coefficients, r.columns);
    buildDetailMatrices(*r.m, s.coefficients, *r.detail);
}

void runReference(Outcome& r, const DataFile& file, const Grid& grid, const Settings& s) {
    reference::gaussianModel(*r.m, grid, s.slope, s.intercept, s.stdDev);
    reference::countSamples(*r.m, file, grid);
    reference::multipleMatrix(*r.m, Field::Model, Field::Samples, Field::Discrete);
    buildKernel(*r.m, s.smoothing); // the plain loop already
    reference::multipleMatrix(*r.m, Field::Discrete, Field::Kernel, Field::Smoothed);
    const UnitWeights w = unitWeights(*r.m);
    reference::normalizeH(*r.m, w, s.vertical, s.skip);
    reference::normalizeV(*r.m, w, s.horizontal, r.columns.aveIndex);
    reference::findConfidenceRegions(*r.m, s.coefficients, r.columns);
    reference::buildDetailMatrices(*r.m, s.coefficients, *r.detail);
}

template <class T> bool sameBits(const T& a, const T& b) {
    return std::ranges::equal(std::as_bytes(std::span(a)), std::as_bytes(std::span(b)));
}

TEST(PipelineReference, FullSizeFilesExamplesAndSettingsAtTheirBounds) {
    const Grid grid = gridFromRange(0, 40).value(), proposed = gridFromRange(0, 60).value();
    const DataFile full = test::randomSamples(1, MaxRecords, 2, 38, 2.5);
    // Samples beyond the margin on either side, and a narrow cloud that leaves most rows empty.
    const DataFile wide = test::randomSamples(2, 4000, -30, 70, 4);
    const DataFile narrow = test::randomSamples(3, 600, 15, 22, 0.4);
    const DataFile examples = readDataFile(QUENDRIX_EXAMPLES "/calibration.csv").value();
    const std::tuple<const DataFile*, const Grid*, Settings, const char*> cases[] = {
        {&full, &grid, {1, 0, 1.45f, 5, 2, 2, false, {682, 954}}, "defaults"},
        {&full, &grid, {0.9f, 1.2f, 2.5f, 25, 10, 10, false, {1000, 317}}, "widest, whole columns"},
        {&full, &grid, {1, 0, 0.6f, 1, 0, 0, true, {0, 1000}}, "narrowest, skipped"},
        {&wide, &grid, {1.1f, -2, 3, 12, 1, 3, false, {954, 682}}, "off the grid"},
        {&narrow, &grid, {1, 0, 0.3f, 3, 0, 1, false, {500, 990}}, "empty rows"},
        {&narrow, &grid, {1, 0, 0.05f, 2, 0, 0, true, {682, 682}}, "thin model"},
        // The examples' proposed range, their error line and the generated model of the goldens.
        {&examples, &proposed, {1.02f, 0.3f, 2.1f, 5, 2, 2, false, {682, 954}}, "file 2"},
        {&examples, &proposed, {1, 0, 4.2f, 3, 0, 1, false, {500, 990}}, "model"}};
    for (const auto& [file, on, settings, name] : cases) {
        Outcome project, literal;
        runProject(project, *file, *on, settings);
        runReference(literal, *file, *on, settings);
        for (int f = 0; f < FieldCount; ++f) {
            EXPECT_TRUE(sameBits(project.m->plane(Field(f)), literal.m->plane(Field(f))))
                << name << ": field " << f;
        }
        EXPECT_TRUE(sameBits(std::span(&project.columns, 1), std::span(&literal.columns, 1)))
            << name;
        const DetailMatrices &a = *project.detail, &b = *literal.detail;
        EXPECT_TRUE(sameBits(a.fineProb, b.fineProb) && sameBits(a.fineConfi, b.fineConfi) &&
                    sameBits(a.fineMode, b.fineMode) && sameBits(a.fineAve, b.fineAve) &&
                    sameBits(a.fineLevel, b.fineLevel))
            << name;
    }
}

enum class Kind { Counts, Dense, Magnitudes, Zeros };

float draw(std::mt19937& e, Kind kind) {
    const double u = uniform(e);
    switch (kind) {
    case Kind::Counts: // a sample histogram: mostly empty cells, small whole numbers
        return u < 0.02 ? float(1 + int(uniform(e) * 3)) : 0.0f;
    case Kind::Dense:
        return float(u);
    case Kind::Magnitudes: { // 2^-70 .. 2^50, either sign: products reach subnormal sums
        const float v = float(std::ldexp(0.5 + uniform(e), int(u * 120) - 70));
        return uniform(e) < 0.3 ? -v : v;
    }
    case Kind::Zeros:
        return u < 0.4 ? 0.0f : u < 0.5 ? -0.0f : float(u * 1e-3);
    }
    return 0;
}

TEST(FastPath, MatrixProductGivesTheBitsOfThePlainTripleLoop) {
    const std::pair<Kind, Kind> sets[] = {
        {Kind::Counts, Kind::Dense},     {Kind::Counts, Kind::Dense}, // A replaced by a model
        {Kind::Dense, Kind::Dense},      {Kind::Magnitudes, Kind::Magnitudes},
        {Kind::Zeros, Kind::Magnitudes}, {Kind::Dense, Kind::Zeros}};
    for (unsigned set = 0; set < std::size(sets); ++set) {
        std::mt19937 e(100 + set);
        StageMatrix fast;
        for (const auto& [field, kind] :
             {std::pair{Field::Samples, sets[set].first}, {Field::Model, sets[set].second}}) {
            for (float& v : fast.plane(field)) {
                v = draw(e, kind);
            }
        }
        if (set == 1) {
            ASSERT_TRUE(gaussianModel(fast, gridFromRange(0, 100).value(), 1.1f, -2.0f, 3.0f));
        }
        StageMatrix literal = fast;
        multipleMatrix(fast, Field::Model, Field::Samples, Field::Discrete);
        reference::multipleMatrix(literal, Field::Model, Field::Samples, Field::Discrete);
        EXPECT_TRUE(sameBits(fast.plane(Field::Discrete), literal.plane(Field::Discrete)))
            << "data set " << set;
    }
}

TEST(FastPath, LevelSearchGivesTheBitsOfTheColumnBisection) {
    constexpr int rows = 501, columns = 45;
    std::mt19937 e(7);
    std::vector<std::vector<float>> cols(columns, std::vector<float>(rows, 0.0f));
    for (int c = 0; c < 40; ++c) {
        for (float& v : cols[size_t(c)]) {
            v = draw(e, Kind(c % 4));
        }
    }
    // Column 40 empty, 41 one cell, 42 equal cells, 43 one negative; in 44 half lies above level 1.
    cols[41][0] = 0.25f;
    cols[42].assign(rows, 0.3f);
    cols[43] = cols[1];
    cols[43][17] = -cols[43][17];
    cols[44][3] = 2;
    cols[44][4] = cols[44][5] = 1;

    std::vector<float> values(size_t(rows * columns)), peak(columns, 0.0f), total(columns, 0.0f);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            const float a = std::fabs(cols[size_t(c)][size_t(r)]);
            values[size_t(r * columns + c)] = a;
            peak[size_t(c)] = std::max(peak[size_t(c)], a);
            total[size_t(c)] += a;
        }
    }
    for (Coefficients k : {Coefficients{682, 954}, Coefficients{1000, 500}, Coefficients{0, 1},
                           Coefficients{954, 682}, Coefficients{500, 500}}) {
        std::vector<std::array<float, 2>> levels;
        searchLevels(values, rows, columns, peak, total, k, levels);
        ASSERT_EQ(levels.size(), size_t(columns));
        for (int c = 0; c < columns; ++c) {
            EXPECT_TRUE(sameBits(levels[size_t(c)], reference::columnLevels(cols[size_t(c)], k)))
                << "column " << c << ", coefficients " << k.first << "/" << k.second;
        }
    }
}

TEST(PipelineStages, DeviationRoundsOnceToASingleAndSampleIndicesRoundHalvesToEven) {
    // 5 % of 0..200 is 10. 3 % of the single 1.9 (1.89999998) is 0.0569999993, nearest the single
    // 0.057; rounding to single after the product or the division gives 0.0569999963.
    EXPECT_EQ(generatedModelStdDev(rangeWidth(0, 200), 5), 10.0f);
    EXPECT_EQ(generatedModelStdDev(rangeWidth(0, 1.9), 3), 0.057f);

    // Range 0..200: index k stands for the value k - 25, so a value's index is the value + 25.
    const Grid grid = gridFromRange(0, 200).value();
    DataFile file;
    file.records = {{225, 0},         // X on the last index, 250
                    {0, 225},         // Y on the last index
                    {225.5f, 1.5f},   // 250.5 and 26.5 go down to the even 250 and 26
                    {0, 2.5f},        // 27.5 goes up to the even 28
                    {0, 5.75f},       // 30.75 goes to the nearest, 31
                    {-24.5f, -25.5f}, // 0.5 and -0.5 both go to 0
                    {225.75f, 0},     // 250.75: index 251, off the grid
                    {0, -26}};        // index -1
    StageMatrix m, want;
    EXPECT_EQ(countSamples(m, file, grid), 6u);
    const int cells[][2] = {{250, 25}, {25, 250}, {250, 26}, {25, 28}, {25, 31}, {0, 0}};
    for (const auto& [i, j] : cells) {
        want.at(Field::Samples, i, j) = 1;
    }
    EXPECT_TRUE(m.plane(Field::Samples) == want.plane(Field::Samples));
}

} // namespace
} // namespace quendrix
