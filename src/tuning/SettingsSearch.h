#pragma once

#include "base/Result.h"
#include "data/AxisRange.h"
#include "data/DataFile.h"
#include "pipeline/LevelSearch.h"
#include "tuning/HeldOutScore.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

namespace quendrix {

/// File 2's line and scatter, when it is the error model.
struct ErrorLine {
    float slope = 1;
    float intercept = 0;
    float stdDev = 0;
};

/// What a search calibrates: file 1, the range, the error model and the settings it keeps.
struct TuningProblem {
    DataFile samples;
    double lower = 0; ///< the range as the axes read it
    double upper = 0;
    Grid grid;
    float rangeWidth = 0;
    std::optional<ErrorLine> fileModel; ///< none: the generated model, whose deviation is searched
    Coefficients coefficients;
    int verticalThreshold = 2; ///< the values searched when the grid gives none
    int horizontalThreshold = 2;
    bool skip = false;
};

/// The values searched of each setting, each list in the order given.
struct SearchGrid {
    std::vector<int> smoothing;           ///< % of the range, 1..25
    std::vector<int> modelPercent;        ///< the generated model's deviation, 1..20 %
    std::vector<int> verticalThreshold;   ///< samples, 0..10
    std::vector<int> horizontalThreshold; ///< samples, 0..10
};

/// Every smoothing level; with the generated model every deviation and the problem's
/// thresholds, with file 2's model its thresholds in coarser steps.
SearchGrid defaultSearchGrid(const TuningProblem& p);

/// Refuses an empty list, a value out of its setting's bounds, a value listed twice and
/// deviations for file 2's model, naming the setting.
Status checkSearchGrid(const SearchGrid& grid, const TuningProblem& p);

/// How many settings a checked grid holds: every combination of its lists.
int settingCount(const SearchGrid& grid);

struct TuningOptions {
    int folds = 5;
    std::uint64_t seed = 1;
    double tolerance = 3; ///< percentage points either side of each coefficient
    int threads = 0;      ///< 0: one per core
};

/// One setting and how it held the held-out pairs of every fold.
struct TrialScore {
    int smoothing = 0;
    int modelPercent = 0; ///< 0 with file 2's model
    int verticalThreshold = 0;
    int horizontalThreshold = 0;
    bool usable = true;  ///< false when a fold's calibration refused the setting
    double logScore = 0; ///< mean natural log of the held-out cells' probabilities
    int atFloor = 0;     ///< held-out pairs given the floor
    int noRegion = 0;    ///< of them, pairs in a column without a region
    int pairs = 0;       ///< pairs in a column with a region: the base of the coverage
    int inNarrow = 0;    ///< in the narrower region (cells of class 2 and 3)
    int inWide = 0;      ///< in the wider region (every class from 1)
    bool withinTolerance = false;

    /// Coverage in %; none without a pair to count.
    std::optional<double> narrowCoverage() const;
    std::optional<double> wideCoverage() const;
};

struct TuningResult {
    /// Best first: the settings within the tolerance by log score, then the others, then those
    /// a fold refused; equal ones in the grid's order. The first is the recommendation.
    std::vector<TrialScore> trials;
    int folds = 0;
    int records = 0;              ///< complete records of file 1, each held out once
    int scored = 0;               ///< of them, in the axis range: the base of every log score
    int outsideRange = 0;         ///< held out with an X outside the range, scored by no setting
    double narrowCoefficient = 0; ///< in %, the smaller coefficient
    double wideCoefficient = 0;
    double tolerance = 0;
    std::string refusal; ///< why some settings are not usable (the first reason)

    const TrialScore& recommended() const { return trials.front(); }
    bool toleranceMet() const { return trials.front().withinTolerance; }
};

/// Progress of a running search, for another thread to watch: `done` counts the calibrations
/// of the folds times settingCount(); `cancel` ends it early.
struct TuningProgress {
    std::atomic<int> done{0};
    std::atomic<bool> cancel{false};
};

/// Cross-validates every setting of the grid: file 1's complete records are split into folds
/// (splitFolds), each fold is held out once while the others calibrate, and every held-out pair
/// is looked up in its grid cell: the probability and the class the saved result gives it. The
/// result is the same for any number of threads.
Result<TuningResult> tuneSettings(const TuningProblem& p, const SearchGrid& grid,
                                  const TuningOptions& o, TuningProgress* progress = nullptr);

} // namespace quendrix
