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

double recordDraw(std::uint64_t seed, std::size_t index) {
    // The top 53 bits as a number in [0, 1), exact in a double.
    const double scale = 1.0 / double(std::uint64_t(1) << 53);
    return double(mix(seed ^ mix(index)) >> 11) * scale;
}

HoldoutSplit splitHoldout(const DataFile& file, double fraction, std::uint64_t seed) {
    HoldoutSplit out;
    out.kept.xName = file.xName;
    out.kept.yName = file.yName;
    for (size_t r = 0; r < file.records.size(); ++r) {
        const Sample& s = file.records[r];
        if (s.complete() && recordDraw(seed, r) < fraction) {
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

std::vector<HoldoutSplit> splitFolds(const DataFile& file, int folds, std::uint64_t seed) {
    std::vector<HoldoutSplit> parts(static_cast<size_t>(folds));
    for (HoldoutSplit& part : parts) {
        part.kept.xName = file.xName;
        part.kept.yName = file.yName;
    }
    for (size_t r = 0; r < file.records.size(); ++r) {
        const Sample& s = file.records[r];
        int fold = -1;
        if (s.complete()) {
            const double u = recordDraw(seed, r);
            fold = 0;
            // (k + 1) / folds as splitHoldout's fraction would be, not u * folds, so that fold 0
            // is exactly its held-out part.
            while (fold < folds - 1 && !(u < double(fold + 1) / folds)) {
                ++fold;
            }
        }
        for (int k = 0; k < folds; ++k) {
            if (k == fold) {
                parts[size_t(k)].heldOut.push_back({int(r + 1), s.x, s.y});
            } else {
                parts[size_t(k)].kept.records.push_back(s);
            }
        }
    }
    for (HoldoutSplit& part : parts) {
        recount(part.kept);
    }
    return parts;
}

} // namespace quendrix
