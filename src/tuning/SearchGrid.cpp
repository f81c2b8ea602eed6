#include "tuning/SettingsSearch.h"

#include "pipeline/GeneratedModel.h"
#include "pipeline/Normalization.h"
#include "pipeline/Smoothing.h"

#include <algorithm>
#include <set>
#include <string>

namespace quendrix {
namespace {

Status checkList(const std::vector<int>& values, int lo, int hi, const std::string& what,
                 const std::string& unit) {
    if (values.empty()) {
        return Failure{"the search grid has no " + what};
    }
    std::set<int> seen;
    for (int v : values) {
        if (v < lo || v > hi) {
            return Failure{what + " " + std::to_string(v) + unit + " is outside " +
                           std::to_string(lo) + ".." + std::to_string(hi)};
        }
        if (!seen.insert(v).second) {
            return Failure{what + " " + std::to_string(v) + unit + " is listed twice"};
        }
    }
    return {};
}

} // namespace

SearchGrid defaultSearchGrid(const TuningProblem& p) {
    SearchGrid g;
    for (int s = MinSmoothing; s <= MaxSmoothing; ++s) {
        g.smoothing.push_back(s);
    }
    if (p.fileModel) {
        // Neighbouring thresholds differ little once they are large; the skip leaves the
        // vertical one unused.
        const std::vector<int> steps{0, 1, 2, 3, 4, 6, 8, 10};
        g.verticalThreshold = p.skip ? std::vector<int>{p.verticalThreshold} : steps;
        g.horizontalThreshold = steps;
    } else {
        for (int m = MinModelPercent; m <= MaxModelPercent; ++m) {
            g.modelPercent.push_back(m);
        }
        g.verticalThreshold = {p.verticalThreshold};
        g.horizontalThreshold = {p.horizontalThreshold};
    }
    return g;
}

Status checkSearchGrid(const SearchGrid& g, const TuningProblem& p) {
    if (Status st = checkList(g.smoothing, MinSmoothing, MaxSmoothing, "smoothing level", " %");
        !st) {
        return st;
    }
    if (p.fileModel && !g.modelPercent.empty()) {
        return Failure{"the error model is file 2's, so there is no model deviation to search: "
                       "generate the model to search it"};
    }
    if (!p.fileModel) {
        if (Status st = checkList(g.modelPercent, MinModelPercent, MaxModelPercent,
                                  "model deviation", " %");
            !st) {
            return st;
        }
    }
    if (Status st = checkList(g.verticalThreshold, 0, MaxThreshold, "vertical threshold", "");
        !st) {
        return st;
    }
    return checkList(g.horizontalThreshold, 0, MaxThreshold, "horizontal threshold", "");
}

int settingCount(const SearchGrid& g) {
    return int(g.smoothing.size() * std::max<size_t>(1, g.modelPercent.size()) *
               g.verticalThreshold.size() * g.horizontalThreshold.size());
}

} // namespace quendrix
