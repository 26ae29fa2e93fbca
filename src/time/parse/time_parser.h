// One parse call over a form: the walk of the format against the input, the
// directives, and the nested calls of the locale's and the fixed formats, each
// finished on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <type_traits>

#include "time/parse/number_fields.h"
#include "time/parse/parse_forms.h"
#include "time/parse/parse_state.h"
#include "time/parse/zone_table.h"

namespace pl::time_parse {

// Flags a call passes on to the calls it nests, beside kFromTerritory.
inline constexpr int32_t kEolFlags = 0x0F00;
inline constexpr int32_t kCentury1900 = 0x8000;

// Nested formats deeper than this fail with PL_ERR_FORMAT: %c nests a locale format,
// which may nest a fixed one; a locale format that names itself would never end.
inline constexpr int kMaxNesting = 8;

template <class Form>
class TimeParser {
 public:
  using Unit = typename Form::Unit;
  using Cursor = typename Form::Cursor;
  static constexpr bool kBaseForm = std::is_same_v<Form, ByteForm>;

  TimeParser(const Form &form, std::tm *time, uint16_t *mask, int32_t flags,
             InputText<Unit> *in, int depth)
      : form_(form), time_(time), mask_(mask), flags_(flags), in_(*in), depth_(depth) {
    if constexpr (kBaseForm) {
      plain_ = form.encoding.table == nullptr && !form.rules.set.stateful();
      single_byte_ = form.rules.single_byte;
    }
  }

  // Walks the format (`length` units from `state`) against the input and finishes the
  // time; the input is left where the walk ended.
  Code run(const Unit *format, size_t length, PLState state) {
    if (in_.at_end() || length == 0) return PL_OK;
    CallFields call;
    Cursor cursor = form_.format(format, length, state);
    Code code = plain_ ? walk_plain(cursor, format + length, call) : walk(cursor, call);
    return code != PL_OK ? code : finish_time(time_, mask_, call, Form::kZones);
  }

 private:
  static constexpr uint32_t kEnd = printf_syntax::kNotAscii;

  const time_text::Encoding &encoding() const { return form_.encoding; }
  // The directive character of a unit of the input, or kEnd.
  uint32_t ascii(uint32_t unit) const {
    return unit == kNoUnit ? kEnd : time_text::directive_char(encoding(), unit);
  }

  Code walk(Cursor &format, CallFields &call) {
    for (;;) {
      if (!format.skip_shifts()) return PL_OK;
      form_.skip_shifts(in_);
      if (in_.at_end()) return PL_OK;
      bool double_byte = format.shifted();
      FormatChar<Unit> c = format.next();
      if (!c.multi && c.ascii == '%') {
        Code code = directive(format, call);
        if (code != PL_OK) return code;
        continue;
      }
      // A double-byte character of the format against single-byte input ends the walk.
      if (double_byte && !in_.shifted()) return PL_OK;
      if (in_.shifted() != double_byte) return PL_ERR_NOT_FOUND;
      Code code = literal(c);
      if (code != PL_OK) return code;
    }
  }

  // The input must hold the format's character `c`.
  Code literal(const FormatChar<Unit> &c) {
    if (in_.left() < c.units || !equal_units(in_.position(), c.text, c.units))
      return PL_ERR_NOT_FOUND;
    in_.skip(c.units);
    return PL_OK;
  }

