#include "io/OutputFile.h"

#include "TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

using namespace quendrix;
namespace fs = std::filesystem;
using testing::HasSubstr;

TEST(OutputFile, EveryKindOfTarget) {
    const test::TempDir dir("quendrix_target_");
    const fs::path real = dir.path / "real.csv", kinds = dir.path / "kinds";
    // Writes "new" to `target`; its folder then holds `listing`; gives the refusal, or "".
    auto write = [](const fs::path& target, const char* listing) {
        const Status st = writeOutputFile(target.string(), "new");
        EXPECT_EQ(test::listing(target.parent_path()), listing) << target;
        return st ? std::string() : st.reason();
    };
    // A new file has the mode the umask leaves; a regular file keeps its own.
    EXPECT_EQ(write(dir.path / "new.csv", "new.csv "), "");
    EXPECT_EQ(test::slurp(dir.path / "new.csv"), "new");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::symlink_status(dir.path / "new.csv").permissions(), fs::perms(0666 & ~mask));
    dir.file("real.csv", "old");
    ::chmod(real.c_str(), 0640);
    EXPECT_EQ(write(real, "new.csv real.csv "), "");
    EXPECT_EQ(test::slurp(real), "new");
    EXPECT_EQ(fs::symlink_status(real).permissions(), fs::perms(0640));

    // Relative links, and links to a file still to be made, stay links: what they name is written.
    dir.file("real.csv", "old");
    fs::create_symlink("real.csv", dir.path / "link.csv");
    fs::create_symlink(dir.path / "later.csv", dir.path / "dangling.csv");
    EXPECT_EQ(write(dir.path / "link.csv", "dangling.csv link.csv new.csv real.csv "), "");
    EXPECT_EQ(test::slurp(real), "new");
    EXPECT_EQ(write(dir.path / "dangling.csv", "dangling.csv later.csv link.csv new.csv real.csv "),
              "");
    EXPECT_EQ(test::slurp(dir.path / "later.csv"), "new");

    // A FIFO is written through; an open reading end lets the writer in without waiting.
    fs::create_directory(kinds);
    ASSERT_EQ(::mkfifo((kinds / "fifo").c_str(), 0600), 0);
    const int reader = ::open((kinds / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
    EXPECT_EQ(write(kinds / "fifo", "fifo "), "");
    char bytes[16] = {};
    const ssize_t n = ::read(reader, bytes, sizeof bytes);
    ::close(reader);
    EXPECT_EQ(std::string(bytes, size_t(std::max<ssize_t>(n, 0))), "new");

    // A socket and a folder are refused as they are; a missing folder is named.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, (kinds / "socket").c_str(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    EXPECT_THAT(write(kinds / "socket", "fifo socket "), HasSubstr("it is a socket"));
    fs::create_directories(kinds / "taken" / "inside");
    EXPECT_THAT(write(kinds / "taken", "fifo socket taken "), HasSubstr("it is a folder"));
    EXPECT_THAT(writeOutputFile((kinds / "missing" / "out.csv").string(), "new").reason(),
                HasSubstr("missing does not exist"));
    EXPECT_EQ(test::listing(kinds), "fifo socket taken ");
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

// Stopped part-way, interrupted or killed, a save leaves the old file (a size limit: batch tests).
TEST(OutputFile, AnIncompleteInterruptedOrKilledSaveLeavesTheOldFileAndNoTemporary) {
    const test::TempDir dir("quendrix_fail_");
    const std::string target = dir.file("out.csv", "old");
    for (bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed temporary" : "named temporary");
        const Status st = writeOutputFile(
            target, [](OutputSink& sink) { return sink.write(std::string(1 << 20, 'x')) && false; },
            OutputFileOptions{.unnamedTemporary = unnamed});
        EXPECT_THAT(st.reason(), HasSubstr("out.csv"));
        EXPECT_EQ(test::slurp(target), "old");
        EXPECT_EQ(test::listing(dir.path), "out.csv ");
    }
    const std::pair<int, bool> cases[] = {
        {SIGTERM, false}, {SIGINT, false}, {SIGTERM, true}, {SIGKILL, true}};
    for (const auto& [signal, unnamed] : cases) {
        SCOPED_TRACE(std::string(strsignal(signal)) + (unnamed ? ", unnamed" : ", named"));
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            // Half of a large file written, then the save waits to be stopped.
            (void)writeOutputFile(
                target,
                [&](OutputSink& sink) -> bool {
                    sink.write(std::string(4 << 20, 'x'));
                    sink.flush();
                    (void)!::write(ready[1], "w", 1);
                    for (;;) {
                        ::pause();
                    }
                },
                OutputFileOptions{.unnamedTemporary = unnamed});
            ::_exit(0);
        }
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        ::close(ready[1]);
        // A named temporary shows while saving, in a form a user would recognise; unnamed, none.
        const std::string during = test::listing(dir.path);
        EXPECT_TRUE(unnamed
                        ? during == "out.csv "
                        : during.starts_with("out.csv out.csv.quendrix-") && during.size() == 32)
            << during;
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(test::listing(dir.path), "out.csv ");
        EXPECT_EQ(test::slurp(target), "old");
    }
}
