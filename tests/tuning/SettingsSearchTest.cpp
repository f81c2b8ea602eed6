#include "tuning/SessionTuning.h"

#include "data/DataFileReader.h"
#include "data/HoldoutSplit.h"
#include "session/CalibrationUse.h"

#include "RandomData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

using namespace quendrix;

namespace {

/// X uniform over 0..100, Y = X plus a Gaussian error of standard deviation `sd` (Box-Muller
/// on the engine's raw draws, so the data are the same everywhere).
DataFile gaussianLine(unsigned seed, int count, double sd) {
    std::mt19937 e(seed);
    DataFile file{"X", "Y", {}, 0, {}, {}};
    for (int k = 0; k < count; ++k) {
        const double x = 100 * test::uniform(e);
        const double u = 1 - test::uniform(e);
        const double z =
            std::sqrt(-2 * std::log(u)) * std::cos(2 * std::numbers::pi * test::uniform(e));
        file.records.push_back({float(x), float(x + sd * z)});
    }
    recount(file);
    return file;
}

/// A session on `file` over 0..100 with the generated model.
void prepare(CalibrationSession& s, DataFile file) {
    ASSERT_TRUE(s.importData(0, std::move(file), "samples"));
    s.setRangeTexts("0", "100");
    ASSERT_TRUE(s.validateRange());
    ASSERT_TRUE(s.setGeneratedModel(true));
}

std::vector<Measurement> pairsOf(const DataFile& file) {
    std::vector<Measurement> pairs;
    for (const Sample& s : file.records) {
        pairs.push_back({0, s.x, s.y});
    }
    return pairs;
}

SearchGrid grid(std::vector<int> smoothing, std::vector<int> model, int v = 2, int h = 2) {
    return {std::move(smoothing), std::move(model), {v}, {h}};
}

} // namespace

TEST(SettingsSearch, FindsTheSpreadOfAKnownGaussianErrorAndHoldsItsCoverageOnFreshData) {
    CalibrationSession s;
    prepare(s, gaussianLine(1, 3000, 5));
    const TuningProblem p = tuningProblemOf(s).value();
    const auto r = tuneSettings(p, grid({2, 4, 6, 8, 10, 12}, {1, 2, 3, 4, 5, 6, 7, 8}), {});
    ASSERT_TRUE(r) << r.reason();
    EXPECT_EQ(r->trials.size(), 48u);
    EXPECT_EQ(r->records, 3000);
    ASSERT_TRUE(r->toleranceMet());
    // Best first: within the tolerance by falling log score, the others after.
    for (size_t k = 1; k < r->trials.size(); ++k) {
        const TrialScore &a = r->trials[k - 1], &b = r->trials[k];
        EXPECT_TRUE(a.withinTolerance > b.withinTolerance ||
                    (a.withinTolerance == b.withinTolerance && a.logScore >= b.logScore));
    }

    // Calibrated with the recommendation, the narrower region spans about one standard
    // deviation either side of the line, as the data's error does: the samples already carry
    // that scatter, so the model's own deviation comes out smaller.
    ASSERT_TRUE(applyTrial(s, r->recommended()));
    ASSERT_TRUE(s.runAll() && s.buildDetail());
    double cells = 0;
    for (int i = 100; i <= 150; ++i) {
        for (int j = 0; j < GridSize; ++j) {
            cells += std::fabs(s.matrix().at(Field::Confi, i, j)) >= 2;
        }
    }
    const double halfWidth = cells / 51 * s.grid()->gridStep / 2;
    EXPECT_NEAR(halfWidth, 5, 1) << "one model step is 1 % of the range";
    EXPECT_LT(r->recommended().modelPercent, 5);

    // Fresh pairs from the same source fall in the regions as often as the coefficients say.
    const CoverageReport fresh = coverageOf(s, pairsOf(gaussianLine(2, 3000, 5)));
    EXPECT_NEAR(100.0 * fresh.inRegion1 / fresh.pairs, 68.2, r->tolerance);
    EXPECT_NEAR(100.0 * fresh.inRegion2 / fresh.pairs, 95.4, r->tolerance);
}

