// One-to-one mappings of UTF-16 units: case, width and digits.
#pragma once

#include <cstdint>

namespace pl {

// Simple case mappings over the ranges the library maps; other units are unchanged.
uint16_t unicode_upper(uint16_t unit);
uint16_t unicode_lower(uint16_t unit);

// The multi-unit uppercase of `unit` (U+00DF gives "SS"), written to `out`; returns the
// number of units (1 to 3), or 0 when the unit has no entry.
int special_upper(uint16_t unit, uint16_t out[3]);

// Half-width and full-width counterparts; a unit without one is returned unchanged.
uint16_t unicode_fullwidth(uint16_t unit);
uint16_t unicode_halfwidth(uint16_t unit);

// The ASCII digit ('0' to '9') that a decimal digit of any script stands for, or 0.
uint16_t unicode_digit(uint16_t unit);

}  // namespace pl
