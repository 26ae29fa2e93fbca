// Reading a format one character at a time, in each of the four forms: bytes by the
// length rule, bytes under the shift rule (runs of shift bytes switch modes and are not
// characters), UTF-16 units (a surrogate pair is one character) and packed characters.
// Each character comes with the directive character it stands for, when it can be one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "charset/length_rule.h"
#include "charset/shift_rule.h"
#include "charset/unicode_value.h"
#include "format/printf/directive_syntax.h"
#include "polyloc.h"

namespace pl {

// The % of the EBCDIC code pages the directive tables know.
inline constexpr uint8_t kEbcdicPercent = 0x6C;

template <class T>
struct FormatChar {
  const T *text;
  size_t units;
  uint32_t ascii;  // the directive character it stands for, or kNotAscii
  bool multi;      // a multibyte character: copied whole, never a directive character
};

// The format is `length` units with no NUL among them (the caller cuts it at the
// first).
template <class T>
class CursorBase {
 public:
  CursorBase(const T *format, size_t length, const uint8_t *table)
      : at_(format), end_(format + length), table_(table) {}

  bool at_end() const { return at_ == end_; }
  // Whether a character follows; the shift cursor first consumes the shift run there.
  bool skip_shifts() { return !at_end(); }
  // The directive character of the unit `ahead` (0 or 1) units on, or kNotAscii past
  // the end.
  [[gnu::always_inline]] uint32_t ascii_ahead(size_t ahead) const {
    if (at_ == end_ || (ahead == 1 && at_ + 1 == end_)) return printf_syntax::kNotAscii;
    return printf_syntax::translate(table_, static_cast<std::make_unsigned_t<T>>(at_[ahead]));
  }
  // The units before the next % or the end, when every unit of the format is either
  // part of an ordinary character or a %; 0 otherwise. `percent` is the unit of %.
  size_t literal_run(bool flat, T percent) const {
    if (!flat) return 0;
    const T *p = at_;
    while (p != end_ && *p != percent) ++p;
    return static_cast<size_t>(p - at_);
  }
  const T *position() const { return at_; }
  void skip(size_t units) { at_ += units; }
  // For a flat format (see literal_run): the unit behind the first % that starts a
  // directive taking an argument, or null. Outside directives only % changes the
  // walk's state, and %% is a percent sign, so that is the first % not paired with one.
  const T *first_directive(T percent) const {
    for (const T *p = at_; p != end_; ++p) {
      if (*p != percent) continue;
      if (p + 1 == end_ || p[1] != percent) return p + 1;
      ++p;
    }
    return nullptr;
  }
  // Whether the first directive of a flat format names a position (%2$d).
  template <class Cursor>
  static bool first_names_position(Cursor cursor, T percent) {
    const T *after = cursor.first_directive(percent);
    if (after == nullptr) return false;
    cursor.at_ = after;
    return cursor.position_ahead() >= 0;
  }
  // After a %: the position character of a positional directive (%2$d), valued against
  // the encoding's 0, or -1 when the next character is not one unit followed by $.
  int32_t position_ahead(bool one_unit) const {
    if (!one_unit || ascii_ahead(1) != '$') return -1;
    return static_cast<int32_t>(ascii_ahead(0)) - '0';
  }
  // Steps over one unit the caller has looked at (the second l of ll).
  void skip_unit() { ++at_; }
  const uint8_t *table() const { return table_; }

 protected:
  FormatChar<T> single(size_t units) {
    const T *text = at_;
    at_ += units;
    uint32_t ascii = units == 1 ? printf_syntax::translate(
                                      table_, static_cast<std::make_unsigned_t<T>>(*text))
                                : printf_syntax::kNotAscii;
    return {text, units, ascii, units > 1};
  }

  const T *at_;
  const T *end_;
  const uint8_t *table_;
};

// Bytes by the length rule; a byte the table gives no length counts as one.
class ByteCursor : public CursorBase<char> {
 public:
  // `single_byte`: every character of the set is one byte; `flat`: besides, no byte of
  // a multibyte character is a % (UTF-8).
  ByteCursor(const char *format, size_t length, const uint8_t *table, const CharsetView &set,
             bool single_byte, bool flat)
      : CursorBase(format, length, table), set_(set), single_byte_(single_byte),
        flat_(single_byte || flat) {}

