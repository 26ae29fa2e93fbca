// The 256-unit pages in which some unit has a case mapping (the special uppercase
// included): elsewhere every unit maps to itself, which one bit tells without the
// table searches.
#pragma once

#include <cstddef>
#include <cstdint>

#include "string/unicode/case_tables.h"

namespace pl {

struct CasePages {
  uint64_t bits[4];

  constexpr void add(unsigned first, unsigned last) {
    for (unsigned page = first >> 8; page <= last >> 8; ++page)
      bits[page >> 6] |= uint64_t{1} << (page & 63);
  }
  constexpr bool has(uint16_t unit) const { return bits[unit >> 14] >> ((unit >> 8) & 63) & 1; }
};

constexpr CasePages case_pages(const UnitMap &map, bool specials) {
  CasePages pages{};
  for (size_t i = 0; i < map.count; ++i) pages.add(map.segments[i].first, map.segments[i].last);
  if (specials)
    for (const SpecialUpper &entry : kSpecialUppers) pages.add(entry.unit, entry.unit);
  return pages;
}

inline constexpr CasePages kUpperPages = case_pages(kUpperMap, true);
inline constexpr CasePages kLowerPages = case_pages(kLowerMap, false);

// The case mapping of the first units (Latin, Greek, Cyrillic) by direct lookup; 0
// for a unit with a special uppercase, which takes the table searches.
inline constexpr size_t kDirectCaseUnits = 0x500;

struct DirectCase {
  uint16_t units[kDirectCaseUnits];
};

constexpr DirectCase direct_case(const UnitMap &map, bool specials) {
  DirectCase direct{};
  for (size_t u = 0; u < kDirectCaseUnits; ++u) direct.units[u] = map_unit(map, static_cast<uint16_t>(u));
  if (specials)
    for (const SpecialUpper &entry : kSpecialUppers)
      if (entry.unit < kDirectCaseUnits) direct.units[entry.unit] = 0;
  return direct;
}

inline constexpr DirectCase kDirectUpper = direct_case(kUpperMap, true);
inline constexpr DirectCase kDirectLower = direct_case(kLowerMap, false);

}  // namespace pl
