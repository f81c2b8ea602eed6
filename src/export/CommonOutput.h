#pragma once

#include "base/Result.h"
#include "pipeline/StageMatrix.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quendrix {

/// Side of the exported block: grid cells 25..225 on both axes.
inline constexpr int ExportSize = 201;

/// The exported block; element (i, j) belongs to grid cell (i + 25, j + 25).
class ExportMatrix {
  public:
    ExportMatrix() : values_(size_t(ExportSize * ExportSize), 0.0f) {}
    float& at(int i, int j) { return values_[size_t(i * ExportSize + j)]; }
    float at(int i, int j) const { return values_[size_t(i * ExportSize + j)]; }

  private:
    std::vector<float> values_;
};

/// Prob + Confi of every shown cell: the probability and the confidence class in one number.
ExportMatrix exportMatrix(const StageMatrix& m);

/// The exported block handed over row by row: writes the 201 values of Y row j (X steps 0..200)
/// to `row`.
using ExportRows = std::function<void(int j, float* row)>;

/// The rows of a filled block.
ExportRows rowsOf(const ExportMatrix& matrix);

/// The rows of exportMatrix(m), computed as they are written: the block is never held whole.
ExportRows exportRows(const StageMatrix& m);

/// The axis value k steps of 200 from `lo` towards `hi`, as the file's axis line and first
/// column write it: hi itself at k = 200. k may run on beyond either end.
float exportAxisValue(double lo, double hi, int k);

/// What the head note records: where the data came from and the settings that made the matrix.
struct CommonOutputHead {
    std::string file1Path, file1X, file1Y;
    std::string file2Path, file2X, file2Y;
    bool generatedModel = false;
    int modelPercent = 5;
    float smoothing = 5;
    int verticalThreshold = 2;
    int horizontalThreshold = 2;
    float coefficient1 = 68.2f;
    float coefficient2 = 95.4f;
    std::string lowerText; ///< the range boxes' texts, read with the leading-number rule
    std::string upperText;
};

/// Receives the bytes of a file line by line; false stops the writing.
using LineSink = std::function<bool(std::string_view)>;

/// The bytes of the common output format: a 15-line head note, a line of axis values and 201
/// rows (one per Y value, running over X), fields joined by commas, lines ended by CR LF. They
/// go to `sink` (the head note at once, then line by line); false when the sink refused some.
bool produceCommonOutput(const CommonOutputHead& head, const ExportRows& rows,
                         const LineSink& sink);

/// The same bytes in one string.
std::string commonOutputText(const CommonOutputHead& head, const ExportMatrix& matrix);

/// Writes the common output format to `path` atomically.
Status writeCommonOutput(const std::string& path, const CommonOutputHead& head,
                         const ExportMatrix& matrix);
Status writeCommonOutput(const std::string& path, const CommonOutputHead& head,
                         const ExportRows& rows);

} // namespace quendrix
