#pragma once

#include "data/DataFile.h"

#include <random>

namespace quendrix::test {

/// A draw in [0, 1) from mt19937's raw output, which unlike the distributions is the same anywhere.
inline double uniform(std::mt19937& e) {
    return double(e()) / 4294967296.0;
}

/// `count` samples about y = 0.92 x + 1.4 +- 1.5 `noise`, X in [xLow, xHigh); every 50th lacks Y.
inline DataFile randomSamples(unsigned seed, int count, double xLow, double xHigh, double noise) {
    std::mt19937 e(seed);
    DataFile file;
    for (int k = 0; k < count; ++k) {
        const double x = xLow + (xHigh - xLow) * uniform(e);
        const double y = 0.92 * x + 1.4 + (uniform(e) + uniform(e) + uniform(e) - 1.5) * noise;
        file.records.push_back({float(x), k % 50 == 7 ? MissingValue : float(y)});
    }
    return file;
}

} // namespace quendrix::test
