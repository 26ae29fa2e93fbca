// Code set to Unicode, one character at a time. Unmappable or malformed input gives
// U+FFFD; nothing is read past the bytes the caller makes available.
#pragma once

#include <cstddef>
#include <cstdint>

#include "locale/control_entry.h"

namespace pl {

// The Unicode value of the character at `bytes`, which the length rule found to be
// longer than one byte (single bytes go through the byte table). Reads at most
// `available` bytes, and at most 4: a character cut short gives U+FFFD.
uint32_t to_unicode(const ControlEntry &entry, const uint8_t *bytes, size_t available);

// The same for a packed character. A value up to 0xFF is a single-byte character and
// is read from the byte table.
uint32_t packed_to_unicode(const ControlEntry &entry, uint32_t packed);

}  // namespace pl