  // The walk of the base form on an ASCII-based set without shift states (`end`: the
  // format's end): a format byte below 0x80, or any of a single-byte set, is a
  // character of its own, compared as it stands; the number conversions of
  // kNumberFields are read without the directive's prefix checks.
  Code walk_plain(Cursor &format, const Unit *end, CallFields &call) {
    const Unit *f = format.position(), *in = in_.position(), *in_end = in + in_.left();
    uint8_t above = single_byte_ ? 0xFF : 0x7F;
    while (f != end && in != in_end) {
      uint8_t b = static_cast<uint8_t>(*f);
      if (b != '%' && b <= above) {
        if (*in != *f) return PL_ERR_NOT_FOUND;
        ++in;
        ++f;
        continue;
      }
      const NumberField *field = nullptr;
      if (b == '%' && f + 1 != end && static_cast<uint8_t>(f[1]) < 0x80)
        field = &kNumberFields[static_cast<uint8_t>(f[1])];
      if (field != nullptr && field->width != 0) {
        int32_t value;
        size_t count = scan_digits(in, static_cast<size_t>(in_end - in), field->width,
                                   encoding().zero, &value);
        Code code = store_field(*field, count, value);
        if (code != PL_OK) return code;
        in += count;
        f += 2;
        continue;
      }
      // Any other directive or character, through the walk's own steps.
      in_.skip(static_cast<size_t>(in - in_.position()));
      format.skip(static_cast<size_t>(f - format.position()));
      FormatChar<Unit> c = format.next();
      Code code = b == '%' ? directive(format, call) : literal(c);
      if (code != PL_OK) return code;
      f = format.position();
      in = in_.position();
    }
    in_.skip(static_cast<size_t>(in - in_.position()));
    return PL_OK;
  }

  // The next directive character of the format; kEnd at its end and for a character
  // that cannot be one (either fails the directive).
  static uint32_t directive_char(Cursor &format) {
    if (!format.skip_shifts()) return kEnd;
    FormatChar<Unit> c = format.next();
    return c.multi ? printf_syntax::kNotAscii : c.ascii;
  }

  static bool allows(uint32_t conversion, uint32_t modifier) {
    switch (modifier) {
      case 0: return true;
      case 'E':
        switch (conversion) {
          case 'c': case 'C': case 'r': case 'x': case 'X': case 'y': case 'Y': return true;
          default: return false;
        }
      default:  // 'O'
        switch (conversion) {
          case 'd': case 'e': case 'H': case 'I': case 'm': case 'M': case 'S': case 'w':
          case 'y': return true;
          default: return false;
        }
    }
  }

  Code directive(Cursor &format, CallFields &call) {
    time_text::DirectiveHead head = time_text::read_directive([&] { return directive_char(format); });
    uint32_t c = head.conversion, modifier = head.modifier;
    bool alternate = head.alternate;
    if (c == kEnd || !allows(c, modifier)) return PL_ERR_FORMAT;
    if (c < 0x80 && kNumberFields[c].width != 0) return read_field(kNumberFields[c]);
    int32_t n = 0;
    Code code = PL_OK;
    switch (c) {
      case '%': return expect(encoding().percent);
      case 't': return expect(encoding().tab);
      case 'n': return end_of_line();
      case 'a': return name(23, 7, &time_->tm_wday);
      case 'A': return name(16, 7, &time_->tm_wday);
      case 'b': case 'h': return given(kMonthGiven, name(43, 12, &time_->tm_mon));
      case 'B': return given(kMonthGiven, name(30, 12, &time_->tm_mon));
      case 'p': {
        code = name(56, 2, &n);
        call.afternoon = code == PL_OK ? n == 1 : call.afternoon;
        return code;
      }
      case 'c':
        code = nested_item(alternate ? 81 : 80);
        if (code == PL_OK) code = expect(encoding().space);
        return code != PL_OK ? code : nested_item(79);
      case 'x': return nested_item(alternate ? 81 : 80);
      case 'r': case 'X': return nested_item(79);
      case 'D': case 'R': case 'T': return nested_fixed(static_cast<char>(c), alternate);
      case 'C':
        code = number(2, 99, &n);
        time_->tm_year = code == PL_OK ? (n - 19) * 100 : time_->tm_year;
        return given(kYearGiven, code);
      case 'e': return given(kDayGiven, number(optional_space(), 31, &time_->tm_mday));
      case 'k': return number(optional_space(), 23, &time_->tm_hour);
      case 'I': return twelve_hour(number(2, 12, &time_->tm_hour));
      case 'l': return twelve_hour(number(optional_space(), 12, &time_->tm_hour));
      case 'u':
        code = number(1, 7, &n);
        if (code == PL_OK && n == 0) code = PL_ERR_NOT_FOUND;
        time_->tm_wday = code == PL_OK ? n - 1 : time_->tm_wday;
        return code;
      case 'y':
        code = digits(2, &n);
        if (code == PL_OK)
          time_->tm_year = (flags_ & kCentury1900) != 0 || n > 29 ? n : n + 100;
        return given(kYearGiven, code);
      case 'z': case 'Z':
        if constexpr (Form::kZones) return zone(call.zone);
        return PL_ERR_FORMAT;
      default: return PL_ERR_FORMAT;
    }
  }

