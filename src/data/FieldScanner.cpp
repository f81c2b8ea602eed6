#include "data/FieldScanner.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace quendrix {
namespace {

/// How far the header line is looked at for its separator: room for two names of the longest
/// length, so the look ahead holds no more than the fields themselves would.
constexpr size_t MaxHeaderLookahead = 2 * MaxFieldLength + 2;

/// Tells the convention from the start of the header line, fed in pieces as it comes: a comma
/// decides at once, a line end or the end of the look ahead decides on what came before.
/// Separators inside quotes are part of a name ("Depth, m";"Age, ka" is a semicolon file); as
/// for the fields, only a quote that starts one opens it (Size 5";Count is not quoted).
class HeaderLine {
  public:
    /// Looks at [p, end); true once the convention is decided.
    bool feed(const char* p, const char* end) {
        for (; p != end && !decided_; ++p) {
            if (++seen_ == MaxHeaderLookahead) {
                decided_ = true;
            }
            const char c = *p;
            if (quoted_) {
                quoted_ = c != '"';
                continue;
            }
            if (c == ',') {
                comma_ = decided_ = true;
            } else if (c == '\r' || c == '\n') {
                decided_ = true;
            }
            quoted_ = c == '"' && fieldStart_;
            semicolon_ = semicolon_ || c == ';';
            tab_ = tab_ || c == '\t';
            fieldStart_ = c == ';' || c == '\t' || (fieldStart_ && c == ' ');
        }
        return decided_;
    }

    FileConvention convention() const {
        if (comma_ || !(semicolon_ || tab_)) {
            return {};
        }
        // A tab beside semicolons is a blank, as it is in a comma file.
        if (semicolon_) {
            return {FieldSeparator::Semicolon, true};
        }
        return {FieldSeparator::Tab, false};
    }

  private:
    size_t seen_ = 0;
    bool decided_ = false;
    bool quoted_ = false;
    bool fieldStart_ = true;
    bool comma_ = false;
    bool semicolon_ = false;
    bool tab_ = false;
};

} // namespace

FieldScanner::FieldScanner(ByteSource& source, std::int64_t firstLine)
    : source_(source), line_(firstLine) {
    useSeparator(',');
}

bool FieldScanner::startText() {
    fill();
    const std::optional<size_t> prefix =
        utf8Prefix({cur_, std::min(size_t(end_ - cur_), ByteSource::ProbeSize)});
    if (!prefix) {
        return false;
    }
    cur_ += *prefix;
    readConvention();
    return true;
}

bool FieldScanner::next(std::string& field) {
    field.clear();
    skipBlanks();
    if (!fill()) {
        return false;
    }
    const std::int64_t fieldLine = line_;
    if (*cur_ == '"') {
        ++cur_;
        bool afterCR = false;
        while (fill() && *cur_ != '"') {
            // A line end inside a quoted field still counts, so later messages name the
            // right line.
            const char c = *cur_++;
            if (c == '\r' || (c == '\n' && !afterCR)) {
                ++line_;
            }
            afterCR = c == '\r';
            if (!keep(field, c, fieldLine)) {
                return false;
            }
        }
        // Taking the rest of the file as one name or number would lose it without a word.
        if (!fill()) {
            return refuse(fieldLine, "a quoted field is not closed");
        }
        ++cur_; // the closing quote
        // Whatever follows the closing quote up to the separator is dropped.
        while (fill() && !isSeparator(*cur_)) {
            ++cur_;
        }
    } else {
        while (fill() && !isSeparator(*cur_)) {
            if (!keep(field, *cur_++, fieldLine)) {
                return false;
            }
        }
        while (!field.empty() && isBlank(field.back())) {
            field.pop_back();
        }
    }
    consumeSeparator();
    return true;
}

void FieldScanner::useSeparator(char separator) {
    separators_[static_cast<unsigned char>(separator_)] = false;
    separator_ = separator;
    separators_[static_cast<unsigned char>(separator)] = true;
    separators_['\r'] = separators_['\n'] = true;
}

void FieldScanner::readConvention() {
    HeaderLine header;
    if (!fill() || header.feed(cur_, end_)) {
        applyConvention(header.convention());
        return;
    }
    held_.assign(cur_, end_);
    for (std::string_view block = source_.next(); !block.empty(); block = source_.next()) {
        held_.append(block);
        if (header.feed(block.data(), block.data() + block.size())) {
            break;
        }
    }
    cur_ = held_.data();
    end_ = held_.data() + held_.size();
    applyConvention(header.convention());
}

void FieldScanner::applyConvention(const FileConvention& convention) {
    convention_ = convention;
    switch (convention.separator) {
    case FieldSeparator::Comma:
        break;
    case FieldSeparator::Semicolon:
        useSeparator(';');
        break;
    case FieldSeparator::Tab:
        useSeparator('\t');
        break;
    }
}

bool FieldScanner::refuse(std::int64_t line, std::string what) {
    faultLine_ = line;
    fault_ = std::move(what);
    return false;
}

} // namespace quendrix
