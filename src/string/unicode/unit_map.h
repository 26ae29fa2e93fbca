// Shapes of the generated mapping tables over UTF-16 units.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pl {

// A run of units that either all move by the same distance or are looked up one by
// one; long regular runs (ASCII, Armenian, full-width Latin) then cost no table space.
struct UnitMapSegment {
  uint16_t first;
  uint16_t last;
  int32_t delta;  // added to the unit when `table` is -1
  int32_t table;  // index of the value of `first` in the map's values, or -1
};

// Sorted, non-overlapping segments; a unit outside every segment maps to itself.
struct UnitMap {
  const UnitMapSegment *segments;
  size_t count;
  const uint16_t *values;
};

constexpr uint16_t map_unit(const UnitMap &map, uint16_t unit) {
  size_t low = 0;
  size_t high = map.count;
  while (low < high) {
    size_t middle = (low + high) / 2;
    const UnitMapSegment &segment = map.segments[middle];
    if (unit < segment.first) {
      high = middle;
    } else if (unit > segment.last) {
      low = middle + 1;
    } else if (segment.table < 0) {
      return static_cast<uint16_t>(unit + segment.delta);
    } else {
      return map.values[segment.table + (unit - segment.first)];
    }
  }
  return unit;
}

// A character whose uppercase is one to three units; unused units are 0.
struct SpecialUpper {
  uint16_t unit;
  uint16_t replacement[3];
};

struct DigitPair {
  uint16_t unit;
  uint16_t ascii;
};

}  // namespace pl
