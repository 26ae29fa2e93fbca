// Counting characters and moving over them: the walks that string, formatting and
// pattern code build on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/navigation/char_access.h"
#include "charset/navigation/char_walk.h"
#include "charset/navigation/text_rules.h"
#include "polyloc.h"

namespace pl {

// Whole characters in the first `length` bytes of `s` (negative: up to the NUL, not
// counted); a character that would cross the end is not counted, nor are shift bytes.
int32_t num_chars(const TextRules &rules, const char *s, PLState state, int32_t length);

// The last character boundary at or before `n` bytes from `s`, or, with `count_chars`,
// the boundary `n` characters on; never past the NUL. `n` <= 0 stays at `s`.
Position move_pointer(const TextRules &rules, const char *s, PLState state, int32_t n,
                      bool count_chars);

// Steps over `n` characters (fewer where the text ends) of the first `length` bytes of
// `s`: the byte offset reached, the characters passed and the state there.
WalkEnd char_offset(const TextRules &rules, const char *s, PLState state, size_t length, size_t n);

}  // namespace pl
