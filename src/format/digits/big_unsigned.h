// A fixed-capacity unsigned integer on the stack, for the exact decimal expansions
// that 128 bits cannot hold: a double's integer value up to 2^1024, and a mantissa
// times 10^p for the longest fractions the digit generator writes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/digits/decimal_writer.h"

namespace pl {

class BigUnsigned {
 public:
  // 1280 bits: 2^53 * 10^350 needs 1216, the largest double below 2^1024.
  static constexpr size_t kLimbs = 40;

  explicit BigUnsigned(uint64_t value);

  // Multiplies by 2^bits; the result must stay below 2^1280.
  void shift_left(unsigned bits);
  // Multiplies by 10^n; the result must stay below 2^1280.
  void multiply_pow10(unsigned n);
  // Divides by 2^bits, rounding to nearest with ties to even.
  void shift_right_rounded(unsigned bits);

  bool fits_128() const { return size_ <= 4; }
  uint128_t low_128() const;

  // Divides by 10^9 and returns the remainder: the next nine digits from the right.
  uint32_t divide_by_billion();

 private:
  void multiply(uint32_t factor);
  bool bit(size_t index) const;
  void trim();

  uint32_t limbs_[kLimbs];
  size_t size_;  // limbs in use; the top one is not 0 unless the value is 0
};

}  // namespace pl
