#include "export/CommonOutput.h"

#include "base/NumberText.h"
#include "export/OutputFile.h"

#include <array>

namespace quendrix {
namespace {

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

/// A caption inside a head line: the head note has a fixed number of lines, so a line break
/// within a column name or path (CR LF, CR or LF) is written as one blank.
std::string headField(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '\r' || text[k] == '\n') {
            if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') {
                ++k;
            }
            out += ' ';
        } else {
            out += text[k];
        }
    }
    out += '"';
    return out;
}

void line(std::string& out, const std::string& first, const std::string& second) {
    out += quoted(first);
    out += ',';
    out += second;
    out += "\r\n";
}

} // namespace

ExportMatrix exportMatrix(const StageMatrix& m) {
    ExportMatrix out;
    for (int i = 0; i < ExportSize; ++i) {
        for (int j = 0; j < ExportSize; ++j) {
            out.at(i, j) = m.at(Field::Prob, i + PlotFirst, j + PlotFirst) +
                           m.at(Field::Confi, i + PlotFirst, j + PlotFirst);
        }
    }
    return out;
}

std::string commonOutputText(const CommonOutputHead& head, const ExportMatrix& matrix) {
    const double lo = leadingNumber(head.lowerText);
    const double hi = leadingNumber(head.upperText);
    std::array<std::string, ExportSize> axis;
    for (int k = 0; k < ExportSize - 1; ++k) {
        axis[size_t(k)] = outputNumberText(float(lo + (hi - lo) / 200 * k));
    }
    axis[ExportSize - 1] = outputNumberText(float(hi));

    std::string out;
    out.reserve(700000);
    out += quoted("Quendrix common output format") + "\r\n";
    line(out, "Head note length (lines): ", quoted("15"));
    line(out, "Version: ", quoted("3.0.0"));
    line(out, "Original file1: ", headField(head.file1Path));
    line(out, "X: ", headField(head.file1X));
    line(out, "Y: ", headField(head.file1Y));
    if (head.generatedModel) {
        line(out, "Original file2: ", quoted("N/A"));
        line(out, "Alternative: ", quoted("Model"));
        line(out, "Std. Dev. (% of range): ", std::to_string(head.modelPercent));
    } else {
        line(out, "Original file2: ", headField(head.file2Path));
        line(out, "X: ", headField(head.file2X));
        line(out, "Y: ", headField(head.file2Y));
    }
    line(out, "Resolution (steps): ", "200");
    line(out, "Smoothing level (% of range): ", outputNumberText(head.smoothing));
    line(out, "Vertical threshold (samples):", std::to_string(head.verticalThreshold));
    line(out, "Horizontal threshold (samples):", std::to_string(head.horizontalThreshold));
    line(out, "Confidence coefficient1 (%):", outputNumberText(head.coefficient1));
    line(out, "Confidence coefficient2 (%):", outputNumberText(head.coefficient2));

    for (const auto& value : axis) {
        out += ',';
        out += value;
    }
    out += "\r\n";
    for (int j = 0; j < ExportSize; ++j) {
        out += axis[size_t(j)];
        for (int i = 0; i < ExportSize; ++i) {
            out += ',';
            out += outputNumberText(matrix.at(i, j));
        }
        out += "\r\n";
    }
    return out;
}

Status writeCommonOutput(const std::string& path, const CommonOutputHead& head,
                         const ExportMatrix& matrix) {
    return writeOutputFile(path, commonOutputText(head, matrix));
}

} // namespace quendrix
