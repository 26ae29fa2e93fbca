// Changing text items: names select other entries, characters and strings replace
// the handle's copies.
#include <cstring>

#include "charset/charset_view.h"
#include "charset/length_rule.h"
#include "charset/packed_char.h"
#include "charset/shift_rule.h"
#include "frame/memory.h"
#include "frame/process.h"
#include "locale/builtin_set.h"
#include "locale/conventions.h"
#include "locale/environment.h"
#include "locale/handle_items.h"
#include "locale/info_items.h"
#include "locale/info_text.h"
#include "locale/text_codec.h"

namespace pl {
namespace {

constexpr size_t kMaxNameBytes = 32;

int32_t fail(PLLocale *handle, Code code) {
  handle->last_error = code;
  return 0;
}

bool is_digit(const CharsetView &set, uint8_t byte) {
  return set.ascii_based() ? byte >= 0x30 && byte <= 0x39 : byte >= 0xF0 && byte <= 0xF9;
}

// Names are ASCII: in an EBCDIC-based set each byte must be a single-byte character,
// and is rewritten in ASCII.
int32_t set_name(PLLocale *handle, int32_t item, const char *text, size_t length) {
  CharsetView set(*handle->codeset);
  char name[kMaxNameBytes];
  length = length < kMaxNameBytes ? length : kMaxNameBytes;
  const uint8_t *bytes = reinterpret_cast<const uint8_t *>(text);
  for (size_t i = 0; i < length; ++i) {
    if (set.ascii_based()) {
      name[i] = text[i];
      continue;
    }
    if (char_length(set, bytes + i, length - i).rule != 1) return fail(handle, PL_ERR_NOT_FOUND);
    PLUChar unit = set.byte_unicode(bytes[i]);
    name[i] = static_cast<char>(unit < 0x80 ? unit : 0xFF);
  }
  int kind = item == 2 ? layout::kLanguage : item == 6 ? layout::kTerritory
           : item == 10 ? layout::kCodeset : layout::kCollation;
  Code code = PL_OK;
  ControlEntry *entry = find_by_name(current_environment(), kind, name, length, false, &code);
  if (entry == nullptr && !(kind == layout::kCollation && code == PL_OK))
    return fail(handle, code == PL_ERR_NO_MEMORY ? code : PL_ERR_NOT_FOUND);
  switch (kind) {
    case layout::kLanguage: handle->language = entry; break;
    case layout::kTerritory: code = select_territory(handle, entry); break;
    case layout::kCodeset: code = select_codeset(handle, entry); break;
    default: select_collation(handle, entry);  // "Binary": no collation
  }
  return code == PL_OK ? 1 : fail(handle, code);
}

int32_t set_character(PLLocale *handle, int32_t item, const char *text, size_t length) {
  CharsetView set(*handle->codeset);
  const uint8_t *bytes = reinterpret_cast<const uint8_t *>(text);
  int c = separator_of(item);
  if (char_length(set, bytes, length).rule != 1) return fail(handle, PL_ERR_NOT_FOUND);
  uint8_t byte = bytes[0];
  if (item != 61) {
    // The decimal point and the thousands separator (and their monetary pair) must
    // stay apart, and neither may be a digit.
    int partner = c == 0 ? 1 : c == 1 ? 0 : c == 3 ? 4 : 3;
    if (is_digit(set, byte) || static_cast<uint8_t>(handle->separators[partner][0]) == byte)
      return fail(handle, PL_ERR_NOT_FOUND);
  }
  handle->separators[c][0] = static_cast<char>(byte);
  handle->separators_unicode[c][0] = set.byte_unicode(byte);
  handle->override_mask |= 1u << (kOverrideFirstSeparator + c);
  return 1;
}

int32_t set_string(PLLocale *handle, int32_t item, const char *text, size_t length) {
  int s = handle_string_of(item);
  length = whole_chars(handle, text, length);
  char *copy = static_cast<char *>(allocate(length + 1));
  UnitText unicode;
  if (copy == nullptr || !decode_text(handle, text, length, 0, &unicode)) {
    release(copy);
    return fail(handle, PL_ERR_NO_MEMORY);
  }
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  release(handle->strings[s]);
  release(handle->strings_unicode[s]);
  handle->strings[s] = copy;
  handle->strings_unicode[s] = unicode.units;
  handle->override_mask |= 1u << (kOverrideFirstString + s);
  return 1;
}

bool set_flags_ok(int32_t flags) { return flags == 0 || flags == PL_COUNT_CHARS; }

// Elements of a text given with a length, or up to its NUL for a negative one.
template <class Element>
size_t element_count(const Element *text, int32_t length) {
  if (length >= 0) return static_cast<size_t>(length);
  size_t count = 0;
  while (text[count] != 0) ++count;
  return count;
}

}  // namespace

int32_t set_text_item(PLLocale *handle, int32_t item, const char *text, int32_t length,
                      int32_t flags) {
  if (!set_flags_ok(flags)) return fail(handle, PL_ERR_ARGUMENT);
  size_t bytes = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
  if (length > 0 && (flags & PL_COUNT_CHARS))
    bytes = bytes_of_chars(handle, text, static_cast<size_t>(length));
  if (bytes == 0) return 1;
  switch (item) {
    case 2: case 6: case 10: case 12: return set_name(handle, item, text, bytes);
    default: break;
  }
  if (is_character_item(item)) return set_character(handle, item, text, bytes);
  if (handle_string_of(item) >= 0) return set_string(handle, item, text, bytes);
  return fail(handle, PL_ERR_UNKNOWN_ITEM);
}

namespace {

// Sets the item from UTF-16 units, written in the code set from the single-byte state.
int32_t set_from_units(PLLocale *handle, int32_t item, const PLUChar *units, size_t count) {
  size_t encoded_length = 0;
  char *encoded = encode_units(handle, units, count, &encoded_length);
  if (encoded == nullptr) return fail(handle, PL_ERR_NO_MEMORY);
  int32_t result = set_text_item(handle, item, encoded, static_cast<int32_t>(encoded_length), 0);
  release(encoded);
  return result;
}

}  // namespace

int32_t set_text_item_ex(PLLocale *handle, int32_t item, const char *text, PLState state,
                         int32_t length, int32_t flags) {
  CharsetView set(*handle->codeset);
  if (!set.stateful()) return set_text_item(handle, item, text, length, flags);
  if (!set_flags_ok(flags)) return fail(handle, PL_ERR_ARGUMENT);
  // Written again from the single-byte state, the text needs no state to be read.
  size_t bytes = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
  UnitText unicode;
  if (!decode_text(handle, text, bytes, state, &unicode)) return fail(handle, PL_ERR_NO_MEMORY);
  if (length > 0 && (flags & PL_COUNT_CHARS) && unicode.count > static_cast<size_t>(length))
    unicode.count = static_cast<size_t>(length);
  int32_t result = set_from_units(handle, item, unicode.units, unicode.count);
  release(unicode.units);
  return result;
}

int32_t set_text_item_u(PLLocale *handle, int32_t item, const PLUChar *text, int32_t length,
                        int32_t flags) {
  if (!set_flags_ok(flags)) return fail(handle, PL_ERR_ARGUMENT);
  size_t count = element_count(text, length);
  return count == 0 ? 1 : set_from_units(handle, item, text, count);
}

int32_t set_text_item_w(PLLocale *handle, int32_t item, const PLWChar *text, int32_t length,
                        int32_t flags) {
  if (!set_flags_ok(flags)) return fail(handle, PL_ERR_ARGUMENT);
  size_t count = element_count(text, length);
  if (count == 0) return 1;
  CharsetView set(*handle->codeset);
  char *bytes = static_cast<char *>(allocate(count * (set.max_length() + 1u) + 2));
  if (bytes == nullptr) return fail(handle, PL_ERR_NO_MEMORY);
  // Packed characters to bytes, with a shift byte wherever the length changes.
  size_t used = 0;
  PLState state = kSingleByteState;
  for (size_t i = 0; i < count; ++i) {
    PackedBytes packed = unpack_char(text[i]);
    if (set.stateful()) {
      PLState needed = packed.count == 1 ? kSingleByteState : kShiftedState;
      if (needed != state) bytes[used++] = static_cast<char>(needed ? set.shift_out_byte() : set.shift_in_byte());
      state = needed;
    }
    std::memcpy(bytes + used, packed.bytes, packed.count);
    used += packed.count;
  }
  if (state != kSingleByteState) bytes[used++] = static_cast<char>(set.shift_in_byte());
  int32_t result = set_text_item_ex(handle, item, bytes, kSingleByteState, static_cast<int32_t>(used), 0);
  release(bytes);
  return result;
}

}  // namespace pl
