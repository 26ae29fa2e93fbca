// The text of PLLongToString: a 32-bit integer with the locale's grouping.
#pragma once

#include <cstdint>

#include "format/digits/decimal_writer.h"
#include "format/numbers/grouping.h"
#include "format/numbers/work_text.h"
#include "polyloc.h"

namespace pl {

template <class Form>
void long_text(const Form &form, int32_t value, bool is_unsigned,
               WorkText<typename Form::Element> &text) {
  using T = typename Form::Element;
  const Glyphs &glyphs = form.glyphs();
  T separator[4], grouping[kItemCapacity];
  size_t separator_length = form.text_item(PL_THOUSANDS_SEP, separator, 4);
  size_t grouping_length = form.text_item(PL_GROUPING, grouping, kItemCapacity);
  bool negative = !is_unsigned && value < 0;
  // The magnitude of the most negative value is 2^31, which 32 unsigned bits hold.
  uint32_t magnitude = static_cast<uint32_t>(value);
  if (negative) magnitude = 0u - magnitude;
  char digits[kMaxDigits64];
  char *end = digits + sizeof digits;
  char *first = write_decimal(uint64_t{magnitude}, end);
  put_grouped_digits(text, first, static_cast<size_t>(end - first),
                     separator_length != 0 ? separator : nullptr, grouping, grouping_length,
                     glyphs);
  if (negative) text.put_byte(glyphs.minus);
}

}  // namespace pl
