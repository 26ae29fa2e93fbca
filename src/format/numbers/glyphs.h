// The characters a number's text is made of, in the encoding family of the output:
// ASCII, or EBCDIC where the code set is EBCDIC-based (the byte and packed forms;
// UTF-16 output is Unicode and takes the ASCII ones). Letters are not among them:
// EBCDIC sets disagree on where the small letters are (code page 930 has its own
// places), so the forms take them from the code set.
#pragma once

#include <cstdint>

namespace pl {

struct Glyphs {
  uint8_t zero;             // the digits are zero..zero+9
  uint8_t minus;
  uint8_t space;
  uint8_t open, close;      // the parentheses of sign position 0
  uint8_t group_separator;  // between the sizes of a grouping text
};

inline constexpr Glyphs kAsciiGlyphs{0x30, 0x2D, 0x20, 0x28, 0x29, 0x3B};
inline constexpr Glyphs kEbcdicGlyphs{0xF0, 0x60, 0x40, 0x4D, 0x5D, 0x5E};

inline const Glyphs &glyphs_of(bool ascii_based) {
  return ascii_based ? kAsciiGlyphs : kEbcdicGlyphs;
}

}  // namespace pl
