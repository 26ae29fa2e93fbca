// The four forms of the time formatter. Each is the printf engine's form of the same
// units (its cursor over the format; for the Ex form also its shift sink and how it
// writes text) with what time formatting adds: the encoding of the characters the
// formatter writes itself, the lookups of names and formats, line ends and the zone
// name. The forms without states write through a RawSink.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "charset/conversion/string_conversions.h"
#include "charset/from_unicode.h"
#include "charset/length_rule.h"
#include "charset/shift_rule.h"
#include "charset/utf16_to_bytes.h"
#include "format/printf/engine_forms.h"
#include "frame/endian.h"
#include "locale/info_items.h"
#include "locale/info_text.h"
#include "string/ops/element_ops.h"
#include "time/format/time_sink.h"
#include "time/time_text.h"

namespace pl::time_format {

using time_text::kItemBufferSize;

// Items 16..57 are day and month names and the AM and PM markers.
inline constexpr int32_t kLastNameItem = 57;

// The ASCII text of a fixed format in a form's units; at most 11 characters.
template <class T>
size_t encode_fixed(const time_text::Encoding &encoding, const char *ascii, T *out) {
  size_t n = 0;
  for (; ascii[n] != 0; ++n) out[n] = static_cast<T>(time_text::encode_ascii(encoding, ascii[n]));
  return n;
}

// The bytes of a zone name, each widened to one unit; at most a full item buffer.
template <class T>
size_t widen_zone(const char *name, T *out) {
  size_t n = 0;
  for (; n + 1 < static_cast<size_t>(kItemBufferSize) && name[n] != 0; ++n)
    out[n] = static_cast<T>(static_cast<uint8_t>(name[n]));
  return n;
}

// An item's length without its terminator, or -1 when the lookup failed.
inline int32_t item_length(int32_t lookup) { return lookup < 0 ? -1 : lookup - 1; }

template <class T>
size_t line_end_length(const T *start, const T *end) {
  return end == nullptr ? 0 : static_cast<size_t>(end - start);
}

// A little-endian unit of a record, in one load where the machine reads that order.
inline PLUChar record_unit(const uint8_t *p) {
  if constexpr (std::endian::native == std::endian::little) {
    PLUChar unit;
    std::memcpy(&unit, p, sizeof unit);
    return unit;
  }
  return read_u16(p);
}

// Name item `item` (16..57) of the handle's current values in its code set, as
// get_text_item writes it into a buffer of kItemBufferSize bytes, written from `out`
// on; returns the end of what it wrote. The record's UTF-16 text is converted here: an
// ASCII unit of a set that writes it as its own byte is copied, any other goes through
// the set's conversion, and a character that does not fit ends the name.
inline char *encode_name(const PLLocale &handle, int32_t item, char *out) {
  const uint8_t *text = name_item_units(handle, item);
  char *const last = out + (kItemBufferSize - 1);
  bool ascii = (handle.flags & kHandleAsciiUnits) != 0;
  if (ascii) {
    for (PLUChar unit; (unit = record_unit(text)) - 1u < 0x7Fu && out != last; text += 2)
      *out++ = static_cast<char>(unit);
  }
  for (;; text += 2) {
    PLUChar unit = record_unit(text);
    if (unit == 0) break;
    if (ascii && unit < 0x80) {
      if (out == last) break;
      *out++ = static_cast<char>(unit);
      continue;
    }
    uint8_t bytes[4];
    size_t n = to_bytes(*handle.codeset, unit, bytes);
    if (n > static_cast<size_t>(last - out)) break;
    for (size_t i = 0; i < n; ++i) *out++ = static_cast<char>(bytes[i]);
  }
  return out;
}

// The units of a literal run at the format's end that make whole characters of `set`.
inline size_t whole_chars(const CharsetView &set, const char *s, size_t length) {
  size_t i = 0;
  while (i < length) {
    CharLength c = char_length(set, reinterpret_cast<const uint8_t *>(s + i), length - i);
    if (!c.complete()) break;
    i += c.bytes > 0 ? c.bytes : 1;
  }
  return i;
}

// The encodings of the forms' own characters.
inline time_text::Encoding byte_encoding(const PLLocale &h) { return time_text::encoding_of(h, false); }
inline time_text::Encoding unit_encoding(const PLLocale &) { return time_text::kAscii; }
inline time_text::Encoding packed_encoding(const PLLocale &h) { return time_text::encoding_of(h, true); }

// What a form without states looks up through: the item lookup and the line-end
// writer of its units, and the encoding of the formatter's own characters.
template <class T>
struct PlainCalls {
  time_text::Encoding (*encoding)(const PLLocale &);
  int32_t (*item)(PLLocale *, int32_t, T *, int32_t, int32_t);
  T *(*line_end)(PLLocale *, T *, int32_t);
};
inline constexpr PlainCalls<char> kByteCalls{byte_encoding, get_text_item, PLPutEol};
inline constexpr PlainCalls<PLUChar> kUnitCalls{unit_encoding, get_text_item_u, PLPutEolU};
inline constexpr PlainCalls<PLWChar> kPackedCalls{packed_encoding, get_text_item_w, PLPutEolW};

// A form without states over the printf engine's form `Base`: output through a
// RawSink, literal and fetched text written by Base's own rules.
template <class Base, const PlainCalls<typename Base::Element> &kCalls>
struct PlainTimeForm : Base {
  using T = typename Base::Element;
  using Sink = RawSink<T>;

  PlainTimeForm(PLLocale &h, PLState, PLState)
      : Base(h, false, kSingleByteState, kSingleByteState), encoding(kCalls.encoding(h)) {}

