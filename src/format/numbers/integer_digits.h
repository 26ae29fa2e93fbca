// A 32-bit magnitude written straight into the work buffer in the output's glyphs,
// two digits per step from the pair table and grouped as it goes: the integer itself
// tells where a group ends, so no digit text is built first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "format/digits/decimal_writer.h"
#include "format/numbers/grouping.h"
#include "format/numbers/work_text.h"

namespace pl {

// Digits leftwards from `end`; `shift` turns an ASCII digit into the output's (0 for
// ASCII, 0xC0 for EBCDIC; no digit carries out of its byte).
template <class T>
class DigitWriter {
 public:
  DigitWriter(T *end, uint8_t zero) : at_(end), shift_(static_cast<uint8_t>(zero - '0')) {}

  // The pair 00..99.
  void pair(uint32_t value) {
    const char *texts = kTwoDigitTexts + 2 * value;
    at_ -= 2;
    if constexpr (sizeof(T) == 1) {
      uint16_t two;
      std::memcpy(&two, texts, 2);
      two = static_cast<uint16_t>(two + shift_ * 0x0101u);
      std::memcpy(at_, &two, 2);
    } else {
      at_[0] = glyph(texts[0]);
      at_[1] = glyph(texts[1]);
    }
  }
  void digit(uint32_t value) { *--at_ = glyph(static_cast<char>('0' + value)); }
  void put(T c) { *--at_ = c; }

  // Exactly `count` digits of `value` < 10^count.
  void fixed(uint32_t value, int count) {
    for (; count >= 2; count -= 2) {
      pair(value % 100);
      value /= 100;
    }
    if (count == 1) digit(value);
  }
  // The digits of `value`, one 0 for zero.
  void all(uint32_t value) {
    while (value >= 100) {
      pair(value % 100);
      value /= 100;
    }
    if (value >= 10) pair(value);
    else digit(value);
  }

  T *front() const { return at_; }

 private:
  T glyph(char ascii) const { return static_cast<T>(static_cast<uint8_t>(ascii + shift_)); }

  T *at_;
  uint8_t shift_;
};

inline constexpr uint32_t kPowers10u32[10] = {1,      10,      100,      1000,      10000,
                                               100000, 1000000, 10000000, 100000000, 1000000000};

// Puts `value` in front, grouped as put_grouped_digits groups its digit text: a
// separator after each group of the current size while digits remain, the next size
// read then (0 repeats, the end stops). A group of ten digits or more is the rest.
template <class T>
void put_grouped_integer(WorkText<T> &text, uint32_t value, const T *separator,
                         GroupSizes<T> sizes, const Glyphs &glyphs) {
  DigitWriter<T> out(text.front(), glyphs.zero);
  int size = separator != nullptr ? sizes.next() : -1;
  if (size >= 1) {
    bool repeating = false;
    while (size <= 9 && value >= kPowers10u32[size]) {
      if (size == 3) {
        // The usual size, with a divisor the compiler can multiply by.
        out.fixed(value % 1000, 3);
        value /= 1000;
      } else {
        out.fixed(value % kPowers10u32[size], size);
        value /= kPowers10u32[size];
      }
      out.put(*separator);
      if (repeating) continue;
      int next = sizes.next();
      if (next < 0) break;  // the rest is one group
      if (next == 0) repeating = true;
      else size = next;
    }
  }
  out.all(value);
  text.set_front(out.front());
}

}  // namespace pl
