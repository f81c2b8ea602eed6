#include "tuning/SettingsSearch.h"

#include "data/HoldoutSplit.h"
#include "pipeline/DiscreteModel.h"
#include "pipeline/GaussianModel.h"
#include "pipeline/GeneratedModel.h"
#include "pipeline/MatrixProduct.h"
#include "pipeline/Normalization.h"
#include "pipeline/Smoothing.h"
#include "tuning/HeldOutScore.h"
#include "tuning/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace quendrix {
namespace {

using Plane = StageMatrix::Plane;

/// What one thread works in.
struct Workspace {
    StageMatrix matrix;
    std::vector<float> gathered; ///< scoreFold's columns
    int loaded = -1;             ///< the fold and model whose planes `matrix` holds, -1 for none
};

bool allFinite(const Plane& plane) {
    return std::all_of(plane.begin(), plane.end(), [](float v) { return std::isfinite(v); });
}

const char* const TooLarge = "the values are too large for single precision: the error model's "
                             "density is too high for this grid";

/// The search after its input was checked.
class Search {
  public:
    Search(const TuningProblem& p, const SearchGrid& g, const TuningOptions& o,
           TuningProgress* progress)
        : p_(p), g_(g), o_(o), progress_(progress),
          models_(p.fileModel ? 1 : int(g.modelPercent.size())), settings_(settingCount(g)) {}

    Result<TuningResult> run(std::vector<HoldoutSplit> parts);

  private:
    int folds() const { return int(folds_.size()); }
    bool cancelled() const { return progress_ && progress_->cancel; }
    void count(int calibrations) {
        if (progress_) {
            progress_->done += calibrations;
        }
    }
    void makeModel(int model, Workspace& w);
    void makeDiscrete(int unit, Workspace& w);
    void calibrate(int unit, Workspace& w);
    TuningResult collect() const;

