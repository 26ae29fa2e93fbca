// Skipping UTF-16 text to the next unit of a small set, or the next pair of units of
// a small set, eight positions per vector step: the first pass's way past text where
// only the start set is alive and nothing there can begin a match.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "polyloc.h"

namespace pl::regex {

// Up to four units and up to four pairs of units, the last repeated to fill the slots.
struct SkipSet {
  uint16_t members[4];
  uint16_t firsts[4];   // pairs: a member, and
  uint16_t seconds[4];  // the unit after it
};

typedef uint16_t SkipUnits8 __attribute__((vector_size(16)));

// The lanes of the eight units at `s` that hold a member: 16 bits a lane, in two halves.
inline void member_lanes(const PLUChar *s, const SkipSet &set, uint64_t lanes[2]) {
  SkipUnits8 v;
  std::memcpy(&v, s, sizeof v);
  const SkipUnits8 hit =
      (v == set.members[0]) | (v == set.members[1]) | (v == set.members[2]) | (v == set.members[3]);
  std::memcpy(lanes, &hit, sizeof hit);
}

// The same for pairs: the lanes of the eight positions at `s` where a pair begins (the
// ninth unit is read).
inline void pair_lanes(const PLUChar *s, const SkipSet &set, uint64_t lanes[2]) {
  SkipUnits8 v, w;
  std::memcpy(&v, s, sizeof v);
  std::memcpy(&w, s + 1, sizeof w);
  const SkipUnits8 hit = ((v == set.firsts[0]) & (w == set.seconds[0])) |
                         ((v == set.firsts[1]) & (w == set.seconds[1])) |
                         ((v == set.firsts[2]) & (w == set.seconds[2])) |
                         ((v == set.firsts[3]) & (w == set.seconds[3]));
  std::memcpy(lanes, &hit, sizeof hit);
}

// Drops the first `seen` lanes (0..7).
inline void drop_lanes(uint64_t lanes[2], size_t seen) {
  if (seen >= 4) {
    lanes[0] = 0;
    lanes[1] &= ~uint64_t{0} << (16 * (seen - 4));
  } else {
    lanes[0] &= ~uint64_t{0} << (16 * seen);
  }
}

inline bool is_member(uint16_t u, const SkipSet &set) {
  return u == set.members[0] || u == set.members[1] || u == set.members[2] || u == set.members[3];
}

// The first lane set, or 8.
inline size_t first_lane(const uint64_t lanes[2]) {
  if (lanes[0] != 0) return static_cast<size_t>(__builtin_ctzll(lanes[0])) / 16;
  if (lanes[1] != 0) return 4 + static_cast<size_t>(__builtin_ctzll(lanes[1])) / 16;
  return 8;
}

// The first position at or after `at` whose unit is in `set`, or `length`.
inline size_t skip_to_member(const PLUChar *units, size_t at, size_t length, const SkipSet &set) {
  uint64_t lanes[2];
  for (; at + 8 <= length; at += 8) {
    member_lanes(units + at, set, lanes);
    if ((lanes[0] | lanes[1]) != 0) return at + first_lane(lanes);
  }
  if (at == length) return length;
  if (length >= 8) {
    // The last eight units once more, without the lanes already looked at.
    const size_t base = length - 8, seen = at - base;
    member_lanes(units + base, set, lanes);
    drop_lanes(lanes, seen);
    return base + first_lane(lanes);
  }
  while (at < length && !is_member(units[at], set)) ++at;
  return at;
}

// The first position at or after `at` where a pair of `set` begins, or where its last
// unit is a member (no unit follows it there), or `length`.
inline size_t skip_to_pair(const PLUChar *units, size_t at, size_t length, const SkipSet &set) {
  uint64_t lanes[2];
  for (; at + 9 <= length; at += 8) {
    pair_lanes(units + at, set, lanes);
    if ((lanes[0] | lanes[1]) != 0) return at + first_lane(lanes);
  }
  if (at + 1 < length && length >= 9) {
    // The last eight pairs once more, without those already looked at.
    const size_t base = length - 9;
    pair_lanes(units + base, set, lanes);
    drop_lanes(lanes, at - base);
    if ((lanes[0] | lanes[1]) != 0) return base + first_lane(lanes);
    at = length - 1;
  }
  for (; at + 1 < length; ++at) {
    for (int i = 0; i < 4; ++i)
      if (units[at] == set.firsts[i] && units[at + 1] == set.seconds[i]) return at;
  }
  return at < length && !is_member(units[at], set) ? length : at;
}

}  // namespace pl::regex
