#include "export/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quendrix {
namespace {

Failure systemFailure(const std::string& what, const std::string& path) {
    return Failure{what + " " + path + ": " + std::strerror(errno)};
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
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

Status writeFileAtomically(const std::string& path, std::string_view bytes) {
    std::string temp = path + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return systemFailure("cannot write", path);
    }
    // mkstemp creates the file private; give it the mode a new file would get.
    mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat existing {};
    mode_t mode =
        ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : (0666 & ~mask);
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
        return {};
    }
    if (ok) {
        savedErrno = errno;
    }
    ::unlink(temp.c_str());
    errno = savedErrno;
    return systemFailure("cannot write", path);
}

} // namespace quendrix
