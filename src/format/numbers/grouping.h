// Digit grouping: reading a grouping text such as "3;0" or "3;2;0" one size at a time,
// and writing integer digits leftwards with a separator after each group.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/numbers/glyphs.h"
#include "format/numbers/number_parts.h"
#include "format/numbers/work_text.h"

namespace pl {

// The sizes of a grouping text: decimal numbers separated by the group separator, in
// the digits of `glyphs`. Each read gives the next size; -1 for an empty text, after
// the end, and at any other character.
template <class T>
class GroupSizes {
 public:
  // `length` elements, NUL-free (an item's text).
  GroupSizes(const T *text, size_t length, const Glyphs &glyphs)
      : at_(text), left_(length), zero_(glyphs.zero), separator_(glyphs.group_separator) {}

  int next() {
    int size = -1;  // -1 until a digit or a separator is read
    while (left_ > 0) {
      uint32_t c = element_value(*at_);
      ++at_;
      --left_;
      if (c == separator_) return size < 0 ? 0 : size;
      uint32_t digit = c - zero_;
      if (digit > 9) {
        left_ = 0;  // nothing after it is read
        return -1;
      }
      // No group is longer than the digits of any number; the cap only stops overflow.
      if (size < 0) size = static_cast<int>(digit);
      else if (size < kLongestSize) size = size * 10 + static_cast<int>(digit);
    }
    return size;
  }

 private:
  static constexpr int kLongestSize = 100000;
  const T *at_;
  size_t left_;
  uint32_t zero_, separator_;
};

// Puts the ASCII `digits` (most significant first) into `text` in the digits of
// `glyphs`, grouped from the right by the sizes of `grouping` (`grouping_length`
// elements): a separator after each group of the current size, the next size read
// then; 0 repeats the size for all further groups and the end of the sizes stops
// grouping. A first size below 1, or no separator, means no grouping. No separator
// goes in front of the most significant digit.
template <class T>
void put_grouped_digits(WorkText<T> &text, const char *digits, size_t count, const T *separator,
                        const T *grouping, size_t grouping_length, const Glyphs &glyphs) {
  GroupSizes<T> sizes(grouping, grouping_length, glyphs);
  int size = separator != nullptr ? sizes.next() : -1;
  if (size < 1) {
    put_digits(text, digits, count, glyphs);
    return;
  }
  bool repeating = false;
  int in_group = 0;
  T *at = text.front();
  T mark = *separator;
  uint8_t zero = glyphs.zero;
  for (size_t i = count; i > 0; --i) {
    if (in_group == size) {
      *--at = mark;
      in_group = 0;
      if (!repeating) {
        int next = sizes.next();
        if (next < 0) size = -1;  // the rest is one group
        else if (next == 0) repeating = true;
        else size = next;
      }
    }
    *--at = static_cast<T>(static_cast<uint8_t>(zero + (digits[i - 1] - '0')));
    ++in_group;
  }
  text.set_front(at);
}

}  // namespace pl
