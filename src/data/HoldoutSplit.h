#pragma once

#include "data/DataFile.h"

#include <cstdint>
#include <vector>

namespace quendrix {

/// A data file split into the records that calibrate and the pairs held out to check them.
struct HoldoutSplit {
    DataFile kept;
    std::vector<Measurement> heldOut;
};

/// Holds out about `fraction` (0 < fraction < 1) of the complete records of `file`, chosen by
/// a hash of `seed` and the record's place, so the same seed gives the same split on every
/// machine. Incomplete records stay with the kept part, where they are not counted anyway.
HoldoutSplit splitHoldout(const DataFile& file, double fraction, std::uint64_t seed);

/// The draw in [0, 1) that decides where record `index` (from 0) goes for `seed`.
double recordDraw(std::uint64_t seed, std::size_t index);

/// Splits the complete records of `file` into `folds` parts by the same draw: record r goes to
/// the first fold k with draw < (k + 1) / folds, so fold 0 is what splitHoldout holds out for
/// a fraction of 1 / folds. Part k holds fold k out and keeps every other record.
std::vector<HoldoutSplit> splitFolds(const DataFile& file, int folds, std::uint64_t seed);

} // namespace quendrix
