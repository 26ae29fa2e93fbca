// Collation and sort keys in the four forms: each form measures its text, folds it
// in its own form when the flags ask (upper case or narrow forms), and hands UTF-16
// units to the algorithms of collate_core.h. Without a collation the Binary rules
// apply: comparison by code value and the text itself as key.
#include "string/collate/collate.h"

#include <algorithm>
#include <cstring>

#include "string/collate/collate_core.h"
#include "string/collate/unit_sources.h"
#include "string/compare/compare.h"
#include "string/mapping/map_string.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_walk.h"

namespace pl {
namespace {

constexpr size_t kInlineText = 256;

// Room for a folded character: an element's uppercase takes at most three units (three
// characters for packed text); a character's bytes, at most eight.
constexpr size_t kFoldedUnits = 3, kFoldedBytes = 8;

bool plain(int32_t flags) { return (flags & ~PL_COUNT_CHARS) == 0; }
Mapping folding(int32_t flags) {
  return (flags & ~PL_COUNT_CHARS) == PL_IGNORE_WIDTH ? Mapping::halfwidth : Mapping::upper;
}
int32_t room(size_t n, size_t factor) {
  return static_cast<int32_t>(std::min<size_t>(n * factor, 0x7FFFFFFF));
}

// The units a source gives, written to `out` (room for `bound`); their number.
template <class Units>
size_t drain(Units units, PLUChar *out, size_t bound) {
  size_t n = 0;
  for (int32_t u; n < bound && (u = units.next()) >= 0;) out[n++] = static_cast<PLUChar>(u);
  return n;
}

// One string on its way to collation: folded in its own form when the flags ask,
// then as UTF-16 units.
struct Prepared {
  WorkBuffer<uint8_t, kInlineText> bytes;
  WorkBuffer<PLWChar, kInlineText> packed;
  WorkBuffer<PLUChar, kInlineText> units;
  const PLUChar *data = nullptr;
  size_t size = 0;

