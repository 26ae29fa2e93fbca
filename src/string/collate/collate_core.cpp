#include "string/collate/collate_core.h"

#include <algorithm>
#include <cstring>

#include "string/collate/unit_sources.h"

namespace pl {
namespace {

// The level without its trailing `fill` bytes (all of them when every byte is one).
size_t without_trailing(Levels::Level level, uint8_t fill) {
  size_t n = level.size;
  while (n > 0 && level.bytes[n - 1] == fill) --n;
  return n;
}

}  // namespace

int32_t compare_level(Levels::Level a, Levels::Level b, bool by_length) {
  int c = std::memcmp(a.bytes, b.bytes, std::min(a.size, b.size));
  if (c != 0) return c < 0 ? -1 : 1;
  if (!by_length || a.size == b.size) return 0;
  return a.size < b.size ? -1 : 1;
}

int32_t compare_levels(const Levels &a, const Levels &b, bool primaries) {
  int32_t c = primaries ? compare_level(a.primaries(), b.primaries(), false) : 0;
  if (c == 0) c = compare_level(a.secondaries(), b.secondaries(), true);
  if (c == 0) c = compare_level(a.tertiaries(), b.tertiaries(), true);
  if (c == 0) c = compare_level(a.specials(), b.specials(), true);
  return c;
}

int32_t compare_keys(const uint8_t *a, size_t n1, const uint8_t *b, size_t n2) {
  return compare_level({a, n1}, {b, n2}, true);
}

// Every level lies at or after the place the key gives it, and a level's new place
// ends before the next level's old one: moving them in order never overwrites a byte
// still to be moved.
size_t Levels::assemble_key(uint8_t *work, uint8_t default_secondary,
                            uint8_t default_tertiary) const {
  Level p = primaries(), s = secondaries(), t = tertiaries(), x = specials();
  size_t ns = without_trailing(s, default_secondary), nt = without_trailing(t, default_tertiary);
  size_t at = p.size;
  std::memmove(work, p.bytes, p.size);
  work[at++] = 0;
  std::memmove(work + at, s.bytes, ns);
  at += ns;
  work[at++] = 0;
  std::memmove(work + at, t.bytes, nt);
  at += nt;
  work[at++] = 0;
  if (p.size == 0 && ns == 0 && nt == 0) {
    // Positions only order weights against primaries; without any, the weights alone.
    for (size_t i = 0; i + 4 <= x.size; i += 4) {
      std::memmove(work + at, x.bytes + i + 2, 2);
      at += 2;
    }
  } else {
    std::memmove(work + at, x.bytes, x.size);
    at += x.size;
  }
  return at;
}

int32_t units_sort_key(PLLocale &handle, const CollationView &view, const PLUChar *s, size_t n,
                       uint8_t *dst, size_t dst_size) {
  size_t need = levels_size(n);
  if (need > 0x7FFFFFFF) {
    handle.last_error = PL_ERR_NO_MEMORY;
    return -1;
  }
  // The caller's buffer serves as work space when it is large enough from its first
  // 4-byte boundary on.
  size_t pad = (4 - reinterpret_cast<uintptr_t>(dst) % 4) % 4;
  bool in_place = dst_size >= pad && dst_size - pad >= need;
  WorkBuffer<uint8_t, levels_size(kInlineUnits)> own(in_place ? 0 : need);
  uint8_t *work = in_place ? dst : own.data();
  if (work == nullptr) {
    handle.last_error = PL_ERR_NO_MEMORY;
    return -1;
  }
  Levels levels(work, n);
  build_levels(view, ArrayUnits(s, n), levels);
  size_t length = levels.assemble_key(work, view.default_secondary(), view.default_tertiary());
  if (length <= dst_size && dst_size > 0) {
    if (!in_place) std::memcpy(dst, work, length);
    std::memset(dst + length, 0, dst_size - length);
  }
  return static_cast<int32_t>(length);
}

}  // namespace pl
