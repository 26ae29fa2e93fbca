// Text information items: reading them in the four forms, and changing them.
#pragma once

#include <cstddef>

#include "frame/codes.h"
#include "frame/handle.h"
#include "locale/records/record_view.h"

namespace pl {

// Flags of the text functions, beside PL_COUNT_CHARS.
inline constexpr int32_t kFromTerritory = 1;

// Each reads item `item` into `out` (capacity `size` bytes, characters under
// PL_COUNT_CHARS, UTF-16 units or 32-bit elements), always NUL-terminated and cut at a
// character; returns what was written plus the NUL, 0 for size 0, or -1 with the
// code in the handle.
int32_t get_text_item(PLLocale *handle, int32_t item, char *out, int32_t size, int32_t flags);
int32_t get_text_item_ex(PLLocale *handle, int32_t item, char *out, PLState state, int32_t size,
                         int32_t flags);
int32_t get_text_item_u(PLLocale *handle, int32_t item, PLUChar *out, int32_t size, int32_t flags);
int32_t get_text_item_w(PLLocale *handle, int32_t item, PLWChar *out, int32_t size, int32_t flags);

// Each changes item `item` to `text` (`length` bytes, characters under PL_COUNT_CHARS,
// units or elements; negative: up to the NUL). 1, or 0 with the code in the handle.
int32_t set_text_item(PLLocale *handle, int32_t item, const char *text, int32_t length,
                      int32_t flags);
int32_t set_text_item_ex(PLLocale *handle, int32_t item, const char *text, PLState state,
                         int32_t length, int32_t flags);
int32_t set_text_item_u(PLLocale *handle, int32_t item, const PLUChar *text, int32_t length,
                        int32_t flags);
int32_t set_text_item_w(PLLocale *handle, int32_t item, const PLWChar *text, int32_t length,
                        int32_t flags);

// The UTF-16 text of name item 16..57 (day and month names, AM and PM) read in place
// in the language record: unaligned little-endian units up to a zero unit. What the
// lookups above convert; the handle has no copies of these items.
inline const uint8_t *name_item_units(const PLLocale &handle, int32_t item) {
  records::RecordView language(*handle.language);
  return language.string(layout::language::kDayNameString + (item - 16));
}

}  // namespace pl
