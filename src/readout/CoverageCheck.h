#pragma once

#include "data/DataFile.h"
#include "pipeline/DetailMatrices.h"

#include <optional>
#include <string>
#include <vector>

namespace quendrix {

/// Coverage of the pairs in one stretch of X.
struct CoverageBin {
    float xFrom = 0;
    float xTo = 0;
    int pairs = 0;
    int inRegion1 = 0;
    int inRegion2 = 0;
};

/// How well the confidence regions hold independent X,Y pairs.
struct CoverageReport {
    double nominal1 = 0; ///< the coefficients in %
    double nominal2 = 0;
    int pairs = 0; ///< pairs whose column has a region: the base of the shares
    int inRegion1 = 0;
    int inRegion2 = 0;
    int noRegion = 0;                 ///< X in the range, but its column holds no region
    int outsideRange = 0;             ///< X outside the axis range
    int incomplete = 0;               ///< records without an X or a Y (empty or marker)
    std::vector<CoverageBin> deciles; ///< the counted pairs in ten groups of rising X
};

/// A share's 95 % interval (Wilson's score interval on the pair count), as shares 0..1.
struct ShareInterval {
    double low = 0;
    double high = 0;
};
/// None without a pair to count.
std::optional<ShareInterval> wilsonInterval(int part, int whole);

/// Where a coefficient stands against a share's interval: inside it the share is consistent with
/// the coefficient; a share whose whole interval lies below (above) it is "below" ("above").
std::string verdict(const ShareInterval& interval, double coefficientPercent);

/// Looks up each pair's Y in the confidence classes of its X's column at double resolution:
/// the narrower region holds classes 2 and 3, the wider every class from 1. Region 1 is the
/// region of coefficient 1, the narrower one unless coefficient 1 is the larger.
CoverageReport checkCoverage(const DetailMatrices& d, const std::vector<Measurement>& pairs,
                             double lower, double upper, double coefficient1, double coefficient2);

/// The report as a short table for a terminal.
std::string coverageTable(const CoverageReport& r);

/// The report as one JSON object.
std::string coverageJson(const CoverageReport& r);

} // namespace quendrix
