// The one-to-one case mappings of every BMP unit as distances in pages of 256 units,
// built at compile time from the mapping tables: a page without mappings shares the
// page of zeros, so a unit maps in two loads and no search. A unit whose uppercase
// takes several units is marked, for the special table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "string/unicode/case_tables.h"

namespace pl {

inline constexpr int32_t kSpecialCase = INT32_MIN;

template <size_t Pages>
struct CaseDistances {
  uint8_t page_of[256];             // row of each page in `rows`; row 0 is all zeros
  int32_t rows[Pages + 1][256];

  // The distance from `unit` to its mapping, or kSpecialCase.
  constexpr int32_t distance(uint16_t unit) const { return rows[page_of[unit >> 8]][unit & 0xFF]; }
};

constexpr bool page_has_mapping(const UnitMap &map, unsigned page, bool specials) {
  for (unsigned u = page << 8; u < (page + 1) << 8; ++u)
    if (map_unit(map, static_cast<uint16_t>(u)) != u) return true;
  if (specials)
    for (const SpecialUpper &entry : kSpecialUppers)
      if (entry.unit >> 8 == page) return true;
  return false;
}

constexpr size_t pages_with_mappings(const UnitMap &map, bool specials) {
  size_t pages = 0;
  for (unsigned page = 0; page < 256; ++page) pages += page_has_mapping(map, page, specials);
  return pages;
}

template <size_t Pages>
constexpr CaseDistances<Pages> case_distances(const UnitMap &map, bool specials) {
  CaseDistances<Pages> out{};
  uint8_t row = 0;
  for (unsigned page = 0; page < 256; ++page) {
    if (!page_has_mapping(map, page, specials)) continue;
    out.page_of[page] = ++row;
    for (unsigned low = 0; low < 256; ++low) {
      unsigned u = page << 8 | low;
      out.rows[row][low] = static_cast<int32_t>(map_unit(map, static_cast<uint16_t>(u))) - static_cast<int32_t>(u);
    }
  }
  if (specials)
    for (const SpecialUpper &entry : kSpecialUppers)
      out.rows[out.page_of[entry.unit >> 8]][entry.unit & 0xFF] = kSpecialCase;
  return out;
}

inline constexpr CaseDistances<pages_with_mappings(kUpperMap, true)> kUpperDistances =
    case_distances<pages_with_mappings(kUpperMap, true)>(kUpperMap, true);
inline constexpr CaseDistances<pages_with_mappings(kLowerMap, false)> kLowerDistances =
    case_distances<pages_with_mappings(kLowerMap, false)>(kLowerMap, false);

}  // namespace pl