TEST(SettingsSearch, ScoresEachFoldAsTheSessionCalibratesItAndAnyThreadCountAgrees) {
    CalibrationSession s;
    // Few records, so that some columns hold no region and some pairs lie off the grid.
    DataFile file = gaussianLine(3, 600, 8);
    file.records.push_back({50, 400}); // Y far above the grid
    file.records.push_back({150, 50}); // X outside the range
    file.records.push_back({20, MissingValue});
    recount(file);
    prepare(s, file);
    s.setSkip(true);
    const TuningProblem p = tuningProblemOf(s).value();
    TuningOptions o;
    o.folds = 2;
    o.seed = 7;
    const auto r = tuneSettings(p, grid({6}, {3}), o);
    ASSERT_TRUE(r) << r.reason();
    const TrialScore& t = r->trials.at(0);

    // Each fold calibrated by a session of its own on the records it keeps, and every held-out
    // pair looked up in the session's probability and class of its grid cell.
    const std::vector<HoldoutSplit> folds = splitFolds(file, 2, 7);
    double logSum = 0;
    int pairs = 0, narrow = 0, wide = 0, floor = 0, noRegion = 0, outside = 0;
    for (const HoldoutSplit& fold : folds) {
        CalibrationSession f;
        prepare(f, fold.kept);
        f.setSkip(true);
        f.setSmoothing(6);
        ASSERT_TRUE(f.setModelPercent(3));
        ASSERT_TRUE(f.runAll());
        const Grid& g = *f.grid();
        for (const Measurement& m : fold.heldOut) {
            const double i = std::nearbyint((*m.x - g.gridMin) / g.gridStep);
            const double j = std::nearbyint((*m.y - g.gridMin) / g.gridStep);
            if (*m.x > 100) {
                ++outside;
                continue;
            }
            float total = 0;
            float top = 0;
            for (int row = 0; row < GridSize; ++row) {
                total += std::fabs(f.matrix().at(Field::Prob, int(i), row));
                top = std::max(top, std::fabs(f.matrix().at(Field::Confi, int(i), row)));
            }
            double prob = 0;
            if (top < 1) {
                ++noRegion;
            } else {
                const bool onGrid = j >= 0 && j < GridSize;
                const float q = onGrid ? std::fabs(f.matrix().at(Field::Confi, int(i), int(j))) : 0;
                ++pairs;
                narrow += q >= 2;
                wide += q >= 1;
                prob = onGrid
                           ? std::fabs(f.matrix().at(Field::Prob, int(i), int(j))) / double(total)
                           : 0;
            }
            floor += prob < ProbabilityFloor;
            logSum += std::log(std::max(prob, ProbabilityFloor));
        }
    }
    EXPECT_EQ(r->records, 602);
    EXPECT_EQ(r->outsideRange, outside);
    EXPECT_EQ(outside, 1);
    EXPECT_GT(noRegion, 0);
    EXPECT_GT(pairs, 500);
    EXPECT_EQ(t.noRegion, noRegion);
    EXPECT_EQ(t.atFloor, floor);
    EXPECT_EQ(t.pairs, pairs);
    EXPECT_EQ(t.inNarrow, narrow);
    EXPECT_EQ(t.inWide, wide);
    // Summed in another order.
    EXPECT_NEAR(t.logScore, logSum / (602 - outside), 1e-12 * std::fabs(logSum));

    // The full grid on one thread and on three gives the same table.
    const SearchGrid full = grid({1, 4, 9}, {2, 6, 11}, 1, 3);
    o.threads = 1;
    const auto one = tuneSettings(p, full, o);
    o.threads = 3;
    const auto three = tuneSettings(p, full, o);
    ASSERT_TRUE(one && three);
    ASSERT_EQ(one->trials.size(), 9u);
    for (size_t k = 0; k < 9; ++k) {
        const TrialScore &a = one->trials[k], &b = three->trials[k];
        EXPECT_EQ(std::tie(a.smoothing, a.modelPercent, a.logScore, a.pairs, a.inNarrow, a.inWide,
                           a.atFloor),
                  std::tie(b.smoothing, b.modelPercent, b.logScore, b.pairs, b.inNarrow, b.inWide,
                           b.atFloor));
    }
}

