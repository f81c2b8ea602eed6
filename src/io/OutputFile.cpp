#include "io/OutputFile.h"

#include "io/OutputSet.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quendrix {
namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(size_t(n));
    }
    return true;
}

} // namespace

bool OutputSink::write(std::string_view bytes) {
    if (failed_) {
        return false;
    }
    constexpr size_t BlockSize = 64 * 1024;
    if (buffer_.size() + bytes.size() > BlockSize) {
        if (!flush()) {
            return false;
        }
        if (bytes.size() >= BlockSize) {
            failed_ = !writeAll(fd_, bytes);
            return !failed_;
        }
    }
    buffer_.append(bytes);
    return true;
}

bool OutputSink::flush() {
    if (!failed_ && !buffer_.empty()) {
        failed_ = !writeAll(fd_, buffer_);
        buffer_.clear();
    }
    return !failed_;
}

void OutputSink::fail(std::string reason) {
    failed_ = true;
    reason_ = std::move(reason);
}

Status writeOutputFile(const std::string& path, const OutputProducer& produce,
                       OutputFileOptions options) {
    OutputSet set(options);
    auto index = set.add(path, path, path);
    if (!index) {
        return index.failure();
    }
    if (Status st = set.stage(index.value(), produce); !st) {
        return st;
    }
    return set.commit();
}

Status writeOutputFile(const std::string& path, std::string_view bytes, OutputFileOptions options) {
    return writeOutputFile(
        path, [bytes](OutputSink& sink) { return sink.write(bytes); }, options);
}

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{info.st_dev, info.st_ino};
}

} // namespace quendrix
