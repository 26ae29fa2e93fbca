// Searching for a character or a substring. Matches start only where characters
// start: the walk steps whole characters (and, under the shift rule, the runs between
// them), and a match must have the sought character's length, or, for a substring,
// start in the substring's mode.
#include "string/ops/element_ops.h"
#include "string/ops/string_ops.h"
#include "string/ops/string_walk.h"

namespace pl {
namespace {

// The first place where the `length` bytes of `wanted` (whole characters) stand at a
// character start: candidates come from the C library's byte searches, and only they
// are checked against the walk, which resumes near each.
const char *found_at(const Stepper &stepper, size_t longest, const char *str, size_t extent,
                     const uint8_t *wanted, size_t length) {
  const uint8_t *text = as_bytes(str);
  size_t from = 0;
  for (size_t search = 0; extent - search >= length;) {
    const void *hit = length == 1 ? std::memchr(text + search, wanted[0], extent - search)
                                  : memmem(text + search, extent - search, wanted, length);
    if (hit == nullptr) return nullptr;
    size_t at = static_cast<size_t>(static_cast<const uint8_t *>(hit) - text);
    if (stepper.starts_at(text, extent, at, from, longest)) return str + at;
    search = at + 1;
  }
  return nullptr;
}

}  // namespace

template <class T>
const T *element_find_char(const T *str, int32_t len, T chr, bool last) {
  if (len == 0) return nullptr;
  // The terminator is found going forwards only.
  size_t n = element_extent(str, len, !last);
  return find_element(str, n, chr, last);
}
template const PLUChar *element_find_char(const PLUChar *, int32_t, PLUChar, bool);
template const PLWChar *element_find_char(const PLWChar *, int32_t, PLWChar, bool);

template <class T>
const T *element_find(const T *str, int32_t len, const T *sub, int32_t sub_len) {
  size_t n = element_extent(str, len, false), m = element_extent(sub, sub_len, false);
  if (m == 0) return str;
  if (m > n) return nullptr;
  return find_elements(str, n, sub, m);
}
template const PLUChar *element_find(const PLUChar *, int32_t, const PLUChar *, int32_t);
template const PLWChar *element_find(const PLWChar *, int32_t, const PLWChar *, int32_t);

Found string_find_char(const TextRules &rules, Path path, const char *str, PLState state,
                       int32_t len, const char *chr, PLState chr_state, bool count_chars,
                       bool last) {
  if (len == 0) return {nullptr, state};
  bool elements = element_path(rules, path);
  // A negative length searches the terminator too, as the C library's searches do.
  if (elements && len < 0) {
    int c = as_bytes(chr)[0];
    return {last ? std::strrchr(str, c) : std::strchr(str, c), state};
  }
  size_t extent = byte_extent(rules, str, state, len, count_chars, true);
  const uint8_t *text = as_bytes(str);
  if (elements) {
    const uint8_t *at = find_element(text, extent, as_bytes(chr)[0], last);
    return {reinterpret_cast<const char *>(at), state};
  }
  Step sought = terminated_step(rules, as_bytes(chr), chr_state);
  if (sought.length.rule == 0 || !sought.length.complete()) return {nullptr, state};
  const uint8_t *wanted = as_bytes(chr) + sought.shift_bytes;
  uint8_t length = sought.length.rule;
  Stepper stepper(rules);
  if (path == Path::fast && !last)
    if (size_t longest = stepper.long_text_longest(extent))
      return {found_at(stepper, longest, str, extent, wanted, length), state};
  Found found{nullptr, state};
  stepper.each(text, extent, state, [&](size_t at, uint8_t bytes, uint8_t rule, PLState in) {
    if (bytes != rule) return false;  // a character cut by the end of the range
    if (rule != length || text[at] != wanted[0] ||
        std::memcmp(text + at + 1, wanted + 1, length - 1u) != 0)
      return true;
    found = {str + at, in};
    return last;
  });
  return found;
}

Found string_find(const TextRules &rules, Path path, const char *str, PLState state, int32_t len,
                  const char *sub, PLState sub_state, int32_t sub_len, bool count_chars) {
  bool elements = element_path(rules, path);
  if (elements && len < 0 && sub_len < 0) return {std::strstr(str, sub), state};
  size_t extent = byte_extent(rules, str, state, len, count_chars, false);
  size_t sub_extent = byte_extent(rules, sub, sub_state, sub_len, count_chars, false);
  const uint8_t *text = as_bytes(str);
  if (elements) {
    if (sub_extent == 0) return {str, state};
    if (sub_extent > extent) return {nullptr, state};
    const uint8_t *at = find_elements(text, extent, as_bytes(sub), sub_extent);
    return {reinterpret_cast<const char *>(at), state};
  }
  // The substring is its whole characters, behind its leading shift run and without
  // the run behind its last character.
  ShiftRun run = leading_run(rules, as_bytes(sub), sub_extent, sub_state);
  const uint8_t *wanted = as_bytes(sub) + run.length;
  size_t rest = sub_extent - run.length;
  size_t chars = walk(rules, wanted, rest, rest, kNoCharLimit, run.state).chars;
  size_t wanted_len = walk(rules, wanted, rest, rest, chars, run.state).bytes;
  if (wanted_len == 0) return {str, state};
  if (wanted_len > extent) return {nullptr, state};
  Stepper stepper(rules);
  if (path == Path::fast)
    if (size_t longest = stepper.long_text_longest(extent))
      return {found_at(stepper, longest, str, extent, wanted, wanted_len), state};
  Found found{nullptr, state};
  stepper.each(text, extent, state, [&](size_t at, uint8_t bytes, uint8_t rule, PLState in) {
    if (bytes != rule || extent - at < wanted_len) return false;
    if ((in != run.state && rules.shift_rule) || text[at] != wanted[0] ||
        std::memcmp(text + at, wanted, wanted_len) != 0)
      return true;
    found = {str + at, in};
    return false;
  });
  return found;
}

}  // namespace pl
