#include "charset/unicode/unicode_types.h"

#include <cstddef>

#include "charset/unicode/unicode_type_table.h"

namespace pl {

uint32_t unicode_type(uint16_t unit) {
  size_t low = 0;
  size_t high = sizeof kUnicodeTypeRanges / sizeof kUnicodeTypeRanges[0];
  while (low < high) {
    size_t middle = (low + high) / 2;
    if (unit < kUnicodeTypeRanges[middle].first) {
      high = middle;
    } else if (unit > kUnicodeTypeRanges[middle].last) {
      low = middle + 1;
    } else {
      return kUnicodeTypeRanges[middle].type;
    }
  }
  return 1024;
}

}  // namespace pl
