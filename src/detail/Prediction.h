#pragma once

#include "data/DataFile.h"
#include "pipeline/DetailMatrices.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quendrix {

/// The range and coefficient captions a read-out is labelled with.
struct ReadoutLabels {
    std::string lowerText;
    std::string upperText;
    std::string coefficient1Text;
    std::string coefficient2Text;
};

/// The fine column of the calibration chart nearest to x (the section at that position), or
/// none when x lies outside the axis range.
std::optional<int> fineColumnOf(double x, double lower, double upper);

/// The calibration read off for one measured X.
struct Prediction {
    enum class Kind { Read, OutsideRange, Skipped };

    int line = 0;
    std::optional<float> x;
    Kind kind = Kind::Skipped;
    std::string average; ///< the read-out's text, or "Out of range"
    std::string mode;
    /// Per coefficient, the intervals as (low, high) texts, "?" where a region runs on beyond
    /// the shown range.
    std::array<std::vector<std::pair<std::string, std::string>>, 2> intervals;
};

/// Reads the calibration off at each measurement's X. With `fullPrecision` the numbers are the
/// shortest exact texts of the grid values instead of the panel's rounded ones.
std::vector<Prediction> predict(const DetailMatrices& d, const std::vector<Measurement>& records,
                                const ReadoutLabels& labels, bool fullPrecision);

/// The predictions as CSV: `line,x,status,average,mode,c1_intervals,c2_intervals`, intervals
/// as `lo..hi` joined by `;`, lines ended by LF.
std::string predictionsCsv(const std::vector<Prediction>& predictions);

/// The same content as JSON Lines, one object a record.
std::string predictionsJsonLines(const std::vector<Prediction>& predictions);

} // namespace quendrix
