// The data file reader on files far beyond its limit: it must stop at the first record too many,
// so the time and memory of a refusal do not grow with the file. Reports the peak resident size
// growth of the process as a counter.

#include "data/DataFileReader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

using namespace quendrix;

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A file of `megabytes` of records: header, then "12.5,13.75" lines.
std::string makeFile(int megabytes) {
    const std::string path = "/tmp/quendrix_reader_bench_" + std::to_string(megabytes) + ".csv";
    std::ofstream out(path, std::ios::binary);
    std::string block = "X,Y\r\n";
    while (block.size() < (1 << 20)) {
        block += "12.5,13.75\r\n";
    }
    for (int m = 0; m < megabytes; ++m) {
        out << block;
        block.replace(0, 5, "1,2\r\n");
    }
    return path;
}

void BM_RefuseOversizedFile(benchmark::State& state) {
    const std::string path = makeFile(int(state.range(0)));
    const long before = peakKilobytes();
    for (auto _ : state) {
        auto read = readDataFile(path);
        benchmark::DoNotOptimize(read);
        if (read.ok()) {
            state.SkipWithError("an oversized file was accepted");
        }
    }
    state.counters["peak_growth_kB"] = double(peakKilobytes() - before);
    std::remove(path.c_str());
}
BENCHMARK(BM_RefuseOversizedFile)->Arg(1)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond);

void BM_ReadFullFile(benchmark::State& state) {
    const std::string path = "/tmp/quendrix_reader_bench_full.csv";
    {
        std::ofstream out(path, std::ios::binary);
        out << "Reading,Reference\r\n";
        for (int r = 0; r < MaxRecords; ++r) {
            out << 2 + r % 36 << '.' << r % 97 << ',' << 3 + r % 31 << '.' << r % 89 << "\r\n";
        }
    }
    for (auto _ : state) {
        auto read = readDataFile(path);
        benchmark::DoNotOptimize(read);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadFullFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
