// The parsed source of a collation (data/collations/<name>.txt): per UTF-16 unit its
// collation elements, the two-unit contractions, and the table-wide settings.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace plc::collation {

// One collation element: a primary, secondary and tertiary weight (0 = none at that
// level), or, when `special` is set, only a special weight held in `weight`.
struct Element {
  uint16_t weight = 0;
  uint8_t secondary = 0;
  uint8_t tertiary = 0;
  bool special = false;

  bool operator==(const Element &) const = default;
};

// What a unit collates as: no element (ignorable), one, or two (an expansion).
struct UnitElements {
  uint8_t count = 0;
  Element element[2];
};

using UnitPair = std::pair<uint16_t, uint16_t>;

struct CollationSource {
  uint8_t default_secondary = 0;
  uint8_t default_tertiary = 0;
  uint8_t order_bits = 0xF;  // given to every element of the table
  std::vector<UnitElements> units = std::vector<UnitElements>(0x10000);  // by unit
  std::map<UnitPair, Element> contractions;
};

// Reads `path` and, through "base" lines, the collations it derives from (looked up
// beside it). False with "file:line: message" in `error` when a source is malformed.
bool read_collation_source(const std::string &path, CollationSource &out, std::string &error);

}  // namespace plc::collation
