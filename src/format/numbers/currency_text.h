// The text of PLCurrencyToString: the amount with the monetary grouping and
// separators, the currency symbol, and the sign text, space and parentheses placed
// by the sign position and the symbol's side.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "format/digits/fixed_digits.h"
#include "format/numbers/grouping.h"
#include "format/numbers/number_forms.h"
#include "format/numbers/number_parts.h"
#include "format/numbers/work_text.h"
#include "polyloc.h"

namespace pl {

enum class Piece : uint8_t { open, close, sign, symbol, space, number };

struct CurrencyLayout {
  Piece pieces[5];  // in reading order
  uint8_t count;
};

// By sign position (0..4; above 4 as 4), then symbol after (0) or before (1) the number.
inline constexpr CurrencyLayout kCurrencyLayouts[5][2] = {
    {{{Piece::open, Piece::number, Piece::space, Piece::symbol, Piece::close}, 5},
     {{Piece::open, Piece::symbol, Piece::space, Piece::number, Piece::close}, 5}},
    {{{Piece::sign, Piece::number, Piece::space, Piece::symbol}, 4},
     {{Piece::sign, Piece::symbol, Piece::space, Piece::number}, 4}},
    {{{Piece::number, Piece::space, Piece::symbol, Piece::sign}, 4},
     {{Piece::symbol, Piece::space, Piece::number, Piece::sign}, 4}},
    {{{Piece::number, Piece::space, Piece::sign, Piece::symbol}, 4},
     {{Piece::sign, Piece::symbol, Piece::space, Piece::number}, 4}},
    {{{Piece::number, Piece::space, Piece::symbol, Piece::sign}, 4},
     {{Piece::symbol, Piece::sign, Piece::space, Piece::number}, 4}},
};

// The amount: "%f" digits (six fraction digits, rounded), the fraction then cut to
// `fraction` digits, not rounded again, and padded with zeros beyond six.
template <class Form, class T = typename Form::Element>
void put_amount(const Form &form, WorkText<T> &text, double value, int32_t fraction,
                const T *point, const T *separator, const T *grouping, size_t grouping_length) {
  const Glyphs &glyphs = form.glyphs();
  if (!std::isfinite(value)) {
    put_non_finite(form, text, value);
    return;
  }
  constexpr int32_t kPrinted = 6;
  char digits[kFixedDigitsCapacity];
  FixedDigits fixed = fixed_digits(value, kPrinted, digits, sizeof digits);
  fraction = std::min(fraction, kMaxFractionDigits);
  if (fraction > 0) {
    for (int32_t zeros = fraction - kPrinted; zeros > 0; --zeros) text.put_byte(glyphs.zero);
    put_digits(text, digits + fixed.integer_digits,
               static_cast<size_t>(std::min(fraction, kPrinted)), glyphs);
    if (point != nullptr) text.put(*point);
  }
  put_grouped_digits(text, digits, fixed.integer_digits, separator, grouping, grouping_length,
                     glyphs);
}

template <class Form>
void currency_text(const Form &form, double value, bool international,
                   WorkText<typename Form::Element> &text) {
  using T = typename Form::Element;
  const Glyphs &glyphs = form.glyphs();
  T point_buffer[2], separator_buffer[2], grouping_buffer[kItemCapacity],
      symbol_buffer[kItemCapacity], sign_buffer[kItemCapacity];
  ItemText<T> point = form.item(PL_MON_DECIMAL_POINT, point_buffer, 2);
  ItemText<T> separator = form.item(PL_MON_THOUSANDS_SEP, separator_buffer, 2);
  // Without a separator there is no grouping to read.
  ItemText<T> grouping{nullptr, 0};
  if (separator.length != 0)
    grouping = form.item(PL_MON_GROUPING, grouping_buffer, kItemCapacity);
  ItemText<T> symbol = form.item(international ? PL_INT_CURR_SYMBOL : PL_CURRENCY_SYMBOL,
                                 symbol_buffer, kItemCapacity);
  int32_t fraction = form.numeric_item(international ? PL_INT_FRAC_DIGITS : PL_FRAC_DIGITS);
  // A negative amount takes the negative items; zero, NaN and -0 the positive ones.
  bool negative = value < 0;
  ItemText<T> sign = negative ? form.item(PL_NEGATIVE_SIGN, sign_buffer, 4)
                              : form.item(PL_POSITIVE_SIGN, sign_buffer, kItemCapacity);
  bool precedes = form.numeric_item(negative ? PL_N_CS_PRECEDES : PL_P_CS_PRECEDES) != 0;
  bool spaced = form.numeric_item(negative ? PL_N_SEP_BY_SPACE : PL_P_SEP_BY_SPACE) != 0;
  int32_t position = form.numeric_item(negative ? PL_N_SIGN_POSN : PL_P_SIGN_POSN);
  const CurrencyLayout &layout = kCurrencyLayouts[std::clamp(position, 0, 4)][precedes ? 1 : 0];
  for (size_t i = layout.count; i > 0; --i) {
    switch (layout.pieces[i - 1]) {
      case Piece::open: text.put_byte(glyphs.open); break;
      case Piece::close: text.put_byte(glyphs.close); break;
      case Piece::sign: text.put(sign.text, sign.length); break;
      case Piece::symbol: text.put(symbol.text, symbol.length); break;
      case Piece::space:
        if (spaced) text.put_byte(glyphs.space);
        break;
      case Piece::number:
        put_amount(form, text, value, fraction, point.length != 0 ? point.text : nullptr,
                   separator.length != 0 ? separator.text : nullptr, grouping.text,
                   grouping.length);
        break;
    }
  }
}

}  // namespace pl
