// The work buffer a number's text is built in: filled from its least significant
// end leftwards, so that grouping is applied while walking left, and read forwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "format/digits/fixed_digits.h"

namespace pl {

// The value of an element of any form, without sign extension of bytes.
template <class T>
constexpr uint32_t element_value(T c) {
  return static_cast<std::make_unsigned_t<T>>(c);
}

// Text items are fetched into buffers of at most this many elements, NUL included.
inline constexpr size_t kItemCapacity = 32;

// The longest text of any call: a minus, the integer digits of DBL_MAX with a
// separator between each two, the point and the longest fraction; around it a sign
// text and the currency symbol (or two parentheses and the symbol), a space, and the
// shift-in of a shifted start.
inline constexpr size_t kLongestNumber =
    1 + kMaxIntegerDigits + (kMaxIntegerDigits - 1) + 1 + kMaxFractionDigits;
inline constexpr size_t kWorkCapacity = kLongestNumber + 2 * (kItemCapacity - 1) + 2 + 1 + 1;

template <class T>
class WorkText {
 public:
  void put(T c) { *--first_ = c; }
  void put_byte(uint8_t b) { put(static_cast<T>(b)); }
  // Puts `length` elements in front, keeping their order.
  void put(const T *text, size_t length) {
    while (length > 0) put(text[--length]);
  }

  // For loops that put many elements: they write below front() through a local
  // pointer (a store through a byte pointer could otherwise alias first_) and hand
  // the new front back.
  T *front() { return first_; }
  void set_front(T *first) { first_ = first; }

  const T *data() const { return first_; }
  size_t size() const { return static_cast<size_t>(buffer_ + kWorkCapacity - first_); }

 private:
  T buffer_[kWorkCapacity];
  T *first_ = buffer_ + kWorkCapacity;
};

}  // namespace pl
