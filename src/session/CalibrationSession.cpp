#include "session/CalibrationSession.h"

#include "base/NumberText.h"
#include "data/DataFileReader.h"
#include "model/GeneratedModel.h"
#include "pipeline/ConfidenceRegions.h"
#include "pipeline/DiscreteModel.h"
#include "pipeline/EmptyResult.h"
#include "pipeline/GaussianModel.h"
#include "pipeline/Smoothing.h"

#include <algorithm>
#include <cmath>

namespace quendrix {
namespace {

bool finite(const FileStatistics& s) {
    return std::isfinite(s.slope) && std::isfinite(s.intercept) && std::isfinite(s.correlation) &&
           std::isfinite(s.stdDev);
}

Failure notReady(const char* what) {
    return Failure{what};
}

} // namespace

CalibrationSession::CalibrationSession() : matrix_(std::make_unique<StageMatrix>()) {}

const DetailMatrices& CalibrationSession::detail() const {
    if (!detail_) {
        // Nothing built yet: the matrices as they start, made only for a caller that asks.
        static const DetailMatrices unbuilt;
        return unbuilt;
    }
    return *detail_;
}

Status CalibrationSession::importFile(int f, const std::string& path,
                                      const std::string& pathCaption) {
    auto data = readDataFile(path);
    if (!data) {
        return Failure{data.reason()};
    }
    const std::optional<FileIdentity> identity = fileIdentity(path);
    Status st = importData(f, std::move(data).value(), pathCaption);
    if (st) {
        fileIdentities_[size_t(f)] = identity;
    }
    return st;
}

Status CalibrationSession::importData(int f, DataFile data, const std::string& pathCaption) {
    const auto fi = size_t(f);
    FileStatistics stats = stats_[fi];
    std::string correlationText, fittingText, stdDevText;
    bool lineDefined = false;
    if (data.completeCount > 1) {
        stats = computeRegression(data, stats_[fi]);
        lineDefined = stats.lineDefined;
        // The statistics keep their old values where this file defines none, but the captions
        // must not show another file's numbers beside this file's name.
        if (stats.correlationDefined) {
            correlationText = shortestText(stats.correlation);
        }
        if (f == 1 && lineDefined) {
            fittingText = fittingLineCaption(stats.slope, stats.intercept);
            stats.stdDev = residualStdDev(data, stats.slope, stats.intercept);
            stdDevText = stdDevCaption(stats.stdDev);
        }
    }
    if (!finite(stats)) {
        return Failure{"the values are too large for the statistics"};
    }

    // File 1 always proposes the range; file 2 only fills boxes that are empty.
    std::string lower = captions_.lowerText;
    std::string upper = captions_.upperText;
    if (f == 0 || lower.empty() || upper.empty()) {
        if (auto proposal = proposeRange(data)) {
            lower = proposal->lower;
            upper = proposal->upper;
        }
    }
    std::optional<Grid> grid = grid_;
    if (!lower.empty() && !upper.empty()) {
        auto g = gridFromRange(leadingNumber(lower), leadingNumber(upper));
        if (!g) {
            return Failure{"the values are too large for an axis range"};
        }
        grid = g.value();
    }

    // Importing either file switches the generated model off.
    if (generatedModel_) {
        applyGeneratedModelOff();
    }
    files_[fi] = std::move(data);
    fileIdentities_[fi].reset();
    stats_[fi] = stats;
    captions_.count[fi] = std::to_string(files_[fi]->completeCount);
    captions_.correlation[fi] = correlationText;
    captions_.xName[fi] = files_[fi]->xName;
    captions_.yName[fi] = files_[fi]->yName;
    captions_.path[fi] = pathCaption;
    if (f == 1) {
        captions_.fittingLine = fittingText;
        captions_.stdDev = stdDevText;
        errorModelFromFile_ = lineDefined;
    }
    captions_.lowerText = lower;
    captions_.upperText = upper;
    lastLower_ = lower;
    lastUpper_ = upper;
    grid_ = grid;
    rangeWidth_ = quendrix::rangeWidth(leadingNumber(lower), leadingNumber(upper));
    invalidateFrom(Stage::GaussianModel);
    return {};
}

void CalibrationSession::setRangeTexts(const std::string& lower, const std::string& upper) {
    captions_.lowerText = lower;
    captions_.upperText = upper;
    rangeWidth_ = quendrix::rangeWidth(leadingNumber(lower), leadingNumber(upper));
    if (generatedModel_) {
        applyGeneratedModelOff();
    }
    invalidateFrom(Stage::GaussianModel);
}

Status CalibrationSession::validateRange() {
    const std::string& lower = captions_.lowerText;
    const std::string& upper = captions_.upperText;
    Status status;
    if (lower.empty() || upper.empty()) {
        lastLower_ = lower;
        lastUpper_ = upper;
    } else {
        auto g = gridFromRange(leadingNumber(lower), leadingNumber(upper));
        if (g) {
            lastLower_ = lower;
            lastUpper_ = upper;
            grid_ = g.value();
        } else {
            status = Failure{g.reason()};
            setRangeTexts(lastLower_, lastUpper_);
        }
    }
    rangeWidth_ = quendrix::rangeWidth(leadingNumber(captions_.lowerText),
                                       leadingNumber(captions_.upperText));
    return status;
}

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
        return Failure{sd.reason()};
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

void CalibrationSession::setCoefficientText(int k, const std::string& typed) {
    const double value = std::clamp(leadingNumber(typed), 0.0, 100.0);
    captions_.coefficient[size_t(k)] = shortestText(value);
    setCoefficientTenths(k, int(roundHalfEven(value * 10)));
}

void CalibrationSession::setCoefficientSlider(int k, int tenths) {
    tenths = std::clamp(tenths, 0, 1000);
    // A typed caption that rounds to this slider value stays as typed ("0.25" at 2).
    if (int(roundHalfEven(leadingNumber(captions_.coefficient[size_t(k)]) * 10)) != tenths) {
        captions_.coefficient[size_t(k)] = shortestText(tenths / 10.0);
    }
    setCoefficientTenths(k, tenths);
}

void CalibrationSession::setCoefficientTenths(int k, int tenths) {
    int& current = k == 0 ? settings_.coefficients.first : settings_.coefficients.second;
    if (current != tenths) {
        current = tenths;
        invalidateFrom(Stage::Confidence);
    }
}

void CalibrationSession::setSmoothing(int level) {
    level = std::clamp(level, MinSmoothing, MaxSmoothing);
    captions_.smoothing = std::to_string(level);
    if (settings_.smoothing != level) {
        settings_.smoothing = level;
        invalidateFrom(Stage::Smoothing);
    }
}

void CalibrationSession::setVerticalThreshold(int samples) {
    samples = std::clamp(samples, 0, MaxThreshold);
    if (settings_.verticalThreshold != samples) {
        settings_.verticalThreshold = samples;
        // A skipped horizontal normalisation does not use its threshold.
        if (!settings_.skip) {
            invalidateFrom(Stage::NormalizeH);
        }
    }
}

void CalibrationSession::setHorizontalThreshold(int samples) {
    samples = std::clamp(samples, 0, MaxThreshold);
    if (settings_.horizontalThreshold != samples) {
        settings_.horizontalThreshold = samples;
        invalidateFrom(Stage::NormalizeV);
    }
}

void CalibrationSession::setSkip(bool skip) {
    if (settings_.skip != skip) {
        settings_.skip = skip;
        invalidateFrom(Stage::NormalizeH);
    }
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

CommonOutputHead CalibrationSession::outputHead() const {
    CommonOutputHead head;
    head.file1Path = captions_.path[0];
    head.file1X = captions_.xName[0];
    head.file1Y = captions_.yName[0];
    head.file2Path = captions_.path[1];
    head.file2X = captions_.xName[1];
    head.file2Y = captions_.yName[1];
    head.generatedModel = generatedModel_;
    head.modelPercent = settings_.modelPercent;
    head.smoothing = float(leadingNumber(captions_.smoothing));
    head.verticalThreshold = settings_.verticalThreshold;
    head.horizontalThreshold = settings_.horizontalThreshold;
    head.coefficient1 = float(leadingNumber(captions_.coefficient[0]));
    head.coefficient2 = float(leadingNumber(captions_.coefficient[1]));
    head.lowerText = captions_.lowerText;
    head.upperText = captions_.upperText;
    return head;
}

Status CalibrationSession::checkOutputPath(const std::string& path) const {
    const std::optional<FileIdentity> output = fileIdentity(path);
    for (int f = 0; f < 2; ++f) {
        if (output && output == fileIdentities_[size_t(f)]) {
            return Failure{"the output would replace file " + std::to_string(f + 1)};
        }
    }
    return {};
}

Result<OutputProducer> CalibrationSession::commonOutput() const {
    if (!done_[size_t(Stage::Confidence)]) {
        return notReady("the confidence regions have not been computed");
    }
    return OutputProducer([head = outputHead(), rows = exportRows(*matrix_)](OutputSink& sink) {
        return produceCommonOutput(head, rows,
                                   [&sink](std::string_view line) { return sink.write(line); });
    });
}

Status CalibrationSession::saveCommonOutput(const std::string& path) const {
    auto content = commonOutput();
    if (!content) {
        return Failure{content.reason()};
    }
    if (Status st = checkOutputPath(path); !st) {
        return st;
    }
    return writeOutputFile(path, content.value());
}

} // namespace quendrix