  // Takes the `count` units of `source` (at most `bound`); false when memory ran out.
  template <class Units>
  bool take(Units source, size_t bound) {
    if (!units.reserve(bound)) return false;
    data = units.data();
    size = drain(source, units.data(), bound);
    return true;
  }
};

// Code-set text: bytes without the length argument's remainder, and the state the
// text starts in.
struct CodesetText {
  const uint8_t *s;
  size_t n;
  PLState state;
};

CodesetText codeset_text(const TextRules &rules, const char *s, PLState state, int32_t len,
                         int32_t flags) {
  size_t n = byte_extent(rules, s, state, len, (flags & PL_COUNT_CHARS) != 0, false);
  return {as_bytes(s), n, state == kSingleByteState ? kSingleByteState : kShiftedState};
}

// Folds code-set text into p.bytes: its length, or -1 when memory ran out.
int32_t fold(PLLocale &handle, const TextRules &rules, const CodesetText &t, int32_t flags,
             Prepared &p) {
  if (!p.bytes.reserve(t.n * kFoldedBytes)) return -1;
  return map_string(handle, rules, folding(flags), reinterpret_cast<char *>(p.bytes.data()),
                    t.state, room(t.n, kFoldedBytes), reinterpret_cast<const char *>(t.s),
                    t.state, static_cast<int32_t>(t.n), false);
}
int32_t fold(PLLocale &handle, const PLWChar *s, size_t n, int32_t flags, Prepared &p) {
  if (!p.packed.reserve(n * kFoldedUnits)) return -1;
  return map_packed(handle, folding(flags), p.packed.data(), room(n, kFoldedUnits), s,
                    static_cast<int32_t>(n));
}
int32_t fold(PLLocale &handle, const PLUChar *s, size_t n, int32_t flags, Prepared &p) {
  if (!p.units.reserve(n * kFoldedUnits)) return -1;
  return map_units(handle, folding(flags), p.units.data(), room(n, kFoldedUnits), s,
                   static_cast<int32_t>(n));
}

// UTF-16 of a text (units are at most its bytes, or two per packed character).
bool prepare(PLLocale &handle, const TextRules &rules, const CodesetText &t, int32_t flags,
             Prepared &p) {
  const uint8_t *s = t.s;
  size_t n = t.n;
  if (!plain(flags)) {
    int32_t m = fold(handle, rules, t, flags, p);
    if (m < 0) return false;
    s = p.bytes.data();
    n = static_cast<size_t>(m);
  }
  if (rules.shift_rule) return p.take(ShiftedUnits(*handle.codeset, s, n, t.state), n);
  return p.take(CodesetUnits(*handle.codeset, s, n), n);
}
bool prepare(PLLocale &handle, const PLWChar *s, size_t n, int32_t flags, Prepared &p) {
  if (!plain(flags)) {
    int32_t m = fold(handle, s, n, flags, p);
    if (m < 0) return false;
    s = p.packed.data();
    n = static_cast<size_t>(m);
  }
  return p.take(PackedUnits(*handle.codeset, s, n), 2 * n);
}
bool prepare(PLLocale &handle, const PLUChar *s, size_t n, int32_t flags, Prepared &p) {
  p.data = s;
  p.size = n;
  if (plain(flags)) return true;
  int32_t m = fold(handle, s, n, flags, p);
  if (m < 0) return false;
  p.data = p.units.data();
  p.size = static_cast<size_t>(m);
  return true;
}

int32_t out_of_memory(PLLocale &handle, int32_t result) {
  handle.last_error = PL_ERR_NO_MEMORY;
  return result;
}

// How much of an identical start two texts can skip: all of it, less the characters
// at its end whose last unit may begin a contraction (a contraction could join it to
// what follows). `last_unit(i)` is the last UTF-16 unit of the character ending at i.
template <class LastUnit>
size_t skippable(const CollationView &view, size_t shared, LastUnit last_unit) {
  while (shared > 0 && view.may_start_contraction(last_unit(shared))) --shared;
  return shared;
}

template <class T>
size_t mismatch(const T *a, size_t n1, const T *b, size_t n2) {
  size_t k = 0, n = std::min(n1, n2);
  while (k < n && a[k] == b[k]) ++k;
  return k;
}

uint16_t last_unit_of(uint32_t value) {
  return static_cast<uint16_t>(value <= 0xFFFF ? value : 0xDC00 + ((value - 0x10000) & 0x3FF));
}

// The skippable start of two code-set texts, in bytes: whole characters as the walk
// will find them (the length rule, which malformed text makes differ from any rule
// read backwards), less the characters at the end that may begin a contraction. The
// last few character ends are kept to step back over those.
size_t skippable_bytes(const PLLocale &handle, const TextRules &rules, const CollationView &view,
                       const CodesetText &a, const CodesetText &b) {
  if (rules.shift_rule || !view.skips_prefixes()) return 0;
  size_t shared = mismatch(a.s, a.n, b.s, b.n);
  const CharsetView &set = rules.set;
  if (rules.single_byte)
    return skippable(view, shared, [&](size_t i) { return set.byte_unicode(a.s[i - 1]); });
  constexpr size_t kKept = 8;
  size_t ends[kKept + 1] = {0};  // ends[0] is the start; ring of the last kKept ends
  size_t count = 0, at = 0;
  while (at < shared) {
    size_t length = std::max<size_t>(1, char_length(set, a.s + at, a.n - at).rule);
    if (length > shared - at) break;
    at += length;
    ends[1 + count++ % kKept] = at;
  }
  auto end_of = [&](size_t k) { return k == 0 ? 0 : ends[1 + (k - 1) % kKept]; };
  for (size_t k = count; k > 0 && count - k < kKept - 1; --k) {
    size_t begin = end_of(k - 1), end = end_of(k);
    uint32_t value = end - begin == 1 ? set.byte_unicode(a.s[begin])
                                      : to_unicode(*handle.codeset, a.s + begin, end - begin);
    if (!view.may_start_contraction(last_unit_of(value))) return end;
  }
  return 0;
}

// Both strings folded and keyed into one work area, the keys compared.
int32_t collate_by_keys(PLLocale &handle, const CollationView &view, const Prepared &a,
                        const Prepared &b) {
  size_t size1 = levels_size(a.size), size2 = levels_size(b.size);
  WorkBuffer<uint8_t, 2 * levels_size(kInlineUnits)> work(size1 + size2);
  if (work.data() == nullptr) return out_of_memory(handle, 0);
  int32_t n1 = units_sort_key(handle, view, a.data, a.size, work.data(), size1);
  int32_t n2 = units_sort_key(handle, view, b.data, b.size, work.data() + size1, size2);
  if (n1 < 0 || n2 < 0) return 0;
  return compare_keys(work.data(), static_cast<size_t>(n1), work.data() + size1,
                      static_cast<size_t>(n2));
}

// A key that is the text itself: `n` elements of `width` bytes, big-endian, written
// when all fit (or with `partial`, as many whole characters as fit; `starts` tells
// which elements begin one). Returns the full length.
template <class T, class Starts>
int32_t text_key(const T *s, size_t n, uint8_t *dst, size_t dst_size, bool partial,
                 Starts starts) {
  constexpr size_t width = sizeof(T);
  size_t length = n * width;
  if (length > 0x7FFFFFFF) length = 0x7FFFFFFF;
  size_t fit = dst_size / width;
  if (fit >= n) fit = n;
  else if (!partial) fit = 0;
  else while (fit > 0 && !starts(fit)) --fit;
  for (size_t i = 0; i < fit; ++i)
    for (size_t k = 0; k < width; ++k)
      dst[i * width + k] = static_cast<uint8_t>(uint64_t{s[i]} >> (8 * (width - 1 - k)));
  return static_cast<int32_t>(length);
}

// The empty text's key: three zero bytes.
int32_t empty_key(uint8_t *dst, size_t dst_size) {
  if (dst_size == 0) return 0;
  std::memset(dst, 0, std::min<size_t>(dst_size, 3));
  return 3;
}

}  // namespace

bool collation_flags_accepted(int32_t flags) {
  int32_t rest = flags & ~PL_COUNT_CHARS;
  return rest == 0 || rest == PL_IGNORE_CASE || rest == PL_IGNORE_WIDTH;
}

int32_t collate_strings(PLLocale &handle, const TextRules &rules, const char *s1,
                        PLState state1, int32_t len1, const char *s2, PLState state2,
                        int32_t len2, int32_t flags) {
  CodesetText a = codeset_text(rules, s1, state1, len1, flags);
  CodesetText b = codeset_text(rules, s2, state2, len2, flags);
  if (handle.collation == nullptr) {
    // The Ex form keeps the case bits of its flags; the base form drops width folding.
    int32_t rest = flags & ~PL_COUNT_CHARS;
    int32_t binary = rules.shift_rule ? rest & PL_IGNORE_CASE : rest == PL_IGNORE_WIDTH ? 0 : rest;
    return compare_strings(handle, rules, s1, state1, static_cast<int32_t>(a.n), s2, state2,
                           static_cast<int32_t>(b.n), binary);
  }
  CollationView view(*handle.collation);
  if (plain(flags)) {
    size_t skip = skippable_bytes(handle, rules, view, a, b);
    a = {a.s + skip, a.n - skip, a.state};
    b = {b.s + skip, b.n - skip, b.state};
    const ControlEntry &set = *handle.codeset;
    if (rules.shift_rule)
      return collate_incrementally(handle, view, ShiftedUnits(set, a.s, a.n, a.state), a.n,
                                   ShiftedUnits(set, b.s, b.n, b.state), b.n);
    return collate_incrementally(handle, view, CodesetUnits(set, a.s, a.n), a.n,
                                 CodesetUnits(set, b.s, b.n), b.n);
  }
  Prepared p1, p2;
  if (!prepare(handle, rules, a, flags, p1) || !prepare(handle, rules, b, flags, p2))
    return out_of_memory(handle, 0);
  return collate_by_keys(handle, view, p1, p2);
}

int32_t collate_units(PLLocale &handle, const PLUChar *s1, int32_t len1, const PLUChar *s2,
                      int32_t len2, int32_t flags) {
  if (handle.collation == nullptr) return compare_units(handle, s1, len1, s2, len2, flags & PL_IGNORE_CASE);
  size_t n1 = element_extent(s1, len1, false), n2 = element_extent(s2, len2, false);
  CollationView view(*handle.collation);
  if (plain(flags)) {
    size_t skip = view.skips_prefixes()
                      ? skippable(view, mismatch(s1, n1, s2, n2), [&](size_t i) { return s1[i - 1]; })
                      : 0;
    return collate_incrementally(handle, view, ArrayUnits(s1 + skip, n1 - skip), n1 - skip,
                                 ArrayUnits(s2 + skip, n2 - skip), n2 - skip);
  }
  Prepared p1, p2;
  if (!prepare(handle, s1, n1, flags, p1) || !prepare(handle, s2, n2, flags, p2))
    return out_of_memory(handle, 0);
  return collate_by_keys(handle, view, p1, p2);
}

int32_t collate_packed(PLLocale &handle, const PLWChar *s1, int32_t len1, const PLWChar *s2,
                       int32_t len2, int32_t flags) {
  if (handle.collation == nullptr) return compare_packed(handle, s1, len1, s2, len2, flags & PL_IGNORE_CASE);
  size_t n1 = element_extent(s1, len1, false), n2 = element_extent(s2, len2, false);
  CollationView view(*handle.collation);
  if (plain(flags)) {
    const ControlEntry &set = *handle.codeset;
    auto last_unit = [&](size_t i) { return last_unit_of(packed_to_unicode(set, s1[i - 1])); };
    size_t skip = view.skips_prefixes() ? skippable(view, mismatch(s1, n1, s2, n2), last_unit) : 0;
    return collate_incrementally(handle, view, PackedUnits(set, s1 + skip, n1 - skip),
                                 2 * (n1 - skip), PackedUnits(set, s2 + skip, n2 - skip),
                                 2 * (n2 - skip));
  }
  Prepared p1, p2;
  if (!prepare(handle, s1, n1, flags, p1) || !prepare(handle, s2, n2, flags, p2))
    return out_of_memory(handle, 0);
  return collate_by_keys(handle, view, p1, p2);
}

int32_t string_key(PLLocale &handle, const TextRules &rules, char *dst, int32_t dst_size,
                   const char *src, PLState state, int32_t len, int32_t flags) {
  uint8_t *out = as_bytes(dst);
  size_t size = static_cast<size_t>(dst_size);
  if (len == 0) return empty_key(out, size);
  CodesetText t = codeset_text(rules, src, state, len, flags);
  Prepared p;
  if (handle.collation == nullptr) {
    const uint8_t *s = t.s;
    size_t n = t.n;
    if (!plain(flags)) {
      int32_t m = fold(handle, rules, t, flags, p);
      if (m < 0) return out_of_memory(handle, -1);
      s = p.bytes.data();
      n = static_cast<size_t>(m);
    }
    const CharsetView &set = rules.set;
    auto starts = [&](size_t at) {
      // Whole characters: walk from the start to see whether one begins at `at`.
      size_t i = 0;
      while (i < at) i += std::max<size_t>(1, char_length(set, s + i, n - i).rule);
      return i == at;
    };
    return text_key(s, n, out, size, !plain(flags) && !rules.shift_rule, starts);
  }
  if (!prepare(handle, rules, t, flags, p)) return out_of_memory(handle, -1);
  return units_sort_key(handle, CollationView(*handle.collation), p.data, p.size, out, size);
}

int32_t units_key(PLLocale &handle, char *dst, int32_t dst_size, const PLUChar *src, int32_t len,
                  int32_t flags) {
  uint8_t *out = as_bytes(dst);
  size_t size = static_cast<size_t>(dst_size);
  if (len == 0) return empty_key(out, size);
  size_t n = element_extent(src, len, false);
  Prepared p;
  if (!prepare(handle, src, n, flags, p)) return out_of_memory(handle, -1);
  if (handle.collation == nullptr) {
    auto starts = [&](size_t at) { return !is_low_surrogate(p.data[at]); };
    return text_key(p.data, p.size, out, size, !plain(flags), starts);
  }
  return units_sort_key(handle, CollationView(*handle.collation), p.data, p.size, out, size);
}

int32_t packed_key(PLLocale &handle, char *dst, int32_t dst_size, const PLWChar *src,
                   int32_t len, int32_t flags) {
  uint8_t *out = as_bytes(dst);
  size_t size = static_cast<size_t>(dst_size);
  if (len == 0) return empty_key(out, size);
  size_t n = element_extent(src, len, false);
  Prepared p;
  if (handle.collation == nullptr) {
    const PLWChar *s = src;
    if (!plain(flags)) {
      int32_t m = fold(handle, src, n, flags, p);
      if (m < 0) return out_of_memory(handle, -1);
      s = p.packed.data();
      n = static_cast<size_t>(m);
    }
    return text_key(s, n, out, size, !plain(flags), [](size_t) { return true; });
  }
  if (!prepare(handle, src, n, flags, p)) return out_of_memory(handle, -1);
  return units_sort_key(handle, CollationView(*handle.collation), p.data, p.size, out, size);
}

}  // namespace pl