  Code given(uint16_t bit, Code code) {
    if (code == PL_OK) *mask_ |= bit;
    return code;
  }
  Code twelve_hour(Code code) {
    if (code == PL_OK && time_->tm_hour == 12) time_->tm_hour = 0;
    return code;
  }

  // The unit at the input, single-byte, after any shift run.
  uint32_t peek() {
    form_.skip_shifts(in_);
    return in_.single();
  }

  // The input must hold `unit`.
  Code expect(uint32_t unit) {
    if (peek() != unit) return PL_ERR_NOT_FOUND;
    in_.skip(1);
    return PL_OK;
  }

  // A space is taken when there is one: the number behind it has one digit.
  int optional_space() {
    if (peek() != encoding().space) return 2;
    in_.skip(1);
    return 1;
  }

  // The digits at the input, at most `width` of them: their count, their value in
  // `value`. Shifted input holds none.
  int read_digits(int width, int32_t *value) {
    form_.skip_shifts(in_);
    *value = 0;
    if (in_.shifted()) return 0;
    size_t count = scan_digits(in_.position(), in_.left(), static_cast<size_t>(width),
                               encoding().zero, value);
    in_.skip(count);
    return static_cast<int>(count);
  }

  // One to `width` digits, at most `max`.
  Code number(int width, int32_t max, int32_t *out) {
    int32_t value;
    if (read_digits(width, &value) == 0 || value > max) return PL_ERR_NOT_FOUND;
    *out = value;
    return PL_OK;
  }

  // A number into the field `field` describes.
  Code read_field(const NumberField &field) {
    int32_t value;
    int count = read_digits(field.width, &value);
    return store_field(field, static_cast<size_t>(count), value);
  }
  // `count` digits of value `value` read for `field`.
  Code store_field(const NumberField &field, size_t count, int32_t value) {
    if (count < field.least || value > field.max) return PL_ERR_NOT_FOUND;
    time_->*field.member = value + field.offset;
    *mask_ |= field.given;
    return PL_OK;
  }

  // Exactly `width` digits.
  Code digits(int width, int32_t *out) {
    return read_digits(width, out) == width ? PL_OK : PL_ERR_NOT_FOUND;
  }

  // The longest of `count` items from `first` that the input starts with (the first of
  // equal length); an item the locale lacks, or an empty one, never matches.
  [[gnu::noinline]] Code name(int32_t first, int32_t count, int32_t *index) {
    form_.skip_shifts(in_);
    InputText<Unit> best = in_, after = in_;
    int32_t flags = flags_ & kFromTerritory;
    for (int32_t i = 0; i < count; ++i) {
      bool matched;
      if constexpr (kBaseForm)
        matched = form_.match_name(in_, first + i, flags, &after);
      else
        matched = fetch_and_match(form_, in_, first + i, flags, &after);
      if (!matched) continue;
      if (after.position() <= best.position()) continue;
      best = after;
      *index = i;
    }
    if (best.position() == in_.position()) return PL_ERR_NOT_FOUND;
    in_ = best;
    return PL_OK;
  }

