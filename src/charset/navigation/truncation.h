// Cutting a NUL-terminated string to a buffer size at a character boundary, and
// closing a stateful string.
#pragma once

#include <cstdint>

#include "charset/navigation/text_rules.h"
#include "polyloc.h"

namespace pl {

// Cuts `s` in place so that it fits `size` bytes with its NUL (`count_chars`: `size`
// characters, the NUL one of them). Under the shift rule a cut in the shifted state
// closes the text with a shift-in byte where one fits. Returns the bytes (characters)
// kept, the NUL included.
int32_t truncate_string(const TextRules &rules, char *s, PLState state, int32_t size,
                        bool count_chars);

// Writes a shift-in byte when the shift rule applies and `state` is shifted, then the
// NUL when `terminate` is set; returns the bytes written.
int32_t terminate_string(const TextRules &rules, char *buffer, PLState state, bool terminate);

}  // namespace pl
