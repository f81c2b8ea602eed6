#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace quendrix::test {

/// The example data: file 1, file 2 and measurements to apply the calibration to.
namespace examples {
inline const std::string Calibration = QUENDRIX_EXAMPLES "/calibration.csv";
inline const std::string Error = QUENDRIX_EXAMPLES "/error.csv";
inline const std::string Readings = QUENDRIX_EXAMPLES "/readings.csv";
} // namespace examples

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A folder of its own for one test, removed with its contents afterwards.
struct TempDir {
    std::filesystem::path path;
    explicit TempDir(const std::string& tag)
        : path(std::filesystem::temp_directory_path() / (tag + std::to_string(getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string file(const std::string& name, const std::string& bytes) const {
        std::ofstream(path / name, std::ios::binary) << bytes;
        return (path / name).string();
    }
};

/// Every name in the folder (`deep`: every path below it), sorted and joined: a stray file shows.
inline std::string listing(const std::filesystem::path& folder, bool deep = false) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    auto add = [&](const fs::directory_entry& e) {
        names.push_back(e.path().lexically_relative(folder).string());
    };
    deep ? (void)std::for_each(fs::recursive_directory_iterator(folder), {}, add)
         : (void)std::for_each(fs::directory_iterator(folder), {}, add);
    std::sort(names.begin(), names.end());
    std::string out;
    for (const auto& name : names) {
        out += name + " ";
    }
    return out;
}

/// `body`'s result, run in a child process that has given up root so that permissions count.
inline int asUnprivilegedUser(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(99);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

} // namespace quendrix::test
