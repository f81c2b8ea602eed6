#include "session/CalibrationSession.h"

#include "base/NumberText.h"

#include "pipeline/GeneratedModel.h"

namespace quendrix {

// The generated error model in file 2's place: switching it on and off, and its deviation.

Status CalibrationSession::setGeneratedModel(bool on) {
    if (on == generatedModel_) {
        return {};
    }
    if (!on) {
        applyGeneratedModelOff();
        return {};
    }
    if (!files_[0]) {
        return notReady("import file 1 before generating the error model");
    }
    if (!grid_) {
        return notReady("set a valid axis range before generating the error model");
    }
    if (Status st = generateErrorModel(); !st) {
        return st;
    }
    generatedModel_ = true;
    savedCount2_ = captions_.count[1];
    captions_.count[1].clear();
    captions_.correlation[1].clear();
    captions_.xName[1] = captions_.yName[0];
    captions_.yName[1] = "Error model";
    captions_.path[1] = "Generated error model";
    // File 2's own line is gone now; it has to be imported again to serve as the error model.
    errorModelFromFile_ = false;
    return {};
}

Status CalibrationSession::generateErrorModel() {
    auto sd = quendrix::generateErrorModel(*matrix_, *grid_, rangeWidth_, settings_.modelPercent);
    if (!sd) {
        return sd.failure();
    }
    captions_.fittingLine = "y = x";
    captions_.stdDev = shortestText(sd.value());
    stats_[1].slope = 1;
    stats_[1].intercept = 0;
    stats_[1].stdDev = sd.value();
    invalidateFrom(Stage::GaussianModel);
    done_[size_t(Stage::GaussianModel)] = true;
    return {};
}

Status CalibrationSession::setModelPercent(int percent) {
    if (percent < MinModelPercent || percent > MaxModelPercent) {
        return Failure{"the model's standard deviation must be 1 to 20 % of the range"};
    }
    const int previous = settings_.modelPercent;
    settings_.modelPercent = percent;
    if (!generatedModel_) {
        return {};
    }
    invalidateFrom(Stage::GaussianModel);
    Status st = generateErrorModel();
    if (!st) {
        settings_.modelPercent = previous;
    }
    return st;
}

void CalibrationSession::applyGeneratedModelOff() {
    generatedModel_ = false;
    captions_.count[1] = savedCount2_;
    captions_.xName[1].clear();
    captions_.yName[1].clear();
    captions_.fittingLine.clear();
    captions_.stdDev.clear();
    captions_.path[1].clear();
    invalidateFrom(Stage::GaussianModel);
}

} // namespace quendrix