  size_t literals() const { return literal_run(flat_, percent()); }
  // Whether the first directive names a position; -1 when the format is not flat and
  // only a walk can tell.
  int32_t positional() const { return flat_ ? first_names_position(*this, percent()) : -1; }
  char percent() const { return table_ ? static_cast<char>(kEbcdicPercent) : '%'; }

  FormatChar<char> next() {
    if (single_byte_) return single(1);
    size_t available = static_cast<size_t>(end_ - at_);
    CharLength length = char_length(set_, reinterpret_cast<const uint8_t *>(at_), available);
    size_t units = length.bytes > 1 ? length.bytes : 1;
    return single(units);
  }
  bool shifted() const { return false; }
  int32_t position_ahead() const {
    return CursorBase::position_ahead(at_ != end_ && set_.byte_length(static_cast<uint8_t>(*at_)) <= 1);
  }

 private:
  CharsetView set_;
  bool single_byte_;
  bool flat_;
};

// Bytes under the shift rule: shift runs are consumed with the character after them.
// In the shifted mode every character has the set's maximum length and is never a
// directive character.
class ShiftCursor : public CursorBase<char> {
 public:
  ShiftCursor(const char *format, size_t length, const uint8_t *table, const CharsetView &set,
              PLState state)
      : CursorBase(format, length, table), set_(set), state_(state) {}

  // Consumes the shift run at the cursor; false when the format ends behind it.
  bool skip_shifts() {
    ShiftRun run = skip_shift_run(set_, reinterpret_cast<const uint8_t *>(at_),
                                  static_cast<size_t>(end_ - at_), state_);
    at_ += run.length;
    state_ = run.state;
    return !at_end();
  }
  bool shifted() const { return state_ != kSingleByteState; }

  // The character at the cursor (call after skip_shifts).
  FormatChar<char> next() {
    if (!shifted()) return single(1);
    size_t units = state_char_length(set_, state_);
    if (units > static_cast<size_t>(end_ - at_)) units = static_cast<size_t>(end_ - at_);
    const char *text = at_;
    at_ += units;
    return {text, units, printf_syntax::kNotAscii, true};
  }
  uint32_t ascii_ahead(size_t ahead) const {
    return shifted() ? printf_syntax::kNotAscii : CursorBase::ascii_ahead(ahead);
  }
  int32_t position_ahead() const { return shifted() ? -1 : CursorBase::position_ahead(true); }
  static size_t literals() { return 0; }
  static int32_t positional() { return -1; }

 private:
  CharsetView set_;
  PLState state_;
};

// UTF-16 units, taken as they are; a surrogate pair is one character.
class UnitCursor : public CursorBase<PLUChar> {
 public:
  UnitCursor(const PLUChar *format, size_t length)
      : CursorBase(format, length, nullptr) {}

  size_t literals() const { return literal_run(true, '%'); }
  int32_t positional() const { return first_names_position(*this, PLUChar{'%'}); }

  FormatChar<PLUChar> next() {
    bool pair = is_high_surrogate(at_[0]) && at_ + 1 != end_ && is_low_surrogate(at_[1]);
    return single(pair ? 2 : 1);
  }
  bool shifted() const { return false; }
  int32_t position_ahead() const {
    return CursorBase::position_ahead(at_ != end_ && !is_high_surrogate(*at_));
  }
};

// Packed characters: each unit is one character; one that holds more than a byte is a
// multibyte character.
class PackedCursor : public CursorBase<PLWChar> {
 public:
  PackedCursor(const PLWChar *format, size_t length, const uint8_t *table)
      : CursorBase(format, length, table) {}

  size_t literals() const { return literal_run(true, percent()); }
  int32_t positional() const { return first_names_position(*this, percent()); }
  PLWChar percent() const { return table_ ? kEbcdicPercent : '%'; }

  FormatChar<PLWChar> next() {
    FormatChar<PLWChar> c = single(1);
    c.multi = *c.text > 0xFF;
    return c;
  }
  bool shifted() const { return false; }
  int32_t position_ahead() const { return CursorBase::position_ahead(at_ != end_ && *at_ <= 0xFF); }
};

}  // namespace pl
