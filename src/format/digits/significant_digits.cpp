#include "format/digits/significant_digits.h"

#include <cstdint>
#include <cstring>

#include "format/digits/big_unsigned.h"
#include "format/digits/binary_double.h"
#include "format/digits/decimal_writer.h"

namespace pl {
namespace {

// round(|value| * 10^scale) into the end of `buffer`; returns its digit count.
size_t scaled(uint64_t mantissa, unsigned shift, unsigned scale, char *end) {
  BigUnsigned big(mantissa);
  big.multiply_pow10(scale);
  big.shift_right_rounded(shift);
  char *first = end;
  while (!big.fits_128()) first = write_decimal_fixed(big.divide_by_billion(), first, 9);
  first = write_decimal(big.low_128(), first);
  return static_cast<size_t>(end - first);
}

}  // namespace

int significant_digits(double value, char *out) {
  Binary b = decompose(value);  // below 2^0: the exponent is negative
  uint64_t mantissa = b.mantissa;
  int binary_exponent = b.exponent;
  // The top bit's position times log10(2) is the exponent or one above it.
  int top = 63 - __builtin_clzll(mantissa) + binary_exponent;
  int exponent = (top * 78913) >> 18;  // floor(top * log10(2)), exact over this range
  // 40 digits with the point after the first: 10^39 <= round(|value| * 10^scale) < 10^40.
  // 10^363 * 2^53 stays inside the big integer's 1280 bits.
  char buffer[64];
  char *end = buffer + sizeof buffer;
  for (;;) {
    unsigned scale = static_cast<unsigned>(kSignificantDigits - 1 - exponent);
    size_t count = scaled(mantissa, static_cast<unsigned>(-binary_exponent), scale, end);
    const char *first = end - count;
    if (count == kSignificantDigits) {
      std::memcpy(out, first, kSignificantDigits);
      return exponent;
    }
    if (count < kSignificantDigits) {
      --exponent;
      continue;
    }
    // 41 digits: either the exponent is one too low, or rounding reached 10^40; a
    // power of ten reads the same either way.
    bool power_of_ten = first[0] == '1';
    for (size_t i = 1; i < count && power_of_ten; ++i) power_of_ten = first[i] == '0';
    if (power_of_ten) {
      std::memcpy(out, first, kSignificantDigits);
      return exponent + 1;
    }
    ++exponent;
  }
}

}  // namespace pl
