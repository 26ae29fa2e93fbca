// The base form's walk for the common case, without cursor, sink or form: a set whose
// ASCII units are its own bytes and whose format runs are flat (single-byte sets and
// UTF-8), and an output with room to spare. Each piece is written only when the
// output keeps room after it, so nothing is cut and the result is the general walk's;
// anything else (a cut, a failure, %n, a locale format that is not in place) gives the
// call back to the general walk, which then does it from the start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>

#include "charset/codeset_ids.h"
#include "format/printf/printf_call.h"
#include "time/format/time_writer.h"

namespace pl::time_format {

class DirectWalk {
 public:
  // Whether the walk can format in `handle`'s code set.
  static bool applies(const PLLocale &handle) {
    return (handle.flags & kHandleAsciiUnits) != 0 &&
           ((handle.flags & kHandleSingleByte) != 0 || handle.codeset->number == kUtf8Codeset);
  }

  DirectWalk(PLLocale &handle, const std::tm &time, char *out, size_t capacity, int32_t flags)
      : handle_(handle), time_(time), at_(out), end_(out + capacity),
        single_byte_((handle.flags & kHandleSingleByte) != 0),
        own_formats_((flags & kFromTerritory) == 0) {}

  // The end of the output, or null when the general walk must format the call.
  // `length`: the format's units, or -1 when it ends at its NUL.
  [[gnu::flatten]] char *run(const char *format, int32_t length) {
    bool done = length < 0 ? walk<true>(format, nullptr, 0)
                           : walk<false>(format, format + element_length_within(format, length), 0);
    return done ? at_ : nullptr;
  }

 private:
  size_t room() const { return static_cast<size_t>(end_ - at_); }

  // The format ends at `end`, or with kToNul at its NUL.
  template <bool kToNul>
  bool walk(const char *p, const char *end, int depth) {
    auto at_end = [&](const char *q) { return kToNul ? *q == 0 : q == end; };
    auto next = [&]() -> uint32_t { return at_end(p) ? 0 : static_cast<uint8_t>(*p++); };
    while (!at_end(p)) {
      if (*p != '%') {
        // One character between directives, most often.
        if ((at_end(p + 1) ? single_byte_ || static_cast<uint8_t>(*p) < 0x80 : p[1] == '%') &&
            room() >= 2) {
          *at_++ = *p++;
          continue;
        }
        const char *run = p;
        while (!at_end(++p) && *p != '%') {
        }
        size_t length = static_cast<size_t>(p - run);
        if (at_end(p) && !single_byte_ &&
            whole_chars(CharsetView(*handle_.codeset), run, length) != length)
          return false;
        if (length >= room()) return false;
        for (size_t i = 0; i < length; ++i) at_[i] = run[i];
        at_ += length;
        continue;
      }
      ++p;
      time_text::DirectiveHead head = time_text::read_directive(next);
      uint32_t a = head.conversion;
      if (head.modifier != 0) {
        uint8_t accepts = a < 128 ? kAccepts.of[a] : 0;
        if (!(accepts & (head.modifier == 'E' ? kTakesE : kTakesO))) return false;
      }
      if (!directive(a, head.alternate, depth)) return false;
    }
    return true;
  }

  bool directive(uint32_t a, bool alternate, int depth) {
    switch (a) {
      case 'a': return name(time_.tm_wday, 6, 23);
      case 'A': return name(time_.tm_wday, 6, 16);
      case 'b': case 'h': return name(time_.tm_mon, 11, 43);
      case 'B': return name(time_.tm_mon, 11, 30);
      case 'p': return in_range(time_.tm_hour, 0, 23) && name(time_.tm_hour >= 12, 1, 56);
      case 'd': return two_digits(time_.tm_mday, 31, time_.tm_mday, alternate);
      case 'm': return two_digits(time_.tm_mon, 11, time_.tm_mon + 1, alternate);
      case 'H': return two_digits(time_.tm_hour, 23, time_.tm_hour, alternate);
      case 'M': return two_digits(time_.tm_min, 59, time_.tm_min, alternate);
      case 'S': return two_digits(time_.tm_sec, 59, time_.tm_sec, alternate);
      case 'Y':
        if (alternate) return number('Y', true);
        return four_digits(static_cast<uint32_t>(year_magnitude(time_) % 10000));
      case 'y': case 'C': case 'e': case 'I': case 'j': case 'k': case 'l':
      case 'u': case 'w': case 'U': case 'W': case 'V': return number(a, alternate);
      case '%': return own('%');
      case 't': return own('\t');
      case 'x': return locale_format(alternate ? kLongDateFormatItem : kDateFormatItem, depth);
      case 'r': case 'X': return locale_format(kTimeFormatItem, depth);
      case 'c':
        return locale_format(alternate ? kLongDateFormatItem : kDateFormatItem, depth) &&
               own(' ') && locale_format(kTimeFormatItem, depth);
      case 'D': case 'R': case 'T': {
        if (depth + 1 >= kMaxNesting) return false;
        const char *fixed = time_text::fixed_format(static_cast<char>(a), alternate);
        return walk<true>(fixed, nullptr, depth + 1);
      }
      case 'z': case 'Z': {
        const char *zone = platform::time_zone_name(time_.tm_isdst);
        if (zone == nullptr) return true;
        if (room() < static_cast<size_t>(kItemBufferSize)) return false;
        at_ += widen_zone(zone, at_);
        return true;
      }
      default: return false;  // %n, and what fails the call
    }
  }

  // The name item `first` + `field`, for a field in 0..`high`.
  bool name(int32_t field, int32_t high, int32_t first) {
    if (!in_range(field, 0, high) || room() < static_cast<size_t>(kItemBufferSize)) return false;
    at_ = encode_name(handle_, first + field, at_);
    return true;
  }

  bool number(uint32_t conversion, bool alternate) {
    Number n = number_of(conversion, time_);
    if (!n.valid || room() <= 4) return false;
    write_number(n, alternate, '0', ' ', [&](uint8_t unit) { *at_++ = static_cast<char>(unit); });
    return true;
  }

  bool four_digits(uint32_t value) {
    if (room() <= 4) return false;
    pair(value / 100);
    pair(value % 100);
    return true;
  }

  void pair(uint32_t value) {
    at_[0] = kPairs[2 * value];
    at_[1] = kPairs[2 * value + 1];
    at_ += 2;
  }

  // A zero-padded field of two digits whose value `field` must lie in 0..`high`.
  bool two_digits(int32_t field, int32_t high, int32_t shown, bool alternate) {
    if (!in_range(field, 0, high) || room() < 3) return false;
    if (alternate && shown < 10)
      *at_++ = static_cast<char>('0' + shown);
    else
      pair(static_cast<uint32_t>(shown));
    return true;
  }

  bool own(char c) {
    if (room() < 2) return false;
    *at_++ = c;
    return true;
  }

  // The handle's own copy of the format, walked in place where the lookup would give
  // all of it.
  bool locale_format(int32_t item, int depth) {
    const char *text;
    const PLUChar *unicode;
    if (!own_formats_ || !handle_copy(&handle_, item, &text, &unicode)) return false;
    size_t length = std::strlen(text);
    return length < static_cast<size_t>(kItemBufferSize) && depth + 1 < kMaxNesting &&
           walk<false>(text, text + length, depth + 1);
  }

  PLLocale &handle_;
  const std::tm &time_;
  char *at_;
  char *const end_;
  bool single_byte_;
  bool own_formats_;
};

}  // namespace pl::time_format
