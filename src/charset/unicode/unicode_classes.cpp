// The class bitmaps, computed by the compiler from the type table so that they can
// never disagree with it and are not kept as data of their own.
#include "charset/unicode/unicode_type_table.h"
#include "charset/unicode/unicode_types.h"

namespace pl {
namespace {

// Class bits (bit 0 alphabetic ... bit 8 control) that admit a unit to each test, in
// the order of UnicodeClass.
constexpr uint32_t kClassMasks[kUnicodeClassCount] = {
    0x009,  // alnum: alphabetic or digit
    0x001,  // alpha
    0x100,  // cntrl
    0x008,  // digit
    0x029,  // graph: alphabetic, digit or punctuation
    0x004,  // lower
    0x0A9,  // print: graph or blank
    0x020,  // punct
    0x040,  // space
    0x002,  // upper
    0x010,  // xdigit
};

constexpr UnicodeClassBitmaps build_bitmaps() {
  UnicodeClassBitmaps bitmaps{};
  for (const UnicodeTypeRange &range : kUnicodeTypeRanges) {
    for (uint32_t unit = range.first; unit <= range.last; ++unit) {
      for (int test = 0; test < kUnicodeClassCount; ++test) {
        if (range.type & kClassMasks[test])
          bitmaps.words[test][unit >> 5] |= uint32_t{1} << (unit & 31);
      }
    }
  }
  return bitmaps;
}

}  // namespace

constinit const UnicodeClassBitmaps kUnicodeClassBitmaps = build_bitmaps();

}  // namespace pl
