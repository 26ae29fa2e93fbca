// The collation algorithms, written once over a unit source (unit_sources.h): the
// incremental comparison, level building, and sort keys of UTF-16 text.
#pragma once

#include <cstddef>
#include <climits>
#include <cstdint>

#include "frame/handle.h"
#include "string/collate/element_stream.h"
#include "string/collate/levels.h"
#include "string/collate/work_buffer.h"

namespace pl {

// Strings up to this many units build their levels on the stack.
inline constexpr size_t kInlineUnits = 64;

// Adds every element of `units` to `levels`.
template <class Units>
void build_levels(const CollationView &view, Units units, Levels &levels) {
  ElementStream<Units> stream(view, units);
  Element e;
  while (stream.next(e)) levels.add(e, stream.position());
}

// -1 or +1 at the first differing byte; with `by_length`, a longer level that
// agrees over the shorter one's length is greater.
int32_t compare_level(Levels::Level a, Levels::Level b, bool by_length);

// The comparison once both strings' levels are built; `primaries` when the primary
// level still has to be compared (it holds a backward weight).
int32_t compare_levels(const Levels &a, const Levels &b, bool primaries);

// Next element carrying a primary weight; false at the end.
template <class Units>
bool next_primary(ElementStream<Units> &stream, Element &e) {
  while (stream.next(e))
    if (e.primary != 0) return true;
  return false;
}

// The walk over primaries while every one met is forward. Gives the result when the
// primaries decide it; otherwise `kUndecided`, with `backward` set when a backward
// primary ended the walk early.
inline constexpr int32_t kUndecided = INT32_MIN;

template <class Units>
int32_t compare_primaries(ElementStream<Units> &a, ElementStream<Units> &b, bool &backward) {
  constexpr uint8_t kForward = layout::collation::kOrderPrimary;
  for (;;) {
    Element x, y;
    bool more1 = next_primary(a, x), more2 = next_primary(b, y);
    backward = (more1 && (x.order & kForward) == 0) || (more2 && (y.order & kForward) == 0);
    if (backward) return kUndecided;
    if (!more1 || !more2) return more1 == more2 ? kUndecided : more1 ? 1 : -1;
    if (x.primary != y.primary) return int32_t{x.primary} - int32_t{y.primary};
  }
}

// The comparison without keys: primaries pair by pair while every primary is forward,
// and only when they leave the result open a second walk of both strings into level
// buffers (on the stack for short strings) for the other levels. Most pairs differ in
// a primary, so building levels on the first walk would cost more than it saves.
// `bound1` and `bound2` are at least the strings' UTF-16 lengths.
template <class Units>
int32_t collate_incrementally(PLLocale &handle, const CollationView &view, Units s1,
                              size_t bound1, Units s2, size_t bound2) {
  ElementStream<Units> a(view, s1), b(view, s2);
  bool backward = false;
  int32_t result = compare_primaries(a, b, backward);
  if (result != kUndecided) return result;
  WorkBuffer<uint8_t, levels_size(kInlineUnits)> work1(levels_size(bound1)),
      work2(levels_size(bound2));
  if (work1.data() == nullptr || work2.data() == nullptr) {
    handle.last_error = PL_ERR_NO_MEMORY;
    return 0;
  }
  Levels levels1(work1.data(), bound1), levels2(work2.data(), bound2);
  build_levels(view, s1, levels1);
  build_levels(view, s2, levels2);
  return compare_levels(levels1, levels2, backward);
}

// The sort key of `n` UTF-16 units into `dst`; its length, or -1 with the code stored
// when work space cannot be had.
int32_t units_sort_key(PLLocale &handle, const CollationView &view, const PLUChar *s, size_t n,
                       uint8_t *dst, size_t dst_size);

// Unsigned bytes: -1/+1 at the first difference, else the longer is greater.
int32_t compare_keys(const uint8_t *a, size_t n1, const uint8_t *b, size_t n2);

}  // namespace pl
