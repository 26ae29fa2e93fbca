// UTF-8 encoding, independent of any locale.
#pragma once

#include <cstddef>
#include <cstdint>

#include "polyloc.h"

namespace pl {

// Writes the UTF-8 form of one code point (at most 0x10FFFF) to `out`; returns 1 to 4.
size_t utf8_encode(uint32_t code_point, char *out);

// Converts `count` UTF-16 units to UTF-8 in `out` (capacity `capacity`), pairing
// surrogates; a lone surrogate is written as its own 3-byte form. Stops before a
// character that would not fit with the terminating NUL, which is always written
// when capacity > 0. Returns the bytes written, without the NUL.
size_t utf16_to_utf8(const PLUChar *units, size_t count, char *out, size_t capacity);

// Length of a NUL-terminated UTF-16 string in units.
size_t utf16_length(const PLUChar *units);

}  // namespace pl
