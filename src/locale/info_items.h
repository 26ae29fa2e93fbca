// The numbered information items of a locale and where their values live.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/handle.h"

namespace pl {

inline constexpr int32_t kItemLocaleName = 88;
inline constexpr int32_t kItemShiftIn = 89;
inline constexpr int32_t kItemShiftOut = 90;

// Numeric items: read with the numeric functions.
bool is_numeric_item(int32_t item);
// The separator (0..4) a character item (59, 60, 61, 66, 67) stands for, or -1.
inline int separator_of(int32_t item) {
  switch (item) {
    case 59: return 0;
    case 60: return 1;
    case 61: return 2;
    case 66: return 3;
    case 67: return 4;
    default: return -1;
  }
}
// Items that are one character.
inline bool is_character_item(int32_t item) { return separator_of(item) >= 0; }
// The handle string (0..7) a string item (62, 64, 68, 71, 72, 79, 80, 81) stands for,
// or -1.
inline int handle_string_of(int32_t item) {
  switch (item) {
    case 62: return 0;
    case 64: return 1;
    case 68: return 2;
    case 71: return 3;
    case 72: return 4;
    case 79: return 5;
    case 80: return 6;
    case 81: return 7;
    default: return -1;
  }
}

// The handle's own copy of a character or string item, in its code set, with the same
// text in UTF-16; false for the other items.
inline bool handle_copy(const PLLocale *handle, int32_t item, const char **text,
                        const PLUChar **unicode) {
  if (int c = separator_of(item); c >= 0) {
    *text = handle->separators[c];
    *unicode = handle->separators_unicode[c];
    return true;
  }
  if (int s = handle_string_of(item); s >= 0) {
    *text = handle->strings[s];
    *unicode = handle->strings_unicode[s];
    return true;
  }
  return false;
}

// Text kinds: where a text item's characters are and how they are written.
enum class TextKind : uint32_t {
  record = 1,  // UTF-16 units of a language or territory record
  handle = 2,  // the handle's own copy, in its code set
  name = 3,    // an entry name, ASCII
};

struct TextItem {
  TextKind kind;
  const void *text;  // record: PLUChar units; handle: bytes; name: ASCII bytes
  // For kind `handle`, the same text in UTF-16.
  const PLUChar *unicode;
};

// Finds text item 2..81 of the handle: its own copy where it has one and
// `use_handle` is set, else the record's value. False for numeric and unknown items
// and for an id that names no entry.
bool find_text_item(PLLocale *handle, int32_t item, bool use_handle, TextItem *out);

// The handle's name, "language_territory.codeset@collation" ("Binary" for none),
// into `out` (capacity 4 names and separators).
inline constexpr size_t kLocaleNameCapacity = 4 * 36;
void locale_name(const PLLocale *handle, char *out);

}  // namespace pl
