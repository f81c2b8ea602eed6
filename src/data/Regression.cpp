#include "data/Regression.h"

#include "base/NumberText.h"

#include <cmath>

namespace quendrix {

FileStatistics computeRegression(const DataFile& file, FileStatistics previous) {
    // Single-precision accumulators: each sum is widened, added and stored back as a single.
    float sumX = 0;
    float sumY = 0;
    int n = 0;
    for (const Sample& s : file.records) {
        if (s.complete()) {
            sumX = float(double(sumX) + double(s.x));
            sumY = float(double(sumY) + double(s.y));
            ++n;
        }
    }
    previous.lineDefined = false;
    previous.correlationDefined = false;
    if (n == 0) {
        return previous;
    }
    float meanX = float(double(sumX) / n);
    float meanY = float(double(sumY) / n);
    float sxy = 0;
    float sxx = 0;
    float syy = 0;
    for (const Sample& s : file.records) {
        if (!s.complete()) {
            continue;
        }
        double dx = double(s.x) - double(meanX);
        double dy = double(s.y) - double(meanY);
        sxy = float(double(sxy) + dx * dy);
        sxx = float(double(sxx) + dx * dx);
        syy = float(double(syy) + dy * dy);
    }
    if (sxx == 0) {
        return previous;
    }
    FileStatistics out = previous;
    out.lineDefined = true;
    out.slope = float(double(sxy) / double(sxx));
    out.intercept = float(double(meanY) - double(meanX) * double(out.slope));
    float sq = float(std::sqrt(double(syy) * double(sxx)));
    if (sq != 0) {
        out.correlation = float(double(sxy) / double(sq));
        out.correlationDefined = true;
    }
    return out;
}

float residualStdDev(const DataFile& file, float slope, float intercept) {
    float sum = 0;
    int n = 0;
    for (const Sample& s : file.records) {
        if (!s.complete()) {
            continue;
        }
        double e = double(s.y) - (double(s.x) * double(slope) + double(intercept));
        float square = float(e * e);
        sum = float(double(sum) + double(square));
        ++n;
    }
    return float(std::sqrt(double(sum) / (double(n) - 1)));
}

std::string fittingLineCaption(float slope, float intercept) {
    int decimals = intercept < 100 ? 3 : 2;
    return "y = " + shortestText(roundHalfEven(slope, 3)) + " x + " +
           shortestText(roundHalfEven(intercept, decimals));
}

std::string stdDevCaption(float stdDev) {
    int decimals = stdDev < 10 ? 5 : stdDev < 100 ? 4 : stdDev < 1000 ? 3 : stdDev < 10000 ? 2 : 1;
    return shortestText(roundHalfEven(stdDev, decimals));
}

} // namespace quendrix
