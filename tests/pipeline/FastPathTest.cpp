#include "RandomData.h"
#include "ReferencePipeline.h"
#include "data/AxisRange.h"
#include "pipeline/GaussianModel.h"
#include "pipeline/LevelSearch.h"
#include "pipeline/MatrixProduct.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

namespace quendrix {
namespace {

using test::uniform;

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

std::uint64_t bits(std::array<float, 2> levels) {
    return std::bit_cast<std::uint64_t>(levels);
}

TEST(FastPath, MatrixProductGivesTheBitsOfThePlainTripleLoop) {
    const std::pair<Kind, Kind> sets[] = {
        {Kind::Counts, Kind::Dense},     {Kind::Counts, Kind::Dense}, // A replaced by a model
        {Kind::Dense, Kind::Dense},      {Kind::Magnitudes, Kind::Magnitudes},
        {Kind::Zeros, Kind::Magnitudes}, {Kind::Dense, Kind::Zeros}};
    for (unsigned set = 0; set < std::size(sets); ++set) {
        std::mt19937 e(100 + set);
        StageMatrix fast;
        for (float& v : fast.plane(Field::Samples)) {
            v = draw(e, sets[set].first);
        }
        for (float& v : fast.plane(Field::Model)) {
            v = draw(e, sets[set].second);
        }
        if (set == 1) {
            ASSERT_TRUE(gaussianModel(fast, gridFromRange(0, 100).value(), 1.1f, -2.0f, 3.0f));
        }
        StageMatrix literal = fast;
        multipleMatrix(fast, Field::Model, Field::Samples, Field::Discrete);
        reference::multipleMatrix(literal, Field::Model, Field::Samples, Field::Discrete);
        EXPECT_EQ(std::memcmp(fast.plane(Field::Discrete).data(),
                              literal.plane(Field::Discrete).data(), sizeof(StageMatrix::Plane)),
                  0)
            << "data set " << set;
    }
}

TEST(FastPath, LevelSearchGivesTheBitsOfTheColumnBisection) {
    constexpr int rows = 501;
    constexpr int columns = 45;
    std::mt19937 e(7);
    std::vector<std::vector<float>> cols(columns, std::vector<float>(rows, 0.0f));
    for (int c = 0; c < 40; ++c) {
        for (float& v : cols[size_t(c)]) {
            v = draw(e, Kind(c % 4));
        }
    }
    // Column 40 is empty, 41 holds one cell, 42 equal cells, 43 a negative cell among others; in
    // 44 the cell above the first level holds exactly half.
    cols[41][0] = 0.25f;
    cols[42].assign(rows, 0.3f);
    cols[43] = cols[1];
    cols[43][17] = -cols[43][17];
    cols[44][3] = 2;
    cols[44][4] = cols[44][5] = 1;

    std::vector<float> values(size_t(rows * columns)), peak(columns, 0.0f), total(columns, 0.0f);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            const float a = std::fabs(cols[size_t(c)][size_t(r)]);
            values[size_t(r * columns + c)] = a;
            peak[size_t(c)] = std::max(peak[size_t(c)], a);
            total[size_t(c)] += a;
        }
    }
    for (Coefficients k : {Coefficients{682, 954}, Coefficients{1000, 500}, Coefficients{0, 1},
                           Coefficients{954, 682}, Coefficients{500, 500}}) {
        std::vector<std::array<float, 2>> levels;
        searchLevels(values, rows, columns, peak, total, k, levels);
        ASSERT_EQ(levels.size(), size_t(columns));
        for (int c = 0; c < columns; ++c) {
            EXPECT_EQ(bits(levels[size_t(c)]), bits(reference::columnLevels(cols[size_t(c)], k)))
                << "column " << c << ", coefficients " << k.first << "/" << k.second;
        }
    }
}

} // namespace
} // namespace quendrix
