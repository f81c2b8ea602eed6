#include "data/DataFileReader.h"

#include "base/NumberText.h"
#include "base/PlainDecimal.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quendrix {
namespace {

/// Where the reader's bytes come from, block by block. The first block holds at least
/// `ProbeSize` bytes unless the whole input is shorter, so the encoding can be told from it.
class ByteSource {
  public:
    static constexpr size_t ProbeSize = 64;

    virtual ~ByteSource() = default;
    /// The next block; an empty one at the end of the input or after a read error.
    virtual std::string_view next() = 0;
    /// Why reading stopped early, or empty.
    virtual std::string error() const { return {}; }
    /// How many bytes the input is expected to hold, where that is known (0 otherwise).
    virtual size_t sizeHint() const { return 0; }
};

/// Bytes in memory, handed out whole or in blocks of a given size, as a file or a pipe would
/// hand them (the first block long enough for the encoding check).
class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes, size_t blockSize = 0)
        : bytes_(bytes), size_(bytes.size()), blockSize_(blockSize) {}
    std::string_view next() override {
        size_t n = bytes_.size();
        if (blockSize_ != 0) {
            n = std::min(n, first_ ? std::max(blockSize_, ProbeSize) : blockSize_);
        }
        first_ = false;
        const std::string_view block = bytes_.substr(0, n);
        bytes_.remove_prefix(n);
        return block;
    }
    size_t sizeHint() const override { return size_; }

  private:
    std::string_view bytes_;
    size_t size_;
    size_t blockSize_;
    bool first_ = true;
};

/// Reads a file descriptor in fixed blocks, so memory stays bounded whatever the file's size.
class FileSource : public ByteSource {
  public:
    FileSource(int fd, std::string path) : fd_(fd), path_(std::move(path)) {
        struct stat info {};
        if (::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) {
            size_ = size_t(info.st_size);
        }
    }
    ~FileSource() override { ::close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::string_view next() override {
        size_t filled = 0;
        // A pipe hands over as little as it has; the first block must still be long enough to
        // probe the encoding.
        const size_t wanted = first_ ? ByteSource::ProbeSize : 1;
        first_ = false;
        while (filled < wanted) {
            ssize_t n = ::read(fd_, buffer_.data() + filled, buffer_.size() - filled);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                error_ = "cannot read " + path_ + ": " + std::strerror(errno);
                break;
            }
            if (n == 0) {
                break;
            }
            filled += size_t(n);
        }
        return {buffer_.data(), filled};
    }
    std::string error() const override { return error_; }
    size_t sizeHint() const override { return size_; }

  private:
    int fd_;
    size_t size_ = 0;
    std::string path_;
    std::array<char, 64 * 1024> buffer_;
    bool first_ = true;
    std::string error_;
};

/// How many bytes of a UTF-8 byte-order mark to skip, or no value for text in UTF-16 or
/// UTF-32, told by its byte-order mark or by NUL bytes filling every other place.
std::optional<size_t> utf8Prefix(std::string_view head) {
    auto startsWith = [head](std::string_view bom) { return head.starts_with(bom); };
    using namespace std::string_view_literals;
    if (startsWith("\xEF\xBB\xBF"sv)) {
        return 3;
    }
    if (startsWith("\xFF\xFE"sv) || startsWith("\xFE\xFF"sv) || startsWith("\0\0\xFE\xFF"sv)) {
        return std::nullopt;
    }
    const size_t pairs = head.size() / 2;
    size_t nulEven = 0;
    size_t nulOdd = 0;
    for (size_t k = 0; k < pairs; ++k) {
        nulEven += head[2 * k] == '\0';
        nulOdd += head[2 * k + 1] == '\0';
    }
    // ASCII text in UTF-16 has a NUL in every pair at the same place; allow a few other
    // characters among them.
    if (pairs > 0 && (nulEven * 4 >= pairs * 3 || nulOdd * 4 >= pairs * 3)) {
        return std::nullopt;
    }
    return 0;
}

