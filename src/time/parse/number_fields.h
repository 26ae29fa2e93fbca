// The number conversions read by one rule (digits into one field of the time), and
// the digit scan every number conversion makes.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <type_traits>

#include "time/parse/parse_state.h"

namespace pl::time_parse {

// The digits at `at` (`left` units, digits from `zero`), at most `width` of them: their
// count, their value in `value`.
template <class Unit>
size_t scan_digits(const Unit *at, size_t left, size_t width, uint32_t zero, int32_t *value) {
  size_t n = std::min(left, width), count = 0;
  int32_t number = 0;
  for (uint32_t digit; count < n; ++count) {
    digit = static_cast<std::make_unsigned_t<Unit>>(at[count]) - zero;
    if (digit >= 10) break;
    number = number * 10 + static_cast<int32_t>(digit);
  }
  *value = number;
  return count;
}

// A conversion that reads one number into one field of the time.
struct NumberField {
  int std::tm::*member;
  uint8_t width;    // digits at most; 0: not such a conversion
  uint8_t least;    // digits at least
  int16_t max;
  int16_t offset;   // added to the value read
  uint16_t given;   // the field mask's bit
};

// The number conversions without a rule of their own, by conversion character.
inline constexpr auto kNumberFields = [] {
  std::array<NumberField, 0x80> table{};
  table['d'] = {&std::tm::tm_mday, 2, 1, 31, 0, kDayGiven};
  table['H'] = {&std::tm::tm_hour, 2, 1, 23, 0, 0};
  table['j'] = {&std::tm::tm_yday, 3, 1, 366, -1, 0};
  table['m'] = {&std::tm::tm_mon, 2, 1, 12, -1, kMonthGiven};
  table['M'] = {&std::tm::tm_min, 2, 1, 59, 0, 0};
  table['S'] = {&std::tm::tm_sec, 2, 1, 59, 0, 0};
  table['w'] = {&std::tm::tm_wday, 1, 1, 6, 0, 0};
  table['Y'] = {&std::tm::tm_year, 4, 4, 9999, -1900, kYearGiven};
  return table;
}();

}  // namespace pl::time_parse
