// The walk over a time format in one form: literal characters are copied, each
// directive is checked and written through the form's sink. Nested formats (%c %D %r
// %R %T %x %X and the locale's formats) are walked in place over the same sink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <type_traits>

#include "platform/time_zone.h"
#include "time/format/time_fields.h"
#include "time/format/time_forms.h"

namespace pl::time_format {

// How deep formats may nest: %c in a call's format opens one level, the %D inside the
// locale's date format a second; five levels are walked, a sixth fails the call with
// PL_ERR_FORMAT (a locale format that names itself ends there).
inline constexpr int kMaxNesting = 6;

template <class Form>
class TimeWriter {
  using T = typename Form::Element;
  using Sink = typename Form::Sink;
  using Cursor = typename Form::Cursor;
  static constexpr bool kDirect = std::is_same_v<Sink, RawSink<T>>;

 public:
  // `capacity`: the units the sink may take. `flags`: the call's flags.
  TimeWriter(const Form &form, Sink &sink, size_t capacity, const std::tm &time, int32_t flags)
      : form_(form), sink_(sink), capacity_(capacity), time_(time),
        lookup_flags_(flags & kFromTerritory), line_end_flags_(flags & 0x1F00) {}

  // PL_OK; PL_ERR_BUFFER_TOO_SMALL when the output ended the walk; any other code
  // fails the call.
  [[gnu::flatten]] int32_t walk(Cursor &cursor, int depth = 0) {
    while (cursor.skip_shifts()) {
      if (room() == 0) return PL_ERR_BUFFER_TOO_SMALL;
      // A unit that stands for % is a single-byte character in every form.
      if (cursor.ascii_ahead(0) == '%') {
        cursor.skip_unit();
        if (int32_t code = directive(cursor, depth)) return code;
        continue;
      }
      if (size_t run = cursor.literals()) {
        const T *text = cursor.position();
        cursor.skip(run);
        if (cursor.at_end()) run = form_.whole(text, run);
        if (!copy_run(text, run)) form_.text(sink_, text, run);
      } else {
        FormatChar<T> c = cursor.next();
        if (form_.cut(c)) return PL_OK;
        form_.literal(sink_, c);
      }
      if (sink_.full()) return PL_ERR_BUFFER_TOO_SMALL;
    }
    return PL_OK;
  }

 private:
  static constexpr uint32_t kEnd = 0x100;

  size_t room() const {
    if constexpr (kDirect)
      return sink_.room();
    else
      return capacity_ - sink_.written();
  }

  // A literal run that fits, stored unit by unit: the runs between directives are a
  // few units long. False when it does not fit (or the sink has shift states).
  bool copy_run(const T *text, size_t run) {
    if constexpr (kDirect) {
      return sink_.direct(run, [&](T *p) {
        for (size_t i = 0; i < run; ++i) p[i] = text[i];
        return p + run;
      });
    }
    return false;
  }

  // The directive character of the next unit. A unit of a multibyte character stands
  // for none, so the directive fails wherever the unit leaves the cursor.
  uint32_t next_ascii(Cursor &cursor) {
    if (!cursor.skip_shifts()) return kEnd;
    uint32_t a = cursor.ascii_ahead(0);
    cursor.skip_unit();
    return a;
  }

  int32_t cut_short() const { return sink_.full() ? PL_ERR_BUFFER_TOO_SMALL : PL_OK; }

  // The one-unit characters the formatter makes itself.
  int32_t own(uint8_t unit) {
    sink_.put(static_cast<T>(unit));
    return cut_short();
  }

