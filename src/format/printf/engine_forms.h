// What differs between the four forms of the printf engine: the units of format and
// output, how directive characters are found, how a character of the format or of an
// argument's text is written, and what c, C, s and S take. The engine itself
// (engine.h) is written once over these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "charset/codeset_ids.h"
#include "charset/conversion/path.h"
#include "charset/conversion/string_conversions.h"
#include "charset/navigation/text_rules.h"
#include "format/printf/argument_scan.h"
#include "format/printf/engine_glyphs.h"
#include "format/printf/format_cursor.h"
#include "format/printf/output_sink.h"
#include "frame/handle.h"

namespace pl {

// Converter calls made for one character keep the handle's error field as it was: a
// failed character only ends a text.
class KeptError {
 public:
  explicit KeptError(PLLocale &handle) : handle_(handle), saved_(handle.last_error) {}
  ~KeptError() { handle_.last_error = saved_; }
  KeptError(const KeptError &) = delete;
  KeptError &operator=(const KeptError &) = delete;

 private:
  PLLocale &handle_;
  int32_t saved_;
};

// The parts every form shares: the handle, its code set and the engine's glyphs.
struct FormCommon {
  FormCommon(PLLocale &h, bool ex_form)
      : handle(&h), rules(text_rules(h, ex_form)),
        code_page_930(h.codeset->number == kCodePage930),
        ascii_based(rules.set.ascii_based()) {}

  const EngineGlyphs &byte_glyphs() const {
    if (ascii_based) return kAsciiEngineGlyphs;
    return code_page_930 ? kCodePage930EngineGlyphs : kEbcdicEngineGlyphs;
  }
  // The table that finds directive characters in the format's units.
  const uint8_t *directive_table(bool with_930) const {
    if (ascii_based) return nullptr;
    return with_930 && code_page_930 ? printf_syntax::kCodePage930ToAscii
                                     : printf_syntax::kEbcdic037ToAscii;
  }
  // The length of the character at `s` in an argument's multibyte text of
  // `available` units (at least 1); a byte the table gives no length, or one cut by a
  // NUL or the end, counts as far as it goes.
  size_t char_units(const char *s, size_t available = SIZE_MAX) const {
    size_t units = rules.set.byte_length(static_cast<uint8_t>(*s));
    if (units <= 1) return 1;
    for (size_t i = 1; i < units; ++i)
      if (i == available || s[i] == 0) return i;
    return units;
  }

  // One packed character as bytes from the single-byte state (a double-byte character
  // of a stateful set behind its shift-out); 0 when it cannot be converted.
  size_t wide_char(PLWChar c, char *out, size_t size) const {
    KeptError kept(*handle);
    int32_t n = wide_to_mb(handle, out, kSingleByteState, static_cast<int32_t>(size), &c, 1, 0);
    return n > 0 && handle->last_error == PL_OK ? static_cast<size_t>(n) : 0;
  }

  PLLocale *handle;
  TextRules rules;
  bool code_page_930;
  bool ascii_based;
};

// The byte forms: text the engine made in bytes (single-byte characters) and padding
// go to the sink as they are.
template <class Sink>
struct ByteOutput {
  static void numeric(Sink &sink, const char *s, size_t length) { sink.put_units(s, length); }
  static void pad(Sink &sink, uint8_t glyph, size_t count) {
    sink.fill(static_cast<char>(glyph), count);
  }
};

// The wider forms: each byte the engine made (a single-byte character) widens to one
// unit, padding too.
template <class Sink>
struct WideOutput {
  static void numeric(Sink &sink, const char *s, size_t length) {
    for (size_t i = 0; i < length && !sink.full(); ++i) sink.put(static_cast<uint8_t>(s[i]));
  }
  static void pad(Sink &sink, uint8_t glyph, size_t count) { sink.fill(glyph, count); }
};

// Bytes by the length rule (the base forms, and the Ex forms of a set without states).
struct ByteEngineForm : FormCommon, ByteOutput<PlainSink<char>> {
  using Element = char;
  using Cursor = ByteCursor;
  using Sink = PlainSink<char>;
  static constexpr CharacterKinds kKinds{ArgKind::kChar, ArgKind::kWideChar, ArgKind::kString,
                                         ArgKind::kWideString};

