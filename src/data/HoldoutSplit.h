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

} // namespace quendrix
