// Reading text items: the base, Ex, U and W forms.
#include <cstring>

#include "charset/charset_view.h"
#include "charset/from_unicode.h"
#include "charset/length_rule.h"
#include "charset/utf16_to_bytes.h"
#include "frame/endian.h"
#include "frame/memory.h"
#include "frame/process.h"
#include "locale/builtin_set.h"
#include "locale/environment.h"
#include "locale/info_items.h"
#include "locale/info_text.h"
#include "locale/text_codec.h"

namespace pl {
namespace {

struct FoundItem {
  TextItem item;
  char name[kLocaleNameCapacity];
};

int32_t fail(PLLocale *handle, Code code) {
  handle->last_error = code;
  return -1;
}

// Finds the item to read; item 88 is built into `found->name`.
bool find_for_reading(PLLocale *handle, int32_t item, int32_t flags, FoundItem *found) {
  if (item == kItemLocaleName) {
    locale_name(handle, found->name);
    found->item = {TextKind::name, found->name, nullptr};
    return true;
  }
  return find_text_item(handle, item, (flags & kFromTerritory) == 0, &found->item);
}

// The byte-to-Unicode table names are read through: code set 1's.
CharsetView name_codeset() {
  Code code = PL_OK;
  const ControlEntry *ascii = find_by_number(current_environment(), layout::kCodeset, 1, false, &code);
  return CharsetView(ascii != nullptr ? *ascii : builtin::control_table()[2]);
}

// Calls `unit(u)` for each UTF-16 unit of the item until it returns false.
template <class Visit>
void for_each_unit(const TextItem &item, Visit unit) {
  switch (item.kind) {
    case TextKind::record: {
      const uint8_t *text = static_cast<const uint8_t *>(item.text);
      for (size_t i = 0;; ++i) {
        PLUChar u = read_u16(text + 2 * i);
        if (u == 0 || !unit(u)) return;
      }
    }
    case TextKind::handle:
      for (const PLUChar *u = item.unicode; *u != 0; ++u)
        if (!unit(*u)) return;
      return;
    case TextKind::name: {
      CharsetView names = name_codeset();
      for (const char *c = static_cast<const char *>(item.text); *c != 0; ++c)
        if (!unit(names.byte_unicode(static_cast<uint8_t>(*c)))) return;
      return;
    }
  }
}

// Units of an Ex item collected on the stack; items are names, formats and symbols.
constexpr size_t kStackUnits = 128;

bool valid_flags(int32_t flags) { return (flags & ~(kFromTerritory | PL_COUNT_CHARS)) == 0; }

// Character items are read through a window of one character and the NUL.
int32_t window(int32_t item, int32_t size, int32_t character_window) {
  return is_character_item(item) && size > character_window ? character_window : size;
}

}  // namespace

int32_t get_text_item(PLLocale *handle, int32_t item, char *out, int32_t size, int32_t flags) {
  if (!valid_flags(flags)) return fail(handle, PL_ERR_ARGUMENT);
  if (size <= 0) return 0;
  const char *copy;
  const PLUChar *unicode;
  if (flags == 0 && handle_copy(handle, item, &copy, &unicode)) {
    // The handle's copy is whole characters: when all of it fits, no walk is needed.
    size_t length = std::strlen(copy);
    if (length < static_cast<size_t>(size)) {
      std::memcpy(out, copy, length + 1);
      return static_cast<int32_t>(length + 1);
    }
  }
  FoundItem found;
  if (!find_for_reading(handle, item, flags, &found)) return fail(handle, PL_ERR_UNKNOWN_ITEM);
  size = window(item, size, 2);
  bool count_chars = (flags & PL_COUNT_CHARS) != 0;
  size_t used = 0, chars = 0;
  // Writes one character if it fits with the NUL after it.
  auto put = [&](const uint8_t *bytes, size_t n) {
    size_t need = count_chars ? chars + 2 : used + n + 1;
    if (need > static_cast<size_t>(size)) return false;
    std::memcpy(out + used, bytes, n);
    used += n;
    ++chars;
    return true;
  };
  const ControlEntry &codeset = *handle->codeset;
  bool ascii_name = found.item.kind == TextKind::name && CharsetView(codeset).ascii_based();
  if (found.item.kind == TextKind::handle || ascii_name) {
    // The handle's copies are in its code set, and so are names in an ASCII-based set.
    const uint8_t *text = static_cast<const uint8_t *>(found.item.text);
    size_t length = std::strlen(static_cast<const char *>(found.item.text));
    CharsetView set(codeset);
    for (size_t at = 0; at < length;) {
      uint8_t n = ascii_name ? 1 : char_length(set, text + at, length - at).bytes;
      if (n == 0) n = 1;
      if (!put(text + at, n)) break;
      at += n;
    }
  } else {
    for_each_unit(found.item, [&](PLUChar unit) {
      uint8_t bytes[4];
      return put(bytes, to_bytes(codeset, unit, bytes));
    });
  }
  out[used] = '\0';
  return static_cast<int32_t>((count_chars ? chars : used) + 1);
}

int32_t get_text_item_ex(PLLocale *handle, int32_t item, char *out, PLState state, int32_t size,
                         int32_t flags) {
  CharsetView set(*handle->codeset);
  if (!set.stateful()) {
    if (item == kItemShiftIn || item == kItemShiftOut) return fail(handle, PL_ERR_UNKNOWN_ITEM);
    return get_text_item(handle, item, out, size, flags);
  }
  if (!valid_flags(flags)) return fail(handle, PL_ERR_ARGUMENT);
  if (size <= 0) return 0;
  if (item == kItemShiftIn || item == kItemShiftOut) {
    uint8_t byte = item == kItemShiftIn ? set.shift_in_byte() : set.shift_out_byte();
    size_t n = size >= 2 ? 1 : 0;
    if (n) out[0] = static_cast<char>(byte);
    out[n] = '\0';
    return static_cast<int32_t>(n + 1);
  }
  FoundItem found;
  if (!find_for_reading(handle, item, flags, &found)) return fail(handle, PL_ERR_UNKNOWN_ITEM);
  // A shifted start leaves room for the closing shift-in byte of a character item.
  size = window(item, size, state != 0 ? 3 : 2);
  // Collect the units, then write them with the shift bytes they need: on the stack,
  // from the heap only for an item longer than any the data holds.
  size_t count = 0;
  for_each_unit(found.item, [&](PLUChar) { return ++count, true; });
  PLUChar stack_units[kStackUnits];
  PLUChar *units = stack_units;
  if (count > kStackUnits) {
    units = static_cast<PLUChar *>(allocate(count * sizeof(PLUChar)));
    if (units == nullptr) return fail(handle, PL_ERR_NO_MEMORY);
  }
  count = 0;
  for_each_unit(found.item, [&](PLUChar u) { return units[count++] = u, true; });
  bool count_chars = (flags & PL_COUNT_CHARS) != 0;
  size_t limit = static_cast<size_t>(size) - 1;
  size_t take = count_chars && count > limit ? limit : count;
  size_t capacity = count_chars ? take * (set.max_length() + 1u) + 1 : limit;
  EncodedText encoded = utf16_to_bytes(*handle->codeset, units, take, state,
                                       reinterpret_cast<uint8_t *>(out), capacity);
  if (units != stack_units) release(units);
  out[encoded.written] = '\0';
  return static_cast<int32_t>((count_chars ? encoded.consumed : encoded.written) + 1);
}

// The U and W forms: the item's units, each written by `convert` as one element.
template <class Element, class Convert>
int32_t get_elements(PLLocale *handle, int32_t item, Element *out, int32_t size, int32_t flags,
                     Convert convert) {
  if (!valid_flags(flags)) return fail(handle, PL_ERR_ARGUMENT);
  if (size <= 0) return 0;
  FoundItem found;
  if (!find_for_reading(handle, item, flags, &found)) return fail(handle, PL_ERR_UNKNOWN_ITEM);
  size = window(item, size, 2);
  size_t used = 0;
  for_each_unit(found.item, [&](PLUChar unit) {
    if (used + 2 > static_cast<size_t>(size)) return false;
    out[used++] = convert(unit);
    return true;
  });
  out[used] = 0;
  return static_cast<int32_t>(used + 1);
}

int32_t get_text_item_u(PLLocale *handle, int32_t item, PLUChar *out, int32_t size, int32_t flags) {
  return get_elements(handle, item, out, size, flags, [](PLUChar unit) { return unit; });
}

int32_t get_text_item_w(PLLocale *handle, int32_t item, PLWChar *out, int32_t size, int32_t flags) {
  const ControlEntry &codeset = *handle->codeset;
  return get_elements(handle, item, out, size, flags,
                      [&](PLUChar unit) { return to_packed(codeset, unit); });
}

}  // namespace pl
