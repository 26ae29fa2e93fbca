#include "string/unicode/unicode_mapping.h"
#include "string/unicode/width_tables.h"

namespace pl {

uint16_t unicode_fullwidth(uint16_t unit) { return map_unit(kFullwidthMap, unit); }

uint16_t unicode_halfwidth(uint16_t unit) { return map_unit(kHalfwidthMap, unit); }

}  // namespace pl