  int32_t directive(Cursor &cursor, int depth) {
    time_text::DirectiveHead head = time_text::read_directive([&] { return next_ascii(cursor); });
    uint32_t a = head.conversion, modifier = head.modifier;
    bool alternate = head.alternate;
    uint8_t accepts = a < 128 ? kAccepts.of[a] : 0;
    if (accepts == 0 || (modifier == 'E' && !(accepts & kTakesE)) ||
        (modifier == 'O' && !(accepts & kTakesO)))
      return PL_ERR_FORMAT;
    const time_text::Encoding &encoding = form_.encoding;
    switch (a) {
      case 'a': case 'A': case 'b': case 'h': case 'B': case 'p': {
        int32_t item = name_item(a, time_);
        return item == 0 ? PL_ERR_NOT_FOUND : name(item);
      }
      case 'c': {
        if (int32_t code = locale_format(alternate ? kLongDateFormatItem : kDateFormatItem, depth))
          return code;
        if (room() == 0) return PL_OK;
        if (int32_t code = own(encoding.space)) return code;
        return locale_format(kTimeFormatItem, depth);
      }
      case 'x': return locale_format(alternate ? kLongDateFormatItem : kDateFormatItem, depth);
      case 'r': case 'X': return locale_format(kTimeFormatItem, depth);
      case 'D': case 'R': case 'T': {
        T text[kItemBufferSize];
        const char *fixed = time_text::fixed_format(static_cast<char>(a), alternate);
        return nested(form_.nested_cursor(text, encode_fixed(encoding, fixed, text)), depth);
      }
      case '%': return own(encoding.percent);
      case 't': return own(encoding.tab);
      case 'n': {
        T text[8];
        form_.text(sink_, text, form_.line_end(text, line_end_flags_));
        return cut_short();
      }
      case 'z': case 'Z': {
        const char *zone = platform::time_zone_name(time_.tm_isdst);
        if (zone == nullptr) return PL_OK;
        T text[kItemBufferSize];
        form_.text(sink_, text, form_.zone(zone, text));
        return cut_short();
      }
      default: {
        Number n = number_of(a, time_);
        if (!n.valid) return PL_ERR_NOT_FOUND;
        number(n, alternate, encoding);
        return room() == 0 ? PL_ERR_BUFFER_TOO_SMALL : PL_OK;
      }
    }
  }

  // A number is at most four units: written straight into the buffer where they fit.
  void number(const Number &n, bool alternate, const time_text::Encoding &encoding) {
    if constexpr (kDirect) {
      bool done = sink_.direct(4, [&](T *p) {
        write_number(n, alternate, encoding.zero, encoding.space,
                     [&](uint8_t unit) { *p++ = static_cast<T>(unit); });
        return p;
      });
      if (done) return;
    }
    write_number(n, alternate, encoding.zero, encoding.space,
                 [&](uint8_t unit) { sink_.put(static_cast<T>(unit)); });
  }

  int32_t name(int32_t item) {
    if constexpr (kDirect) {
      // With room for the longest item and its terminator, fetched in place.
      int32_t length = 0;
      if (sink_.direct(kItemBufferSize, [&](T *p) {
            length = form_.item(item, p, lookup_flags_);
            return p + (length > 0 ? length : 0);
          }))
        return length < 0 ? lookup_code() : PL_OK;
    }
    T text[kItemBufferSize];
    int32_t length = form_.item(item, text, lookup_flags_);
    if (length < 0) return lookup_code();
    form_.text(sink_, text, static_cast<size_t>(length));
    return cut_short();
  }

  int32_t locale_format(int32_t item, int depth) {
    size_t own_length;
    if (const T *own = form_.own_format(item, lookup_flags_, &own_length))
      return nested(form_.nested_cursor(own, own_length), depth);
    T text[kItemBufferSize];
    int32_t length = form_.item(item, text, lookup_flags_);
    if (length < 0) return lookup_code();
    return nested(form_.nested_cursor(text, static_cast<size_t>(length)), depth);
  }

  int32_t nested(Cursor cursor, int depth) {
    if (depth + 1 >= kMaxNesting) return PL_ERR_FORMAT;
    return walk(cursor, depth + 1);
  }

  int32_t lookup_code() const {
    int32_t code = form_.handle->last_error;
    return code != PL_OK ? code : PL_ERR_UNKNOWN_ITEM;
  }

  const Form &form_;
  Sink &sink_;
  size_t capacity_;
  const std::tm &time_;
  int32_t lookup_flags_;
  int32_t line_end_flags_;
};

}  // namespace pl::time_format
