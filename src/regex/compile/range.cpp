// Ranges in a bracket expression: in UTF-16 order for UTF-16 patterns, in the locale's
// code order for patterns given in its encoding.
#include "charset/from_unicode.h"
#include "charset/to_unicode.h"
#include "regex/compile/compiler.h"

namespace pl::regex {
namespace {

// The widest span of codes walked one by one. Only four-byte codes make wider spans;
// there every unit is tested instead (at most 65536 round trips), and a unit counts
// when its code lies in the range and converts back to it.
constexpr uint32_t kCodeWalkLimit = 1u << 18;
constexpr uint32_t kReplacement = 0xFFFD;

void add_code_range(Compiler &c, uint32_t set, uint32_t low, uint32_t high) {
  const ControlEntry &codes = *c.handle()->codeset;
  if (high - low < kCodeWalkLimit) {
    uint32_t replacement_code = to_packed(codes, kReplacement);
    for (uint32_t code = low;; ++code) {
      uint32_t unit = packed_to_unicode(codes, code);
      // Codes without a character come back as the replacement character.
      if (unit <= 0xFFFF && (unit != kReplacement || code == replacement_code))
        c.add_to_set(set, unit);
      if (code == high) break;
    }
    return;
  }
  for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
    uint32_t code = to_packed(codes, unit);
    if (code >= low && code <= high && packed_to_unicode(codes, code) == unit)
      c.add_to_set(set, unit);
  }
}

}  // namespace

bool add_range(Compiler &c, uint32_t set, PLUChar first, PLUChar last) {
  if (!c.has_flag(kCodeOrderRanges)) {
    if (first > last) return false;
    for (uint32_t unit = first; unit <= last; ++unit) c.add_to_set(set, unit);
    return true;
  }
  const ControlEntry &codes = *c.handle()->codeset;
  uint32_t low = to_packed(codes, first);
  uint32_t high = to_packed(codes, last);
  if (low > high) return false;
  add_code_range(c, set, low, high);
  return true;
}

}  // namespace pl::regex