/// Why a file that is not text is refused.
const char* const NotText = "not a text file in UTF-8 or ASCII";

/// Longest field the reader keeps; a longer one is no column name or number but a file without
/// separators, and keeping it would let one field take any amount of memory.
constexpr size_t MaxFieldLength = 1 << 20;

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

/// Field reader over a byte stream. The separator (a comma unless the header line says
/// otherwise) and a line end (CR LF, lone CR or lone LF) are equivalent, so records need not
/// follow lines.
class FieldScanner {
  public:
    FieldScanner(ByteSource& source, std::int64_t firstLine) : source_(source), line_(firstLine) {
        useSeparator(',');
    }

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
    bool startText() {
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

    /// The end of the file is what is left when it holds only blanks (tabs too, unless they
    /// separate the fields).
    bool atEnd() {
        skipBlanks();
        return !fill();
    }

    /// Reads one field; false when the file ends before the field starts or the field is
    /// longer than any field may be.
    bool next(std::string& field) {
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

    void useSeparator(char separator) {
        separators_[static_cast<unsigned char>(separator_)] = false;
        separator_ = separator;
        separators_[static_cast<unsigned char>(separator)] = true;
        separators_['\r'] = separators_['\n'] = true;
    }

    /// Looks ahead through the header line for its separator, keeping what it looked at to be
    /// read as the fields.
    void readConvention() {
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

    void applyConvention(const FileConvention& convention) {
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

    bool refuse(std::int64_t line, std::string what) {
        faultLine_ = line;
        fault_ = std::move(what);
        return false;
    }

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

Failure atLine(std::int64_t line, const std::string& what) {
    return Failure{"line " + std::to_string(line) + ": " + what};
}

/// The leading-number rule on a field, a decimal comma read as the point.
bool readFieldNumber(std::string_view text, bool decimalComma, double& value) {
    if (decimalComma && text.find(',') != std::string_view::npos) {
        std::string pointed(text);
        std::replace(pointed.begin(), pointed.end(), ',', '.');
        return readLeadingNumber(pointed, value);
    }
    return readLeadingNumber(text, value);
}

/// Counts a field that held no number, keeping the line of the first, for the warning.
template <class File> void countFieldWithoutNumber(File& file, std::int64_t line) {
    if (file.fieldsWithoutNumber++ == 0) {
        file.firstFieldWithoutNumberLine = line;
    }
}

/// A data field read with the leading-number rule (`hasNumber` and `number`, read from the
/// field's text); a field without any number reads as 0 and is counted, so the user hears of
/// it.
float fieldValue(bool hasNumber, double number, std::int64_t line, DataFile& file) {
    if (!hasNumber) {
        countFieldWithoutNumber(file, line);
        return 0;
    }
    return float(number);
}

Result<DataFile> parse(ByteSource& source, std::int64_t firstLine) {
    DataFile file;
    FieldScanner scanner(source, firstLine);
    if (!scanner.startText()) {
        return Failure{NotText};
    }
    file.convention = scanner.convention();
    const bool decimalComma = file.convention.decimalComma;

    // Fields are read in place where they can be; X is read as a number before Y is read, as
    // reading Y may replace the block X lies in.
    std::string firstStorage;
    std::string secondStorage;
    bool header = true;
    auto refusal = [&](std::int64_t line, const std::string& what) -> Result<DataFile> {
        if (std::string error = source.error(); !error.empty()) {
            return Failure{error};
        }
        if (!scanner.fault().empty()) {
            return atLine(scanner.faultLine(), scanner.fault());
        }
        return atLine(line, what);
    };
    // Every record takes at least four bytes ("1,2" and a separator): room for as many as the
    // input can hold, up to the limit, so the records are never moved while they are read.
    file.records.reserve(std::min(size_t(MaxRecords), source.sizeHint() / 4));
    // The range of the values that are no marker, kept here and stored once at the end.
    while (!scanner.atEnd()) {
        const bool full = !header && int(file.records.size()) == MaxRecords;
        const std::int64_t xLine = scanner.line();
        // A plain decimal stays below 2^53, so it is finite as a single too.
        if (double x, y; !header && !full && scanner.nextPlainRecord(x, y)) {
            file.records.push_back({float(x), float(y)});
            continue;
        }
        std::string_view first;
        const bool read = scanner.next(first, firstStorage);
        // Only a record is one too many: a blank last line is refused as at any other count.
        if (full && !(read && first.empty())) {
            return atLine(xLine, "more than " + std::to_string(MaxRecords) + " records");
        }
        if (!read) {
            return refusal(xLine, "the file ends in the middle of a record");
        }
        // A blank last line is an empty X value, not a record cut short.
        if (!header && first.empty()) {
            return refusal(xLine, "empty X value");
        }
        std::string xName;
        double xNumber = 0;
        bool xHasNumber = false;
        if (header) {
            xName = first;
        } else {
            xHasNumber = readFieldNumber(first, decimalComma, xNumber);
        }
        const std::int64_t yLine = scanner.line();
        std::string_view second;
        if (!scanner.next(second, secondStorage)) {
            return refusal(xLine, "the file ends in the middle of a record");
        }
        if (header) {
            file.xName = std::move(xName);
            file.yName = second;
            header = false;
            continue;
        }
        if (second.empty()) {
            return refusal(yLine, "empty Y value");
        }
        Sample s;
        s.x = fieldValue(xHasNumber, xNumber, xLine, file);
        if (!std::isfinite(s.x)) {
            return atLine(xLine, "value out of range");
        }
        double yNumber = 0;
        const bool yHasNumber = readFieldNumber(second, decimalComma, yNumber);
        s.y = fieldValue(yHasNumber, yNumber, yLine, file);
        if (!std::isfinite(s.y)) {
            return atLine(yLine, "value out of range");
        }
        file.records.push_back(s);
    }
    if (std::string error = source.error(); !error.empty()) {
        return Failure{error};
    }
    recount(file);
    return file;
}

/// A measured value: none for an empty field or a marker; an infinite value refuses the file.
Result<std::optional<float>> measuredValue(const std::string& text, std::int64_t line,
                                           MeasurementFile& file) {
    if (text.empty()) {
        return std::optional<float>{};
    }
    double value = 0;
    if (!readFieldNumber(text, file.convention.decimalComma, value)) {
        countFieldWithoutNumber(file, line);
    }
    const float v = float(value);
    if (!std::isfinite(v)) {
        return atLine(line, "value out of range");
    }
    return v == MissingValue ? std::optional<float>{} : std::optional<float>{v};
}

/// Hands each record to `each` as it is read, keeping none; `file` gets the names and the
/// counters. A false from `each` stops the reading without a fault.
Status streamMeasurements(ByteSource& source, std::int64_t firstLine, MeasurementFile& file,
                          const MeasurementSink& each) {
    FieldScanner scanner(source, firstLine);
    if (!scanner.startText()) {
        return Failure{NotText};
    }
    file.convention = scanner.convention();
    // Reading stops short only at a read error or a faulty field.
    auto refusal = [&]() -> Status {
        if (std::string error = source.error(); !error.empty()) {
            return Failure{error};
        }
        return atLine(scanner.faultLine(), scanner.fault());
    };

    std::string x;
    std::string y;
    bool header = true;
    bool oneColumn = false;
    while (!scanner.atEnd()) {
        const std::int64_t xLine = scanner.line();
        if (!scanner.next(x)) {
            return refusal();
        }
        if (header && scanner.endedLine()) {
            // A header of one name: a column of X values, one a line.
            file.xName = x;
            header = false;
            oneColumn = true;
            continue;
        }
        if (!header && x.empty() && scanner.endedLine()) {
            continue; // a blank line is no record
        }
        const std::int64_t yLine = scanner.line();
        bool hasY = false;
        if (!oneColumn && !scanner.endedLine()) {
            hasY = scanner.next(y);
            if (!hasY && !scanner.fault().empty()) {
                return refusal();
            }
        }
        if (header) {
            file.xName = x;
            file.yName = hasY ? y : std::string();
            header = false;
            continue;
        }
        Measurement m;
        m.line = xLine;
        auto xValue = measuredValue(x, xLine, file);
        if (!xValue) {
            return Failure{xValue.reason()};
        }
        m.x = xValue.value();
        if (hasY) {
            auto yValue = measuredValue(y, yLine, file);
            if (!yValue) {
                return Failure{yValue.reason()};
            }
            m.y = yValue.value();
        }
        if (!each(m)) {
            return {};
        }
    }
    if (std::string error = source.error(); !error.empty()) {
        return Failure{error};
    }
    return {};
}

Result<MeasurementFile> parseMeasurements(ByteSource& source, std::int64_t firstLine) {
    MeasurementFile file;
    Status st = streamMeasurements(source, firstLine, file, [&file](const Measurement& m) {
        file.records.push_back(m);
        return true;
    });
    if (!st) {
        return Failure{st.reason()};
    }
    return file;
}

/// Opens `path` and hands its blocks to `parser`; a folder is refused before any read.
template <class Parsed, class Parser> Parsed readFile(const std::string& path, Parser parser) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return Failure{"cannot open " + path + ": " + std::strerror(errno)};
    }
    FileSource source(fd, path);
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        return Failure{"cannot open " + path + ": it is a folder"};
    }
    return parser(source);
}

} // namespace

Result<MeasurementFile> parseMeasurementFile(std::string_view bytes, std::int64_t firstLine) {
    MemorySource source(bytes);
    return parseMeasurements(source, firstLine);
}

Result<MeasurementFile> readMeasurementFile(const std::string& path) {
    return readFile<Result<MeasurementFile>>(
        path, [](ByteSource& source) { return parseMeasurements(source, 1); });
}

Status streamMeasurementFile(const std::string& path, MeasurementFile& file,
                             const MeasurementSink& each) {
    return readFile<Status>(
        path, [&](ByteSource& source) { return streamMeasurements(source, 1, file, each); });
}

Result<DataFile> parseDataFile(std::string_view bytes, size_t blockSize, std::int64_t firstLine) {
    MemorySource source(bytes, blockSize);
    return parse(source, firstLine);
}

Result<DataFile> readDataFile(const std::string& path) {
    return readFile<Result<DataFile>>(path, [](ByteSource& source) { return parse(source, 1); });
}

void recount(DataFile& file) {
    file.completeCount = 0;
    file.dataMin.reset();
    file.dataMax.reset();
    for (const Sample& s : file.records) {
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
        file.completeCount += s.complete() ? 1 : 0;
    }
}

std::string conventionNote(const FileConvention& convention) {
    if (convention == FileConvention{}) {
        return {};
    }
    std::string note = convention.separator == FieldSeparator::Semicolon
                           ? "read as semicolon-separated"
                       : convention.separator == FieldSeparator::Tab ? "read as tab-separated"
                                                                     : "read as comma-separated";
    if (convention.decimalComma) {
        note += ", decimal comma";
    }
    return note;
}

std::string fieldsWithoutNumberWarning(const std::string& fileLabel, int count,
                                       std::int64_t firstLine) {
    if (count == 0) {
        return {};
    }
    return fileLabel + ": " + std::to_string(count) +
           (count == 1 ? " field without a number was" : " fields without a number were") +
           " read as 0 (first on line " + std::to_string(firstLine) + ")";
}

std::string importWarning(int f, const DataFile& file) {
    return fieldsWithoutNumberWarning("File " + std::to_string(f + 1), file.fieldsWithoutNumber,
                                      file.firstFieldWithoutNumberLine);
}

} // namespace quendrix
