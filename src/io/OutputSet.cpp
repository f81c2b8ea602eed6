#include "io/OutputSet.h"

#include "io/TemporaryNames.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string realPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) {
        return {};
    }
    std::string out(real);
    std::free(real);
    return out;
}

bool closeReporting(int fd) {
    return ::close(fd) == 0;
}

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
        if (!sink.reason().empty()) {
            return Failure{sink.reason()};
        }
        return errno != 0 ? cannotWrite(path) : cannotWrite(path, "the content was not complete");
    }
    return {};
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

/// Why `folder` cannot take a new file, checked before anything is written.
Status folderTakesFiles(const std::string& path, const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return cannotCreateIn(path, folder);
    }
    if (!S_ISDIR(info.st_mode)) {
        return cannotWrite(path, folder + " is not a folder");
    }
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return cannotCreateIn(path, folder);
    }
    return {};
}

bool canUseUnnamedFiles() {
    // Linking an unnamed file in goes through its /proc entry.
    return ::access("/proc/self/fd", X_OK) == 0;
}

} // namespace

struct OutputSet::Target {
    enum class Kind { New, Regular, Through };

    std::string name;
    std::string role;
    std::string path;   ///< as given
    std::string target; ///< where the links lead: the file replaced or made
    std::string folder;
    Kind kind = Kind::New;
    struct stat existing {};
    std::optional<FileIdentity> identity; ///< of a file that is there
    std::string key;                      ///< of one still to be made: its folder's real path
    bool createFolder = false;

    bool staged = false;
    int fd = -1;   ///< an unnamed temporary file, open until it is put in place
    int slot = -1; ///< a named temporary file
    OutputProducer deferred;
};

OutputSet::OutputSet(OutputFileOptions options) : options_(options) {}

OutputSet::~OutputSet() {
    for (const auto& t : targets_) {
        if (t->fd >= 0) {
            ::close(t->fd);
        }
        if (t->slot >= 0) {
            removeTemporary(t->slot);
        }
    }
    if (!committed_) {
        for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
            ::rmdir(folder->c_str());
        }
    }
}

void OutputSet::addInput(const std::string& name, const std::string& path) {
    if (const std::optional<FileIdentity> identity = fileIdentity(path)) {
        inputs_.emplace_back(name, *identity);
    }
}

Result<size_t> OutputSet::add(const std::string& name, const std::string& role,
                              const std::string& path, bool createFolder) {
    if (path.empty()) {
        return Failure{"cannot write: no file name given"};
    }
    auto t = std::make_unique<Target>();
    t->name = name;
    t->role = role;
    t->path = path;
    t->createFolder = createFolder;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return cannotWrite(path, "it is a folder");
        }
        if (S_ISSOCK(info.st_mode)) {
            return cannotWrite(path, "it is a socket");
        }
        t->identity = FileIdentity{info.st_dev, info.st_ino};
        if (S_ISREG(info.st_mode)) {
            // Replace the file the links lead to, so that a link stays a link.
            t->kind = Target::Kind::Regular;
            t->existing = info;
            t->target = realPath(path);
            if (t->target.empty()) {
                return cannotWrite(path);
            }
            // Renaming over a file needs only the folder's permission; the file's own must count
            // too.
            if (::faccessat(AT_FDCWD, t->target.c_str(), W_OK, AT_EACCESS) != 0) {
                return cannotWrite(path, errno == EROFS ? "the file system is read-only"
                                                        : "the file is read-only");
            }
            t->folder = folderOf(t->target);
            if (Status st = folderTakesFiles(path, t->folder); !st) {
                return st.failure();
            }
        } else {
            // Devices and FIFOs are written as they are: a rename would destroy them.
            t->kind = Target::Kind::Through;
            if (::access(path.c_str(), W_OK) != 0) {
                return cannotWrite(path);
            }
        }
    } else {
        if (errno != ENOENT) {
            return cannotWrite(path);
        }
        auto target = linkTarget(path);
        if (!target) {
            return target.failure();
        }
        t->target = target.value();
        t->folder = folderOf(t->target);
        struct stat folderInfo {};
        if (createFolder && ::stat(t->folder.c_str(), &folderInfo) != 0 && errno == ENOENT) {
            const std::string parent = folderOf(t->folder);
            if (Status st = folderTakesFiles(t->folder, parent); !st) {
                return st.failure();
            }
            t->key = realPath(parent) + "/" + nameOf(t->folder) + "/" + nameOf(t->target);
        } else {
            if (Status st = folderTakesFiles(path, t->folder); !st) {
                return st.failure();
            }
            t->key = realPath(t->folder) + "/" + nameOf(t->target);
        }
    }
    for (const auto& earlier : targets_) {
        const bool same = t->identity ? t->identity == earlier->identity
                                      : !earlier->identity && t->key == earlier->key;
        if (same) {
            return Failure{name + " would replace " + earlier->role + " (" + path + ")"};
        }
    }
    for (const auto& [input, identity] : inputs_) {
        if (t->identity == identity) {
            return Failure{name + " would replace " + input + " (" + path + ")"};
        }
    }
    targets_.push_back(std::move(t));
    return targets_.size() - 1;
}

