// The process's local time zone, as the C runtime keeps it.
#pragma once

#include <ctime>

namespace pl::platform {

// Reads the zone settings again from the environment (TZ).
void time_zone_refresh();

// Seconds west of UTC of the local standard time, as of the last refresh.
long time_zone_offset();

// The runtime's current zone names: 0 the standard name, 1 the daylight name; null
// for any other index or a name the runtime does not have.
const char *time_zone_name(int index);

// Normalizes a broken-down local time as mktime does (fields out of range carry into
// the next, the weekday and day of year are set); the calendar time is not needed.
void normalize_local_time(std::tm *time);

}  // namespace pl::platform
