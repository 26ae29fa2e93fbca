// The tokens of plain-mode code-set text read byte by byte, beside NumberTokenizer.
// In an ASCII-based set without shift states every byte below 0x80 at a character
// start is a one-byte character, so a walk that stops at the first other byte is
// always at a character start and can value the bytes directly. The first byte whose
// token it cannot tell for sure ends the walk with kTokenNone and raises the hand-over
// flag: the caller then reads the whole text again with NumberTokenizer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/charset_view.h"
#include "format/parse/digit_values.h"
#include "format/parse/number_tokens.h"
#include "frame/handle.h"
#include "locale/info_items.h"
#include "polyloc.h"

namespace pl {

// The handle's separator or decimal point byte as a unit, -1 for none.
inline int32_t handle_character(const PLLocale &handle, int32_t item) {
  uint8_t b = static_cast<uint8_t>(handle.separators[separator_of(item)][0]);
  return b != 0 ? b : -1;
}

// Whether a separator or point leaves the byte walk right: no digit, letter or plain
// sign, whose bytes the walk values without asking, and a non-ASCII byte only where
// every byte is a character. The walk compares with both before anything else, as
// the tokenizer does with its separator, point and white-space tests.
inline bool walkable_item(int32_t unit, bool single_byte) {
  if (unit < 0) return true;
  if (unit >= 0x80) return single_byte;
  return kAsciiDigitValues[static_cast<size_t>(unit)] < 0 && unit != '+' && unit != '-';
}

class ByteTokens {
 public:
  // `n` is the length, or kUnbounded for text that ends at its NUL.
  static constexpr size_t kUnbounded = static_cast<size_t>(-1);

  ByteTokens(const CharsetView &set, const uint8_t *s, size_t n, int32_t separator,
             int32_t point, bool *handed_over)
      : set_(set), s_(s), n_(n), separator_(separator), point_(point), handed_over_(handed_over) {}

  int32_t peek() {
    if (!peeked_) {
      token_ = scan();
      peeked_ = true;
    }
    return token_;
  }

  void take() {
    at_ = next_;
    peeked_ = false;
  }

  TextCursor cursor() const { return {at_, kSingleByteState}; }

  // As NumberTokenizer::take_digits: a digit's byte is never a separator, point, sign
  // or space, so the table alone decides the run.
  template <class Digit>
  void take_digits(int32_t base, Digit digit) {
    if (peeked_) {
      if (!is_digit_token(token_, base)) return;
      take();
      if (!digit(token_)) return;
    }
    size_t at = at_;
    const uint32_t limit = static_cast<uint32_t>(base);
    for (; at < n_; ++at) {
      uint32_t value = static_cast<uint32_t>(kAsciiDigitValues[s_[at]]);
      if (value >= limit) break;
      if (!digit(static_cast<int32_t>(value))) {
        at_ = at + 1;
        return;
      }
    }
    at_ = at;
    peek();
  }

  // The signs are always + and -.
  void plain_signs() {}

 private:
  // Whether the walk can tell the token of `b`: an ASCII byte, and a NUL only where it
  // ends the text.
  bool known(uint8_t b) const { return b < 0x80 && (b != 0 || n_ == kUnbounded); }

  int32_t hand_over() {
    *handed_over_ = true;
    next_ = at_;
    return kTokenNone;
  }

  // The tokenizer's tests in an order that gives the same answers: separator and
  // point first (white space and the table never take them), then white space, the
  // signs and the table.
  int32_t scan() {
    next_ = at_;
    if (at_ >= n_) return kTokenNone;
    uint8_t b = s_[at_];
    next_ = at_ + 1;
    if (b == separator_) return kTokenSeparator;
    if (b == point_) return kTokenPoint;
    if (!known(b)) return hand_over();
    if (b == 0) return kTokenNone;
    if (space(b)) {
      for (; next_ < n_; ++next_) {
        uint8_t c = s_[next_];
        if (c == separator_ || c == point_) break;
        if (!known(c)) return hand_over();
        if (c == 0 || !space(c)) break;
      }
      return kTokenSpace;
    }
    if (b == '+') return kTokenPlus;
    if (b == '-') return kTokenMinus;
    return kAsciiDigitValues[b];
  }

  bool space(uint8_t b) const { return (set_.byte_type(b) & PL_CLASS_SPACE) != 0; }

  CharsetView set_;
  const uint8_t *s_;
  size_t n_;
  int32_t separator_, point_;
  bool *handed_over_;
  size_t at_ = 0, next_ = 0;
  int32_t token_ = kTokenNone;
  bool peeked_ = false;
};

}  // namespace pl
