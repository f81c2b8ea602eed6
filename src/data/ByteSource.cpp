#include "data/ByteSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quendrix {

FileSource::FileSource(int fd, std::string path) : fd_(fd), path_(std::move(path)) {
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) {
        size_ = size_t(info.st_size);
    }
}

FileSource::~FileSource() {
    ::close(fd_);
}

std::string_view FileSource::next() {
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

Result<int> openForReading(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return Failure{"cannot open " + path + ": " + std::strerror(errno)};
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return Failure{"cannot open " + path + ": it is a folder"};
    }
    return fd;
}

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

} // namespace quendrix
