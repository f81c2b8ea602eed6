#pragma once

// Internal to the file readers: their fields, read from a byte source.

#include "data/ByteSource.h"
#include "data/DataFile.h"

#include "base/PlainDecimal.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quendrix {

/// Longest field the reader keeps; a longer one is no column name or number but a file without
/// separators, and keeping it would let one field take any amount of memory.
inline constexpr size_t MaxFieldLength = 1 << 20;

/// Field reader over a byte stream. The separator (a comma unless the header line says
/// otherwise) and a line end (CR LF, lone CR or lone LF) are equivalent, so records need not
/// follow lines.
class FieldScanner {
  public:
    FieldScanner(ByteSource& source, std::int64_t firstLine);

    std::int64_t line() const { return line_; }
    const FileConvention& convention() const { return convention_; }
    /// Why the last read stopped within a field (too long, a quote not closed), or empty.
    const std::string& fault() const { return fault_; }
    /// The line the faulty field starts on.
    std::int64_t faultLine() const { return faultLine_; }
    /// Whether the last field read ended at a line end (or at the end of the file) rather than
    /// at the separator.
    bool endedLine() const { return endedLine_; }

    /// Tells the encoding from the first bytes of the input (up to ByteSource::ProbeSize) and
    /// skips a UTF-8 byte-order mark, then the separator from the header line; false for text
    /// in UTF-16 or UTF-32.
    bool startText();

    /// The end of the file is what is left when it holds only blanks (tabs too, unless they
    /// separate the fields).
    bool atEnd() {
        skipBlanks();
        return !fill();
    }

    /// Reads one field; false when the file ends before the field starts or the field is
    /// longer than any field may be.
    bool next(std::string& field);

    /// Reads one field like next(std::string&), but where the field and its separator lie
    /// within the current block it is handed out in place, without a copy; otherwise it is
    /// copied into `storage`. The view is valid until the next read.
    bool next(std::string_view& field, std::string& storage) {
        skipBlanks();
        if (!fill()) {
            return false;
        }
        if (*cur_ != '"') {
            // Past the longest field the copying way reports the field as too long.
            const char* limit =
                end_ - cur_ > std::ptrdiff_t(MaxFieldLength) ? cur_ + MaxFieldLength + 1 : end_;
            const char* end = cur_;
            while (end != limit && !isSeparator(*end)) {
                ++end;
            }
            // A separator that ends the block may be a CR whose LF is in the next block, and
            // looking for it would replace the block under the view.
            if (end != limit && end_ - end > 1) {
                const char* last = end;
                while (last != cur_ && isBlank(last[-1])) {
                    --last;
                }
                field = {cur_, size_t(last - cur_)};
                cur_ = end;
                consumeSeparator();
                return true;
            }
        }
        if (!next(storage)) {
            return false;
        }
        field = storage;
        return true;
    }

    /// Reads the common record at once: two plain decimals, each ending at its separator,
    /// within the current block. False, consuming nothing, for anything else, which the field
    /// by field way then reads to the same values.
    bool nextPlainRecord(double& x, double& y) {
        int lines = 0;
        const char* p = readPlainDecimal(cur_, end_, x);
        if (p == nullptr || !plainSeparator(p, lines)) {
            return false;
        }
        const bool xEndedLine = lines != 0;
        p = readPlainDecimal(p, end_, y);
        if (p == nullptr || !plainSeparator(p, lines)) {
            return false;
        }
        endedLine_ = lines > int(xEndedLine);
        line_ += lines;
        cur_ = p;
        return true;
    }

  private:
    bool isSeparator(char c) const { return separators_[static_cast<unsigned char>(c)]; }
    /// A tab is a blank unless it separates the fields.
    bool isBlank(char c) const { return c == ' ' || (c == '\t' && separator_ != '\t'); }

    void useSeparator(char separator);

    /// Looks ahead through the header line for its separator, keeping what it looked at to be
    /// read as the fields.
    void readConvention();

    void applyConvention(const FileConvention& convention);

    bool refuse(std::int64_t line, std::string what);

    /// A separator at `p` within the block (a CR LF whole), counted in `lines` when it ends a
    /// line.
    bool plainSeparator(const char*& p, int& lines) const {
        if (p == end_) {
            return false;
        }
        const char c = *p;
        if (c == separator_) {
            ++p;
            return true;
        }
        if (c == '\n' || (c == '\r' && end_ - p > 1)) {
            p += c == '\r' && p[1] == '\n' ? 2 : 1;
            ++lines;
            return true;
        }
        return false;
    }

    /// True when a byte is at hand, fetching the next block when the current one is used up.
    bool fill() {
        while (cur_ == end_) {
            std::string_view block = source_.next();
            if (block.empty()) {
                return false;
            }
            cur_ = block.data();
            end_ = block.data() + block.size();
        }
        return true;
    }

    bool keep(std::string& field, char c, std::int64_t fieldLine) {
        if (field.size() == MaxFieldLength) {
            return refuse(fieldLine,
                          "a field longer than " + std::to_string(MaxFieldLength) + " characters");
        }
        field.push_back(c);
        return true;
    }

    void skipBlanks() {
        while (fill() && isBlank(*cur_)) {
            ++cur_;
        }
    }

    void consumeSeparator() {
        endedLine_ = true;
        if (!fill()) {
            return;
        }
        const char c = *cur_++;
        endedLine_ = c != separator_;
        if (c == '\r') {
            if (fill() && *cur_ == '\n') {
                ++cur_;
            }
            ++line_;
        } else if (c == '\n') {
            ++line_;
        }
    }

    ByteSource& source_;
    const char* cur_ = nullptr;
    const char* end_ = nullptr;
    std::int64_t line_;
    char separator_ = ',';
    std::array<bool, 256> separators_{};
    FileConvention convention_;
    /// The header line's bytes where looking for its separator went past the first block.
    std::string held_;
    std::string fault_;
    std::int64_t faultLine_ = 0;
    bool endedLine_ = false;
};

} // namespace quendrix
