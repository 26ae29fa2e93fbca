#include "string/unicode/digit_table.h"
#include "string/unicode/unicode_mapping.h"

namespace pl {

uint16_t unicode_digit(uint16_t unit) {
  size_t low = 0;
  size_t high = sizeof kDigitPairs / sizeof kDigitPairs[0];
  while (low < high) {
    size_t middle = (low + high) / 2;
    if (unit < kDigitPairs[middle].unit) {
      high = middle;
    } else if (unit > kDigitPairs[middle].unit) {
      low = middle + 1;
    } else {
      return kDigitPairs[middle].ascii;
    }
  }
  return 0;
}

}  // namespace pl
