// What sets the four forms of the time parser apart: their units, how the format and
// the input are walked, and the lookups (names and formats, end of line, zone names)
// each makes through its own variant.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "charset/navigation/char_types.h"
#include "charset/navigation/text_rules.h"
#include "charset/from_unicode.h"
#include "charset/packed_char.h"
#include "charset/unicode/unicode_types.h"
#include "frame/endian.h"
#include "format/printf/format_cursor.h"
#include "locale/info_text.h"
#include "time/parse/parse_input.h"
#include "time/time_text.h"

namespace pl::time_parse {

// The most units of a zone name that could be in the tables, with room to spare.
inline constexpr size_t kZoneNameUnits = 8;

// The units of `end_of_line`'s match when it starts right at `at`, else 0.
template <class T>
size_t eol_here(const T *at, const T *found, int32_t length) {
  return found == at ? static_cast<size_t>(length) : 0;
}

// The end-of-line finders look no further than one line end.
template <class T>
int32_t eol_window(const InputText<T> &in) {
  return static_cast<int32_t>(std::min<size_t>(in.left(), 2));
}

// Whether the `n` units at `a` and `b` are equal; names and literals are short, and
// a loop beats a call.
template <class T>
bool equal_units(const T *a, const T *b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

// Units taken as they stand: a name matches when all its units equal the input's.
template <class T>
bool match_units(const InputText<T> &in, const T *name, size_t length, InputText<T> *after) {
  if (length == 0 || in.left() < length) return false;
  if (!equal_units(in.position(), name, length)) return false;
  *after = in;
  after->skip(length);
  return true;
}

// Whether name item `item`, fetched in `form`'s units after the form's cheap refusal
// (`may_match`), starts the input, compared by the form's `match` where it has one,
// else unit by unit; `after` is behind the match.
template <class Form, class Unit>
bool fetch_and_match(const Form &form, const InputText<Unit> &in, int32_t item, int32_t flags,
                     InputText<Unit> *after) {
  if (!form.may_match(in, item)) return false;
  Unit text[time_text::kItemBufferSize];
  int32_t length = form.fetch(item, text, in.state(), flags);
  if (length <= 0) return false;
  if constexpr (requires { form.match(in, text, size_t{}, after); })
    return form.match(in, text, static_cast<size_t>(length), after);
  else
    return match_units(in, text, static_cast<size_t>(length), after);
}

struct FormBase {
  PLLocale *handle;
  time_text::Encoding encoding;

  // Whether the input starts with the leading units of name item `item` (day and
  // month names, markers), each converted by `convert` as a fetch converts it: at most
  // kPrefixUnits, none from a surrogate on (a surrogate first leaves nothing to check).
  // False for an empty item.
  static constexpr size_t kPrefixUnits = 2;
  template <class Unit, class Convert>
  bool prefix_matches(const InputText<Unit> &in, int32_t item, Convert convert) const {
    const uint8_t *text = name_item_units(*handle, item);
    if (read_u16(text) == 0) return false;
    for (size_t i = 0; i < kPrefixUnits; ++i) {
      PLUChar unit = read_u16(text + 2 * i);
      if (unit == 0 || unit - 0xD800u < 0x800u) break;
      if (i == in.left() || in.position()[i] != convert(unit)) return false;
    }
    return true;
  }
};

// The base form: the locale's bytes by the length rule.
struct ByteForm : FormBase {
  using Unit = char;
  using Cursor = ByteCursor;
  static constexpr bool kZones = true;
  TextRules rules;

  Cursor format(const char *text, size_t length, PLState) const {
    return Cursor(text, length, encoding.table, rules.set, rules.single_byte, false);
  }
  void skip_shifts(InputText<char> &) const {}
  // Whether name item `item` starts the input as get_text_item would write it: each
  // unit of the record's text converted on its own, cut at the first character that
  // would not fit the item buffer; `after` is behind the match. Read in place, without
  // a fetch: a candidate is mostly refused at its first unit.
  bool match_name(const InputText<char> &in, int32_t item, int32_t,
                  InputText<char> *after) const {
    const uint8_t *units = name_item_units(*handle, item);
    auto at = reinterpret_cast<const uint8_t *>(in.position());
    size_t left = in.left(), used = 0;
    bool ascii = (handle->flags & kHandleAsciiUnits) != 0;
    constexpr size_t kRoom = time_text::kItemBufferSize - 1;
    for (PLUChar unit; (unit = read_u16(units)) != 0; units += 2) {
      if (ascii && unit < 0x80) {
        if (used == kRoom) break;
        if (used == left || at[used] != unit) return false;
        ++used;
        continue;
      }
      uint8_t bytes[4];
      size_t n = to_bytes(*rules.entry, unit, bytes);
      if (used + n > kRoom) break;
      if (n > left - used || !equal_units(at + used, bytes, n)) return false;
      used += n;
    }
    if (used == 0) return false;
    *after = in;
    after->skip(used);
    return true;
  }
  int32_t fetch(int32_t item, char *out, PLState, int32_t flags) const {
    return get_text_item(handle, item, out, time_text::kItemBufferSize, flags) - 1;
  }
  size_t end_of_line(const InputText<char> &in, int32_t flags) const {
    int32_t kind = 0, length = 0;
    const char *found = PLGetEol(handle, in.position(), eol_window(in), &kind, &length, flags);
    return eol_here(in.position(), found, length);
  }
  // The units of the character at the position, and whether it is a letter (or, with
  // `digits`, a digit); an incomplete character is neither.
  size_t zone_char(const InputText<char> &in, bool digits, bool *taken) const {
    auto s = reinterpret_cast<const uint8_t *>(in.position());
    CharLength length = char_length(rules.set, s, in.left());
    size_t units = std::max<size_t>(length.bytes, 1);
    uint32_t type = !length.complete() ? 0
                    : units == 1       ? rules.set.byte_type(s[0])
                                       : packed_type(*rules.entry, pack_char(s, units));
    *taken = (type & (PL_CLASS_ALPHA | (digits ? PL_CLASS_DIGIT : 0))) != 0;
    return units;
  }
  // `name` lower-cased into the code set's bytes; their number.
  size_t zone_bytes(const char *name, size_t length, char *out, size_t size) const {
    int32_t n = PLMapString(handle, out, static_cast<int32_t>(size), name,
                            static_cast<int32_t>(length), PL_MAP_LOWER);
    return n > 0 ? static_cast<size_t>(n) : 0;
  }
};

// The Ex form on a stateful set: bytes under the shift rule, each stream in its state.
struct ShiftForm : FormBase {
  using Unit = char;
  using Cursor = ShiftCursor;
  static constexpr bool kZones = false;
  TextRules rules;

  Cursor format(const char *text, size_t length, PLState state) const {
    return Cursor(text, length, encoding.table, rules.set, state);
  }
  void skip_shifts(InputText<char> &in) const {
    ShiftRun run = skip_shift_run(rules.set, reinterpret_cast<const uint8_t *>(in.position()),
                                  in.left(), in.state());
    in.move_to(in.position() + run.length, run.state);
  }
  int32_t fetch(int32_t item, char *out, PLState state, int32_t flags) const {
    return get_text_item_ex(handle, item, out, state, time_text::kItemBufferSize, flags) - 1;
  }
  static bool may_match(const InputText<char> &, int32_t) { return true; }
  // The name was fetched from the input's state; both are compared character by
  // character, each in its own state, shift runs skipped.
  bool match(const InputText<char> &in, const char *name, size_t length,
             InputText<char> *after) const {
    InputText<char> text(name, length, in.state());
    InputText<char> probe = in;
    for (;;) {
      skip_shifts(text);
      if (text.at_end()) break;
      skip_shifts(probe);
      size_t units = state_char_length(rules.set, text.state());
      if (probe.shifted() != text.shifted() || units > text.left() || units > probe.left() ||
          !equal_units(probe.position(), text.position(), units))
        return false;
      text.skip(units);
      probe.skip(units);
    }
    if (probe.position() == in.position()) return false;
    *after = probe;
    return true;
  }
  size_t end_of_line(const InputText<char> &in, int32_t flags) const {
    int32_t kind = 0, length = 0;
    PLState state = 0;
    const char *found = PLGetEolEx(handle, in.position(), in.state(), eol_window(in), &kind,
                                   &length, &state, flags);
    return eol_here(in.position(), found, length);
  }
};

// UTF-16 units.
struct UnitForm : FormBase {
  using Unit = PLUChar;
  using Cursor = UnitCursor;
  static constexpr bool kZones = true;

  Cursor format(const PLUChar *text, size_t length, PLState) const { return Cursor(text, length); }
  void skip_shifts(InputText<PLUChar> &) const {}
  int32_t fetch(int32_t item, PLUChar *out, PLState, int32_t flags) const {
    return get_text_item_u(handle, item, out, time_text::kItemBufferSize, flags) - 1;
  }
  bool may_match(const InputText<PLUChar> &in, int32_t item) const {
    return prefix_matches(in, item, [](PLUChar unit) { return unit; });
  }
  size_t end_of_line(const InputText<PLUChar> &in, int32_t flags) const {
    int32_t kind = 0, length = 0;
    const PLUChar *found =
        PLGetEolU(handle, in.position(), eol_window(in), &kind, &length, flags);
    return eol_here(in.position(), found, length);
  }
  size_t zone_char(const InputText<PLUChar> &in, bool digits, bool *taken) const {
    uint32_t type = unicode_type(*in.position());
    *taken = (type & (PL_CLASS_ALPHA | (digits ? PL_CLASS_DIGIT : 0))) != 0;
    return 1;
  }
  // Lower-cased, then in the code set's bytes.
  size_t zone_bytes(const PLUChar *name, size_t length, char *out, size_t size) const {
    PLUChar lower[kZoneNameUnits];
    int32_t units = PLMapStringU(handle, lower, kZoneNameUnits, name,
                                 static_cast<int32_t>(length), PL_MAP_LOWER);
    if (units <= 0) return 0;
    int32_t n = PLUnicodeToString(handle, out, static_cast<int32_t>(size), lower, units, 0);
    return n > 0 ? static_cast<size_t>(n) : 0;
  }
};

// Packed characters.
struct PackedForm : FormBase {
  using Unit = PLWChar;
  using Cursor = PackedCursor;
  static constexpr bool kZones = false;

  Cursor format(const PLWChar *text, size_t length, PLState) const {
    return Cursor(text, length, encoding.table);
  }
  void skip_shifts(InputText<PLWChar> &) const {}
  int32_t fetch(int32_t item, PLWChar *out, PLState, int32_t flags) const {
    return get_text_item_w(handle, item, out, time_text::kItemBufferSize, flags) - 1;
  }
  bool may_match(const InputText<PLWChar> &in, int32_t item) const {
    return prefix_matches(in, item,
                          [this](PLUChar unit) { return to_packed(*handle->codeset, unit); });
  }
  size_t end_of_line(const InputText<PLWChar> &in, int32_t flags) const {
    int32_t kind = 0, length = 0;
    const PLWChar *found =
        PLGetEolW(handle, in.position(), eol_window(in), &kind, &length, flags);
    return eol_here(in.position(), found, length);
  }
};

}  // namespace pl::time_parse
