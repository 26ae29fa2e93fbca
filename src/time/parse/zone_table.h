// The zone names %z and %Z read: the named zones, then the military letters.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pl::time_parse {

struct NamedZone {
  int32_t minutes_west;  // the zone's standard offset, also for a daylight name
  bool daylight;
};

// The zone called `name` (`length` lower-case ASCII bytes); false when there is none.
bool find_zone(const char *name, size_t length, NamedZone *zone);

}  // namespace pl::time_parse
