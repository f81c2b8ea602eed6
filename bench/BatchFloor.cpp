// What a batch run costs before any of its computing: the process start, reading both input
// files, first touching the stage planes and saving an output of the same size through the
// program's own writer (temporary file, sync, rename, sync of the folder). bench/run-batch-bench
// times it beside its own --version, which gives the lowest ratio a batch run can reach before
// a single number is read or written.
//
// Usage: quendrix_batch_floor FILE1 FILE2 OUTPUT BYTES | --version

#include "base/ZeroedBuffer.h"
#include "io/OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::puts("quendrix_batch_floor");
        return 0;
    }
    if (argc != 5) {
        std::fputs("usage: quendrix_batch_floor FILE1 FILE2 OUTPUT BYTES | --version\n", stderr);
        return 2;
    }
    std::array<char, 64 * 1024> block;
    std::size_t read = 0;
    for (int f = 1; f <= 2; ++f) {
        const int fd = ::open(argv[f], O_RDONLY);
        if (fd < 0) {
            return 1;
        }
        for (ssize_t n; (n = ::read(fd, block.data(), block.size())) > 0;) {
            read += std::size_t(n);
        }
        ::close(fd);
    }
    // The eight stage planes of 251 x 251 singles, each written once by the pipeline.
    constexpr std::size_t PlaneBytes = 251 * 251 * sizeof(float);
    quendrix::ZeroedBuffer planes(8 * PlaneBytes);
    auto* bytes = static_cast<volatile char*>(planes.data());
    for (std::size_t at = 0; at < planes.size(); at += 4096) {
        bytes[at] = 1;
    }
    const std::string output(std::strtoul(argv[4], nullptr, 10), '0');
    const quendrix::Status saved = quendrix::writeOutputFile(argv[3], output);
    return saved && read > 0 ? 0 : 1;
}
