#include "base/Rounding.h"

#include <cmath>

namespace quendrix {

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

double roundHalfEven(double value, int decimals) {
    double scale = std::pow(10.0, decimals);
    return std::nearbyint(value * scale) / scale;
}

double roundHalfUp(double value, int decimals) {
    double scale = std::pow(10.0, decimals);
    double scaled = value * scale;
    // floor(x + 0.5) would round the sum itself; std::round is exact and only its negative
    // halves (away from zero) need moving up.
    double whole = std::round(scaled);
    if (whole - scaled == -0.5) {
        whole += 1;
    }
    return whole / scale;
}

} // namespace quendrix
