// Walking text character by character: the length rule, or the shift rule where shift
// bytes switch states. Every walk reads only inside the bytes it is given.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/length_rule.h"
#include "charset/navigation/text_rules.h"
#include "charset/shift_rule.h"

namespace pl {

// One step of a walk: the shift bytes in front of a character, the state they leave,
// and the character.
struct Step {
  size_t shift_bytes;
  PLState state;
  CharLength length;
};

// The step at `s`, reading at most `available` bytes.
Step step_at(const TextRules &rules, const uint8_t *s, size_t available, PLState state);

// The step at `s` in NUL-terminated text: the first byte of the character is always
// taken, its trail bytes stop at the NUL.
Step terminated_step(const TextRules &rules, const uint8_t *s, PLState state);

// The shift run at `s` in NUL-terminated text.
ShiftRun terminated_shift_run(const CharsetView &set, const uint8_t *s, PLState state);

struct WalkEnd {
  size_t bytes;   // offset of the boundary reached
  size_t chars;   // whole characters passed
  PLState state;  // the state in effect there
};

inline constexpr size_t kNoCharLimit = SIZE_MAX;

// Walks the `extent` bytes at `s` from `state` over whole characters and shift runs,
// stopping before the first that would end beyond `limit` (at most `extent`), after
// `max_chars` characters (shift runs behind the last are left alone), or at a byte of
// length 0, which would never advance.
WalkEnd walk(const TextRules &rules, const uint8_t *s, size_t extent, size_t limit,
             size_t max_chars, PLState state);

}  // namespace pl
