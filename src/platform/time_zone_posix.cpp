#include "platform/time_zone.h"

#include <time.h>

namespace pl::platform {

void time_zone_refresh() { tzset(); }

long time_zone_offset() { return timezone; }

const char *time_zone_name(int index) {
  if (index != 0 && index != 1) return nullptr;
  const char *name = tzname[index];
  return name != nullptr && name[0] != '\0' ? name : nullptr;
}

void normalize_local_time(std::tm *time) { mktime(time); }

}  // namespace pl::platform
