#include "session/CalibrationSession.h"

#include "base/NumberText.h"
#include "data/DataFileReader.h"
#include "pipeline/Smoothing.h"

#include <algorithm>
#include <cmath>

namespace quendrix {
namespace {

bool finite(const FileStatistics& s) {
    return std::isfinite(s.slope) && std::isfinite(s.intercept) && std::isfinite(s.correlation) &&
           std::isfinite(s.stdDev);
}

} // namespace

CalibrationSession::CalibrationSession() : matrix_(std::make_unique<StageMatrix>()) {}

Status CalibrationSession::importFile(int f, const std::string& path,
                                      const std::string& pathCaption) {
    auto data = readDataFile(path);
    if (!data) {
        return data.failure();
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
            status = g.failure();
            setRangeTexts(lastLower_, lastUpper_);
        }
    }
    rangeWidth_ = quendrix::rangeWidth(leadingNumber(captions_.lowerText),
                                       leadingNumber(captions_.upperText));
    return status;
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

} // namespace quendrix
