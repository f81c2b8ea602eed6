#include "export/OutputFile.h"

#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace quendrix {
namespace {

Failure cannotWrite(const std::string& path, const std::string& why) {
    return Failure{"cannot write " + path + ": " + why};
}

Failure cannotWrite(const std::string& path) {
    return cannotWrite(path, std::strerror(errno));
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

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

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    /// Closes now, reporting what close reports (a late write error on some file systems).
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

  private:
    int fd_;
};

// The temporary name the process has on disk, for the signal handler to remove. Only
// async-signal-safe calls may touch it there, so it is a plain buffer.
char temporaryName[PATH_MAX];
volatile sig_atomic_t temporaryNameSet = 0;
constexpr std::array<int, 3> CleanupSignals{SIGINT, SIGTERM, SIGHUP};
std::array<struct sigaction, 3> previousActions{};

void removeTemporaryAndRaise(int signal) {
    if (temporaryNameSet) {
        ::unlink(temporaryName);
    }
    for (size_t k = 0; k < CleanupSignals.size(); ++k) {
        if (CleanupSignals[k] == signal) {
            ::sigaction(signal, &previousActions[k], nullptr);
        }
    }
    ::raise(signal);
}

/// A temporary file name beside the target: removed when the save fails, when the process is
/// interrupted or terminated meanwhile, and kept only once it has been renamed over the target.
class TemporaryName {
  public:
    TemporaryName() = default;
    ~TemporaryName() {
        if (temporaryNameSet) {
            ::unlink(temporaryName);
        }
        forget();
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;

    /// Creates a new empty file; the descriptor or -1.
    int create(const std::string& target) {
        if (!hold(target + ".XXXXXX")) {
            return -1;
        }
        const int fd = ::mkostemp(temporaryName, O_CLOEXEC);
        temporaryNameSet = fd >= 0;
        return fd;
    }

    /// Gives the unnamed file behind `fd` a temporary name.
    bool link(int fd, const std::string& target) {
        const std::string source = "/proc/self/fd/" + std::to_string(fd);
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (!hold(target + "." + std::to_string(random() % 1000000))) {
                return false;
            }
            if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, temporaryName, AT_SYMLINK_FOLLOW) ==
                0) {
                temporaryNameSet = 1;
                return true;
            }
            if (errno != EEXIST) {
                return false;
            }
        }
        return false;
    }

    bool renameOver(const std::string& target) {
        if (::rename(temporaryName, target.c_str()) != 0) {
            return false;
        }
        forget();
        return true;
    }

  private:
    bool hold(const std::string& name) {
        if (name.size() >= sizeof temporaryName) {
            errno = ENAMETOOLONG;
            return false;
        }
        temporaryNameSet = 0;
        std::memcpy(temporaryName, name.c_str(), name.size() + 1);
        if (!installed_) {
            struct sigaction action {};
            action.sa_handler = removeTemporaryAndRaise;
            sigemptyset(&action.sa_mask);
            for (size_t k = 0; k < CleanupSignals.size(); ++k) {
                ::sigaction(CleanupSignals[k], &action, &previousActions[k]);
            }
            installed_ = true;
        }
        return true;
    }

    void forget() {
        temporaryNameSet = 0;
        if (installed_) {
            for (size_t k = 0; k < CleanupSignals.size(); ++k) {
                ::sigaction(CleanupSignals[k], &previousActions[k], nullptr);
            }
            installed_ = false;
        }
    }

    bool installed_ = false;
};

/// Follows symbolic links to the file they name, also when it does not exist yet.
Result<std::string> linkTarget(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                return current;
            }
            return cannotWrite(path);
        }
        if (!S_ISLNK(info.st_mode)) {
            return current;
        }
        std::array<char, PATH_MAX> text{};
        const ssize_t n = ::readlink(current.c_str(), text.data(), text.size());
        if (n < 0 || size_t(n) == text.size()) {
            return cannotWrite(path);
        }
        std::string next(text.data(), size_t(n));
        current = next.starts_with('/') ? next : folderOf(current) + "/" + next;
    }
    errno = ELOOP;
    return cannotWrite(path);
}

Status produceInto(int fd, const OutputProducer& produce, const std::string& path) {
    errno = 0;
    OutputSink sink(fd);
    if (!produce(sink) || !sink.flush()) {
        return errno != 0 ? cannotWrite(path) : cannotWrite(path, "the content was not complete");
    }
    return {};
}

