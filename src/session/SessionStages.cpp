#include "session/CalibrationSession.h"

#include "base/NumberText.h"

#include "pipeline/ConfidenceRegions.h"
#include "pipeline/DiscreteModel.h"
#include "pipeline/EmptyResult.h"
#include "pipeline/GaussianModel.h"
#include "pipeline/Smoothing.h"

#include <algorithm>
#include <cmath>

namespace quendrix {

// The stage pipeline: running the stages in their order, undoing them when a setting they use
// changes, and what is read off their result.

const DetailMatrices& CalibrationSession::detail() const {
    if (!detail_) {
        // Nothing built yet: the matrices as they start, made only for a caller that asks.
        static const DetailMatrices unbuilt;
        return unbuilt;
    }
    return *detail_;
}

void CalibrationSession::invalidateFrom(Stage s) {
    for (int t = int(s); t < StageCount; ++t) {
        done_[size_t(t)] = false;
    }
    detailBuilt_ = false;
}

Status CalibrationSession::checkFinite(Field f, Stage s) {
    const auto& plane = matrix_->plane(f);
    if (std::all_of(plane.begin(), plane.end(), [](float v) { return std::isfinite(v); })) {
        return {};
    }
    invalidateFrom(s);
    return Failure{"the values are too large for single precision: the error model's density "
                   "is too high for this grid"};
}

Status CalibrationSession::runStage(Stage s) {
    if (s != Stage::GaussianModel && !done_[size_t(s) - 1]) {
        return notReady("the previous stage has not been computed");
    }
    if (!grid_) {
        return notReady("set a valid axis range first");
    }
    // Without a complete sample every figure would stay blank: say why instead.
    if (files_[0] && files_[0]->completeCount == 0) {
        return notReady("file 1 holds no complete record");
    }
    StageMatrix& m = *matrix_;
    invalidateFrom(s);
    switch (s) {
    case Stage::GaussianModel: {
        if (generatedModel_) {
            return generateErrorModel();
        }
        if (!errorModelFromFile_) {
            return notReady("no error model: import file 2 (two or more complete records with "
                            "different X values) or generate the model");
        }
        Status st =
            gaussianModel(m, *grid_, stats_[1].slope, stats_[1].intercept, stats_[1].stdDev);
        if (!st) {
            return st;
        }
        break;
    }
    case Stage::DescreteModel: {
        if (!files_[0]) {
            return notReady("import file 1 first");
        }
        // Samples outside the range are not counted; with none inside, every later figure and
        // the saved matrix would be empty: say why instead.
        if (descreteModel(m, *files_[0], *grid_) == 0) {
            return notReady("no sample of file 1 lies within the axis range");
        }
        if (Status st = checkFinite(Field::Discrete, s); !st) {
            return st;
        }
        break;
    }
    case Stage::Smoothing: {
        smoothing(m, settings_.smoothing);
        if (Status st = checkFinite(Field::Smoothed, s); !st) {
            return st;
        }
        break;
    }
    case Stage::NormalizeH:
        unitWeights_ = quendrix::unitWeights(m);
        normalizeH(m, unitWeights_, settings_.verticalThreshold, settings_.skip);
        break;
    case Stage::NormalizeV:
        normalizeV(m, unitWeights_, settings_.horizontalThreshold, columns_.aveIndex);
        break;
    case Stage::Confidence:
        findConfidenceRegions(m, settings_.coefficients, columns_);
        break;
    }
    done_[size_t(s)] = true;
    return {};
}

Status CalibrationSession::runFrom(Stage first) {
    for (int s = int(first); s < StageCount; ++s) {
        if (Status st = runStage(Stage(s)); !st) {
            return st;
        }
    }
    return {};
}

Status CalibrationSession::runAll() {
    int first = 0;
    while (first < StageCount && done_[size_t(first)]) {
        ++first;
    }
    return first == StageCount ? Status{} : runFrom(Stage(first));
}

std::string CalibrationSession::emptyResult() const {
    if (!done_[size_t(Stage::Confidence)]) {
        return {};
    }
    return emptyResultReason(
        *matrix_, unitWeights_,
        {settings_.verticalThreshold, settings_.horizontalThreshold, settings_.skip});
}

Status CalibrationSession::buildDetail() {
    if (!done_[size_t(Stage::NormalizeV)]) {
        return notReady("the probability distribution has not been computed");
    }
    // Made on first use: a run that never opens the chart never needs their 2 MB.
    if (!detail_) {
        detail_ = std::make_unique<DetailMatrices>();
    }
    buildDetailMatrices(*matrix_, settings_.coefficients, *detail_);
    detailBuilt_ = true;
    return {};
}

Result<IntervalReadout> CalibrationSession::readout(int sectionPercent) const {
    if (!detailBuilt_) {
        return Failure{"the calibration chart has not been built"};
    }
    if (sectionPercent < 0 || sectionPercent > 100) {
        return Failure{"the section must lie between 0 and 100 %"};
    }
    return readIntervals(*detail_, sectionColumn(sectionPercent), captions_.lowerText,
                         captions_.upperText, captions_.coefficient[0], captions_.coefficient[1]);
}

} // namespace quendrix