    const TuningProblem& p_;
    const SearchGrid& g_;
    const TuningOptions& o_;
    TuningProgress* progress_;
    int models_;
    int settings_;
    std::vector<HoldoutSplit> folds_;
    std::vector<FoldCells> cells_;
    // Each task writes its own slots, so no two threads share one.
    std::vector<std::unique_ptr<Plane>> kernel_;   ///< per smoothing level
    std::vector<std::unique_ptr<Plane>> model_;    ///< per model
    std::vector<std::unique_ptr<Plane>> discrete_; ///< per fold and model
    std::vector<RowSpans> discreteSpans_;          ///< per fold and model
    std::vector<std::string> refusal_;             ///< per fold, model and smoothing level
    std::vector<FoldScore> scores_;                ///< per fold and setting
};

void Search::makeModel(int model, Workspace& w) {
    StageMatrix& m = w.matrix;
    Status st;
    if (p_.fileModel) {
        st = gaussianModel(m, p_.grid, p_.fileModel->slope, p_.fileModel->intercept,
                           p_.fileModel->stdDev);
    } else {
        st = generateErrorModel(m, p_.grid, p_.rangeWidth, g_.modelPercent[size_t(model)]);
    }
    if (st) {
        model_[size_t(model)] = std::make_unique<Plane>(m.plane(Field::Model));
    } else {
        for (int f = 0; f < folds(); ++f) {
            for (size_t s = 0; s < g_.smoothing.size(); ++s) {
                refusal_[(size_t(f) * size_t(models_) + size_t(model)) * g_.smoothing.size() + s] =
                    st.reason();
            }
        }
    }
}

void Search::makeDiscrete(int unit, Workspace& w) {
    const int fold = unit / models_;
    const int model = unit % models_;
    if (!model_[size_t(model)]) {
        return;
    }
    StageMatrix& m = w.matrix;
    m.plane(Field::Model) = *model_[size_t(model)];
    std::string refusal;
    if (countSamples(m, folds_[size_t(fold)].kept, p_.grid) == 0) {
        refusal = "no sample of file 1 lies within the axis range without fold " +
                  std::to_string(fold + 1);
    } else {
        multipleMatrix(m, Field::Model, Field::Samples, Field::Discrete);
        if (allFinite(m.plane(Field::Discrete))) {
            discrete_[size_t(unit)] = std::make_unique<Plane>(m.plane(Field::Discrete));
            discreteSpans_[size_t(unit)] = rowSpans(m.plane(Field::Discrete));
            return;
        }
        refusal = TooLarge;
    }
    for (size_t s = 0; s < g_.smoothing.size(); ++s) {
        refusal_[size_t(unit) * g_.smoothing.size() + s] = refusal;
    }
}

/// Every threshold setting of one fold, model and smoothing level, from the smoothing on.
void Search::calibrate(int unit, Workspace& w) {
    const int levels = int(g_.smoothing.size());
    const int fold = unit / (models_ * levels);
    const int model = unit / levels % models_;
    const int level = unit % levels;
    const int nv = int(g_.verticalThreshold.size());
    const int nh = int(g_.horizontalThreshold.size());
    const Plane* discrete = discrete_[size_t(fold * models_ + model)].get();
    if (!discrete || cancelled()) {
        count(nv * nh);
        return;
    }
    StageMatrix& m = w.matrix;
    // A thread mostly takes the levels of one fold and model in turn: their planes stay.
    if (w.loaded != fold * models_ + model) {
        m.plane(Field::Model) = *model_[size_t(model)];
        m.plane(Field::Discrete) = *discrete;
        w.loaded = fold * models_ + model;
    }
    m.plane(Field::Kernel) = *kernel_[size_t(level)];
    multipleMatrix(m, Field::Discrete, Field::Kernel, Field::Smoothed,
                   discreteSpans_[size_t(fold * models_ + model)]);
    if (!allFinite(m.plane(Field::Smoothed))) {
        refusal_[size_t(unit)] = TooLarge;
        count(nv * nh);
        return;
    }
    const UnitWeights weights = unitWeights(m);
    std::array<int, GridSize> aveIndex{};
    // The settings of this unit, in the grid's order: smoothing, model, then the thresholds.
    const int first = (level * models_ + model) * nv * nh;
    for (int v = 0; v < nv; ++v) {
        normalizeH(m, weights, g_.verticalThreshold[size_t(v)], p_.skip);
        for (int h = 0; h < nh; ++h) {
            if (cancelled()) {
                return;
            }
            normalizeV(m, weights, g_.horizontalThreshold[size_t(h)], aveIndex);
            scores_[size_t(fold * settings_ + first + v * nh + h)] =
                scoreFold(m, cells_[size_t(fold)], p_.coefficients, w.gathered);
            count(1);
        }
    }
}

std::optional<double> share(int part, int whole) {
    if (whole == 0) {
        return std::nullopt;
    }
    return 100.0 * part / whole;
}

TuningResult Search::collect() const {
    TuningResult r;
    r.folds = folds();
    r.tolerance = o_.tolerance;
    r.narrowCoefficient = std::min(p_.coefficients.first, p_.coefficients.second) / 10.0;
    r.wideCoefficient = std::max(p_.coefficients.first, p_.coefficients.second) / 10.0;
    for (int f = 0; f < folds(); ++f) {
        r.records += int(folds_[size_t(f)].heldOut.size());
        r.outsideRange += cells_[size_t(f)].outsideRange;
    }
    r.scored = r.records - r.outsideRange;
    const auto found = std::find_if(refusal_.begin(), refusal_.end(),
                                    [](const std::string& s) { return !s.empty(); });
    r.refusal = found == refusal_.end() ? std::string() : *found;

    const int nv = int(g_.verticalThreshold.size());
    const int nh = int(g_.horizontalThreshold.size());
    for (int s = 0; s < settings_; ++s) {
        TrialScore t;
        t.smoothing = g_.smoothing[size_t(s / (models_ * nv * nh))];
        t.modelPercent = p_.fileModel ? 0 : g_.modelPercent[size_t(s / (nv * nh) % models_)];
        t.verticalThreshold = g_.verticalThreshold[size_t(s / nh % nv)];
        t.horizontalThreshold = g_.horizontalThreshold[size_t(s % nh)];
        double logSum = 0;
        for (int f = 0; f < folds(); ++f) {
            const FoldScore& fs = scores_[size_t(f * settings_ + s)];
            t.usable = t.usable && fs.usable;
            logSum += fs.logSum;
            t.atFloor += fs.atFloor;
            t.noRegion += fs.noRegion;
            t.pairs += fs.pairs;
            t.inNarrow += fs.inNarrow;
            t.inWide += fs.inWide;
        }
        t.logScore = logSum / r.scored;
        const auto narrow = t.narrowCoverage();
        const auto wide = t.wideCoverage();
        t.withinTolerance = t.usable && narrow && wide &&
                            std::fabs(*narrow - r.narrowCoefficient) <= o_.tolerance &&
                            std::fabs(*wide - r.wideCoefficient) <= o_.tolerance;
        r.trials.push_back(t);
    }
    std::stable_sort(r.trials.begin(), r.trials.end(),
                     [](const TrialScore& a, const TrialScore& b) {
                         if (a.usable != b.usable) {
                             return a.usable;
                         }
                         if (a.withinTolerance != b.withinTolerance) {
                             return a.withinTolerance;
                         }
                         return a.usable && a.logScore > b.logScore;
                     });
    return r;
}

Result<TuningResult> Search::run(std::vector<HoldoutSplit> parts) {
    folds_ = std::move(parts);
    int scored = 0;
    for (const HoldoutSplit& f : folds_) {
        cells_.push_back(cellsOf(f.heldOut, p_.grid, p_.lower, p_.upper));
        scored += int(f.heldOut.size()) - cells_.back().outsideRange;
    }
    if (scored == 0) {
        return Failure{"no complete record of file 1 lies within the axis range"};
    }
    const int levels = int(g_.smoothing.size());
    const int units = folds() * models_ * levels;
    model_.resize(size_t(models_));
    discrete_.resize(size_t(folds() * models_));
    discreteSpans_.resize(size_t(folds() * models_));
    refusal_.resize(size_t(units));
    scores_.resize(size_t(folds() * settings_));
    if (progress_) {
        progress_->done = 0;
    }

    const int threads = threadCount(o_.threads, units);
    std::vector<std::unique_ptr<Workspace>> spaces(static_cast<size_t>(threads));
    auto space = [&](int worker) -> Workspace& {
        auto& s = spaces[size_t(worker)];
        if (!s) {
            s = std::make_unique<Workspace>();
        }
        return *s;
    };
    kernel_.resize(size_t(levels));
    parallelFor(levels, std::min(threads, levels), [&](int i, int worker) {
        // smoothing() builds this kernel on every call; here it is built once per level.
        StageMatrix& m = space(worker).matrix;
        buildKernel(m, g_.smoothing[size_t(i)]);
        kernel_[size_t(i)] = std::make_unique<Plane>(m.plane(Field::Kernel));
    });
    parallelFor(models_, std::min(threads, models_),
                [&](int i, int worker) { makeModel(i, space(worker)); });
    parallelFor(folds() * models_, std::min(threads, folds() * models_),
                [&](int i, int worker) { makeDiscrete(i, space(worker)); });
    for (auto& s : spaces) {
        if (s) {
            s->loaded = -1; // the phases above wrote their own planes
        }
    }
    parallelFor(units, threads, [&](int i, int worker) { calibrate(i, space(worker)); });
    if (cancelled()) {
        return Failure{"the search was cancelled"};
    }
    TuningResult r = collect();
    if (!r.recommended().usable) {
        return Failure{"no setting gives a calibration in every fold: " + r.refusal};
    }
    return r;
}

} // namespace

std::optional<double> TrialScore::narrowCoverage() const {
    return share(inNarrow, pairs);
}

std::optional<double> TrialScore::wideCoverage() const {
    return share(inWide, pairs);
}

Result<TuningResult> tuneSettings(const TuningProblem& p, const SearchGrid& grid,
                                  const TuningOptions& o, TuningProgress* progress) {
    if (o.folds < 2) {
        return Failure{"cross-validation needs at least 2 folds, not " + std::to_string(o.folds)};
    }
    if (!(o.tolerance >= 0)) {
        return Failure{"the tolerance must be 0 or more points"};
    }
    if (Status st = checkSearchGrid(grid, p); !st) {
        return st.failure();
    }
    std::vector<HoldoutSplit> folds = splitFolds(p.samples, o.folds, o.seed);
    for (size_t k = 0; k < folds.size(); ++k) {
        if (folds[k].heldOut.empty()) {
            return Failure{"file 1 has " + std::to_string(p.samples.completeCount) +
                           " complete records, too few for " + std::to_string(o.folds) +
                           " folds: fold " + std::to_string(k + 1) + " holds none"};
        }
    }
    Search search(p, grid, o, progress);
    return search.run(std::move(folds));
}

} // namespace quendrix
