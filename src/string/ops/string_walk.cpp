#include "string/ops/string_walk.h"

namespace pl {

WalkEnd chars_to_bytes(const TextRules &rules, const char *s, PLState state, int32_t n) {
  if (n < 1) return {0, 0, state};
  const uint8_t *text = as_bytes(s);
  if (rules.shortcut()) {
    size_t bytes = strnlen(s, static_cast<size_t>(n));
    return {bytes, bytes, state};
  }
  WalkEnd end{0, 0, state};
  while (end.chars < static_cast<size_t>(n)) {
    Step step = terminated_step(rules, text + end.bytes, end.state);
    // The NUL ends the text, behind a shift run too.
    if (text[end.bytes + step.shift_bytes] == 0 || step.length.rule == 0 ||
        !step.length.complete())
      break;
    end.bytes += step.shift_bytes + step.length.rule;
    end.state = step.state;
    ++end.chars;
  }
  return end;
}

size_t bytes_to_chars(const TextRules &rules, const char *s, PLState state, size_t bytes) {
  if (rules.shortcut()) return bytes;
  return Stepper(rules).whole(as_bytes(s), bytes, state).chars;
}

size_t byte_extent(const TextRules &rules, const char *s, PLState state, int32_t length,
                   bool count_chars, bool with_nul) {
  if (length < 0) return std::strlen(s) + (with_nul ? 1 : 0);
  if (count_chars) return chars_to_bytes(rules, s, state, length).bytes;
  return static_cast<size_t>(length);
}

}  // namespace pl
