// Unsigned integers to ASCII decimal digits, two digits per step from a table of the
// hundred pairs "00".."99". Every writer fills backwards from `end` and returns where
// the most significant digit landed, so callers can pad or prefix without moving text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pl {

__extension__ typedef unsigned __int128 uint128_t;

inline constexpr char kTwoDigitTexts[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The most digits a 64-bit value has.
inline constexpr size_t kMaxDigits64 = 20;

// The digits of `value` (one "0" for zero), ending just before `end`. A 32-bit value
// divides faster in 32 bits.
template <class Unsigned = uint64_t>
inline char *write_decimal(Unsigned value, char *end) {
  while (value >= 100) {
    Unsigned pair = value % 100;
    value /= 100;
    end -= 2;
    std::memcpy(end, kTwoDigitTexts + 2 * pair, 2);
  }
  if (value >= 10) {
    end -= 2;
    std::memcpy(end, kTwoDigitTexts + 2 * value, 2);
  } else {
    *--end = static_cast<char>('0' + value);
  }
  return end;
}

// Exactly `count` digits of `value` < 10^count, leading zeros kept.
inline char *write_decimal_fixed(uint64_t value, char *end, size_t count) {
  for (; count >= 2; count -= 2) {
    uint64_t pair = value % 100;
    value /= 100;
    end -= 2;
    std::memcpy(end, kTwoDigitTexts + 2 * pair, 2);
  }
  if (count == 1) *--end = static_cast<char>('0' + value);
  return end;
}

// The digits of a 128-bit value: 18-digit blocks while it exceeds 64 bits.
inline char *write_decimal(uint128_t value, char *end) {
  constexpr uint64_t kBlock = 1000000000000000000u;  // 10^18
  while (value >> 64 != 0) {
    uint128_t quotient = value / kBlock;
    end = write_decimal_fixed(static_cast<uint64_t>(value - quotient * kBlock), end, 18);
    value = quotient;
  }
  return write_decimal(static_cast<uint64_t>(value), end);
}

}  // namespace pl
