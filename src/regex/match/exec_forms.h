// One search in each form of text: the caller's text is brought to UTF-16, searched,
// and the ranges found are turned back into the caller's units (bytes, packed
// characters, or UTF-16 units), with the caller's text kept as the match base.
#pragma once

#include <cstdint>

#include "frame/handle.h"
#include "regex/regex_program.h"

namespace pl::regex {

// Text of the handle's code set from `state` (the single-byte state for the base
// form); `length` in bytes, or characters with `count_chars`; negative: up to the NUL.
int32_t exec_bytes(PLLocale *handle, Program &program, const char *string, PLState state,
                   int32_t length, bool not_bol, bool count_chars);
// Packed characters; negative `length`: up to the 0 element.
int32_t exec_packed(PLLocale *handle, Program &program, const PLWChar *string, int32_t length,
                    bool not_bol);
// UTF-16; negative `length`: up to the 0 unit.
int32_t exec_units(PLLocale *handle, Program &program, const PLUChar *string, int32_t length,
                   bool not_bol);

}  // namespace pl::regex
