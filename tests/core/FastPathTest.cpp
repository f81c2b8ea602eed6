#include "ReferencePipeline.h"
#include "pipeline/ConfidenceRegions.h"
#include "pipeline/DetailMatrices.h"
#include "pipeline/DiscreteModel.h"
#include "pipeline/GaussianModel.h"
#include "pipeline/MatrixProduct.h"
#include "pipeline/Normalization.h"
#include "pipeline/Smoothing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

namespace quendrix {
namespace {

// mt19937's sequence is fixed by the standard, so the data sets are the same everywhere.
double uniform(std::mt19937& e) {
    return double(e()) / 4294967296.0;
}

enum class Kind { Counts, Dense, Magnitudes, Zeros };

float draw(std::mt19937& e, Kind kind) {
    const double u = uniform(e);
    switch (kind) {
    case Kind::Counts: // a sample histogram: mostly empty cells, small whole numbers
        return u < 0.02 ? float(1 + int(uniform(e) * 3)) : 0.0f;
    case Kind::Dense:
        return float(u);
    case Kind::Magnitudes: { // 2^-70 .. 2^50, either sign: products reach subnormal sums
        const float v = float(std::ldexp(0.5 + uniform(e), int(u * 120) - 70));
        return uniform(e) < 0.3 ? -v : v;
    }
    case Kind::Zeros:
        return u < 0.4 ? 0.0f : u < 0.5 ? -0.0f : float(u * 1e-3);
    }
    return 0;
}

template <class T> bool sameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

TEST(FastPath, MatrixProductGivesTheBitsOfThePlainTripleLoop) {
    const Grid grid = gridFromRange(0, 100).value();
    const std::pair<Kind, Kind> sets[] = {
        {Kind::Counts, Kind::Dense},     {Kind::Counts, Kind::Dense}, // A replaced by a model
        {Kind::Dense, Kind::Dense},      {Kind::Magnitudes, Kind::Magnitudes},
        {Kind::Zeros, Kind::Magnitudes}, {Kind::Dense, Kind::Zeros}};
    for (unsigned set = 0; set < std::size(sets); ++set) {
        std::mt19937 e(100 + set);
        StageMatrix fast;
        for (int i = 0; i < GridSize; ++i) {
            for (int j = 0; j < GridSize; ++j) {
                fast.at(Field::Samples, i, j) = draw(e, sets[set].first);
                fast.at(Field::Model, i, j) = draw(e, sets[set].second);
            }
        }
        if (set == 1) {
            ASSERT_TRUE(gaussianModel(fast, grid, 1.1f, -2.0f, 3.0f));
        }
        StageMatrix literal = fast;
        multipleMatrix(fast, Field::Model, Field::Samples, Field::Discrete);
        reference::multipleMatrix(literal, Field::Model, Field::Samples, Field::Discrete);
        EXPECT_TRUE(sameBits(fast.plane(Field::Discrete), literal.plane(Field::Discrete)))
            << "data set " << set;
    }
}

TEST(FastPath, LevelSearchGivesTheBitsOfTheColumnBisection) {
    constexpr int rows = 501;
    constexpr int columns = 48;
    std::mt19937 e(7);
    std::vector<std::vector<float>> cols(columns, std::vector<float>(rows, 0.0f));
    for (int c = 0; c < columns; ++c) {
        const Kind kind = Kind(c % 4);
        for (int r = 0; r < rows; ++r) {
            cols[size_t(c)][size_t(r)] = draw(e, kind);
        }
    }
    cols[40].assign(rows, 0.0f); // empty
    cols[41].assign(rows, 0.0f);
    cols[41][0] = 0.25f;         // one cell
    cols[42].assign(rows, 0.3f); // all equal
    cols[43][17] = -cols[43][17];
    cols[44].assign(rows, 0.0f); // at level 1 the cell above holds exactly half
    cols[44][3] = 2;
    cols[44][4] = 1;
    cols[44][5] = 1;

    std::vector<float> values(size_t(rows * columns)), peak(columns, 0.0f), total(columns, 0.0f);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            const float a = std::fabs(cols[size_t(c)][size_t(r)]);
            values[size_t(r * columns + c)] = a;
            peak[size_t(c)] = std::max(peak[size_t(c)], a);
            total[size_t(c)] = float(double(total[size_t(c)]) + double(a));
        }
    }
    for (Coefficients k : {Coefficients{682, 954}, Coefficients{1000, 500}, Coefficients{0, 1},
                           Coefficients{954, 682}, Coefficients{500, 500}}) {
        std::vector<std::array<float, 2>> levels;
        searchLevels(values, rows, columns, peak, total, k, levels);
        ASSERT_EQ(levels.size(), size_t(columns));
        for (int c = 0; c < columns; ++c) {
            const auto expected =
                reference::columnLevels(cols[size_t(c)], peak[size_t(c)], total[size_t(c)], k);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(levels[size_t(c)]),
                      std::bit_cast<std::uint64_t>(expected))
                << "column " << c << ", coefficients " << k.first << "/" << k.second;
        }
    }
}

