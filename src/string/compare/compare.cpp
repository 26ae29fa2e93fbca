#include "string/compare/compare.h"

#include <algorithm>
#include <cstring>

#include "charset/packed_char.h"
#include "frame/memory.h"
#include "string/mapping/codeset_mapping.h"
#include "string/mapping/map_string.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_walk.h"
#include "string/unicode/unicode_mapping.h"

namespace pl {
namespace {

int32_t sign(int64_t difference) { return difference < 0 ? -1 : difference > 0 ? 1 : 0; }
int32_t clamped(int64_t difference) {
  return static_cast<int32_t>(std::clamp<int64_t>(difference, -0x7FFFFFFF, 0x7FFFFFFF));
}

// Full folding needs room for every character to grow: `factor` elements each. An
// element's uppercase takes at most three (U+0390 is three units).
constexpr size_t kMostUpperUnits = 3;

size_t mapped_room(size_t length, size_t factor) {
  return std::min<size_t>(length * factor, 0x7FFFFFFF);
}

// A string of the code set cut for comparing: whole characters, behind a leading shift
// run, and the mode it starts in.
struct Text {
  const uint8_t *at;
  size_t length;
  PLState mode;
};

Text prepared(const TextRules &rules, const char *s, PLState state, int32_t len, bool count_chars) {
  const uint8_t *text = as_bytes(s);
  size_t extent = byte_extent(rules, s, state, len, count_chars, false);
  if (!rules.shortcut()) extent = rules.shift_rule ? Stepper(rules).whole(text, extent, state).bytes
                                                  : Stepper(rules).whole_bytes(text, extent);
  ShiftRun run = leading_run(rules, text, extent, state);
  return {text + run.length, extent - run.length, run.state};
}

// Unsigned bytes over the shorter length: -1 or +1 at the first difference.
int32_t compare_bytes(const uint8_t *a, size_t n1, const uint8_t *b, size_t n2) {
  int c = std::memcmp(a, b, std::min(n1, n2));
  return c != 0 ? sign(c) : clamped(static_cast<int64_t>(n1) - static_cast<int64_t>(n2));
}

// The first byte difference of two packed characters, their bytes left-aligned.
int32_t compare_packed_bytes(uint32_t a, uint32_t b) {
  uint8_t x[4] = {}, y[4] = {};
  write_packed_char(a, x);
  write_packed_char(b, y);
  for (int i = 0; i < 4; ++i)
    if (x[i] != y[i]) return x[i] - y[i];
  return 0;
}

// One-to-one uppercase, character by character; a difference in character length
// decides first.
int32_t simple_walk(const TextRules &rules, const CodesetMapping &chars, Text t1, Text t2) {
  if (rules.shortcut()) {
    for (size_t i = 0; i < std::min(t1.length, t2.length); ++i) {
      int a = rules.set.upper_byte(t1.at[i]), b = rules.set.upper_byte(t2.at[i]);
      if (a != b) return a - b;
    }
  } else {
    size_t i = 0, j = 0;
    while (i < t1.length && j < t2.length) {
      size_t c1 = std::max<size_t>(1, char_length(rules.set, t1.at + i, t1.length - i).rule);
      size_t c2 = std::max<size_t>(1, char_length(rules.set, t2.at + j, t2.length - j).rule);
      if (c1 != c2) return static_cast<int32_t>(c1) - static_cast<int32_t>(c2);
      if (c1 > std::min(t1.length - i, t2.length - j)) return 0;
      int32_t d = compare_packed_bytes(chars.upper(pack_char(t1.at + i, c1)),
                                       chars.upper(pack_char(t2.at + j, c2)));
      if (d != 0) return d;
      i += c1;
      j += c2;
    }
  }
  return clamped(static_cast<int64_t>(t1.length) - static_cast<int64_t>(t2.length));
}

// The walk of stateful text: shift bytes must agree, characters compare after the
// one-to-one uppercase of their mode.
int32_t shifted_walk(const TextRules &rules, const CodesetMapping &chars, Text t1, Text t2) {
  const CharsetView &set = rules.set;
  uint8_t width1 = state_char_length(set, t1.mode), width2 = state_char_length(set, t2.mode);
  if (width1 != width2) return width1 - width2;
  PLState mode = t1.mode;
  auto is_shift = [&](uint8_t b) { return b == set.shift_out_byte() || b == set.shift_in_byte(); };
  size_t i = 0, j = 0;
  while (i < t1.length && j < t2.length) {
    uint8_t b1 = t1.at[i], b2 = t2.at[j];
    if (is_shift(b1) || is_shift(b2)) {
      if (b1 == b2) {
        mode = b1 == set.shift_out_byte() ? kShiftedState : kSingleByteState;
        ++i, ++j;
        continue;
      }
      if (mode == kShiftedState && is_shift(b1)) return -1;
      if (mode == kShiftedState && is_shift(b2)) return 1;
      return static_cast<int8_t>(b1) - static_cast<int8_t>(b2);
    }
    size_t width = state_char_length(set, mode);
    if (width > std::min(t1.length - i, t2.length - j)) return 0;
    int32_t d = compare_packed_bytes(chars.upper(pack_char(t1.at + i, width)),
                                     chars.upper(pack_char(t2.at + j, width)));
    if (d != 0) return d;
    i += width;
    j += width;
  }
  return clamped(static_cast<int64_t>(t1.length) - static_cast<int64_t>(t2.length));
}

// Both strings through the full uppercase mapping, then compared as bytes.
int32_t folded_compare(const PLLocale &handle, const TextRules &rules, Text t1, Text t2,
                       int32_t *code) {
  size_t room1 = mapped_room(t1.length, 8), room2 = mapped_room(t2.length, 8);
  HeapArray<char> a(room1), b(room2);
  if (a.data() == nullptr || b.data() == nullptr) {
    *code = PL_ERR_NO_MEMORY;
    return 0;
  }
  auto map = [&](Text t, char *out, size_t room) {
    return map_string(handle, rules, Mapping::upper, out, t.mode, static_cast<int32_t>(room),
                      reinterpret_cast<const char *>(t.at), t.mode, static_cast<int32_t>(t.length),
                      false);
  };
  int32_t m1 = map(t1, a.data(), room1), m2 = map(t2, b.data(), room2);
  if (m1 <= 0 || m2 <= 0) return 0;
  return compare_bytes(as_bytes(a.data()), static_cast<size_t>(m1), as_bytes(b.data()),
                       static_cast<size_t>(m2));
}

// Elements compared by value: the difference of the first differing pair, or with
// `signs` only its sign; then the difference of the lengths times `unit_bytes`.
template <class T, class Map>
int32_t compare_elements(const T *s1, size_t n1, const T *s2, size_t n2, Map map, bool signs,
                         int64_t unit_bytes) {
  for (size_t i = 0; i < std::min(n1, n2); ++i) {
    int64_t a = map(s1[i]), b = map(s2[i]);
    if (a != b) return signs ? sign(a - b) : clamped(a - b);
  }
  return clamped((static_cast<int64_t>(n1) - static_cast<int64_t>(n2)) * unit_bytes);
}

// Elements through the full uppercase mapping of `map_form`, compared by value.
template <class T, class MapForm>
int32_t folded_elements(const T *s1, size_t n1, const T *s2, size_t n2, size_t factor,
                        MapForm map_form, int32_t *code) {
  size_t room1 = mapped_room(n1, factor), room2 = mapped_room(n2, factor);
  HeapArray<T> a(room1), b(room2);
  if (a.data() == nullptr || b.data() == nullptr) {
    *code = PL_ERR_NO_MEMORY;
    return 0;
  }
  int32_t m1 = map_form(a.data(), room1, s1, n1), m2 = map_form(b.data(), room2, s2, n2);
  if (m1 <= 0 || m2 <= 0) return 0;
  auto same = [](T v) { return static_cast<int64_t>(v); };
  return compare_elements(a.data(), static_cast<size_t>(m1), b.data(), static_cast<size_t>(m2),
                          same, true, sizeof(T));
}

bool simple_folding(int32_t flags) { return (flags & PL_IGNORE_CASE_SIMPLE) != 0; }
bool plain(int32_t flags) { return (flags & ~PL_COUNT_CHARS) == 0; }

}  // namespace

int32_t compare_strings(const PLLocale &handle, const TextRules &rules, const char *s1,
                        PLState state1, int32_t len1, const char *s2, PLState state2,
                        int32_t len2, int32_t flags, int32_t *code) {
  bool count_chars = (flags & PL_COUNT_CHARS) != 0;
  Text t1 = prepared(rules, s1, state1, len1, count_chars);
  Text t2 = prepared(rules, s2, state2, len2, count_chars);
  if (t1.length == 0 || t2.length == 0 || plain(flags))
    return compare_bytes(t1.at, t1.length, t2.at, t2.length);
  CodesetMapping chars(*handle.codeset);
  if (rules.shift_rule && (simple_folding(flags) || t1.mode != t2.mode))
    return shifted_walk(rules, chars, t1, t2);
  if (simple_folding(flags)) return simple_walk(rules, chars, t1, t2);
  return folded_compare(handle, rules, t1, t2, code);
}

int32_t compare_units(const PLLocale &handle, const PLUChar *s1, int32_t len1, const PLUChar *s2,
                      int32_t len2, int32_t flags, int32_t *code) {
  size_t n1 = element_extent(s1, len1, false), n2 = element_extent(s2, len2, false);
  if (n1 == 0 || n2 == 0 || plain(flags)) {
    auto same = [](PLUChar u) { return static_cast<int64_t>(u); };
    return compare_elements(s1, n1, s2, n2, same, false, 1);
  }
  if (simple_folding(flags)) {
    auto upper = [](PLUChar u) { return static_cast<int64_t>(unicode_upper(u)); };
    return compare_elements(s1, n1, s2, n2, upper, true, 1);
  }
  auto map_form = [&](PLUChar *out, size_t room, const PLUChar *s, size_t n) {
    return map_units(handle, Mapping::upper, out, static_cast<int32_t>(room), s,
                     static_cast<int32_t>(n));
  };
  return folded_elements(s1, n1, s2, n2, kMostUpperUnits, map_form, code);
}

int32_t compare_packed(const PLLocale &handle, const PLWChar *s1, int32_t len1, const PLWChar *s2,
                       int32_t len2, int32_t flags, int32_t *code) {
  size_t n1 = element_extent(s1, len1, false), n2 = element_extent(s2, len2, false);
  if (n1 == 0 || n2 == 0 || plain(flags)) {
    auto same = [](PLWChar c) { return static_cast<int64_t>(c); };
    return compare_elements(s1, n1, s2, n2, same, false, 1);
  }
  if (simple_folding(flags)) {
    CodesetMapping chars(*handle.codeset);
    auto upper = [&chars](PLWChar c) { return static_cast<int64_t>(chars.upper(c)); };
    return compare_elements(s1, n1, s2, n2, upper, true, 1);
  }
  auto map_form = [&](PLWChar *out, size_t room, const PLWChar *s, size_t n) {
    return map_packed(handle, Mapping::upper, out, static_cast<int32_t>(room), s,
                      static_cast<int32_t>(n));
  };
  return folded_elements(s1, n1, s2, n2, kMostUpperUnits, map_form, code);
}

}  // namespace pl
