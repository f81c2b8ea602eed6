#pragma once

#include "data/DataFile.h"
#include "pipeline/DetailMatrices.h"

#include <array>
#include <cstdint>
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
    /// Read: the section holds a region; NoRegion: it is within the range but holds none (too
    /// few samples there), so only its "Out of range" texts can be read.
    enum class Kind { Read, NoRegion, OutsideRange, Skipped };

    std::int64_t line = 0;
    std::optional<float> x;
    Kind kind = Kind::Skipped;
    std::string average; ///< the read-out's text, or "Out of range"
    std::string mode;
    /// Per coefficient, the intervals as (low, high) texts, "?" where a region runs on beyond
    /// the shown range.
    std::array<std::vector<std::pair<std::string, std::string>>, 2> intervals;
};

/// Reads the calibration off one measurement at a time, so that any number of them can be
/// streamed through; each of the 401 sections is read once. With `fullPrecision` the numbers
/// are the shortest exact texts of the grid values instead of the panel's rounded ones.
class Predictor {
  public:
    Predictor(const DetailMatrices& d, ReadoutLabels labels, bool fullPrecision);
    Prediction operator()(const Measurement& m);

  private:
    const Prediction& section(int column);

    const DetailMatrices& detail_;
    ReadoutLabels labels_;
    bool fullPrecision_;
    double lower_;
    double upper_;
    std::vector<std::optional<Prediction>> sections_;
};

/// The status column's word for a kind: "ok", "no region", "outside range" or "skipped".
const char* statusText(Prediction::Kind kind);

/// How many predictions of each kind a run gave.
struct PredictionCounts {
    std::int64_t read = 0;
    std::int64_t noRegion = 0;
    std::int64_t outsideRange = 0;
    std::int64_t skipped = 0;
    void add(Prediction::Kind kind);
    std::int64_t total() const { return read + noRegion + outsideRange + skipped; }
};

/// Reads the calibration off at each measurement's X.
std::vector<Prediction> predict(const DetailMatrices& d, const std::vector<Measurement>& records,
                                const ReadoutLabels& labels, bool fullPrecision);

/// The predictions as CSV: `line,x,status,average,mode,c1_intervals,c2_intervals`, intervals
/// as `lo..hi` joined by `;`, lines ended by LF. The header line, then one line a prediction.
std::string predictionsCsvHeader();
std::string predictionCsvLine(const Prediction& p);
std::string predictionsCsv(const std::vector<Prediction>& predictions);

/// The same content as JSON Lines, one object a record.
std::string predictionJsonLine(const Prediction& p);
std::string predictionsJsonLines(const std::vector<Prediction>& predictions);

} // namespace quendrix
