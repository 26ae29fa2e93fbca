// What the exact digit generators start from: a finite double as an odd integer times
// a power of two, and the powers of ten that 64 bits hold.
#pragma once

#include <cstdint>
#include <cstring>

namespace pl {

// |value| = mantissa * 2^exponent with an odd mantissa (or 0).
struct Binary {
  uint64_t mantissa;
  int exponent;
};

inline Binary decompose(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  Binary b{mantissa, -1074};
  if (biased != 0) b = {mantissa | uint64_t{1} << 52, biased - 1075};
  if (b.mantissa == 0) return {0, 0};
  int zeros = __builtin_ctzll(b.mantissa);
  return {b.mantissa >> zeros, b.exponent + zeros};
}

// 10^0 .. 10^19.
inline constexpr uint64_t kPowers10[20] = {1u,
                                           10u,
                                           100u,
                                           1000u,
                                           10000u,
                                           100000u,
                                           1000000u,
                                           10000000u,
                                           100000000u,
                                           1000000000u,
                                           10000000000u,
                                           100000000000u,
                                           1000000000000u,
                                           10000000000000u,
                                           100000000000000u,
                                           1000000000000000u,
                                           10000000000000000u,
                                           100000000000000000u,
                                           1000000000000000000u,
                                           10000000000000000000u};

}  // namespace pl
