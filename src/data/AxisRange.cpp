#include "data/AxisRange.h"

#include "base/NumberText.h"

#include <cmath>

namespace quendrix {
namespace {

float boundStep(float v) {
    float a = std::fabs(v);
    if (a < 100) {
        return 5;
    }
    if (a < 1000) {
        return 50;
    }
    if (a < 10000) {
        return 500;
    }
    return v > 0 ? 1000 : 5000;
}

} // namespace

Result<Grid> gridFromRange(double lo, double hi) {
    if (lo == hi) {
        return Failure{"Please set valid range.", FailureKind::EqualBounds};
    }
    Grid grid;
    grid.gridMin = float((1 + 25.0 / 200) * lo - (25.0 / 200) * hi);
    grid.gridMax = float((1 + 25.0 / 200) * hi - (25.0 / 200) * lo);
    grid.gridStep = (hi - lo) / 200;
    if (!std::isfinite(grid.gridMin) || !std::isfinite(grid.gridMax) ||
        !std::isfinite(grid.gridStep) || !std::isfinite(rangeWidth(lo, hi))) {
        return Failure{"value out of range"};
    }
    return grid;
}

float rangeWidth(double lo, double hi) {
    return float(std::fabs(lo - hi));
}

std::string rangeLabel(std::string_view text) {
    return text.empty() ? std::string() : exactText(leadingNumber(text));
}

float roundUpBound(float v) {
    if (v == 0) {
        return 0;
    }
    double s = boundStep(v);
    double q = double(v) / s;
    return float(v < 0 ? std::trunc(q) * s : (std::floor(q) + 1) * s);
}

float roundDownBound(float v) {
    if (v == 0) {
        return 0;
    }
    double s = boundStep(v);
    double q = double(v) / s;
    return float(v < 0 ? (std::trunc(q) - 1) * s : std::floor(q) * s);
}

std::optional<RangeProposal> proposeRange(const DataFile& file) {
    if (!file.dataMin || !file.dataMax) {
        return std::nullopt;
    }
    // The extremes are kept as caption text, so they pass through their shortest text first.
    float maxValue = float(leadingNumber(shortestText(*file.dataMax)));
    float minValue = float(leadingNumber(shortestText(*file.dataMin)));
    float upper = roundUpBound(maxValue);
    float lower = roundDownBound(minValue);
    if (!std::isfinite(upper) || !std::isfinite(lower) || upper == lower) {
        return std::nullopt;
    }
    return RangeProposal{shortestText(lower), shortestText(upper)};
}

} // namespace quendrix
