#include "charset/navigation/char_count.h"

#include <cstring>


namespace pl {
namespace {

const uint8_t *bytes(const char *s) { return reinterpret_cast<const uint8_t *>(s); }

}  // namespace

int32_t num_chars(const TextRules &rules, const char *s, PLState state, int32_t length) {
  size_t extent = length < 0 ? std::strlen(s) : static_cast<size_t>(length);
  if (rules.shortcut()) return static_cast<int32_t>(extent);
  return static_cast<int32_t>(walk(rules, bytes(s), extent, extent, kNoCharLimit, state).chars);
}

Position move_pointer(const TextRules &rules, const char *s, PLState state, int32_t n,
                      bool count_chars) {
  if (n <= 0) return {s, state};
  if (rules.shortcut()) return {s + n, state};
  size_t wanted = static_cast<size_t>(n);
  if (count_chars) {
    size_t extent = std::strlen(s);
    WalkEnd end = walk(rules, bytes(s), extent, extent, wanted, state);
    return {s + end.bytes, end.state};
  }
  // A shift run reaching past `n` bytes must be seen whole, so the shift rule needs
  // the whole string; the length rule needs nothing behind the limit.
  size_t extent = rules.shift_rule ? std::strlen(s) : strnlen(s, wanted);
  WalkEnd end = walk(rules, bytes(s), extent, wanted, kNoCharLimit, state);
  return {s + end.bytes, end.state};
}

WalkEnd char_offset(const TextRules &rules, const char *s, PLState state, size_t length, size_t n) {
  if (rules.shortcut()) {
    size_t passed = n < length ? n : length;
    return {passed, passed, state};
  }
  return walk(rules, bytes(s), length, length, n, state);
}

}  // namespace pl
