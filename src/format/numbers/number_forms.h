// The four forms of the number functions: what each writes (bytes of the code set,
// with shift bytes in the Ex forms on a stateful set; UTF-16 units; packed
// characters), how it reads the locale's items, and how much of a text fits its
// output in whole characters.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/navigation/text_rules.h"
#include "format/numbers/glyphs.h"
#include "format/numbers/work_text.h"
#include "frame/handle.h"

namespace pl {

inline constexpr size_t kUnlimited = SIZE_MAX;

// The leading part of a text that fits an output.
struct Prefix {
  size_t units;  // elements
  size_t chars;  // characters among them
  bool whole;    // all of the text
};

class FormBase {
 public:
  // `flags` are the call's: PL_FROM_TERRITORY selects the territory's items.
  FormBase(PLLocale &handle, const Glyphs &glyphs, int32_t flags);

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
  ByteForm(PLLocale &handle, bool ex_form, PLState out_state, int32_t flags);

  // Text item `item` into `buffer` (`size` bytes, the NUL included): its length.
  // Under the shift rule the text is written from the single-byte state with the
  // shift bytes it needs.
  size_t text_item(int32_t item, char *buffer, int32_t size) const;
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
  TextRules rules_;
  PLState start_state_;
};

// U forms: UTF-16 units, Unicode glyphs; a surrogate pair is never split.
class UnitForm : public FormBase {
 public:
  using Element = PLUChar;
  static constexpr bool kCountsChars = false;

  UnitForm(PLLocale &handle, bool, PLState, int32_t flags);
  size_t text_item(int32_t item, PLUChar *buffer, int32_t size) const;
  PLUChar letter(char c) const { return static_cast<PLUChar>(c); }
  void lead_in(WorkText<PLUChar> &) const {}
  Prefix prefix(const PLUChar *text, size_t length, size_t unit_room, size_t char_room) const;
};

// W forms: packed characters of the code set, in its encoding family.
class PackedForm : public FormBase {
 public:
  using Element = PLWChar;
  static constexpr bool kCountsChars = false;

  PackedForm(PLLocale &handle, bool, PLState, int32_t flags);
  size_t text_item(int32_t item, PLWChar *buffer, int32_t size) const;
  PLWChar letter(char c) const;
  void lead_in(WorkText<PLWChar> &) const {}
  Prefix prefix(const PLWChar *text, size_t length, size_t unit_room, size_t char_room) const;
};

}  // namespace pl
