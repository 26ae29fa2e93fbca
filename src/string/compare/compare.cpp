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
int32_t length_difference(size_t n1, size_t n2) {
  return clamped(static_cast<int64_t>(n1) - static_cast<int64_t>(n2));
}

// Full folding needs room for every character to grow. An element's uppercase takes
// at most three (U+0390 is three units); a byte's, at most eight bytes.
constexpr size_t kMostUpperUnits = 3, kMostUpperBytes = 8;

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
  if (!rules.shortcut()) extent = Stepper(rules).whole_bytes(text, extent, state);
  ShiftRun run = leading_run(rules, text, extent, state);
  return {text + run.length, extent - run.length, run.state};
}

// Unsigned bytes over the shorter length: -1 or +1 at the first difference.
int32_t compare_bytes(const uint8_t *a, size_t n1, const uint8_t *b, size_t n2) {
  int c = std::memcmp(a, b, std::min(n1, n2));
  return c != 0 ? sign(c) : length_difference(n1, n2);
}

// The first byte difference of the one-to-one uppercase of the `width`-byte
// characters at `a` and `b`, their bytes left-aligned.
int32_t compare_upper(const CodesetMapping &chars, const uint8_t *a, const uint8_t *b,
                      size_t width) {
  uint8_t x[4] = {}, y[4] = {};
  write_packed_char(chars.upper(pack_char(a, width)), x);
  write_packed_char(chars.upper(pack_char(b, width)), y);
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
      int32_t d = compare_upper(chars, t1.at + i, t2.at + j, c1);
      if (d != 0) return d;
      i += c1;
      j += c2;
    }
  }
  return length_difference(t1.length, t2.length);
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
    int32_t d = compare_upper(chars, t1.at + i, t2.at + j, width);
    if (d != 0) return d;
    i += width;
    j += width;
  }
  return length_difference(t1.length, t2.length);
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

// Elements through the full uppercase mapping of `map_form` into buffers of `factor`
// elements an element, compared by value.
template <class T, class MapForm>
int32_t folded_elements(PLLocale &handle, const T *s1, size_t n1, const T *s2, size_t n2,
                        size_t factor, MapForm map_form) {
  size_t room1 = mapped_room(n1, factor), room2 = mapped_room(n2, factor);
  HeapArray<T> a(room1), b(room2);
  if (a.data() == nullptr || b.data() == nullptr) {
    handle.last_error = PL_ERR_NO_MEMORY;
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

int32_t compare_strings(PLLocale &handle, const TextRules &rules, const char *s1,
                        PLState state1, int32_t len1, const char *s2, PLState state2,
                        int32_t len2, int32_t flags) {
  bool count_chars = (flags & PL_COUNT_CHARS) != 0;
  Text t1 = prepared(rules, s1, state1, len1, count_chars);
  Text t2 = prepared(rules, s2, state2, len2, count_chars);
  if (t1.length == 0 || t2.length == 0 || plain(flags))
    return compare_bytes(t1.at, t1.length, t2.at, t2.length);
  CodesetMapping chars(*handle.codeset);
  if (rules.shift_rule && (simple_folding(flags) || t1.mode != t2.mode))
    return shifted_walk(rules, chars, t1, t2);
  if (simple_folding(flags)) return simple_walk(rules, chars, t1, t2);
  // Both start in one mode here: differing modes took the walk.
  auto map_form = [&](uint8_t *out, size_t room, const uint8_t *s, size_t n) {
    return map_string(handle, rules, Mapping::upper, reinterpret_cast<char *>(out), t1.mode,
                      static_cast<int32_t>(room), reinterpret_cast<const char *>(s), t1.mode,
                      static_cast<int32_t>(n), false);
  };
  return folded_elements(handle, t1.at, t1.length, t2.at, t2.length, kMostUpperBytes, map_form);
}

int32_t compare_units(PLLocale &handle, const PLUChar *s1, int32_t len1, const PLUChar *s2,
                      int32_t len2, int32_t flags) {
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
  return folded_elements(handle, s1, n1, s2, n2, kMostUpperUnits, map_form);
}

int32_t compare_packed(PLLocale &handle, const PLWChar *s1, int32_t len1, const PLWChar *s2,
                       int32_t len2, int32_t flags) {
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
  return folded_elements(handle, s1, n1, s2, n2, kMostUpperUnits, map_form);
}

}  // namespace pl
