// What one parse call keeps beside the input: the afternoon marker and the zone it
// read, the field mask it shares with its nested calls, and the finishing steps.
#pragma once

#include <cstdint>
#include <ctime>

#include "frame/codes.h"

namespace pl::time_parse {

// Bits of the field mask a call shares with the calls it nests.
inline constexpr uint16_t kYearGiven = 0x0001;
inline constexpr uint16_t kMonthGiven = 0x0002;
inline constexpr uint16_t kDayGiven = 0x0004;
inline constexpr uint16_t kCheckDay = 0x0100;

struct ZoneRecord {
  int32_t minutes_west = 0;
  int32_t explicit_minutes = 0;
  int32_t daylight = -1;
  bool given = false;
};

struct CallFields {
  bool afternoon = false;
  ZoneRecord zone;
};

// After a walk without error: the day check (once, by the first call to finish while
// the mask asks for it), the afternoon, a day of month of 0, the zone against the local
// standard time (`zones`: the form reads zones), then the normalization.
Code finish_time(std::tm *time, uint16_t *mask, const CallFields &call, bool zones);

}  // namespace pl::time_parse
