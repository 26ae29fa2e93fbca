#include "format/digits/fixed_digits.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "format/digits/big_unsigned.h"
#include "format/digits/binary_double.h"
#include "format/digits/decimal_writer.h"

namespace pl {
namespace {

// The largest fraction the 128-bit path takes: m * 10^19 < 2^53 * 2^64.
constexpr unsigned kShortFraction = 19;
// m < 2^53, so m * 2^74 < 2^127.
constexpr int kShortShift = 74;

// round(product / 2^shift), ties to even; the product is below 2^127.
uint128_t shift_rounded(uint128_t product, unsigned shift) {
  if (shift >= 128) return 0;  // the product is below half of 2^shift
  uint128_t quotient = product >> shift;
  uint128_t rest = product - (quotient << shift);
  uint128_t half = uint128_t{1} << (shift - 1);
  if (rest > half || (rest == half && (quotient & 1) != 0)) ++quotient;
  return quotient;
}

char *write_big_decimal(BigUnsigned &value, char *end) {
  while (!value.fits_128()) end = write_decimal_fixed(value.divide_by_billion(), end, 9);
  return write_decimal(value.low_128(), end);
}

// The digits of round(|value| * 10^fraction), ending at `end`.
char *scaled_digits(Binary b, unsigned fraction, char *end) {
  if (b.exponent >= 0) {
    // An integer: its digits, then zeros.
    end -= fraction;
    std::memset(end, '0', fraction);
    if (b.exponent <= kShortShift) return write_decimal(uint128_t{b.mantissa} << b.exponent, end);
    BigUnsigned big(b.mantissa);
    big.shift_left(static_cast<unsigned>(b.exponent));
    return write_big_decimal(big, end);
  }
  unsigned shift = static_cast<unsigned>(-b.exponent);
  if (fraction <= kShortFraction)
    return write_decimal(shift_rounded(uint128_t{b.mantissa} * kPowers10[fraction], shift), end);
  BigUnsigned big(b.mantissa);
  big.multiply_pow10(fraction);
  big.shift_right_rounded(shift);
  return write_big_decimal(big, end);
}

}  // namespace

FixedDigits fixed_digits(double value, int fraction_digits, char *out, size_t capacity) {
  unsigned fraction =
      static_cast<unsigned>(std::clamp(fraction_digits, 0, kMaxFractionDigits));
  char buffer[kFixedDigitsCapacity];
  char *end = buffer + sizeof buffer;
  char *first = scaled_digits(decompose(value), fraction, end);
  // At least one integer digit: 0.05 is "005" with the point after the first.
  while (static_cast<size_t>(end - first) <= fraction) *--first = '0';
  size_t length = static_cast<size_t>(end - first);
  if (length > capacity) return {0, 0};
  std::memcpy(out, first, length);
  return {length, length - fraction};
}

}  // namespace pl
