#include "io/TemporaryNames.h"

#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace quendrix {
namespace {

// Named temporary files the process has on disk, for the signal handler to remove. Only
// async-signal-safe calls may touch them there, so they are plain buffers.
constexpr int TemporarySlots = 16;
char temporaryNames[TemporarySlots][PATH_MAX];
volatile sig_atomic_t temporaryUsed[TemporarySlots];
int temporariesHeld = 0;
constexpr std::array<int, 3> CleanupSignals{SIGINT, SIGTERM, SIGHUP};
std::array<struct sigaction, 3> previousActions{};

void removeTemporariesAndRaise(int signal) {
    for (int k = 0; k < TemporarySlots; ++k) {
        if (temporaryUsed[k]) {
            ::unlink(temporaryNames[k]);
        }
    }
    for (size_t k = 0; k < CleanupSignals.size(); ++k) {
        if (CleanupSignals[k] == signal) {
            ::sigaction(signal, &previousActions[k], nullptr);
        }
    }
    ::raise(signal);
}

/// A slot for one temporary name, or -1 when all are taken.
int holdSlot(const std::string& name) {
    if (name.size() >= PATH_MAX) {
        errno = ENAMETOOLONG;
        return -1;
    }
    for (int k = 0; k < TemporarySlots; ++k) {
        if (!temporaryUsed[k]) {
            std::memcpy(temporaryNames[k], name.c_str(), name.size() + 1);
            if (temporariesHeld++ == 0) {
                struct sigaction action {};
                action.sa_handler = removeTemporariesAndRaise;
                sigemptyset(&action.sa_mask);
                for (size_t s = 0; s < CleanupSignals.size(); ++s) {
                    ::sigaction(CleanupSignals[s], &action, &previousActions[s]);
                }
            }
            return k;
        }
    }
    errno = EMFILE;
    return -1;
}

/// Every temporary name has this form (`out.csv.quendrix-a81Kx2`), so that one left by a
/// killed process can be told at a glance.
constexpr const char* TemporaryMark = ".quendrix-";

} // namespace

void releaseSlot(int k) {
    temporaryUsed[k] = 0;
    if (--temporariesHeld == 0) {
        for (size_t s = 0; s < CleanupSignals.size(); ++s) {
            ::sigaction(CleanupSignals[s], &previousActions[s], nullptr);
        }
    }
}

int createNamedTemporary(const std::string& target, int& slot) {
    slot = holdSlot(target + TemporaryMark + "XXXXXX");
    if (slot < 0) {
        return -1;
    }
    // Marked as used before the file exists, so that a signal meanwhile removes it.
    temporaryUsed[slot] = 1;
    const int fd = ::mkostemp(temporaryNames[slot], O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        releaseSlot(slot);
        slot = -1;
        errno = error;
        return -1;
    }
    return fd;
}

int linkNamedTemporary(int fd, const std::string& target) {
    const std::string source = "/proc/self/fd/" + std::to_string(fd);
    static constexpr char Letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = target + TemporaryMark;
        for (int k = 0; k < 6; ++k) {
            name += Letters[random() % (sizeof Letters - 1)];
        }
        const int slot = holdSlot(name);
        if (slot < 0) {
            return -1;
        }
        // Marked as used before the link, so that a signal between the two removes it.
        temporaryUsed[slot] = 1;
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, temporaryNames[slot], AT_SYMLINK_FOLLOW) ==
            0) {
            return slot;
        }
        const int error = errno;
        releaseSlot(slot);
        if (error != EEXIST) {
            errno = error;
            return -1;
        }
    }
    return -1;
}

const char* temporaryName(int slot) {
    return temporaryNames[slot];
}

void removeTemporary(int slot) {
    ::unlink(temporaryNames[slot]);
    releaseSlot(slot);
}

} // namespace quendrix