TEST(SettingsSearch, FoldsAreTheHoldoutDrawAndBadSearchesAreRefusedWithTheirReason) {
    const DataFile file = gaussianLine(4, 400, 5);
    // Fold 0 is what a hold-out of 1/K sets aside; every complete record is held out once.
    const std::vector<HoldoutSplit> folds = splitFolds(file, 4, 11);
    const HoldoutSplit quarter = splitHoldout(file, 0.25, 11);
    ASSERT_EQ(folds[0].heldOut.size(), quarter.heldOut.size());
    for (size_t k = 0; k < quarter.heldOut.size(); ++k) {
        EXPECT_EQ(folds[0].heldOut[k].line, quarter.heldOut[k].line);
    }
    size_t heldOut = 0;
    for (const HoldoutSplit& f : folds) {
        heldOut += f.heldOut.size();
        EXPECT_EQ(f.kept.completeCount + int(f.heldOut.size()), 400);
    }
    EXPECT_EQ(heldOut, 400u);

    CalibrationSession s;
    prepare(s, file);
    const TuningProblem p = tuningProblemOf(s).value();
    const SearchGrid g = grid({5}, {5});
    auto refusal = [&](const TuningProblem& problem, const SearchGrid& sg, TuningOptions o) {
        const auto r = tuneSettings(problem, sg, o);
        return r ? std::string("accepted") : r.reason();
    };
    TuningOptions o;
    o.folds = 1;
    EXPECT_EQ(refusal(p, g, o), "cross-validation needs at least 2 folds, not 1");
    TuningProblem few = p;
    few.samples = gaussianLine(5, 3, 5);
    EXPECT_THAT(refusal(few, g, {}),
                testing::StartsWith("file 1 has 3 complete records, too few for 5 folds: fold "));
    TuningProblem away = p;
    away.samples.records.assign(40, Sample{500, 500});
    recount(away.samples);
    EXPECT_EQ(refusal(away, g, {}), "no complete record of file 1 lies within the axis range");
    EXPECT_EQ(refusal(p, grid({0, 5}, {5}), {}), "smoothing level 0 % is outside 1..25");
    EXPECT_EQ(refusal(p, grid({5}, {3, 21}), {}), "model deviation 21 % is outside 1..20");
    EXPECT_EQ(refusal(p, grid({5}, {}), {}), "the search grid has no model deviation");
    EXPECT_EQ(refusal(p, grid({5, 6, 5}, {5}), {}), "smoothing level 5 % is listed twice");
    EXPECT_EQ(refusal(p, grid({5}, {5}, 11), {}), "vertical threshold 11 is outside 0..10");
    TuningProblem withFile = p;
    withFile.fileModel = ErrorLine{1, 0, 2};
    EXPECT_EQ(refusal(withFile, g, {}),
              "the error model is file 2's, so there is no model deviation to search: generate "
              "the model to search it");
    // File 2's model searches the thresholds instead.
    const SearchGrid thresholds = defaultSearchGrid(withFile);
    EXPECT_TRUE(thresholds.modelPercent.empty());
    EXPECT_EQ(thresholds.horizontalThreshold, (std::vector<int>{0, 1, 2, 3, 4, 6, 8, 10}));

    // A cancelled search ends with its reason; a session without an error model has none.
    TuningProgress progress;
    progress.cancel = true;
    EXPECT_EQ(tuneSettings(p, g, {}, &progress).reason(), "the search was cancelled");
    CalibrationSession bare;
    ASSERT_TRUE(bare.importData(0, file, "samples"));
    EXPECT_EQ(tuningProblemOf(bare).kind(), FailureKind::NotReady);
}