Status OutputSet::stage(size_t index, std::string bytes) {
    return stage(index, [bytes = std::move(bytes)](OutputSink& sink) { return sink.write(bytes); });
}

Status OutputSet::stage(size_t index, OutputProducer produce) {
    Target& t = *targets_.at(index);
    if (t.staged) {
        return cannotWrite(t.path, "it was written twice");
    }
    if (t.kind == Target::Kind::Through) {
        t.deferred = std::move(produce);
        t.staged = true;
        return {};
    }
    if (t.createFolder) {
        if (::mkdir(t.folder.c_str(), 0777) == 0) {
            madeFolders_.push_back(t.folder);
        } else if (errno != EEXIST) {
            return Failure{"cannot create the folder " + t.folder + ": " + std::strerror(errno)};
        }
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const bool existing = t.kind == Target::Kind::Regular;
    const mode_t mode = existing ? (t.existing.st_mode & 07777) : (0666 & ~mask);

    int fd = -1;
    if (options_.unnamedTemporary && canUseUnnamedFiles()) {
        fd = ::open(t.folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        // File systems without unnamed files say so in one of these ways.
        if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return cannotCreateIn(t.path, t.folder);
        }
    }
    const bool unnamed = fd >= 0;
    if (!unnamed) {
        fd = createNamedTemporary(t.target, t.slot);
        if (fd < 0) {
            return cannotCreateIn(t.path, t.folder);
        }
    }
    t.fd = fd;
    if (::fchmod(fd, mode) != 0) {
        return cannotWrite(t.path);
    }
    if (existing && (t.existing.st_uid != ::geteuid() || t.existing.st_gid != ::getegid())) {
        // Keep the owner where the system lets us; a failure only means the new file is ours.
        [[maybe_unused]] int kept = ::fchown(fd, t.existing.st_uid, t.existing.st_gid);
    }
    // A file size limit ends the process with SIGXFSZ unless it is ignored; ignored, the write
    // fails like on a full disk and is reported so.
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &previous);
    Status st = produceInto(fd, produce, t.path);
    ::sigaction(SIGXFSZ, &previous, nullptr);
    if (!st) {
        return st;
    }
    if (::fsync(fd) != 0) {
        return cannotWrite(t.path);
    }
    if (!unnamed) {
        t.fd = -1;
        if (!closeReporting(fd)) {
            return cannotWrite(t.path);
        }
    }
    t.staged = true;
    return {};
}

Status OutputSet::commit() {
    for (const auto& t : targets_) {
        if (!t->staged) {
            return cannotWrite(t->path, "its content was never made");
        }
    }
    // Devices and FIFOs first: what they were sent cannot be taken back, but while they are
    // written every file is still as it was.
    for (const auto& t : targets_) {
        if (t->kind != Target::Kind::Through) {
            continue;
        }
        const int fd = ::open(t->path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            return cannotWrite(t->path);
        }
        Status st = produceInto(fd, t->deferred, t->path);
        const bool closed = closeReporting(fd);
        if (!st) {
            return st;
        }
        if (!closed) {
            return cannotWrite(t->path);
        }
    }
    std::string replaced;
    auto failed = [&](const Target& t) -> Status {
        Failure f = cannotWrite(t.path);
        if (!replaced.empty()) {
            f.reason += " (already in place: " + replaced + "; the other outputs are as they were)";
        }
        return f;
    };
    std::vector<std::string> folders;
    for (const auto& t : targets_) {
        if (t->kind == Target::Kind::Through) {
            continue;
        }
        if (t->fd >= 0) {
            const std::string source = "/proc/self/fd/" + std::to_string(t->fd);
            // A new file appears complete at once; an existing one is renamed over below.
            const bool placed =
                t->kind == Target::Kind::New && ::linkat(AT_FDCWD, source.c_str(), AT_FDCWD,
                                                         t->target.c_str(), AT_SYMLINK_FOLLOW) == 0;
            if (!placed) {
                t->slot = linkNamedTemporary(t->fd, t->target);
                if (t->slot < 0) {
                    return failed(*t);
                }
            }
            const bool closed = closeReporting(std::exchange(t->fd, -1));
            if (!closed) {
                return failed(*t);
            }
        }
        if (t->slot >= 0) {
            if (::rename(temporaryName(t->slot), t->target.c_str()) != 0) {
                return failed(*t);
            }
            releaseSlot(std::exchange(t->slot, -1));
        }
        replaced += (replaced.empty() ? "" : ", ") + t->path;
        if (std::find(folders.begin(), folders.end(), t->folder) == folders.end()) {
            folders.push_back(t->folder);
        }
    }
    committed_ = true;
    // The renames are durable only once their folders are on disk too; some file systems
    // cannot sync a folder, which is no reason to call the save failed.
    for (const std::string& folder : folders) {
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    return {};
}

} // namespace quendrix
