// The four forms of the number functions: what each writes (bytes of the code set,
// with shift bytes in the Ex forms on a stateful set; UTF-16 units; packed
// characters), how it reads the locale's items, and how much of a text fits its
// output in whole characters.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/navigation/text_rules.h"
#include "charset/shift_rule.h"
#include "format/numbers/glyphs.h"
#include "format/numbers/work_text.h"
#include "frame/handle.h"
#include "locale/info_items.h"
#include "locale/info_text.h"

namespace pl {

inline constexpr size_t kUnlimited = SIZE_MAX;

// An item's text: the handle's own copy where it can be read directly, else the
// caller's buffer it was fetched into.
template <class T>
struct ItemText {
  const T *text;
  size_t length;
};

// The leading part of a text that fits an output.
struct Prefix {
  size_t units;  // elements
  size_t chars;  // characters among them
  bool whole;    // all of the text
};

// A handle's copy of an item when all of it fits `size` elements with the NUL: then
// it is exactly what the item functions would write, and it is read in place.
template <class T>
bool whole_copy(const T *copy, int32_t size, ItemText<T> *out) {
  size_t length = 0;
  while (copy[length] != 0)
    if (++length >= static_cast<size_t>(size)) return false;
  *out = {copy, length};
  return true;
}

class FormBase {
 public:
  // `flags` are the call's: PL_FROM_TERRITORY selects the territory's items.
  FormBase(PLLocale &handle, const Glyphs &glyphs, int32_t flags)
      : handle_(&handle), glyphs_(&glyphs), item_flags_(flags & kFromTerritory) {}

  const Glyphs &glyphs() const { return *glyphs_; }
  int32_t numeric_item(int32_t item) const;
  // Whether the output starts with a shift-in (before everything else).
  bool shifted_start() const { return false; }

 protected:
  PLLocale *handle_;
  const Glyphs *glyphs_;
  int32_t item_flags_;
};

// Base and Ex forms: bytes of the handle's code set.
class ByteForm : public FormBase {
 public:
  using Element = char;
  static constexpr bool kCountsChars = true;  // PL_COUNT_CHARS applies

  // `ex_form` takes the shift rule of a stateful set; the output then starts in
  // `out_state`.
  ByteForm(PLLocale &handle, bool ex_form, PLState out_state, int32_t flags)
      : FormBase(handle, glyphs_of(CharsetView(*handle.codeset).ascii_based()), flags),
        rules_(text_rules(handle, ex_form)),
        start_state_(rules_.shift_rule && out_state != 0 ? kShiftedState : kSingleByteState) {}

  // Text item `item` as read into a buffer of `size` bytes, the NUL included (so cut
  // to size - 1 bytes of whole characters); `buffer` receives it unless the handle's
  // copy is the same text. Under the shift rule the text is written from the
  // single-byte state with the shift bytes it needs. Inline, so that a constant item
  // finds the handle's copy without a search.
  ItemText<char> item(int32_t item, char *buffer, int32_t size) const {
    const char *copy;
    const PLUChar *unicode;
    ItemText<char> whole;
    if (item_flags_ == 0 && !rules_.shift_rule && handle_copy(handle_, item, &copy, &unicode) &&
        whole_copy(copy, size, &whole))
      return whole;
    return {buffer, fetch(item, buffer, size)};
  }
  // A small Latin letter of the code set (one byte in every set).
  char letter(char c) const;
  bool shifted_start() const { return start_state_ != 0; }
  void lead_in(WorkText<char> &text) const {
    if (shifted_start()) text.put_byte(rules_.set.shift_in_byte());
  }
  // Whole characters, each with the shift bytes in front of it; behind the last one
  // taken, a shift run back to the single-byte state when it fits (the closing
  // shift-in of a double-byte part, or of the text).
  Prefix prefix(const char *text, size_t length, size_t unit_room, size_t char_room) const;

 private:
  // The item through the item functions, into `buffer`: its length.
  size_t fetch(int32_t item, char *buffer, int32_t size) const;

  TextRules rules_;
  PLState start_state_;
};

// U forms: UTF-16 units, Unicode glyphs; a surrogate pair is never split.
class UnitForm : public FormBase {
 public:
  using Element = PLUChar;
  static constexpr bool kCountsChars = false;

  UnitForm(PLLocale &handle, bool, PLState, int32_t flags);
  // As ByteForm::item, in UTF-16 units: the handle keeps its copies in UTF-16 too.
  ItemText<PLUChar> item(int32_t item, PLUChar *buffer, int32_t size) const {
    const char *copy;
    const PLUChar *unicode;
    ItemText<PLUChar> whole;
    if (item_flags_ == 0 && handle_copy(handle_, item, &copy, &unicode) &&
        whole_copy(unicode, size, &whole))
      return whole;
    return {buffer, fetch(item, buffer, size)};
  }
  PLUChar letter(char c) const { return static_cast<PLUChar>(c); }
  void lead_in(WorkText<PLUChar> &) const {}
  Prefix prefix(const PLUChar *text, size_t length, size_t unit_room, size_t char_room) const;

 private:
  // The item through the item function, into `buffer`: its length.
  size_t fetch(int32_t item, PLUChar *buffer, int32_t size) const;
};

// W forms: packed characters of the code set, in its encoding family.
class PackedForm : public FormBase {
 public:
  using Element = PLWChar;
  static constexpr bool kCountsChars = false;

  PackedForm(PLLocale &handle, bool, PLState, int32_t flags);
  ItemText<PLWChar> item(int32_t item, PLWChar *buffer, int32_t size) const;
  PLWChar letter(char c) const;
  void lead_in(WorkText<PLWChar> &) const {}
  Prefix prefix(const PLWChar *text, size_t length, size_t unit_room, size_t char_room) const;
};

}  // namespace pl