struct Settings {
    int smoothing, thresholdH, thresholdV;
    bool skip;
    Coefficients coefficients;
};

TEST(FastPath, WholePipelineGivesTheBitsOfTheLiteralStages) {
    const Grid grid = gridFromRange(0, 100).value();
    DataFile file;
    std::mt19937 e(2024);
    for (int k = 0; k < 10000; ++k) {
        const double x = -8 + 116 * uniform(e);
        const double noise = (uniform(e) + uniform(e) + uniform(e) - 1.5) * 8;
        Sample s{float(x), float(0.9 * x + 4 + noise)};
        if (k % 997 == 0) {
            s.y = MissingValue;
        } else if (k % 1009 == 0) {
            s.x = 150; // off the grid
        }
        file.records.push_back(s);
    }
    StageMatrix base;
    ASSERT_TRUE(gaussianModel(base, grid, 0.95f, 1.5f, 5.0f));

    for (const Settings& s :
         {Settings{5, 2, 2, false, {682, 954}}, Settings{1, 0, 10, true, {1000, 500}},
          Settings{25, 10, 0, false, {954, 954}}}) {
        SCOPED_TRACE("smoothing " + std::to_string(s.smoothing));
        StageMatrix fast = base;
        ColumnResults fastColumns;
        DetailMatrices fastFine;
        countSamples(fast, file, grid);
        multipleMatrix(fast, Field::Model, Field::Samples, Field::Discrete);
        smoothing(fast, s.smoothing);
        const UnitWeights w = unitWeights(fast);
        normalizeH(fast, w, s.thresholdH, s.skip);
        normalizeV(fast, w, s.thresholdV, fastColumns.aveIndex);
        findConfidenceRegions(fast, s.coefficients, fastColumns);
        buildDetailMatrices(fast, s.coefficients, fastFine);

        StageMatrix literal = base;
        ColumnResults literalColumns;
        DetailMatrices literalFine;
        reference::countSamples(literal, file, grid);
        reference::multipleMatrix(literal, Field::Model, Field::Samples, Field::Discrete);
        buildKernel(literal, s.smoothing);
        reference::multipleMatrix(literal, Field::Discrete, Field::Kernel, Field::Smoothed);
        reference::normalizeH(literal, w.horizontal, s.thresholdH, s.skip);
        reference::normalizeV(literal, w.vertical, s.thresholdV, literalColumns.aveIndex);
        reference::findConfidenceRegions(literal, s.coefficients, literalColumns);
        reference::buildDetailMatrices(literal, s.coefficients, literalFine);

        for (int f = 0; f < FieldCount; ++f) {
            EXPECT_TRUE(sameBits(fast.plane(Field(f)), literal.plane(Field(f)))) << "field " << f;
        }
        EXPECT_EQ(fastColumns.modeIndex, literalColumns.modeIndex);
        EXPECT_EQ(fastColumns.aveIndex, literalColumns.aveIndex);
        EXPECT_TRUE(sameBits(fastColumns.confLevel, literalColumns.confLevel));
        EXPECT_TRUE(sameBits(fastFine.fineProb, literalFine.fineProb));
        EXPECT_TRUE(sameBits(fastFine.fineConfi, literalFine.fineConfi));
        EXPECT_EQ(fastFine.fineMode, literalFine.fineMode);
        EXPECT_EQ(fastFine.fineAve, literalFine.fineAve);
        EXPECT_TRUE(sameBits(fastFine.fineLevel, literalFine.fineLevel));

        // The data must reach the last stage, or the comparison above proves little.
        const auto& modes = literalColumns.modeIndex;
        EXPECT_GT(std::count_if(modes.begin(), modes.end(), [](int i) { return i != NoIndex; }),
                  150);
    }
}

} // namespace
} // namespace quendrix
