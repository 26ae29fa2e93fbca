// The text of PLDoubleToString: a double with the locale's number of fraction
// digits (or six), decimal point and grouping.
#pragma once

#include <cmath>
#include <cstdint>

#include "format/digits/fixed_digits.h"
#include "format/numbers/grouping.h"
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
  T separator[5], point[5], grouping[kItemCapacity];
  size_t separator_length = form.text_item(PL_THOUSANDS_SEP, separator, 5);
  size_t point_length = form.text_item(PL_DECIMAL_POINT, point, 5);
  size_t grouping_length = form.text_item(PL_GROUPING, grouping, kItemCapacity);
  int32_t fraction = six_decimals ? 6 : form.numeric_item(PL_NUM_DIGITS);
  char digits[kFixedDigitsCapacity];
  FixedDigits fixed = fixed_digits(value, fraction, digits, sizeof digits);
  size_t fraction_length = fixed.length - fixed.integer_digits;
  put_digits(text, digits + fixed.integer_digits, fraction_length, glyphs);
  if (fraction_length != 0 && point_length != 0) text.put(point[0]);
  put_grouped_digits(text, digits, fixed.integer_digits,
                     separator_length != 0 ? separator : nullptr, grouping, grouping_length,
                     glyphs);
  if (value < 0) text.put_byte(glyphs.minus);
}

}  // namespace pl
