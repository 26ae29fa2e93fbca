// The text of PLDoubleToString: a double with the locale's number of fraction
// digits (or six), decimal point and grouping.
#pragma once

#include <cmath>
#include <cstdint>

#include "format/digits/fixed_digits.h"
#include "format/numbers/grouping.h"
#include "format/numbers/number_forms.h"
#include "format/numbers/number_parts.h"
#include "format/numbers/work_text.h"
#include "polyloc.h"

namespace pl {

template <class Form>
void double_text(const Form &form, double value, bool six_decimals,
                 WorkText<typename Form::Element> &text) {
  using T = typename Form::Element;
  const Glyphs &glyphs = form.glyphs();
  if (!std::isfinite(value)) {
    put_non_finite(form, text, value);
    if (value < 0) text.put_byte(glyphs.minus);
    return;
  }
  T separator_buffer[5], point_buffer[5], grouping_buffer[kItemCapacity];
  ItemText<T> separator = form.item(PL_THOUSANDS_SEP, separator_buffer, 5);
  ItemText<T> point = form.item(PL_DECIMAL_POINT, point_buffer, 5);
  // Without a separator there is no grouping to read.
  ItemText<T> grouping{nullptr, 0};
  if (separator.length != 0) grouping = form.item(PL_GROUPING, grouping_buffer, kItemCapacity);
  int32_t fraction = six_decimals ? 6 : form.numeric_item(PL_NUM_DIGITS);
  char digits[kFixedDigitsCapacity];
  FixedDigits fixed = fixed_digits(value, fraction, digits, sizeof digits);
  size_t fraction_length = fixed.length - fixed.integer_digits;
  put_digits(text, digits + fixed.integer_digits, fraction_length, glyphs);
  if (fraction_length != 0 && point.length != 0) text.put(point.text[0]);
  put_grouped_digits(text, digits, fixed.integer_digits,
                     separator.length != 0 ? separator.text : nullptr, grouping.text,
                     grouping.length, glyphs);
  if (value < 0) text.put_byte(glyphs.minus);
}

}  // namespace pl