  ByteEngineForm(PLLocale &h, bool ex_form, PLState, PLState)
      : FormCommon(h, ex_form) {}

  Cursor cursor(const char *format, size_t length) const {
    return Cursor(format, length, directive_table(false), rules.set, rules.single_byte,
                  handle->codeset->number == kUtf8Codeset);
  }
  Sink sink(char *out, int32_t room) const { return Sink(out, room); }
  const EngineGlyphs &glyphs() const { return byte_glyphs(); }

  static void literal(Sink &sink, const FormatChar<char> &c) {
    if (c.units == 1)
      sink.put(*c.text);
    else
      sink.put_char(c.text, c.units);
  }
  // Text in this form's units that may hold multibyte characters: whole ones.
  void text(Sink &sink, const char *s, size_t length) const {
    // Texts are whole characters: only a cut needs to find their ends.
    if (rules.single_byte || sink.fits(length)) return sink.put_units(s, length);
    for (size_t i = 0; i < length && !sink.full();) {
      size_t units = char_units(s + i, length - i);
      sink.put_char(s + i, units);
      i += units;
    }
  }
  // The length of a string argument, limited to `precision` units where one is given; a
  // character that starts inside the limit counts whole.
  size_t string_length(const char *s, int32_t precision) const {
    if (precision < 0) return std::strlen(s);
    size_t limit = static_cast<size_t>(precision);
    if (rules.single_byte) return strnlen(s, limit);
    size_t i = 0;
    while (i < limit && s[i] != 0) i += char_units(s + i);
    return i;
  }
  void wide_text(Sink &sink, const char *bytes, size_t length) const { text(sink, bytes, length); }
};

// Bytes of a stateful set under the shift rule (the Ex forms): the format is read from
// its given mode, shift bytes in texts switch modes, and the output writes its own
// shift bytes where its mode changes.
struct ShiftEngineForm : FormCommon, ByteOutput<ShiftSink> {
  using Element = char;
  using Cursor = ShiftCursor;
  using Sink = ShiftSink;
  static constexpr CharacterKinds kKinds = ByteEngineForm::kKinds;

  ShiftEngineForm(PLLocale &h, bool, PLState format_state, PLState out_state)
      : FormCommon(h, true), format_state(format_state), out_state(out_state) {}

  Cursor cursor(const char *format, size_t length) const {
    return Cursor(format, length, directive_table(true), rules.set, format_state);
  }
  Sink sink(char *out, int32_t room) const { return Sink(out, room, rules.set, out_state); }
  const EngineGlyphs &glyphs() const { return byte_glyphs(); }

  static void literal(Sink &sink, const FormatChar<char> &c) {
    if (c.multi)
      sink.put_double(c.text, c.units);
    else
      sink.put(*c.text);
  }
  void text(Sink &sink, const char *s, size_t length) const {
    PLState state = kSingleByteState;
    const uint8_t *bytes = reinterpret_cast<const uint8_t *>(s);
    for (size_t i = 0; i < length && !sink.full();) {
      ShiftRun run = skip_shift_run(rules.set, bytes + i, length - i, state);
      i += run.length;
      state = run.state;
      if (i == length) break;
      size_t units = state == kSingleByteState ? 1 : state_char_length(rules.set, state);
      if (units > length - i) units = length - i;
      if (state == kSingleByteState)
        sink.put(s[i]);
      else
        sink.put_double(s + i, units);
      i += units;
    }
  }
  size_t string_length(const char *s, int32_t precision) const {
    return precision < 0 ? std::strlen(s) : strnlen(s, static_cast<size_t>(precision));
  }
  void wide_text(Sink &sink, const char *bytes, size_t length) const { text(sink, bytes, length); }

