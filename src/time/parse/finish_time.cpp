#include "platform/time_zone.h"
#include "time/parse/parse_state.h"

namespace pl::time_parse {
namespace {

// Whether the day of month exists in the month (February 29 in any year divisible by
// 4, or when no year was given).
bool day_exists(const std::tm &time, bool year_given) {
  int32_t last;
  switch (time.tm_mon) {
    case 0: case 2: case 4: case 6: case 7: case 9: case 11: last = 31; break;
    case 3: case 5: case 8: case 10: last = 30; break;
    case 1: last = !year_given || time.tm_year % 4 == 0 ? 29 : 28; break;
    default: return false;
  }
  return time.tm_mday >= 1 && time.tm_mday <= last;
}

}  // namespace

Code finish_time(std::tm *time, uint16_t *mask, const CallFields &call, bool zones) {
  if ((*mask & kCheckDay) != 0) {
    *mask &= static_cast<uint16_t>(~kCheckDay);
    bool dated = (*mask & (kMonthGiven | kDayGiven)) == (kMonthGiven | kDayGiven);
    if (dated && !day_exists(*time, (*mask & kYearGiven) != 0)) return PL_ERR_NOT_FOUND;
  }
  if (call.afternoon && time->tm_hour < 12) time->tm_hour += 12;
  if (time->tm_mday == 0) time->tm_mday = 1;
  if (zones && call.zone.given) {
    int32_t shift = call.zone.minutes_west + call.zone.explicit_minutes;
    time->tm_hour += shift / 60;
    time->tm_min += shift % 60;
    platform::time_zone_refresh();
    long west = platform::time_zone_offset();
    time->tm_hour -= static_cast<int>(west / 3600);
    time->tm_min -= static_cast<int>(west % 3600 / 60);
    if (call.zone.daylight > 0) time->tm_hour -= 1;
  }
  platform::normalize_local_time(time);
  return PL_OK;
}

}  // namespace pl::time_parse
