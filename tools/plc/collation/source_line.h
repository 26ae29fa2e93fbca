// The syntax of one line of a collation source: a directive, a unit, a range of units
// or a contraction, with its collation elements.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "collation/collation_source.h"

namespace plc::collation {

enum class LineKind {
  blank,
  base,               // base <name>
  default_secondary,  // default-secondary <hh>
  default_tertiary,   // default-tertiary <hh>
  order_bits,         // order-bits <h>
  remap_secondary,    // remap-secondary <old> <new>
  remap_tertiary,     // remap-tertiary <old> <new>
  unit,               // U+XXXX <elements>
  range,              // U+XXXX..U+YYYY [PPPP+]
  contraction,        // contraction U+XXXX U+YYYY <element>
};

struct SourceLine {
  LineKind kind = LineKind::blank;
  std::string name;       // base
  uint8_t value = 0;      // a directive's value, or the weight a remap replaces
  uint8_t new_value = 0;  // what a remap puts in its place
  uint16_t first = 0;     // the unit, the range's first unit, the contraction's first
  uint16_t last = 0;      // the range's last unit, the contraction's second
  // The elements of a unit or contraction (0 = ignorable or removed); for a range,
  // one element holding the first primary.
  UnitElements elements;
};

// Parses `text` (comments included). False with the reason in `error` when the line
// is malformed.
bool parse_source_line(std::string_view text, SourceLine &out, std::string &error);

}  // namespace plc::collation
