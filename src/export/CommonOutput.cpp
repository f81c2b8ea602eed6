#include "export/CommonOutput.h"

#include "base/NumberText.h"
#include "io/OutputFile.h"

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
    const ExportRows rows = exportRows(m);
    float row[ExportSize];
    for (int j = 0; j < ExportSize; ++j) {
        rows(j, row);
        for (int i = 0; i < ExportSize; ++i) {
            out.at(i, j) = row[i];
        }
    }
    return out;
}

ExportRows rowsOf(const ExportMatrix& matrix) {
    return [&matrix](int j, float* row) {
        for (int i = 0; i < ExportSize; ++i) {
            row[i] = matrix.at(i, j);
        }
    };
}

ExportRows exportRows(const StageMatrix& m) {
    return [&m](int j, float* row) {
        for (int i = 0; i < ExportSize; ++i) {
            row[i] = m.at(Field::Prob, i + PlotFirst, j + PlotFirst) +
                     m.at(Field::Confi, i + PlotFirst, j + PlotFirst);
        }
    };
}

float exportAxisValue(double lo, double hi, int k) {
    return k == ExportSize - 1 ? float(hi) : float(lo + (hi - lo) / 200 * k);
}

bool produceCommonOutput(const CommonOutputHead& head, const ExportRows& rows,
                         const LineSink& sink) {
    const double lo = leadingNumber(head.lowerText);
    const double hi = leadingNumber(head.upperText);
    std::array<float, ExportSize> axis;
    for (int k = 0; k < ExportSize; ++k) {
        axis[size_t(k)] = exportAxisValue(lo, hi, k);
    }

    std::string head15;
    head15 += quoted("Quendrix common output format") + "\r\n";
    line(head15, "Head note length (lines): ", quoted("15"));
    line(head15, "Version: ", quoted("3.0.0"));
    line(head15, "Original file1: ", headField(head.file1Path));
    line(head15, "X: ", headField(head.file1X));
    line(head15, "Y: ", headField(head.file1Y));
    if (head.generatedModel) {
        line(head15, "Original file2: ", quoted("N/A"));
        line(head15, "Alternative: ", quoted("Model"));
        line(head15, "Std. Dev. (% of range): ", std::to_string(head.modelPercent));
    } else {
        line(head15, "Original file2: ", headField(head.file2Path));
        line(head15, "X: ", headField(head.file2X));
        line(head15, "Y: ", headField(head.file2Y));
    }
    line(head15, "Resolution (steps): ", "200");
    line(head15, "Smoothing level (% of range): ", outputNumberText(head.smoothing));
    line(head15, "Vertical threshold (samples):", std::to_string(head.verticalThreshold));
    line(head15, "Horizontal threshold (samples):", std::to_string(head.horizontalThreshold));
    line(head15, "Confidence coefficient1 (%):", outputNumberText(head.coefficient1));
    line(head15, "Confidence coefficient2 (%):", outputNumberText(head.coefficient2));
    if (!sink(head15)) {
        return false;
    }

    // Each further line holds 202 fields, written number by number into one buffer.
    std::string buffer((ExportSize + 1) * (SingleTextCapacity + 1) + 2, '\0');
    char* const first = buffer.data();
    char* out = first;
    for (float value : axis) {
        *out++ = ',';
        out = writeOutputNumber(out, value);
    }
    *out++ = '\r';
    *out++ = '\n';
    if (!sink({first, size_t(out - first)})) {
        return false;
    }
    float row[ExportSize];
    for (int j = 0; j < ExportSize; ++j) {
        rows(j, row);
        out = writeOutputNumber(first, axis[size_t(j)]);
        for (float value : row) {
            *out++ = ',';
            out = writeOutputNumber(out, value);
        }
        *out++ = '\r';
        *out++ = '\n';
        if (!sink({first, size_t(out - first)})) {
            return false;
        }
    }
    return true;
}

std::string commonOutputText(const CommonOutputHead& head, const ExportMatrix& matrix) {
    std::string out;
    produceCommonOutput(head, rowsOf(matrix), [&out](std::string_view line) {
        out += line;
        return true;
    });
    return out;
}

Status writeCommonOutput(const std::string& path, const CommonOutputHead& head,
                         const ExportMatrix& matrix) {
    return writeCommonOutput(path, head, rowsOf(matrix));
}

Status writeCommonOutput(const std::string& path, const CommonOutputHead& head,
                         const ExportRows& rows) {
    return writeOutputFile(path, [&](OutputSink& sink) {
        return produceCommonOutput(head, rows,
                                   [&sink](std::string_view line) { return sink.write(line); });
    });
}

} // namespace quendrix
