#pragma once

// Internal to the file readers: where their bytes come from, and whether those bytes are text
// the readers can take.

#include "base/Result.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quendrix {

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
    /// Takes over `fd`, which it closes; `path` names the file in read errors.
    FileSource(int fd, std::string path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::string_view next() override;
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

/// Opens `path` for a FileSource: the descriptor, or why the file cannot be read; a folder is
/// refused before any read.
Result<int> openForReading(const std::string& path);

/// Opens `path` and hands its blocks to `parser`.
template <class Parsed, class Parser> Parsed readFile(const std::string& path, Parser parser) {
    const Result<int> fd = openForReading(path);
    if (!fd) {
        return fd.failure();
    }
    FileSource source(fd.value(), path);
    return parser(source);
}

/// How many bytes of a UTF-8 byte-order mark to skip, or no value for text in UTF-16 or
/// UTF-32, told by its byte-order mark or by NUL bytes filling every other place.
std::optional<size_t> utf8Prefix(std::string_view head);

/// Why a file that is not text is refused.
inline constexpr char NotText[] = "not a text file in UTF-8 or ASCII";

} // namespace quendrix
