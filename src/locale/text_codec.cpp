#include "locale/text_codec.h"

#include "charset/charset_view.h"
#include "charset/length_rule.h"
#include "charset/shift_rule.h"
#include "charset/to_unicode.h"
#include "charset/unicode_value.h"
#include "charset/utf16_to_bytes.h"
#include "frame/memory.h"

namespace pl {

bool decode_text(const PLLocale *handle, const char *text, size_t length, PLState state,
                 UnitText *out) {
  const ControlEntry &codeset = *handle->codeset;
  CharsetView set(codeset);
  // Every byte gives at most one unit, a four-byte character two.
  out->units = static_cast<PLUChar *>(allocate((length + 1) * sizeof(PLUChar)));
  if (out->units == nullptr) return false;
  out->count = 0;
  const uint8_t *s = reinterpret_cast<const uint8_t *>(text);
  size_t at = 0;
  while (at < length) {
    size_t left = length - at;
    uint8_t bytes;
    if (set.stateful()) {
      StatefulChar step = stateful_char(set, s + at, left, state);
      at += step.shift.length;
      state = step.shift.state;
      bytes = step.length.bytes;
      if (bytes == 0) break;
    } else {
      bytes = char_length(set, s + at, left).bytes;
      if (bytes == 0) bytes = 1;
    }
    uint32_t value = bytes == 1 && (!set.stateful() || state == kSingleByteState)
                         ? set.byte_unicode(s[at])
                         : to_unicode(codeset, s + at, bytes);
    if (value > 0xFFFF) out->units[out->count++] = static_cast<PLUChar>(value >> 16);
    out->units[out->count++] = static_cast<PLUChar>(value);
    at += bytes;
  }
  out->units[out->count] = 0;
  return true;
}

char *encode_units(const PLLocale *handle, const PLUChar *units, size_t count, size_t *length) {
  // A character takes at most the longest length plus one shift byte.
  size_t capacity = (count + 1) * (CharsetView(*handle->codeset).max_length() + 1u) + 1;
  char *text = static_cast<char *>(allocate(capacity));
  if (text == nullptr) return nullptr;
  EncodedText encoded =
      utf16_to_bytes(*handle->codeset, units, count, 0, reinterpret_cast<uint8_t *>(text), capacity - 1);
  text[encoded.written] = '\0';
  *length = encoded.written;
  return text;
}

size_t whole_chars(const PLLocale *handle, const char *text, size_t limit) {
  CharsetView set(*handle->codeset);
  const uint8_t *s = reinterpret_cast<const uint8_t *>(text);
  size_t at = 0;
  while (at < limit) {
    CharLength length = char_length(set, s + at, limit - at);
    if (!length.complete() || length.bytes == 0) break;
    at += length.bytes;
  }
  return at;
}

size_t bytes_of_chars(const PLLocale *handle, const char *text, size_t chars) {
  CharsetView set(*handle->codeset);
  const uint8_t *s = reinterpret_cast<const uint8_t *>(text);
  size_t at = 0;
  for (size_t c = 0; c < chars && s[at] != 0; ++c) {
    // Trail bytes are read only up to a NUL: a character cut short ends the text.
    size_t available = 1;
    while (available < 4 && s[at + available - 1] != 0 && s[at + available] != 0) ++available;
    CharLength step = char_length(set, s + at, available);
    at += step.bytes == 0 ? 1 : step.bytes;
  }
  return at;
}

}  // namespace pl
