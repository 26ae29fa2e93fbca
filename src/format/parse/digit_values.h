// The value of a single-byte character as a digit of a number: 0-9, then the letters
// as 10..35 without regard to case; -1 for every other byte. One table for code sets
// of the ASCII family and one for the EBCDIC family.
#pragma once

#include <array>
#include <cstdint>

namespace pl {

using DigitValues = std::array<int32_t, 256>;

namespace detail {

constexpr DigitValues ascii_digit_values() {
  DigitValues values{};
  for (int32_t &v : values) v = -1;
  for (int d = 0; d < 10; ++d) values['0' + d] = d;
  for (int l = 0; l < 26; ++l) values['A' + l] = values['a' + l] = 10 + l;
  return values;
}

// EBCDIC keeps its letters in three runs, a-i j-r s-z, lower case from 0x81 and upper
// case from 0xC1, and its digits at 0xF0.
constexpr DigitValues ebcdic_digit_values() {
  DigitValues values{};
  for (int32_t &v : values) v = -1;
  for (int d = 0; d < 10; ++d) values[0xF0 + d] = d;
  constexpr int kRuns[3][2] = {{0x01, 9}, {0x11, 9}, {0x22, 8}};  // offset in a half, letters
  int letter = 10;
  for (const auto &run : kRuns)
    for (int i = 0; i < run[1]; ++i, ++letter) {
      values[0x80 + run[0] + i] = letter;
      values[0xC0 + run[0] + i] = letter;
    }
  return values;
}

}  // namespace detail

inline constexpr DigitValues kAsciiDigitValues = detail::ascii_digit_values();
inline constexpr DigitValues kEbcdicDigitValues = detail::ebcdic_digit_values();

static_assert(kEbcdicDigitValues[0x89] == 18 && kEbcdicDigitValues[0x91] == 19 &&
              kEbcdicDigitValues[0xA2] == 28 && kEbcdicDigitValues[0xE9] == 35);

inline const DigitValues &digit_values(bool ascii_based) {
  return ascii_based ? kAsciiDigitValues : kEbcdicDigitValues;
}

}  // namespace pl
