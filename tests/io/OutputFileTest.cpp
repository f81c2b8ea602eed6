#include "io/OutputFile.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>

using namespace quendrix;
namespace fs = std::filesystem;

namespace {

mode_t modeOf(const fs::path& p) {
    struct stat info {};
    return ::lstat(p.c_str(), &info) == 0 ? info.st_mode : 0;
}

} // namespace

TEST(OutputFile, EveryKindOfTarget) {
    const test::TempDir dir("quendrix_target_");
    ::chmod(dir.path.c_str(), 0755);
    struct Case {
        const char* name;
        std::function<std::string()> make; // the target path
        std::function<void(const Status&)> check;
        const char* listing; // the folder afterwards: nothing but what the case made
    };
    const fs::path real = dir.path / "real.csv";
    int fifoReader = -1;
    const Case cases[] = {
        {"new file", [&] { return (dir.path / "new.csv").string(); },
         [&](const Status& st) {
             ASSERT_TRUE(st) << st.reason();
             EXPECT_EQ(test::slurp(dir.path / "new.csv"), "new");
             const mode_t mask = ::umask(0);
             ::umask(mask);
             EXPECT_EQ(modeOf(dir.path / "new.csv") & 0777, 0666 & ~mask);
         },
         "new.csv "},
        {"regular file keeps its mode",
         [&] {
             dir.file("real.csv", "old");
             ::chmod(real.c_str(), 0640);
             return real.string();
         },
         [&](const Status& st) {
             ASSERT_TRUE(st) << st.reason();
             EXPECT_EQ(test::slurp(real), "new");
             EXPECT_EQ(modeOf(real) & 0777, 0640u);
         },
         "real.csv "},
        {"relative link stays a link",
         [&] {
             dir.file("real.csv", "old");
             fs::create_symlink("real.csv", dir.path / "link.csv");
             return (dir.path / "link.csv").string();
         },
         [&](const Status& st) {
             ASSERT_TRUE(st) << st.reason();
             EXPECT_TRUE(fs::is_symlink(dir.path / "link.csv"));
             EXPECT_EQ(test::slurp(real), "new");
         },
         "link.csv real.csv "},
        {"link to a file still to be made",
         [&] {
             fs::create_symlink(dir.path / "later.csv", dir.path / "dangling.csv");
             return (dir.path / "dangling.csv").string();
         },
         [&](const Status& st) {
             ASSERT_TRUE(st) << st.reason();
             EXPECT_TRUE(fs::is_symlink(dir.path / "dangling.csv"));
             EXPECT_EQ(test::slurp(dir.path / "later.csv"), "new");
         },
         "dangling.csv later.csv "},
        {"FIFO is written through",
         [&] {
             const fs::path fifo = dir.path / "fifo";
             EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
             // An open reading end lets the writer in without waiting.
             fifoReader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
             return fifo.string();
         },
         [&](const Status& st) {
             ASSERT_TRUE(st) << st.reason();
             char bytes[16] = {};
             const ssize_t n = ::read(fifoReader, bytes, sizeof bytes);
             ::close(fifoReader);
             EXPECT_EQ(std::string(bytes, size_t(std::max<ssize_t>(n, 0))), "new");
             EXPECT_TRUE(S_ISFIFO(modeOf(dir.path / "fifo")));
         },
         "fifo "},
        {"socket is refused",
         [&] {
             const fs::path path = dir.path / "socket";
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
             const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
             ::close(fd);
             return path.string();
         },
         [&](const Status& st) {
             EXPECT_NE(st.reason().find("it is a socket"), std::string::npos) << st.reason();
             EXPECT_TRUE(S_ISSOCK(modeOf(dir.path / "socket")));
         },
         "socket "},
        {"folder is refused",
         [&] {
             fs::create_directories(dir.path / "taken" / "inside");
             return (dir.path / "taken").string();
         },
         [&](const Status& st) {
             EXPECT_NE(st.reason().find("it is a folder"), std::string::npos) << st.reason();
             EXPECT_TRUE(fs::exists(dir.path / "taken" / "inside"));
         },
         "taken "},
        {"missing folder is named", [&] { return (dir.path / "missing" / "out.csv").string(); },
         [&](const Status& st) {
             EXPECT_NE(st.reason().find("missing does not exist"), std::string::npos)
                 << st.reason();
         },
         ""},
    };
    for (const Case& c : cases) {
        for (const auto& entry : fs::directory_iterator(dir.path)) {
            fs::remove_all(entry.path());
        }
        SCOPED_TRACE(c.name);
        c.check(writeOutputFile(c.make(), "new"));
        EXPECT_EQ(test::listing(dir.path), c.listing);
    }
}

