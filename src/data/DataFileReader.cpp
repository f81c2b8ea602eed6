#include "data/DataFileReader.h"

#include "base/NumberText.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quendrix {
namespace {

/// Field reader over the whole file. A comma and a line end (CR LF, lone CR or lone LF) are
/// equivalent separators, so records need not follow lines.
class FieldScanner {
  public:
    explicit FieldScanner(std::string_view bytes) : bytes_(bytes) {}

    int line() const { return line_; }

    /// The end of the file is what is left when it holds only blanks and tabs.
    bool atEnd() const {
        for (size_t k = pos_; k < bytes_.size(); ++k) {
            if (bytes_[k] != ' ' && bytes_[k] != '\t') {
                return false;
            }
        }
        return true;
    }

    /// Reads one field; false when the file ends before the field starts.
    bool next(std::string& field) {
        field.clear();
        skipBlanks();
        if (pos_ >= bytes_.size()) {
            return false;
        }
        if (bytes_[pos_] == '"') {
            ++pos_;
            while (pos_ < bytes_.size() && bytes_[pos_] != '"') {
                countLineEnd();
                field.push_back(bytes_[pos_++]);
            }
            ++pos_; // the closing quote (or past the end)
            // Whatever follows the closing quote up to the separator is dropped.
            while (pos_ < bytes_.size() && !isSeparator(bytes_[pos_])) {
                ++pos_;
            }
        } else {
            while (pos_ < bytes_.size() && !isSeparator(bytes_[pos_])) {
                field.push_back(bytes_[pos_++]);
            }
            while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) {
                field.pop_back();
            }
        }
        consumeSeparator();
        return true;
    }

  private:
    static bool isSeparator(char c) { return c == ',' || c == '\r' || c == '\n'; }

    void skipBlanks() {
        while (pos_ < bytes_.size() && (bytes_[pos_] == ' ' || bytes_[pos_] == '\t')) {
            ++pos_;
        }
    }

    // Counts a line end inside a quoted field so later messages name the right line.
    void countLineEnd() {
        char c = bytes_[pos_];
        if (c == '\n' || (c == '\r' && (pos_ + 1 >= bytes_.size() || bytes_[pos_ + 1] != '\n'))) {
            ++line_;
        }
    }

    void consumeSeparator() {
        if (pos_ >= bytes_.size()) {
            return;
        }
        char c = bytes_[pos_++];
        if (c == '\r') {
            if (pos_ < bytes_.size() && bytes_[pos_] == '\n') {
                ++pos_;
            }
            ++line_;
        } else if (c == '\n') {
            ++line_;
        }
    }

    std::string_view bytes_;
    size_t pos_ = 0;
    int line_ = 1;
};

Failure atLine(int line, const std::string& what) {
    return Failure{"line " + std::to_string(line) + ": " + what};
}

} // namespace

Result<DataFile> parseDataFile(std::string_view bytes) {
    DataFile file;
    FieldScanner scanner(bytes);
    std::string first;
    std::string second;
    bool header = true;
    while (!scanner.atEnd()) {
        if (!header && int(file.records.size()) == MaxRecords) {
            return Failure{"line " + std::to_string(scanner.line()) + ": more than " +
                           std::to_string(MaxRecords) + " records"};
        }
        int xLine = scanner.line();
        scanner.next(first);
        // A blank last line is an empty X value, not a record cut short.
        if (!header && first.empty()) {
            return atLine(xLine, "empty X value");
        }
        int yLine = scanner.line();
        if (!scanner.next(second)) {
            return atLine(xLine, "the file ends in the middle of a record");
        }
        if (header) {
            file.xName = first;
            file.yName = second;
            header = false;
            continue;
        }
        if (second.empty()) {
            return atLine(yLine, "empty Y value");
        }
        Sample s;
        s.x = float(leadingNumber(first));
        if (!std::isfinite(s.x)) {
            return atLine(xLine, "value out of range");
        }
        s.y = float(leadingNumber(second));
        if (!std::isfinite(s.y)) {
            return atLine(yLine, "value out of range");
        }
        for (float v : {s.x, s.y}) {
            if (v == MissingValue) {
                continue;
            }
            if (!file.dataMin || v < *file.dataMin) {
                file.dataMin = v;
            }
            if (!file.dataMax || v > *file.dataMax) {
                file.dataMax = v;
            }
        }
        if (s.complete()) {
            ++file.completeCount;
        }
        file.records.push_back(s);
    }
    return file;
}

Result<DataFile> readDataFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return Failure{"cannot open " + path + ": it is a folder"};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Failure{"cannot open " + path};
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        return Failure{"cannot read " + path};
    }
    return parseDataFile(bytes.str());
}

} // namespace quendrix
