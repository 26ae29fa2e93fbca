// The text of PLLongToString: a 32-bit integer with the locale's grouping.
#pragma once

#include <cstdint>

#include "format/numbers/grouping.h"
#include "format/numbers/integer_digits.h"
#include "format/numbers/number_forms.h"
#include "format/numbers/work_text.h"
#include "polyloc.h"

namespace pl {

template <class Form>
void long_text(const Form &form, int32_t value, bool is_unsigned,
               WorkText<typename Form::Element> &text) {
  using T = typename Form::Element;
  const Glyphs &glyphs = form.glyphs();
  T separator_buffer[4], grouping_buffer[kItemCapacity];
  ItemText<T> separator = form.item(PL_THOUSANDS_SEP, separator_buffer, 4);
  // Without a separator there is no grouping to read.
  ItemText<T> grouping{nullptr, 0};
  if (separator.length != 0) grouping = form.item(PL_GROUPING, grouping_buffer, kItemCapacity);
  bool negative = !is_unsigned && value < 0;
  // The magnitude of the most negative value is 2^31, which 32 unsigned bits hold.
  uint32_t magnitude = static_cast<uint32_t>(value);
  if (negative) magnitude = 0u - magnitude;
  put_grouped_integer(text, magnitude, separator.length != 0 ? separator.text : nullptr,
                      GroupSizes<T>(grouping.text, grouping.length, glyphs), glyphs);
  if (negative) text.put_byte(glyphs.minus);
}

}  // namespace pl
