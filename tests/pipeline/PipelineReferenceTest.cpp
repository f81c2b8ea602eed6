// The whole pipeline against the literal loops of tests/support/ReferencePipeline, bit for bit,
// on data sets that reach every branch.

#include "RandomData.h"
#include "ReferencePipeline.h"
#include "data/DataFileReader.h"
#include "pipeline/ConfidenceRegions.h"
#include "pipeline/DetailMatrices.h"
#include "pipeline/DiscreteModel.h"
#include "pipeline/GaussianModel.h"
#include "pipeline/MatrixProduct.h"
#include "pipeline/Normalization.h"
#include "pipeline/Smoothing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <span>
#include <string>

namespace quendrix {
namespace {

struct Settings {
    float slope = 1, intercept = 0, stdDev = 1;
    int smoothing = 5, vertical = 2, horizontal = 2;
    bool skip = false;
    Coefficients coefficients;
};

/// Everything one run computes.
struct Run {
    std::unique_ptr<StageMatrix> m = std::make_unique<StageMatrix>();
    ColumnResults columns;
    std::unique_ptr<DetailMatrices> detail = std::make_unique<DetailMatrices>();

    Run() {
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

void runProject(Run& r, const DataFile& file, const Grid& grid, const Settings& s) {
    ASSERT_TRUE(gaussianModel(*r.m, grid, s.slope, s.intercept, s.stdDev));
    descreteModel(*r.m, file, grid);
    smoothing(*r.m, s.smoothing);
    const UnitWeights w = unitWeights(*r.m);
    normalizeH(*r.m, w, s.vertical, s.skip);
    normalizeV(*r.m, w, s.horizontal, r.columns.aveIndex);
    findConfidenceRegions(*r.m, s.coefficients, r.columns);
    buildDetailMatrices(*r.m, s.coefficients, *r.detail);
}

void runReference(Run& r, const DataFile& file, const Grid& grid, const Settings& s) {
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

void expectSameRun(const DataFile& file, const Grid& grid, const Settings& s,
                   const std::string& name) {
    Run project, literal;
    runProject(project, file, grid, s);
    runReference(literal, file, grid, s);
    for (int f = 0; f < FieldCount; ++f) {
        EXPECT_TRUE(sameBits(project.m->plane(Field(f)), literal.m->plane(Field(f))))
            << name << ": field " << f;
    }
    EXPECT_TRUE(sameBits(std::span(&project.columns, 1), std::span(&literal.columns, 1))) << name;
    EXPECT_TRUE(sameBits(project.detail->fineProb, literal.detail->fineProb)) << name;
    EXPECT_TRUE(sameBits(project.detail->fineConfi, literal.detail->fineConfi)) << name;
    EXPECT_TRUE(sameBits(project.detail->fineMode, literal.detail->fineMode)) << name;
    EXPECT_TRUE(sameBits(project.detail->fineAve, literal.detail->fineAve)) << name;
    EXPECT_TRUE(sameBits(project.detail->fineLevel, literal.detail->fineLevel)) << name;
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
        expectSameRun(*file, *on, settings, name);
    }
}

} // namespace
} // namespace quendrix
