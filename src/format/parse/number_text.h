// The text a number is read from, in its four forms: bytes of a code set by the length
// rule, bytes by the shift rule (the Ex forms on a stateful set), UTF-16 units and
// packed characters. Each finds the character at a position and answers what the
// tokenizer asks of it: white space, a sign text, and the one unit it stands for (a
// byte of a one-byte character, a UTF-16 unit, a packed character), which is compared
// with the separators and, below 256, valued by the digit table of its family.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "charset/charset_view.h"
#include "charset/length_rule.h"
#include "charset/navigation/char_types.h"
#include "charset/navigation/text_rules.h"
#include "charset/navigation/type_trie.h"
#include "charset/shift_rule.h"
#include "charset/unicode/unicode_types.h"
#include "format/parse/digit_values.h"
#include "format/parse/number_items.h"
#include "frame/handle.h"
#include "string/mapping/map_string.h"

namespace pl {

struct NumberChar {
  size_t start;   // its first unit, behind the shift run in front of it
  size_t length;  // its units; 0 where no whole character starts
  PLState state;  // the state it is read in
};

// Whether the `n` units at `text` (of which `left` are there) are `units`; never for
// n = 0. The first unit is compared first: it refuses nearly every character.
template <class Unit>
bool same_units(const Unit *text, size_t left, const Unit *units, size_t n) {
  if (n == 0 || n > left || text[0] != units[0]) return false;
  return n == 1 || std::memcmp(text + 1, units + 1, (n - 1) * sizeof(Unit)) == 0;
}

// Code-set bytes: what the forms over bytes share.
class ByteNumberText {
 public:
  using Unit = uint8_t;

  ByteNumberText(const PLLocale &handle, const TextRules &rules, const DigitValues &values,
                 const uint8_t *s, size_t n)
      : handle_(&handle),
        rules_(&rules),
        set_(rules.set),
        values_(values.data()),
        s_(s),
        n_(n) {}

  uint32_t first(const NumberChar &c) const { return s_[c.start]; }
  int32_t value(uint32_t byte) const { return values_[byte]; }

  // The single byte that the digit mapping makes of the character, if it makes one.
  bool mapped(const NumberChar &c, uint32_t *unit) const {
    char out[5];
    if (map_string(*handle_, *rules_, Mapping::digits, out, kSingleByteState, sizeof out,
                   reinterpret_cast<const char *>(s_ + c.start), c.state,
                   static_cast<int32_t>(c.length), false) != 1)
      return false;
    *unit = static_cast<uint8_t>(out[0]);
    return true;
  }

 protected:
  bool space_type(const NumberChar &c, bool one_byte) const {
    uint32_t type = one_byte ? set_.byte_type(s_[c.start])
                             : TypeTrie(*rules_->entry).type_of(s_ + c.start, c.length);
    return (type & PL_CLASS_SPACE) != 0;
  }

  const PLLocale *handle_;
  const TextRules *rules_;
  CharsetView set_;
  const int32_t *values_;
  const uint8_t *s_;
  size_t n_;
};

// Bytes walked by the length rule.
class LengthRuleText : public ByteNumberText {
 public:
  LengthRuleText(const PLLocale &handle, const TextRules &rules, const DigitValues &values,
                 const uint8_t *s, size_t n)
      : ByteNumberText(handle, rules, values, s, n), single_byte_(rules.single_byte) {}

  NumberChar at(size_t pos, PLState state) const {
    if (single_byte_) return {pos, pos < n_ ? size_t{1} : size_t{0}, state};
    CharLength length = char_length(set_, s_ + pos, n_ - pos);
    return {pos, length.complete() ? length.rule : size_t{0}, state};
  }
  bool space(const NumberChar &c) const { return space_type(c, c.length == 1 || single_byte_); }
  size_t sign(const NumberChar &c, const SignText<Unit> &sign, PLState *after) const {
    *after = c.state;
    return same_units(s_ + c.start, n_ - c.start, sign.units, sign.length) ? sign.length : 0;
  }
  bool single(const NumberChar &c, uint32_t *unit) const {
    *unit = s_[c.start];
    return c.length == 1;
  }

