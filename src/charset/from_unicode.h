// Unicode to code set, one value at a time. A value the code set cannot represent
// gives its replacement byte; so does every value above 0xFFFF in a table-driven set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "locale/control_entry.h"

namespace pl {

// The packed character of the Unicode value `value`.
uint32_t to_packed(const ControlEntry &entry, uint32_t value);

// Writes the character's bytes to `out` (room for 4) and returns their number, 1 to 4;
// a packed value of 0 is one NUL byte.
size_t to_bytes(const ControlEntry &entry, uint32_t value, uint8_t *out);

}  // namespace pl
