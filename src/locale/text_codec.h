// Moving a handle's text between its code set and UTF-16.
#pragma once

#include <cstddef>

#include "frame/codes.h"
#include "frame/handle.h"

namespace pl {

// A block from the alloc hook holding UTF-16 units and their count (no NUL counted,
// one NUL stored after them).
struct UnitText {
  PLUChar *units = nullptr;
  size_t count = 0;
};

// Decodes `length` bytes of the handle's code set, starting in `state` (shift bytes
// of a stateful set switch it and give no units; a character of four UTF-8 bytes
// gives a surrogate pair). False when there is no memory.
bool decode_text(const PLLocale *handle, const char *text, size_t length, PLState state,
                 UnitText *out);

// Encodes `count` units into a new NUL-terminated block in the handle's code set,
// starting in the single-byte state. `length` receives the bytes before the NUL.
char *encode_units(const PLLocale *handle, const PLUChar *units, size_t count, size_t *length);

// Bytes of the whole characters of `text` that fit in `limit` bytes (0 for `limit`
// below the first character), walking by the length rule.
size_t whole_chars(const PLLocale *handle, const char *text, size_t limit);

// Bytes taken by the first `chars` characters of `text`, stopping at its NUL.
size_t bytes_of_chars(const PLLocale *handle, const char *text, size_t chars);

}  // namespace pl