  PLState format_state;
  PLState out_state;
};

// UTF-16 units: directive characters are ASCII units, c and C one unit, s and S UTF-16
// strings; a surrogate pair is never split.
struct UnitEngineForm : FormCommon, WideOutput<PlainSink<PLUChar>> {
  using Element = PLUChar;
  using Cursor = UnitCursor;
  using Sink = PlainSink<PLUChar>;
  static constexpr CharacterKinds kKinds{ArgKind::kUnicodeChar, ArgKind::kUnicodeChar,
                                         ArgKind::kUnicodeString, ArgKind::kUnicodeString};

  UnitEngineForm(PLLocale &h, bool, PLState, PLState) : FormCommon(h, false) {}

  Cursor cursor(const PLUChar *format, size_t length) const { return Cursor(format, length); }
  Sink sink(PLUChar *out, int32_t room) const { return Sink(out, room); }
  static const EngineGlyphs &glyphs() { return kAsciiEngineGlyphs; }

  static void literal(Sink &sink, const FormatChar<PLUChar> &c) { sink.put_char(c.text, c.units); }
  static void text(Sink &sink, const PLUChar *s, size_t length) {
    if (sink.fits(length)) return sink.put_units(s, length);
    for (size_t i = 0; i < length && !sink.full();) {
      size_t units = pair_at(s + i, length - i) ? 2 : 1;
      sink.put_char(s + i, units);
      i += units;
    }
  }
  static size_t string_length(const PLUChar *s, int32_t precision) {
    size_t limit = precision < 0 ? SIZE_MAX : static_cast<size_t>(precision);
    size_t i = 0;
    while (i < limit && s[i] != 0) i += pair_at(s + i, 2) ? 2 : 1;
    return i;
  }

 private:
  static bool pair_at(const PLUChar *s, size_t available) {
    return available >= 2 && is_high_surrogate(s[0]) && is_low_surrogate(s[1]);
  }
};

// Packed characters: c and s take packed characters, C and S bytes that are converted
// one character at a time; all text the engine makes in bytes is packed byte by byte.
struct PackedEngineForm : FormCommon, WideOutput<PlainSink<PLWChar>> {
  using Element = PLWChar;
  using Cursor = PackedCursor;
  using Sink = PlainSink<PLWChar>;
  static constexpr CharacterKinds kKinds{ArgKind::kWideChar, ArgKind::kChar,
                                         ArgKind::kWideString, ArgKind::kString};

  PackedEngineForm(PLLocale &h, bool, PLState, PLState) : FormCommon(h, false) {}

  Cursor cursor(const PLWChar *format, size_t length) const {
    return Cursor(format, length, directive_table(true));
  }
  Sink sink(PLWChar *out, int32_t room) const { return Sink(out, room); }
  const EngineGlyphs &glyphs() const { return byte_glyphs(); }

  static void literal(Sink &sink, const FormatChar<PLWChar> &c) { sink.put(*c.text); }
  static void text(Sink &sink, const PLWChar *s, size_t length) { sink.put_units(s, length); }
  static size_t string_length(const PLWChar *s, int32_t precision) {
    size_t limit = precision < 0 ? SIZE_MAX : static_cast<size_t>(precision);
    size_t i = 0;
    while (i < limit && s[i] != 0) ++i;
    return i;
  }
  // The packed character of the `length` bytes at `s`; 0 when they are not one
  // character of the set.
  PLWChar packed(const char *s, size_t length) const {
    KeptError kept(*handle);
    PLWChar c = 0;
    int32_t n = mb_to_wide(handle, &c, 1, s, 0, static_cast<int32_t>(length), 0, Path::fast);
    return n == 1 && handle->last_error == PL_OK ? c : 0;
  }
};

}  // namespace pl
