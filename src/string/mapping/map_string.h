// Copying a string while mapping every character: case, width or digits, in the four
// forms. A mapping is written only when all of it fits; the output stops before the
// first that does not.
#pragma once

#include <cstdint>

#include "charset/navigation/text_rules.h"
#include "frame/handle.h"
#include "polyloc.h"

namespace pl {

enum class Mapping : uint8_t {
  copy, fullwidth, halfwidth, lower, upper, lower_simple, upper_simple, digits
};

// The mapping a selector (without PL_COUNT_CHARS) names; false for any other value.
bool mapping_of(int32_t selector, Mapping *mapping);

// Bytes of the handle's code set; under the shift rule with the states given, else
// from the single-byte state. Returns bytes written, or characters with `count_chars`.
int32_t map_string(const PLLocale &handle, const TextRules &rules, Mapping mapping, char *dst,
                   PLState dst_state, int32_t dst_size, const char *src, PLState src_state,
                   int32_t src_len, bool count_chars);
int32_t map_packed(const PLLocale &handle, Mapping mapping, PLWChar *dst, int32_t dst_size,
                   const PLWChar *src, int32_t src_len);
// UTF-16 units; needs a bound handle only for the language's case pairs.
int32_t map_units(const PLLocale &handle, Mapping mapping, PLUChar *dst, int32_t dst_size,
                  const PLUChar *src, int32_t src_len);

}  // namespace pl
