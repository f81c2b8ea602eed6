// Every value every stage computes, as a checksum of its raw bits, recorded from the plain code:
// the golden output files see only the shown block as text, these see all of it.

#include "session/CalibrationSession.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <random>
#include <span>
#include <string>
#include <vector>

using namespace quendrix;

namespace {

/// FNV-1a over the values' bits, byte by byte from the lowest, so it is the same on every host.
class BitHash {
  public:
    void add(std::uint32_t word) {
        for (int b = 0; b < 4; ++b) {
            hash_ = (hash_ ^ ((word >> (8 * b)) & 0xffu)) * 0x100000001b3u;
        }
    }
    void add(float v) { add(std::bit_cast<std::uint32_t>(v)); }
    void add(int v) { add(std::bit_cast<std::uint32_t>(v)); }
    template <class T> void add(std::span<const T> values) {
        for (const T& v : values) {
            add(v);
        }
    }
    std::uint64_t value() const { return hash_; }

  private:
    std::uint64_t hash_ = 0xcbf29ce484222325u;
};

template <class T> std::uint64_t hashOf(std::span<const T> values) {
    BitHash h;
    h.add(values);
    return h.value();
}

std::uint64_t hashOf(std::span<const std::array<float, 2>> pairs) {
    BitHash h;
    for (const auto& [a, b] : pairs) {
        h.add(a);
        h.add(b);
    }
    return h.value();
}

const char* const Names[] = {"Samples",   "Model",    "Discrete",  "Kernel",
                             "Smoothed",  "NormH",    "Prob",      "Confi",
                             "modeIndex", "aveIndex", "confLevel", "fineProb",
                             "fineConfi", "fineMode", "fineAve",   "fineLevel"};
constexpr size_t OutputCount = std::size(Names);

using Checksums = std::array<std::uint64_t, OutputCount>;

Checksums checksums(const CalibrationSession& s) {
    Checksums out{};
    const StageMatrix& m = s.matrix();
    for (int f = 0; f < FieldCount; ++f) {
        out[size_t(f)] = hashOf(std::span<const float>(m.plane(Field(f))));
    }
    const ColumnResults& c = s.columns();
    out[8] = hashOf(std::span<const int>(c.modeIndex));
    out[9] = hashOf(std::span<const int>(c.aveIndex));
    out[10] = hashOf(std::span<const std::array<float, 2>>(c.confLevel));
    const DetailMatrices& d = s.detail();
    out[11] = hashOf(std::span<const float>(d.fineProb));
    out[12] = hashOf(std::span<const float>(d.fineConfi));
    out[13] = hashOf(std::span<const int>(d.fineMode));
    out[14] = hashOf(std::span<const int>(d.fineAve));
    out[15] = hashOf(std::span<const std::array<float, 2>>(d.fineLevel));
    return out;
}

// mt19937's sequence is fixed by the standard, unlike the library's distributions.
double uniform(std::mt19937& e) {
    return double(e()) / 4294967296.0;
}

DataFile lineWithNoise(std::mt19937& e, int records, double slope, double intercept, double noise) {
    DataFile file{"X", "Y", {}, 0, {}, {}};
    for (int k = 0; k < records; ++k) {
        const double x = 2 + 36 * uniform(e);
        file.records.push_back(
            {float(x), float(slope * x + intercept + (uniform(e) + uniform(e) - 1) * noise)});
        ++file.completeCount;
    }
    file.dataMin = 0;
    file.dataMax = 40;
    return file;
}

void expectChecksums(const CalibrationSession& s, const Checksums& expected,
                     const std::string& name) {
    int filled = 0;
    for (int mode : s.columns().modeIndex) {
        filled += mode != NoIndex;
    }
    EXPECT_GT(filled, 60) << name << ": the data must reach the last stage";
    const Checksums actual = checksums(s);
    std::string table;
    for (size_t k = 0; k < OutputCount; ++k) {
        char line[64];
        std::snprintf(line, sizeof line, "0x%016llx, // %s\n", (unsigned long long)actual[k],
                      Names[k]);
        table += line;
        EXPECT_EQ(actual[k], expected[k]) << name << ": " << Names[k];
    }
    if (actual != expected) {
        ADD_FAILURE() << name << " computes:\n" << table;
    }
}

const std::string Calibration = QUENDRIX_EXAMPLES "/calibration.csv";
const std::string Error = QUENDRIX_EXAMPLES "/error.csv";

TEST(StageChecksum, ExamplesWithFile2) {
    CalibrationSession s;
    ASSERT_TRUE(s.importFile(0, Calibration, Calibration));
    ASSERT_TRUE(s.importFile(1, Error, Error));
    ASSERT_TRUE(s.runAll() && s.buildDetail());
    expectChecksums(s,
                    {
                        0x2ccb4237d54bdd15, // Samples
                        0x8cf7377cda3cadc2, // Model
                        0xc9d1cc02c620b8ee, // Discrete
                        0x1abae24ff587b6ac, // Kernel
                        0xd9d8055de0842aca, // Smoothed
                        0xedc58c8c7bc08f26, // NormH
                        0xe295ec9681efafaa, // Prob
                        0x8aec26070784dcf8, // Confi
                        0xf8e874ac2fa1fdd1, // modeIndex
                        0x1ef2ad80c1e07a9f, // aveIndex
                        0xc603be273cbb58e9, // confLevel
                        0x78c14199cda4549a, // fineProb
                        0x114a49b0104d1ac5, // fineConfi
                        0x511421c399fde656, // fineMode
                        0xbda076f01415752c, // fineAve
                        0xa8093a92b5ceca73, // fineLevel
                    },
                    "file 2");
}

TEST(StageChecksum, ExamplesWithGeneratedModel) {
    CalibrationSession s;
    ASSERT_TRUE(s.importFile(0, Calibration, Calibration));
    ASSERT_TRUE(s.setModelPercent(7) && s.setGeneratedModel(true));
    s.setSmoothing(3);
    s.setVerticalThreshold(0);
    s.setHorizontalThreshold(1);
    s.setCoefficientSlider(0, 500);
    s.setCoefficientSlider(1, 990);
    ASSERT_TRUE(s.runAll() && s.buildDetail());
    expectChecksums(s,
                    {
                        0x2ccb4237d54bdd15, // Samples
                        0xc0903d65849b07fe, // Model
                        0x40c06958d6b45f6c, // Discrete
                        0x3ef832a6abbad838, // Kernel
                        0xcdf9dbcac79dd573, // Smoothed
                        0xdd2d38a10e0c8181, // NormH
                        0x7e363744d6b80fa3, // Prob
                        0x778889d57dbe6b28, // Confi
                        0x42027b7727c1b665, // modeIndex
                        0xbe92fedbebce2906, // aveIndex
                        0x75a2d7ab941f3ea4, // confLevel
                        0xf779c2ea4a1449e3, // fineProb
                        0x5d00476e587313d5, // fineConfi
                        0xdae24d0eb823644f, // fineMode
                        0x928aaf8d781c90e7, // fineAve
                        0x9ff6fd96742f7f1b, // fineLevel
                    },
                    "generated model");
}

// Full-size files, the horizontal normalisation skipped, a whole-column coefficient and the
// widest kernel: the branches the examples leave out.
TEST(StageChecksum, FullSizeFilesSkippedAndWholeColumns) {
    std::mt19937 e(31);
    CalibrationSession s;
    ASSERT_TRUE(s.importData(0, lineWithNoise(e, MaxRecords, 0.92, 1.4, 4), "one"));
    ASSERT_TRUE(s.importData(1, lineWithNoise(e, 3000, 1.0, 0.0, 3), "two"));
    s.setRangeTexts("0", "40");
    ASSERT_TRUE(s.validateRange());
    s.setSmoothing(25);
    s.setSkip(true);
    s.setHorizontalThreshold(10);
    s.setCoefficientSlider(0, 1000);
    s.setCoefficientSlider(1, 317);
    ASSERT_TRUE(s.runAll() && s.buildDetail());
    expectChecksums(s,
                    {
                        0x7db127da894b78e2, // Samples
                        0xec02386741778f2e, // Model
                        0x2c4ad2f7ca239f58, // Discrete
                        0x120bf4606371b40c, // Kernel
                        0xf72792bde45c7d86, // Smoothed
                        0xf72792bde45c7d86, // NormH
                        0x8a221894edad7860, // Prob
                        0xa1b262176afbc488, // Confi
                        0xf552adb25fcf1ce7, // modeIndex
                        0x3176111e44fd3ae4, // aveIndex
                        0x90df79c032413a37, // confLevel
                        0xc30193499ed64c03, // fineProb
                        0xc1cb04fdda49d808, // fineConfi
                        0xbe21b6a297ec51ff, // fineMode
                        0xec3c03d591820dd1, // fineAve
                        0x850806e016e70888, // fineLevel
                    },
                    "full size");
}

} // namespace
