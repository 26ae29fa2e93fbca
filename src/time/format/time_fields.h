// What the conversion characters of a time format mean, independently of the form:
// the modifiers each takes, and for the numeric ones the field it reads, the range
// that field must lie in, and the digits it is written with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

namespace pl::time_format {

// What a conversion character accepts: bit 0 it is one, bits 1 and 2 the E and O
// modifiers.
inline constexpr uint8_t kIsConversion = 1, kTakesE = 2, kTakesO = 4;

struct AcceptTable {
  uint8_t of[128];
};

inline constexpr AcceptTable kAccepts = [] {
  AcceptTable t{};
  auto set = [&](const char *chars, uint8_t bits) {
    for (const char *c = chars; *c; ++c) t.of[static_cast<uint8_t>(*c)] = kIsConversion | bits;
  };
  set("%aAbBDhjklnpRtTuVzZ", 0);
  set("deHImMSUwW", kTakesO);
  set("cCrxXY", kTakesE);
  set("y", kTakesE | kTakesO);
  return t;
}();

// A numeric field ready to write, or `valid` false when the field it reads is out of
// range.
struct Number {
  uint32_t value;
  uint8_t digits;  // exactly this many, zero-padded (low-order digits of a longer value)
  bool spaced;     // one space before a single digit instead of a zero
  bool valid;
};

inline bool in_range(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }

inline bool leap_year(int64_t y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

// ISO 8601 week number of a day given by its day of the year and weekday.
inline uint32_t iso_week(int32_t yday, int32_t wday, int64_t year) {
  auto iso_days = [](int32_t yd, int32_t wd) { return yd - (yd - wd + 382) % 7 + 3; };
  int32_t d = iso_days(yday, wday);
  if (d < 0) {
    d = iso_days(yday + 365 + leap_year(year - 1), wday);
  } else {
    int32_t next = iso_days(yday - 365 - leap_year(year), wday);
    if (next >= 0) d = next;
  }
  return static_cast<uint32_t>(d / 7 + 1);
}

// The week of the year for weeks starting on `first` (0 Sunday, 1 Monday).
inline uint32_t week_of_year(int32_t yday, int32_t wday, int32_t first) {
  int32_t offset = (wday - first + 7) % 7;
  return static_cast<uint32_t>(yday / 7 + (yday % 7 >= offset ? 1 : 0));
}

// The digits of the year: its magnitude, for years before 1 too.
inline uint64_t year_magnitude(const std::tm &t) {
  int64_t y = static_cast<int64_t>(t.tm_year) + 1900;
  return static_cast<uint64_t>(y < 0 ? -y : y);
}

// The field of conversion `c` (of kind kNumber). Years before 1 are written by their
// magnitude: no sign is written, and %C of such a year is out of range.
[[gnu::always_inline]] inline Number number_of(uint32_t c, const std::tm &t) {
  auto field = [](int32_t v, int32_t low, int32_t high, uint32_t shown, uint8_t digits,
                  bool spaced = false) {
    return Number{shown, digits, spaced, in_range(v, low, high)};
  };
  auto hour12 = [&] { return static_cast<uint32_t>(t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12); };
  auto week = [&](uint32_t (*of)(const std::tm &)) {
    bool valid = in_range(t.tm_wday, 0, 6) && in_range(t.tm_yday, 0, 365);
    return Number{valid ? of(t) : 0, 2, false, valid};
  };
  auto year = [&] { return static_cast<int64_t>(t.tm_year) + 1900; };
  auto magnitude = [&] { return year_magnitude(t); };
  switch (c) {
    case 'C': {
      int64_t century = year() / 100;
      return {static_cast<uint32_t>(century < 0 ? 0 : century % 100), 2, false,
              century >= 1 && century <= 99};
    }
    case 'd': return field(t.tm_mday, 0, 31, static_cast<uint32_t>(t.tm_mday), 2);
    case 'e': return field(t.tm_mday, 0, 31, static_cast<uint32_t>(t.tm_mday), 2, true);
    case 'H': return field(t.tm_hour, 0, 23, static_cast<uint32_t>(t.tm_hour), 2);
    case 'I': return field(t.tm_hour, 0, 23, hour12(), 2);
    case 'j': return field(t.tm_yday, 0, 365, static_cast<uint32_t>(t.tm_yday + 1), 3);
    case 'k': return field(t.tm_hour, 0, 23, static_cast<uint32_t>(t.tm_hour), 2, true);
    case 'l': return field(t.tm_hour, 0, 23, hour12(), 2, true);
    case 'm': return field(t.tm_mon, 0, 11, static_cast<uint32_t>(t.tm_mon + 1), 2);
    case 'M': return field(t.tm_min, 0, 59, static_cast<uint32_t>(t.tm_min), 2);
    case 'S': return field(t.tm_sec, 0, 59, static_cast<uint32_t>(t.tm_sec), 2);
    case 'u': return field(t.tm_wday, 0, 6, static_cast<uint32_t>(t.tm_wday + 1), 1);
    case 'w': return field(t.tm_wday, 0, 6, static_cast<uint32_t>(t.tm_wday), 1);
    case 'U': return week([](const std::tm &x) { return week_of_year(x.tm_yday, x.tm_wday, 0); });
    case 'W': return week([](const std::tm &x) { return week_of_year(x.tm_yday, x.tm_wday, 1); });
    case 'V':
      return week([](const std::tm &x) {
        return iso_week(x.tm_yday, x.tm_wday, static_cast<int64_t>(x.tm_year) + 1900);
      });
    case 'y': return {static_cast<uint32_t>(magnitude() % 100), 2, false, true};
    default:  // 'Y'
      return {static_cast<uint32_t>(magnitude() % 10000), 4, false, true};
  }
}

// The item of a name conversion (a A b h B p), or 0 when its field is out of range.
inline int32_t name_item(uint32_t c, const std::tm &t) {
  switch (c) {
    case 'a': return in_range(t.tm_wday, 0, 6) ? 23 + t.tm_wday : 0;
    case 'A': return in_range(t.tm_wday, 0, 6) ? 16 + t.tm_wday : 0;
    case 'B': return in_range(t.tm_mon, 0, 11) ? 30 + t.tm_mon : 0;
    case 'p': return in_range(t.tm_hour, 0, 23) ? (t.tm_hour < 12 ? 56 : 57) : 0;
    default: return in_range(t.tm_mon, 0, 11) ? 43 + t.tm_mon : 0;  // b, h
  }
}

// Locale format items.
inline constexpr int32_t kTimeFormatItem = 79;
inline constexpr int32_t kDateFormatItem = 80;
inline constexpr int32_t kLongDateFormatItem = 81;

// The ASCII digits of 0..99, two by two.
inline constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes `n` through `put(unit)` in the encoding whose digits start at `zero`, with
// `space` for the space-padded conversions; `alternate` drops leading zeros.
template <class Put>
[[gnu::always_inline]] inline void write_number(const Number &n, bool alternate, uint8_t zero,
                                                uint8_t space, Put put) {
  uint8_t shift = static_cast<uint8_t>(zero - '0');
  auto digit = [&](uint32_t d) { put(static_cast<uint8_t>(zero + d)); };
  auto pair = [&](uint32_t v) {
    put(static_cast<uint8_t>(kPairs[2 * v] + shift));
    put(static_cast<uint8_t>(kPairs[2 * v + 1] + shift));
  };
  uint32_t v = n.value;
  if (n.spaced && v <= 9) {
    put(space);
    return digit(v);
  }
  if (n.spaced || n.digits == 2) return alternate && v % 100 < 10 ? digit(v % 100) : pair(v % 100);
  if (n.digits == 1) return digit(v % 10);
  v %= n.digits == 3 ? 1000 : 10000;
  uint32_t high = v / 100, low = v % 100;
  if (alternate && high == 0) return low < 10 ? digit(low) : pair(low);
  if (high < 10 && (n.digits == 3 || alternate))
    digit(high);
  else
    pair(high);
  pair(low);
}

}  // namespace pl::time_format
