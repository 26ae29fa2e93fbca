// The text of the numeric conversions, built in the engine's byte buffer: integers in
// decimal, octal and hexadecimal, and floating values from the digit generator with
// the engine's own finishing (the # point, g's zero removal, the sign taken off).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "format/digits/decimal_writer.h"
#include "format/printf/engine_glyphs.h"
#include "format/printf/float_conversion.h"

namespace pl {

inline constexpr size_t kTextCapacity = kFloatTextCapacity;
// An integer precision beyond this many digits is taken as this many.
inline constexpr int32_t kMaxIntegerPrecision = kTextCapacity - 2;

struct TextSpan {
  const char *text;
  size_t length;
};

// Digits of `value` in `radix` (8, 10 or 16) at the end of `buffer`: at least
// `precision` of them, none for a zero value with precision 0.
[[gnu::always_inline]] inline TextSpan integer_text(uint64_t value, unsigned radix, bool upper, int32_t precision,
                             const EngineGlyphs &glyphs, char *buffer) {
  if (precision > kMaxIntegerPrecision) precision = kMaxIntegerPrecision;
  char *end = buffer + kTextCapacity;
  char *at = end;
  const char *digits = upper ? glyphs.hex_upper : glyphs.hex_lower;
  if (radix == 10) {
    if (value != 0 || precision > 0) {
      at = value <= UINT32_MAX ? write_decimal(static_cast<uint32_t>(value), end)
                               : write_decimal(value, end);
      // EBCDIC digits are the ASCII ones moved up by 0xC0.
      if (glyphs.zero != '0')
        for (char *d = at; d < end; ++d) *d = static_cast<char>(*d + (glyphs.zero - '0'));
    }
  } else {
    unsigned shift = radix == 16 ? 4 : 3;
    while (value != 0) {
      *--at = digits[value & (radix - 1)];
      value >>= shift;
    }
  }
  while (end - at < precision) *--at = static_cast<char>(glyphs.zero);
  return {at, static_cast<size_t>(end - at)};
}

// The digit generator writes EBCDIC small letters (e, and those of inf and nan) where
// code page 037 has them; code page 930 has them elsewhere.
inline void move_small_letters(char *text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    switch (static_cast<uint8_t>(text[i])) {
      case 0x81: text[i] = '\x62'; break;  // a
      case 0x85: text[i] = '\x66'; break;  // e
      case 0x86: text[i] = '\x67'; break;  // f
      case 0x89: text[i] = '\x71'; break;  // i
      case 0x95: text[i] = '\x76'; break;  // n
      default: break;
    }
  }
}

struct FloatText {
  size_t length;
  bool negative;
};

// The text of a floating conversion in `buffer` (kTextCapacity bytes): `conversion` is
// e, E, f, g or G; `precision` already defaulted.
inline FloatText float_text(double value, uint32_t conversion, int32_t precision, bool alternate,
                            bool ascii_based, const EngineGlyphs &glyphs, char *buffer) {
  bool upper = conversion == 'E' || conversion == 'G';
  char layout = conversion == 'f' ? 'f' : (conversion == 'e' || conversion == 'E') ? 'e' : 'g';
  size_t length = format_double(value, buffer, layout, precision, upper, ascii_based);
  if (!ascii_based && glyphs.e_lower != kEbcdicEngineGlyphs.e_lower) move_small_letters(buffer, length);
  bool finite = value - value == 0;
  char point = static_cast<char>(glyphs.point);
  char exponent = static_cast<char>(upper ? glyphs.e_upper : glyphs.e_lower);
  if (finite && alternate && precision == 0) {
    char *letter = static_cast<char *>(std::memchr(buffer, exponent, length));
    size_t at = letter ? static_cast<size_t>(letter - buffer) : length;
    std::memmove(buffer + at + 1, buffer + at, length - at + 1);
    buffer[at] = point;
    ++length;
  }
  if (finite && conversion == 'g' && !alternate) {
    char *dot = static_cast<char *>(std::memchr(buffer, point, length));
    if (dot != nullptr) {
      char *letter = static_cast<char *>(std::memchr(dot, exponent, length - (dot - buffer)));
      char *tail = letter ? letter : buffer + length;
      char *keep = tail;
      while (keep > dot + 1 && keep[-1] == static_cast<char>(glyphs.zero)) --keep;
      if (keep == dot + 1) keep = dot;
      std::memmove(keep, tail, static_cast<size_t>(buffer + length - tail) + 1);
      length -= static_cast<size_t>(tail - keep);
    }
  }
  bool negative = length > 0 && buffer[0] == static_cast<char>(glyphs.minus);
  if (negative) {
    std::memmove(buffer, buffer + 1, length);
    --length;
  }
  return {length, negative};
}

}  // namespace pl
