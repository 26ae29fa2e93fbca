#include "time/parse/zone_table.h"

#include <cstring>

namespace pl::time_parse {
namespace {

struct ZoneEntry {
  char name[5];
  int16_t minutes_west;
  bool daylight;
};

constexpr bool S = false;
constexpr bool D = true;

// Searched in this order; the first name that matches wins.
constexpr ZoneEntry kNamedZones[] = {
    {"gmt", 0, S},     {"ut", 0, S},      {"utc", 0, S},     {"wet", 0, S},
    {"bst", 0, D},     {"wat", 60, S},    {"at", 120, S},    {"nft", 210, S},
    {"nst", 210, S},   {"ndt", 210, D},   {"ast", 240, S},   {"adt", 240, D},
    {"est", 300, S},   {"edt", 300, D},   {"cst", 360, S},   {"cdt", 360, D},
    {"mst", 420, S},   {"mdt", 420, D},   {"pst", 480, S},   {"pdt", 480, D},
    {"yst", 540, S},   {"ydt", 540, D},   {"hst", 600, S},   {"hdt", 600, D},
    {"cat", 600, S},   {"ahst", 600, S},  {"nt", 660, S},    {"idlw", 720, S},
    {"cet", -60, S},   {"met", -60, S},   {"mewt", -60, S},  {"mest", -60, D},
    {"swt", -60, S},   {"sst", -60, D},   {"fwt", -60, S},   {"fst", -60, D},
    {"eet", -120, S},  {"bt", -180, S},   {"it", -210, S},   {"zp4", -240, S},
    {"zp5", -300, S},  {"ist", -330, S},  {"zp6", -360, S},  {"wast", -420, S},
    {"wadt", -420, D}, {"jt", -450, S},   {"cct", -480, S},  {"jst", -540, S},
    {"cast", -570, S}, {"cadt", -570, D}, {"east", -600, S}, {"eadt", -600, D},
    {"gst", -600, S},  {"nzt", -720, S},  {"nzst", -720, S}, {"nzdt", -720, D},
    {"idle", -720, S},
};

// The military zones "a" to "z" by letter; "j" has none.
constexpr int16_t kNoZone = INT16_MIN;
constexpr int16_t kMilitaryZones[26] = {
    60,   120,  180,  240,  300,  360,  420,  480,  540,  kNoZone, 600,  660,  720,
    -60,  -120, -180, -240, -300, -360, -420, -480, -540, -600,    -660, -720, 0,
};

}  // namespace

bool find_zone(const char *name, size_t length, NamedZone *zone) {
  if (length < sizeof(ZoneEntry::name)) {
    for (const ZoneEntry &entry : kNamedZones) {
      if (std::strlen(entry.name) == length && std::memcmp(entry.name, name, length) == 0) {
        *zone = {entry.minutes_west, entry.daylight};
        return true;
      }
    }
  }
  if (length != 1 || name[0] < 'a' || name[0] > 'z') return false;
  int16_t west = kMilitaryZones[name[0] - 'a'];
  if (west == kNoZone) return false;
  *zone = {west, false};
  return true;
}

}  // namespace pl::time_parse