TEST(OutputFile, DeviceNodeIsWrittenThroughNeverReplaced) {
    const test::TempDir dir("quendrix_device_");
    const fs::path node = dir.path / "null";
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "mknod is not permitted here: " << std::strerror(errno);
    }
    const Status st = writeOutputFile(node.string(), "new");
    ASSERT_TRUE(st) << st.reason();
    EXPECT_TRUE(S_ISCHR(modeOf(node)));
    EXPECT_EQ(test::listing(dir.path), "null ");
}

TEST(OutputFile, RefusesWhatTheUserMayNotWrite) {
    const test::TempDir dir("quendrix_readonly_");
    ::chmod(dir.path.c_str(), 0755);
    // A read-only file in a writable folder: renaming over it would work, but must not.
    const std::string locked = dir.file("locked.csv", "old");
    ::chmod(locked.c_str(), 0444);
    // A writable file in a read-only folder: there is no room for a temporary file.
    fs::create_directories(dir.path / "shut");
    const std::string inside = dir.file("shut/open.csv", "old");
    ::chmod(inside.c_str(), 0666);
    ::chmod((dir.path / "shut").c_str(), 0555);

    const std::pair<std::string, std::string> cases[] = {{locked, "the file is read-only"},
                                                         {inside, "is not writable"}};
    for (const auto& [target, reason] : cases) {
        const int result = test::asUnprivilegedUser([target = target, reason = reason] {
            const Status st = writeOutputFile(target, "new");
            return !st && st.reason().find(reason) != std::string::npos ? 0 : 1;
        });
        EXPECT_EQ(result, 0) << target;
        EXPECT_EQ(test::slurp(target), "old") << target;
    }
    EXPECT_EQ(test::listing(dir.path / "shut"), "open.csv ");
    EXPECT_EQ(test::listing(dir.path), "locked.csv shut ");
    ::chmod((dir.path / "shut").c_str(), 0755);
}

TEST(OutputFile, FailuresLeaveTheOldFileAndNoTemporary) {
    const test::TempDir dir("quendrix_fail_");
    const std::string target = dir.file("out.csv", "old");
    const std::string big(1 << 20, 'x');
    for (bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed temporary" : "named temporary");
        const OutputFileOptions options{.unnamedTemporary = unnamed};
        // The content stops half-way.
        Status st = writeOutputFile(
            target, [&](OutputSink& sink) { return sink.write(big) && false; }, options);
        EXPECT_FALSE(st);
        // The file size limit stops the write part-way.
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit small{4096, saved.rlim_max};
        auto handler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        st = writeOutputFile(target, big, options);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
        EXPECT_FALSE(st);
        EXPECT_NE(st.reason().find("out.csv"), std::string::npos) << st.reason();
        EXPECT_EQ(test::slurp(target), "old");
        EXPECT_EQ(test::listing(dir.path), "out.csv ");
    }
}

TEST(OutputFile, InterruptedOrKilledSaveLeavesNothingBehind) {
    const test::TempDir dir("quendrix_signal_");
    const std::string target = dir.file("out.csv", "old");
    const std::pair<int, bool> cases[] = {
        {SIGTERM, false}, {SIGINT, false}, {SIGTERM, true}, {SIGKILL, true}};
    for (const auto& [signal, unnamed] : cases) {
        SCOPED_TRACE(std::string(strsignal(signal)) + (unnamed ? ", unnamed" : ", named"));
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            // Half of a large file written, then the save waits to be stopped.
            const std::string half(4 << 20, 'x');
            (void)writeOutputFile(
                target,
                [&](OutputSink& sink) {
                    sink.write(half);
                    sink.flush();
                    (void)!::write(ready[1], "w", 1);
                    for (;;) {
                        ::pause();
                    }
                    return true;
                },
                OutputFileOptions{.unnamedTemporary = unnamed});
            ::_exit(0);
        }
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        // A named temporary file is there while the save runs, in the one form a user can
        // recognise should a kill leave it; an unnamed one never shows.
        const std::string during = test::listing(dir.path);
        if (unnamed) {
            EXPECT_EQ(during, "out.csv ");
        } else {
            EXPECT_TRUE(during.starts_with("out.csv out.csv.quendrix-") && during.size() == 32)
                << during;
        }
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(test::listing(dir.path), "out.csv ");
        EXPECT_EQ(test::slurp(target), "old");
    }
}

TEST(OutputFile, IdentityFollowsLinksAndHardLinks) {
    const test::TempDir dir("quendrix_identity_");
    const std::string a = dir.file("a.csv", "a");
    const std::string b = dir.file("b.csv", "b");
    fs::create_hard_link(a, dir.path / "hard.csv");
    fs::create_symlink(a, dir.path / "soft.csv");
    EXPECT_EQ(fileIdentity(a), fileIdentity((dir.path / "hard.csv").string()));
    EXPECT_EQ(fileIdentity(a), fileIdentity((dir.path / "soft.csv").string()));
    EXPECT_NE(fileIdentity(a), fileIdentity(b));
    EXPECT_FALSE(fileIdentity((dir.path / "none.csv").string()));
}
