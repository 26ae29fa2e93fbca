// The conventions a number is read with: thousands separator, decimal point and sign
// texts of the call's mode, in the units of the text they are compared with.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/handle.h"

namespace pl {

// A sign text as the form's units. Under the shift rule it is written from the
// single-byte state; a closing shift-in is left off, and `end_state` is the state the
// sign leaves.
template <class Unit>
struct SignText {
  static constexpr size_t kCapacity = 31;  // a 32-unit item buffer, less its NUL
  Unit units[kCapacity];
  size_t length = 0;
  PLState end_state = 0;
};

template <class Unit>
struct NumberItems {
  bool ascii_based = true;  // the family of the digits, letters and plain signs
  int32_t separator = -1;   // the thousands separator's unit, -1 for none
  int32_t point = -1;       // the decimal point's unit, -1 for none
  bool sign_texts = false;                 // the signs are the locale's sign texts
  SignText<Unit> plus, minus;              // those texts
  SignText<Unit> plain_plus, plain_minus;  // + and - (and an exponent's signs)

  const SignText<Unit> &mode_plus() const { return sign_texts ? plus : plain_plus; }
  const SignText<Unit> &mode_minus() const { return sign_texts ? minus : plain_minus; }
};

struct NumberMode {
  bool monetary;        // monetary separators and the locale's sign texts
  bool from_territory;  // the territory's items, not the handle's
  bool separator;       // a thousands separator is read
  bool point;           // a decimal point is read
};

// The items of `mode` and the code set's family: code-set bytes (with `shift_rule`, the
// Ex form's shift bytes), UTF-16 units or packed characters. A separator or point the
// form cannot hold as one unit is none.
void load_number_items(PLLocale &handle, const NumberMode &mode, bool shift_rule,
                       NumberItems<uint8_t> *items);
void load_number_items(PLLocale &handle, const NumberMode &mode, NumberItems<uint16_t> *items);
void load_number_items(PLLocale &handle, const NumberMode &mode, NumberItems<uint32_t> *items);

}  // namespace pl