/// Devices, FIFOs and the like are written as they are: renaming a file over them would
/// destroy them.
Status writeThrough(const std::string& path, const struct stat& info,
                    const OutputProducer& produce) {
    if (S_ISSOCK(info.st_mode)) {
        return cannotWrite(path, "it is a socket");
    }
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        return cannotWrite(path);
    }
    if (Status st = produceInto(fd.get(), produce, path); !st) {
        return st;
    }
    return fd.close() ? Status{} : cannotWrite(path);
}

Failure cannotCreateIn(const std::string& path, const std::string& folder) {
    switch (errno) {
    case EACCES:
    case EPERM:
        return cannotWrite(path, "the folder " + folder + " is not writable");
    case EROFS:
        return cannotWrite(path, "the file system is read-only");
    case ENOENT: {
        // Kernel folders such as /proc exist but answer so too.
        struct stat info {};
        const bool exists = ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        return cannotWrite(path, "the folder " + folder +
                                     (exists ? " does not take new files" : " does not exist"));
    }
    default:
        return cannotWrite(path);
    }
}

bool canUseUnnamedFiles() {
    // Linking an unnamed file in goes through its /proc entry.
    return ::access("/proc/self/fd", X_OK) == 0;
}

Status replaceRegularFile(const std::string& path, const std::string& target,
                          const struct stat* existing, const OutputProducer& produce,
                          OutputFileOptions options) {
    const std::string folder = folderOf(target);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = existing ? (existing->st_mode & 07777) : (0666 & ~mask);

    TemporaryName temporary;
    int raw = -1;
    bool unnamed = false;
    if (options.unnamedTemporary && canUseUnnamedFiles()) {
        raw = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        unnamed = raw >= 0;
        // File systems without unnamed files say so in one of these ways.
        if (!unnamed && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return cannotCreateIn(path, folder);
        }
    }
    if (!unnamed) {
        raw = temporary.create(target);
        if (raw < 0) {
            return cannotCreateIn(path, folder);
        }
    }
    FileDescriptor fd(raw);
    if (::fchmod(fd.get(), mode) != 0) {
        return cannotWrite(path);
    }
    if (existing && (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid())) {
        // Keep the owner where the system lets us; a failure only means the new file is ours.
        [[maybe_unused]] int kept = ::fchown(fd.get(), existing->st_uid, existing->st_gid);
    }
    if (Status st = produceInto(fd.get(), produce, path); !st) {
        return st;
    }
    if (::fsync(fd.get()) != 0) {
        return cannotWrite(path);
    }

    bool placed = false;
    if (unnamed) {
        const std::string source = "/proc/self/fd/" + std::to_string(fd.get());
        // A new file appears complete at once; an existing one is renamed over below.
        placed = !existing && ::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(),
                                       AT_SYMLINK_FOLLOW) == 0;
        if (!placed && !temporary.link(fd.get(), target)) {
            return cannotWrite(path);
        }
    }
    if (!fd.close()) {
        return cannotWrite(path);
    }
    if (!placed && !temporary.renameOver(target)) {
        return cannotWrite(path);
    }
    // The rename is durable only once the folder is on disk too; some file systems cannot sync
    // a folder, which is no reason to call the save failed.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return {};
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

Status writeOutputFile(const std::string& path, const OutputProducer& produce,
                       OutputFileOptions options) {
    if (path.empty()) {
        return Failure{"cannot write: no file name given"};
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return cannotWrite(path);
        }
        auto target = linkTarget(path);
        if (!target) {
            return Failure{target.reason()};
        }
        return replaceRegularFile(path, target.value(), nullptr, produce, options);
    }
    if (S_ISDIR(info.st_mode)) {
        return cannotWrite(path, "it is a folder");
    }
    if (!S_ISREG(info.st_mode)) {
        return writeThrough(path, info, produce);
    }
    // Replace the file the links lead to, so that a link stays a link.
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) {
        return cannotWrite(path);
    }
    const std::string target(real);
    std::free(real);
    // Renaming over a file needs only the folder's permission; the file's own must count too.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return cannotWrite(path, errno == EROFS ? "the file system is read-only"
                                                : "the file is read-only");
    }
    return replaceRegularFile(path, target, &info, produce, options);
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
