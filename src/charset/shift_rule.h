// The shift rule of stateful code sets: runs of shift-out and shift-in bytes switch
// between the single-byte state and the shifted state, where every character has the
// table's maximum length.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/charset_view.h"
#include "charset/length_rule.h"
#include "polyloc.h"

namespace pl {

inline constexpr PLState kSingleByteState = 0;
inline constexpr PLState kShiftedState = 1;

struct ShiftRun {
  size_t length;  // shift bytes skipped
  PLState state;  // the state after them
};

// Skips the run of shift bytes at `s` inside `available` bytes; the run's last byte
// decides the state. Without a run, or in a code set without the stateful flag (whose
// shift-byte fields mean nothing), {0, state}. Any non-zero state counts as shifted.
ShiftRun skip_shift_run(const CharsetView &set, const uint8_t *s, size_t available, PLState state);

// The length of every character in `state`: 1, or the maximum length when shifted.
uint8_t state_char_length(const CharsetView &set, PLState state);

struct StatefulChar {
  ShiftRun shift;     // the run in front of the character
  CharLength length;  // the character after it, clipped to the input left
};

// One step of a stateful walk: the shift run at `s`, then the character in the state
// it leaves. Reads nothing past `available`.
StatefulChar stateful_char(const CharsetView &set, const uint8_t *s, size_t available,
                           PLState state);

}  // namespace pl
