// Finding a program's `must` literal in UTF-16 text: eight positions at a time, a
// position is a candidate when both the literal's first and its last unit sit where
// they belong, and only candidates are compared in full. Text where the first unit is
// common (a space, an e) then costs one vector step per eight units instead of one
// comparison per occurrence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "polyloc.h"

namespace pl::regex {

// The first position of `literal` (m >= 1 units) in `text` (n units), or n when absent.
inline size_t find_literal(const PLUChar *text, size_t n, const PLUChar *literal, size_t m) {
  if (m > n) return n;
  typedef uint16_t Units8 __attribute__((vector_size(16)));
  const size_t last = n - m;  // the last possible start
  const PLUChar first_unit = literal[0], last_unit = literal[m - 1];
  auto matches_at = [&](size_t at) {
    return std::memcmp(text + at + 1, literal + 1, (m - 1) * sizeof(PLUChar)) == 0;
  };
  size_t at = 0;
  for (; at + 8 <= last + 1; at += 8) {
    Units8 head, tail;
    std::memcpy(&head, text + at, sizeof head);
    std::memcpy(&tail, text + at + m - 1, sizeof tail);
    Units8 hit = (head == first_unit) & (tail == last_unit);
    uint64_t mask[2];
    std::memcpy(mask, &hit, sizeof mask);
    if ((mask[0] | mask[1]) == 0) continue;
    for (size_t i = 0; i < 8; ++i)
      if (hit[i] != 0 && matches_at(at + i)) return at + i;
  }
  for (; at <= last; ++at)
    if (text[at] == first_unit && text[at + m - 1] == last_unit && matches_at(at)) return at;
  return n;
}

}  // namespace pl::regex
