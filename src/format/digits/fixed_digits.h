// The decimal digits of a double in fixed notation: exactly the digits glibc's
// snprintf("%.*f", p, x) prints for |x| (the exact binary value, rounded to nearest
// with ties to even), computed without the C library. Shared by the number formatters
// and the printf engine.
//
// Most calls take a 128-bit path: an integer below 2^128 is written directly, and a
// value m * 2^e with e < 0 and p <= 19 becomes round(m * 10^p / 2^-e) with one
// multiplication, one shift and one compare of the remainder with the half. Larger
// integers and longer fractions go through a fixed-capacity big integer on the stack.
// Nothing allocates.
#pragma once

#include <cstddef>

namespace pl {

// Fraction digits beyond this are not written (a request above it is cut to it), so
// every buffer stays fixed. 350 digits write any double of magnitude 2^-298 (about
// 2e-90) or more exactly; smaller ones are rounded there like any other.
inline constexpr int kMaxFractionDigits = 350;
// DBL_MAX has 309 integer digits; rounding never carries into a 310th.
inline constexpr size_t kMaxIntegerDigits = 309;
// Enough for any call.
inline constexpr size_t kFixedDigitsCapacity = kMaxIntegerDigits + kMaxFractionDigits;

struct FixedDigits {
  size_t length;          // digits written, 0 when they did not fit
  size_t integer_digits;  // how many of them stand before the point; at least 1
};

// Writes the digits of |value| (finite; the sign is ignored) with `fraction_digits`
// digits after the point (clamped to 0..kMaxFractionDigits) into `out`: the integer
// digits ("0" when there are none), then the fraction digits; no sign, point or NUL.
// The point goes after `integer_digits` digits. When more than `capacity` digits
// would be needed nothing is written and the length is 0.
FixedDigits fixed_digits(double value, int fraction_digits, char *out, size_t capacity);

}  // namespace pl