 private:
  bool single_byte_;
};

// Bytes walked by the shift rule: a shift run goes with the character behind it, and
// only characters of the single-byte state are single bytes.
class ShiftRuleText : public ByteNumberText {
 public:
  ShiftRuleText(const PLLocale &handle, const TextRules &rules, const DigitValues &values,
                const uint8_t *s, size_t n)
      : ByteNumberText(handle, rules, values, s, n), shift_out_(rules.set.shift_out_byte()) {}

  NumberChar at(size_t pos, PLState state) const {
    StatefulChar c = stateful_char(set_, s_ + pos, n_ - pos, state);
    bool whole = c.length.bytes != 0 && c.length.complete();
    return {pos + c.shift.length, whole ? c.length.rule : size_t{0}, c.shift.state};
  }
  bool space(const NumberChar &c) const { return space_type(c, c.state == kSingleByteState); }
  // A sign that starts shifted matches in the shifted state without its shift-out.
  size_t sign(const NumberChar &c, const SignText<Unit> &sign, PLState *after) const {
    *after = sign.end_state;
    size_t skip = c.state == kSingleByteState ? 0 : 1;
    if (skip == 1 && (sign.length < 2 || sign.units[0] != shift_out_)) return 0;
    return same_units(s_ + c.start, n_ - c.start, sign.units + skip, sign.length - skip)
               ? sign.length - skip
               : 0;
  }
  bool single(const NumberChar &c, uint32_t *unit) const {
    *unit = s_[c.start];
    return c.state == kSingleByteState && c.length == 1;
  }

 private:
  uint8_t shift_out_;
};

// Text whose every element is one character, valued by the table it is given.
template <class Element>
class ElementNumberText {
 public:
  using Unit = Element;

  ElementNumberText(const PLLocale &handle, const DigitValues &values, const Element *s,
                    size_t n)
      : handle_(&handle), values_(values.data()), s_(s), n_(n) {}

  NumberChar at(size_t pos, PLState) const {
    return {pos, pos < n_ ? size_t{1} : size_t{0}, kSingleByteState};
  }
  uint32_t first(const NumberChar &c) const { return s_[c.start]; }
  // Every element is one unit; only those below 256 can be digits or letters.
  bool single(const NumberChar &c, uint32_t *unit) const {
    *unit = s_[c.start];
    return true;
  }
  int32_t value(uint32_t unit) const { return unit < 256 ? values_[unit] : -1; }
  size_t sign(const NumberChar &c, const SignText<Unit> &sign, PLState *after) const {
    *after = kSingleByteState;
    return same_units(s_ + c.start, n_ - c.start, sign.units, sign.length) ? sign.length : 0;
  }

 protected:
  const PLLocale *handle_;
  const int32_t *values_;
  const Element *s_;
  size_t n_;
};

// UTF-16 units, valued by the ASCII table whatever the code set.
class UnitNumberText : public ElementNumberText<PLUChar> {
 public:
  static constexpr bool kUnicode = true;
  using ElementNumberText::ElementNumberText;

  bool space(const NumberChar &c) const { return unicode_is(UnicodeClass::space, s_[c.start]); }
  bool mapped(const NumberChar &c, uint32_t *unit) const {
    PLUChar out;
    if (map_units(*handle_, Mapping::digits, &out, 1, s_ + c.start, 1) != 1) return false;
    *unit = out;
    return true;
  }
};

// Packed characters, valued by the table of the code set's family: those below 256 are
// its single bytes.
class PackedNumberText : public ElementNumberText<PLWChar> {
 public:
  static constexpr bool kUnicode = false;
  using ElementNumberText::ElementNumberText;

  bool space(const NumberChar &c) const {
    return (packed_type(*handle_->codeset, s_[c.start]) & PL_CLASS_SPACE) != 0;
  }
  bool mapped(const NumberChar &c, uint32_t *unit) const {
    PLWChar out;
    if (map_packed(*handle_, Mapping::digits, &out, 1, s_ + c.start, 1) != 1) return false;
    *unit = out;
    return true;
  }
};

}  // namespace pl
