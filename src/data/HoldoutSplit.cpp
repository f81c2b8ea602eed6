#include "data/HoldoutSplit.h"

#include "data/DataFileReader.h"

namespace quendrix {
namespace {

// SplitMix64: fixed arithmetic, unlike the standard library's distributions, so a split is the
// same everywhere.
std::uint64_t mix(std::uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace

HoldoutSplit splitHoldout(const DataFile& file, double fraction, std::uint64_t seed) {
    HoldoutSplit out;
    out.kept.xName = file.xName;
    out.kept.yName = file.yName;
    // The top 53 bits as a number in [0, 1), exact in a double.
    const double scale = 1.0 / double(std::uint64_t(1) << 53);
    for (size_t r = 0; r < file.records.size(); ++r) {
        const Sample& s = file.records[r];
        const double u = double(mix(seed ^ mix(r)) >> 11) * scale;
        if (s.complete() && u < fraction) {
            // Record r + 1 follows the header line; records may span lines, so this is the
            // record's number rather than a line.
            out.heldOut.push_back({int(r + 1), s.x, s.y});
        } else {
            out.kept.records.push_back(s);
        }
    }
    recount(out.kept);
    return out;
}

} // namespace quendrix
