// Pieces every number text is made of: digits in the output's glyphs, and the text of
// an infinity or NaN, which stands in place of the digits.
#pragma once

#include <cmath>
#include <cstddef>

#include "format/numbers/glyphs.h"
#include "format/numbers/work_text.h"

namespace pl {

// Puts ASCII `digits` in front, in the digits of `glyphs`.
template <class T>
void put_digits(WorkText<T> &text, const char *digits, size_t count, const Glyphs &glyphs) {
  T *at = text.front();
  uint8_t zero = glyphs.zero;
  for (size_t i = count; i > 0; --i)
    *--at = static_cast<T>(static_cast<uint8_t>(zero + (digits[i - 1] - '0')));
  text.set_front(at);
}

// "inf" or "nan" in the form's letters, without a sign.
template <class Form>
void put_non_finite(const Form &form, WorkText<typename Form::Element> &text, double value) {
  const char *word = std::isnan(value) ? "nan" : "inf";
  for (size_t i = 3; i > 0; --i) text.put(form.letter(word[i - 1]));
}

}  // namespace pl
