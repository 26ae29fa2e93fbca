// Type words and class tests of UTF-16 code units (layout in docs/unicode-types.md).
#pragma once

#include <cstdint>

namespace pl {

// Units first..last share one type word; the generated table is sorted and has no overlaps.
struct UnicodeTypeRange {
  uint16_t first;
  uint16_t last;
  uint32_t type;
};

// The type word of a unit; 1024 (category 1, no class bits) for an unassigned one.
uint32_t unicode_type(uint16_t unit);

// The eleven class tests, each answered from its own bitmap.
enum class UnicodeClass : uint8_t {
  alnum,
  alpha,
  cntrl,
  digit,
  graph,
  lower,
  print,
  punct,
  space,
  upper,
  xdigit
};

inline constexpr int kUnicodeClassCount = 11;

// Bit u % 32 of word u / 32 tells whether unit u belongs to the class.
struct UnicodeClassBitmaps {
  uint32_t words[kUnicodeClassCount][65536 / 32];
};

extern const UnicodeClassBitmaps kUnicodeClassBitmaps;

inline bool unicode_is(UnicodeClass test, uint16_t unit) {
  return (kUnicodeClassBitmaps.words[static_cast<int>(test)][unit >> 5] >> (unit & 31)) & 1;
}

}  // namespace pl