  [[gnu::noinline]] Code end_of_line() {
    form_.skip_shifts(in_);
    size_t units = form_.end_of_line(in_, flags_ & kEolFlags);
    if (units == 0) return PL_ERR_NOT_FOUND;
    in_.skip(units);
    return PL_OK;
  }

  // A nested call of `format` on the rest of the input, sharing the field mask.
  Code nested(const Unit *format, size_t length) {
    if (depth_ >= kMaxNesting) return PL_ERR_FORMAT;
    int32_t flags = flags_ & (kCentury1900 | kEolFlags | kFromTerritory);
    TimeParser inner(form_, time_, mask_, flags, &in_, depth_ + 1);
    return inner.run(format, length, kSingleByteState);
  }
  [[gnu::noinline]] Code nested_item(int32_t item) {
    Unit text[time_text::kItemBufferSize];
    int32_t length = form_.fetch(item, text, kSingleByteState, flags_ & kFromTerritory);
    if (length < 0) return handle_code();
    return nested(text, static_cast<size_t>(length));
  }
  [[gnu::noinline]] Code nested_fixed(char conversion, bool alternate) {
    const char *ascii = time_text::fixed_format(conversion, alternate);
    Unit text[time_text::kItemBufferSize];
    size_t length = 0;
    for (; ascii[length] != '\0'; ++length)
      text[length] = static_cast<Unit>(time_text::encode_ascii(encoding(), ascii[length]));
    return nested(text, length);
  }
  // The code of a lookup that failed.
  Code handle_code() const {
    return form_.handle->last_error != PL_OK ? form_.handle->last_error : PL_ERR_NOT_FOUND;
  }

  // A zone name, then perhaps an explicit offset +hhmm or -hhmm.
  [[gnu::noinline]] Code zone(ZoneRecord &zone) {
    while (peek() == encoding().space) in_.skip(1);
    Unit name[kZoneNameUnits];
    size_t length = 0;
    bool taken = false;
    while (!in_.at_end()) {
      size_t units = form_.zone_char(in_, length > 0, &taken);
      if (!taken) break;
      if (length + units > kZoneNameUnits) return PL_ERR_FORMAT;
      std::memcpy(name + length, in_.position(), units * sizeof(Unit));
      length += units;
      in_.skip(units);
    }
    if (length == 0) return PL_ERR_FORMAT;
    char bytes[kZoneNameUnits * 4];
    size_t n = form_.zone_bytes(name, length, bytes, sizeof bytes);
    // The table's names are ASCII; the code set's letters are read as the directive
    // characters they stand for.
    const time_text::Encoding set = time_text::encoding_of(*form_.handle, false);
    for (size_t i = 0; i < n; ++i)
      bytes[i] = static_cast<char>(time_text::directive_char(set, static_cast<uint8_t>(bytes[i])));
    NamedZone found;
    if (!find_zone(bytes, n, &found)) return PL_ERR_FORMAT;
    zone.minutes_west = found.minutes_west;
    zone.daylight = found.daylight ? 1 : 0;
    zone.given = true;
    uint32_t sign = ascii(peek());
    if (sign != '+' && sign != '-') return PL_OK;
    in_.skip(1);
    int32_t hhmm = 0;
    Code code = number(4, 2499, &hhmm);
    if (code != PL_OK || hhmm / 100 >= 24 || hhmm % 100 >= 60) return PL_ERR_NOT_FOUND;
    int32_t minutes = hhmm / 100 * 60 + hhmm % 100;
    zone.explicit_minutes = sign == '-' ? -minutes : minutes;
    return PL_OK;
  }

  const Form &form_;
  std::tm *time_;
  uint16_t *mask_;
  int32_t flags_;
  InputText<Unit> &in_;
  int depth_;
  // The base form on an ASCII-based set without shift states: a byte below 0x80 is a character of its own,
  // the format's literals are compared as bytes.
  bool plain_ = false;
  bool single_byte_ = false;
};

}  // namespace pl::time_parse
