#include "string/unicode/case_tables.h"
#include "string/unicode/unicode_mapping.h"

namespace pl {
uint16_t unicode_upper(uint16_t unit) { return map_unit(kUpperMap, unit); }

uint16_t unicode_lower(uint16_t unit) { return map_unit(kLowerMap, unit); }

int special_upper(uint16_t unit, uint16_t out[3]) {
  size_t low = 0;
  size_t high = sizeof kSpecialUppers / sizeof kSpecialUppers[0];
  while (low < high) {
    size_t middle = (low + high) / 2;
    const SpecialUpper &entry = kSpecialUppers[middle];
    if (unit < entry.unit) {
      high = middle;
    } else if (unit > entry.unit) {
      low = middle + 1;
    } else {
      int count = 0;
      while (count < 3 && entry.replacement[count] != 0) {
        out[count] = entry.replacement[count];
        ++count;
      }
      return count;
    }
  }
  return 0;
}

}  // namespace pl
