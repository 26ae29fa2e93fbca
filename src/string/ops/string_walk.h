// The steps the string family takes over text of a code set: one character (behind
// its shift run under the shift rule) at a time, and the conversions between
// character counts and byte lengths that PL_COUNT_CHARS asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "charset/conversion/path.h"
#include "charset/length_rule.h"
#include "charset/navigation/char_walk.h"
#include "charset/navigation/text_rules.h"
#include "charset/shift_rule.h"

namespace pl {

inline const uint8_t *as_bytes(const char *s) { return reinterpret_cast<const uint8_t *>(s); }
inline uint8_t *as_bytes(char *s) { return reinterpret_cast<uint8_t *>(s); }

// The step at `s` inside `available` bytes; the length rule is inlined, the shift
// rule goes through the navigation step.
inline Step string_step(const TextRules &rules, const uint8_t *s, size_t available,
                        PLState state) {
  if (rules.shift_rule) return step_at(rules, s, available, state);
  return {0, state, char_length(rules.set, s, available)};
}

// Whether the one-element loops serve: every character is one byte and no shift byte
// has a meaning. The reference path never takes them.
inline bool element_path(const TextRules &rules, Path path) {
  return path == Path::fast && rules.shortcut();
}

// The first `n` characters of NUL-terminated `s` (none for n < 1), never reaching
// past the NUL: their bytes, their number and the state behind them; a shift run
// behind the last character is left out.
WalkEnd chars_to_bytes(const TextRules &rules, const char *s, PLState state, int32_t n);

// Whole characters in the first `bytes` bytes of `s` (a NUL inside counts as one).
size_t bytes_to_chars(const TextRules &rules, const char *s, PLState state, size_t bytes);

// A length argument made a byte extent: negative measures up to the NUL (with
// `with_nul`, the NUL included); under `count_chars` a positive count of characters
// becomes bytes first.
size_t byte_extent(const TextRules &rules, const char *s, PLState state, int32_t length,
                   bool count_chars, bool with_nul);

// The shift run at the start of `s` inside `extent` bytes and the state it leaves
// (nothing under the length rule).
inline ShiftRun leading_run(const TextRules &rules, const uint8_t *s, size_t extent,
                            PLState state) {
  PLState normal = state == kSingleByteState ? kSingleByteState : kShiftedState;
  if (!rules.shift_rule) return {0, normal};
  return skip_shift_run(rules.set, s, extent, normal);
}

}  // namespace pl
