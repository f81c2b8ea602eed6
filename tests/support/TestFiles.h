#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace quendrix::test {

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

} // namespace quendrix::test
