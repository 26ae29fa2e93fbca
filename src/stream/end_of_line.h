// The end-of-line sequences of a code set, of UTF-16 and of packed characters, and how
// to find and write them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/charset_view.h"
#include "polyloc.h"

namespace pl::eol {

inline constexpr int32_t kKinds = PL_EOL_ANY;                    // what a search accepts
inline constexpr int32_t kWritable = PL_EOL_ANY | PL_EOL_DEFAULT;  // what a writer accepts

// The four characters, in a form's units.
template <class T>
struct Units {
  T line_feed, carriage_return, line_separator, paragraph_separator;
};

template <class T>
Units<T> units_of(const CharsetView &set) {
  return {static_cast<T>(set.line_feed_byte()), static_cast<T>(set.carriage_return_byte()),
          static_cast<T>(set.line_separator_byte()),
          static_cast<T>(set.paragraph_separator_byte())};
}
inline constexpr Units<PLUChar> kUnicodeUnits{0x000A, 0x000D, 0x2028, 0x2029};

struct Match {
  int32_t kind;    // 0: none here
  int32_t length;  // in units
};

// The end of line of an `accepted` kind that begins at `at` (before `end`). A pair is
// looked for first, then a line feed and the two separators, so a set whose separators
// fall back to the line feed reports the line feed wherever it is accepted.
template <class T>
Match match_at(const T *at, const T *end, const Units<T> &u, int32_t accepted) {
  T c = *at;
  if ((accepted & PL_EOL_CRLF) && c == u.carriage_return && at + 1 != end && at[1] == u.line_feed)
    return {PL_EOL_CRLF, 2};
  if ((accepted & PL_EOL_LF) && c == u.line_feed) return {PL_EOL_LF, 1};
  if ((accepted & PL_EOL_LINE_SEP) && c == u.line_separator) return {PL_EOL_LINE_SEP, 1};
  if ((accepted & PL_EOL_PARA_SEP) && c == u.paragraph_separator) return {PL_EOL_PARA_SEP, 1};
  return {0, 0};
}

// Writes the ends of line of `flags` (checked: within kWritable, not 0) in the byte and
// packed forms' order; returns the units written.
template <class T>
size_t put(T *out, const Units<T> &u, int32_t flags) {
  T *at = out;
  if (flags & PL_EOL_PARA_SEP) *at++ = u.paragraph_separator;
  if (flags & PL_EOL_LINE_SEP) *at++ = u.line_separator;
  if (flags & PL_EOL_LF) *at++ = u.line_feed;
  if (flags & (PL_EOL_CRLF | PL_EOL_DEFAULT)) {
    *at++ = u.carriage_return;
    *at++ = u.line_feed;
  }
  return static_cast<size_t>(at - out);
}

// The UTF-16 order: line feed, then the line and paragraph separators, then the pair.
inline size_t put_unicode(PLUChar *out, int32_t flags) {
  PLUChar *at = out;
  if (flags & PL_EOL_LF) *at++ = 0x000A;
  if (flags & PL_EOL_LINE_SEP) *at++ = 0x2028;
  if (flags & PL_EOL_PARA_SEP) *at++ = 0x2029;
  if (flags & (PL_EOL_CRLF | PL_EOL_DEFAULT)) {
    *at++ = 0x000D;
    *at++ = 0x000A;
  }
  return static_cast<size_t>(at - out);
}

}  // namespace pl::eol
