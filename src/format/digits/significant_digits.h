// The leading decimal digits of a double below 1: exactly the mantissa digits of
// glibc's snprintf("%.39e", x) (40 significant digits of the exact binary value,
// rounded to nearest with ties to even), for magnitudes where "%.*f" would need more
// fraction digits than the fixed generator writes (subnormals need over 1,000).
#pragma once

#include <cstddef>

namespace pl {

inline constexpr int kSignificantDigits = 40;

// Writes the 40 leading digits of |value| (finite, not 0, below 1; the sign is
// ignored) into `out` and returns the decimal exponent of the first one: |value| is
// about d.ddd... * 10^exponent.
int significant_digits(double value, char *out);

}  // namespace pl
