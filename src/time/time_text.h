// What the time formatter and parser share about the characters of a format: which
// table finds the directive characters in a form's units, the characters the library
// writes or expects itself (digits, space, tab) and the fixed formats behind %D, %R and
// %T.
#pragma once

#include <cstdint>

#include "charset/charset_view.h"
#include "charset/codeset_ids.h"
#include "format/printf/directive_syntax.h"
#include "frame/handle.h"
#include "polyloc.h"

namespace pl::time_text {

// How a form's units stand for directive characters and how the library's own
// characters are encoded.
struct Encoding {
  // Translates units below 256 to the ASCII directive characters; null: units are
  // taken as they are (ASCII-based sets and UTF-16).
  const uint8_t *table;
  uint8_t zero;   // digits zero..zero+9
  uint8_t space;
  uint8_t tab;
  uint8_t percent;
};

inline constexpr Encoding kAscii{nullptr, 0x30, 0x20, 0x09, 0x25};

// The encoding of a byte or packed form over `handle`'s code set. `with_930`: the Ex and
// W forms, which read code page 930's own letters where the set is code page 930.
inline Encoding encoding_of(const PLLocale &handle, bool with_930) {
  if (CharsetView(*handle.codeset).ascii_based()) return kAscii;
  bool own = with_930 && handle.codeset->number == kCodePage930;
  return {own ? printf_syntax::kCodePage930ToAscii : printf_syntax::kEbcdic037ToAscii, 0xF0, 0x40,
          0x05, 0x6C};
}

// The directive character a unit stands for, or printf_syntax::kNotAscii.
inline uint32_t directive_char(const Encoding &encoding, uint32_t unit) {
  return printf_syntax::translate(encoding.table, unit);
}

// The unit that stands for ASCII character `c` under `encoding` (the inverse of
// directive_char), for the fixed formats' characters.
uint8_t encode_ascii(const Encoding &encoding, char c);

// The format that %D, %R or %T stands for (`alternate`: the # form), in ASCII; null
// for any other conversion.
inline const char *fixed_format(char conversion, bool alternate) {
  switch (conversion) {
    case 'D': return alternate ? "%#m/%#d/%y" : "%m/%d/%y";
    case 'R': return alternate ? "%#H:%#M" : "%H:%M";
    case 'T': return alternate ? "%#H:%#M:%#S" : "%H:%M:%S";
    default: return nullptr;
  }
}

// What follows the % of a directive: an optional #, an optional E or O, then the
// conversion character. `next()` gives each directive character in turn (a value no
// conversion has where the format ends or a unit stands for none).
struct DirectiveHead {
  uint32_t conversion;
  uint32_t modifier;  // 'E', 'O' or 0
  bool alternate;     // #
};

template <class Next>
inline DirectiveHead read_directive(Next next) {
  DirectiveHead head{next(), 0, false};
  if (head.conversion == '#') {
    head.alternate = true;
    head.conversion = next();
  }
  if (head.conversion == 'E' || head.conversion == 'O') {
    head.modifier = head.conversion;
    head.conversion = next();
  }
  return head;
}

// Names and formats are fetched into a buffer of this many bytes (a terminator
// included).
inline constexpr int32_t kItemBufferSize = 32;

}  // namespace pl::time_text
