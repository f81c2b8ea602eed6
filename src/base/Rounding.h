#pragma once

namespace quendrix {

/// Nearest whole number, halves to even.
double roundHalfEven(double value);

/// Nearest multiple of 10^-decimals, halves to even.
double roundHalfEven(double value, int decimals);

/// Nearest multiple of 10^-decimals, halves up (toward positive infinity).
double roundHalfUp(double value, int decimals);

} // namespace quendrix