  static Sink sink(T *out, int32_t room) { return Sink(out, room); }
  void literal(Sink &sink, const FormatChar<T> &c) const {
    sink.through_plain([&](PlainSink<T> &plain) { Base::literal(plain, c); });
  }
  void text(Sink &sink, const T *s, size_t length) const {
    sink.through_plain([&](PlainSink<T> &plain) { Base::text(plain, s, length); });
  }
  typename Base::Cursor nested_cursor(const T *format, size_t length) const {
    return Base::cursor(format, length);
  }
  // No character of the format is cut by its end (the byte form says otherwise).
  static bool cut(const FormatChar<T> &) { return false; }
  static size_t whole(const T *, size_t length) { return length; }
  int32_t item(int32_t number, T *out, int32_t flags) const {
    return item_length(kCalls.item(Base::handle, number, out, kItemBufferSize, flags));
  }
  // The handle's own copy of format item `number` in these units (bytes or UTF-16),
  // read in place where the lookup would give all of it; null otherwise.
  const T *own_format(int32_t number, int32_t flags, size_t *length) const {
    const char *text;
    const PLUChar *unicode;
    if (flags != 0 || !handle_copy(Base::handle, number, &text, &unicode)) return nullptr;
    const T *copy = nullptr;
    if constexpr (std::is_same_v<T, char>)
      copy = text;
    else if constexpr (std::is_same_v<T, PLUChar>)
      copy = unicode;
    else
      return nullptr;
    *length = element_length(copy);
    return *length < static_cast<size_t>(kItemBufferSize) ? copy : nullptr;
  }
  size_t line_end(T *out, int32_t flags) const {
    return line_end_length(out, kCalls.line_end(Base::handle, out, flags));
  }

  time_text::Encoding encoding;
};

// Bytes by the length rule: the base form, and the Ex form of a set without states.
struct ByteTimeForm : PlainTimeForm<ByteEngineForm, kByteCalls> {
  using PlainTimeForm::PlainTimeForm;

  // A character the format's end cut short.
  bool cut(const FormatChar<char> &c) const {
    return !rules.single_byte &&
           !char_length(rules.set, reinterpret_cast<const uint8_t *>(c.text), c.units).complete();
  }
  // The whole characters of a literal run that ends the format.
  size_t whole(const char *s, size_t length) const {
    return rules.single_byte ? length : whole_chars(rules.set, s, length);
  }
  int32_t item(int32_t number, char *out, int32_t flags) const {
    if (flags == 0 && number <= kLastNameItem)
      return static_cast<int32_t>(encode_name(*handle, number, out) - out);
    return PlainTimeForm::item(number, out, flags);
  }
  static size_t zone(const char *name, char *out) { return widen_zone(name, out); }
};

// Bytes of a stateful set: the format and its nested formats under the shift rule, the
// output with the shift bytes its modes need.
struct ShiftTimeForm : ShiftEngineForm {
  ShiftTimeForm(PLLocale &h, PLState format_state, PLState out_state)
      : ShiftEngineForm(h, true, format_state, out_state),
        encoding(time_text::encoding_of(h, true)) {}

  // A locale's format starts in the single-byte state.
  Cursor nested_cursor(const char *format, size_t length) const {
    return Cursor(format, length, directive_table(true), rules.set, kSingleByteState);
  }
  bool cut(const FormatChar<char> &c) const {
    return c.multi && c.units < state_char_length(rules.set, kShiftedState);
  }
  // The shift cursor reads no runs.
  static size_t whole(const char *, size_t length) { return length; }
  // The item as the Ex lookup writes it from the single-byte state: its UTF-16 text
  // encoded with the shift bytes it needs, closed in the single-byte state. Encoded
  // here so that the lookup needs no working block.
  int32_t item(int32_t number, char *out, int32_t flags) const {
    PLUChar units[kItemBufferSize];
    int32_t n = item_length(get_text_item_u(handle, number, units, kItemBufferSize, flags));
    if (n < 0) return -1;
    EncodedText text = utf16_to_bytes(*handle->codeset, units, static_cast<size_t>(n),
                                      kSingleByteState, reinterpret_cast<uint8_t *>(out),
                                      kItemBufferSize - 1);
    return static_cast<int32_t>(text.written);
  }
  // A stateful set's items are fetched with their shift bytes.
  static const char *own_format(int32_t, int32_t, size_t *) { return nullptr; }
  // The sink writes the shift-in that a line end after double-byte text needs.
  size_t line_end(char *out, int32_t flags) const {
    PLState state;
    return line_end_length(out, PLPutEolEx(handle, out, kSingleByteState, &state, flags));
  }
  size_t zone(const char *name, char *out) const { return widen_zone(name, out); }

  time_text::Encoding encoding;
};

// UTF-16 units: directive characters and the formatter's own characters are ASCII;
// every unit is read as a character, a surrogate pair is never split.
struct UnitTimeForm : PlainTimeForm<UnitEngineForm, kUnitCalls> {
  using PlainTimeForm::PlainTimeForm;

  // The name is text of the locale's code set.
  size_t zone(const char *name, PLUChar *out) const {
    KeptError kept(*handle);
    int32_t n = string_to_unicode(handle, out, kItemBufferSize - 1, name, kSingleByteState,
                                  static_cast<int32_t>(std::strlen(name)), 0, Path::fast);
    return n > 0 ? static_cast<size_t>(n) : 0;
  }
};

// Packed characters; directive characters among the units below 256.
struct PackedTimeForm : PlainTimeForm<PackedEngineForm, kPackedCalls> {
  using PlainTimeForm::PlainTimeForm;

  static size_t zone(const char *name, PLWChar *out) { return widen_zone(name, out); }
};

}  // namespace pl::time_format
