// One character at a time: its length, reading and writing it, the step forward and
// back. Strings are NUL-terminated; nothing past the NUL is read. Under the shift rule
// the states are those of the Ex forms; otherwise a state argument is ignored.
#pragma once

#include <cstdint>

#include "charset/navigation/text_rules.h"
#include "polyloc.h"

namespace pl {

// The length of the character at `s`: by the length rule; under the shift rule 1 for
// a shift-in byte, the maximum length for a shift-out byte or in the shifted state.
int32_t byte_length(const TextRules &rules, const char *s, PLState state);

// 4, 3, 2 or 1 by the highest non-zero byte of a packed character.
int32_t packed_length(PLWChar c);

// The packed character at `s` (behind a shift run under the shift rule); 0 for a byte
// of length 0. A character cut by the NUL gives the bytes before it.
PLWChar get_char(const TextRules &rules, const char *s, PLState state);

// Writes the bytes of `c`, under the shift rule behind the shift byte its size needs
// in `state`; returns the character's own byte count.
int32_t put_char(const TextRules &rules, char *buffer, PLState state, PLWChar c);

struct Position {
  const char *at;
  PLState state;  // the state in effect at `at`
};

// The position behind the character at `s`; under the shift rule, shift runs in front
// of and behind the character are skipped too. A character cut by the NUL ends at it.
Position next_char(const TextRules &rules, const char *s, PLState state);

// The start of the character before `position`, never before `start`. Under the
// shift rule `state` is the state at `position`.
Position prev_char(const TextRules &rules, const char *start, const char *position,
                   PLState state);

}  // namespace pl
