// The characters the printf engine writes itself, in the encoding family of its output:
// ASCII, or EBCDIC where the code set is EBCDIC-based (UTF-16 output is always ASCII).
#pragma once

#include <cstdint>

namespace pl {

struct EngineGlyphs {
  uint8_t zero;        // digits zero..zero+9
  const char *hex_lower;  // the sixteen hexadecimal digits
  const char *hex_upper;
  uint8_t x_lower, x_upper;
  uint8_t minus, plus, space;
  uint8_t point;
  uint8_t e_lower, e_upper;
  const char *null_text;  // "(null)", six bytes
};

inline constexpr EngineGlyphs kAsciiEngineGlyphs{0x30, "0123456789abcdef", "0123456789ABCDEF", 0x78, 0x58, 0x2D, 0x2B, 0x20,
                                                 0x2E, 0x65, 0x45, "(null)"};
inline constexpr EngineGlyphs kEbcdicEngineGlyphs{0xF0,
                                                  "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\x81\x82\x83\x84\x85\x86",
                                                  "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xC1\xC2\xC3\xC4\xC5\xC6", 0xA7, 0xE7, 0x60, 0x4E, 0x40,
                                                  0x4B, 0x85, 0xC5, "\x4D\x95\xA4\x93\x93\x5D"};
// Code page 930 has its small letters among its katakana: a..f at 0x62.., x at 0xB7,
// e at 0x66.
inline constexpr EngineGlyphs kCodePage930EngineGlyphs{
    0xF0, "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\x62\x63\x64\x65\x66\x67",
    "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xC1\xC2\xC3\xC4\xC5\xC6", 0xB7, 0xE7, 0x60, 0x4E, 0x40, 0x4B, 0x66, 0xC5, "\x4D\x76\xB4\x74\x74\x5D"};

}  // namespace pl
