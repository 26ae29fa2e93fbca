// The common shapes of plain numbers read in one pass over the bytes: a sign, decimal
// digits with thousands separators between them, for a double a point and fraction
// digits. The conditions are ByteTokens' (byte_tokens.h): every byte looked at is at a
// character start, and the separator and point are neither digits nor signs. Whatever
// else a text holds (white space first, a prefix, an exponent, many digits, a value
// that takes more than one rounding) is left to ByteTokens: the walk returns false.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/parse/decimal_digits.h"
#include "format/parse/parse_double.h"
#include "format/parse/parse_long.h"

namespace pl {

class ByteWalk {
 public:
  // `n` as ByteTokens: the length, or ByteTokens::kUnbounded up to the NUL.
  ByteWalk(const uint8_t *s, size_t n, int32_t separator, int32_t point)
      : s_(s), n_(n), separator_(separator), point_(point) {}

  // A decimal integer. Behind the digits only a separator with a digit after it can
  // go on: every other token ends the number, whatever it is.
  bool read_long(int32_t base, bool is_unsigned, LongParse *out) const {
    return n_ == kUnbounded ? long_in<false>(base, is_unsigned, out)
                            : long_in<true>(base, is_unsigned, out);
  }

  // A sign, integer digits with separators, a point and fraction digits, of at most
  // kDigits significant digits and a value one rounding gives. Behind the integer
  // digits only the separator, the point and an exponent marker go on; behind the
  // fraction only an exponent marker.
  bool read_double(DoubleParse *out) const {
    return n_ == kUnbounded ? double_in<false>(out) : double_in<true>(out);
  }

 private:
  static constexpr int32_t kDigits = 19;  // as many as always fit in 64 bits
  static constexpr size_t kUnbounded = static_cast<size_t>(-1);

  // The byte at `at`: -1 at the end of a text with a length; text that ends at its NUL
  // needs no test, the NUL ends every loop.
  template <bool Bounded>
  int32_t byte(size_t at) const {
    if constexpr (Bounded) return at < n_ ? s_[at] : -1;
    return s_[at];
  }
  static uint32_t digit(int32_t b) { return static_cast<uint32_t>(b - '0'); }
  static bool is_marker(int32_t b) { return b == 'e' || b == 'E' || b == 'd' || b == 'D'; }

  template <bool Bounded>
  bool long_in(int32_t base, bool is_unsigned, LongParse *out) const {
    auto byte = [this](size_t at) { return this->byte<Bounded>(at); };
    if (base != 10) return false;
    size_t at = 0;
    int32_t b = byte(at);
    bool negative = b == '-';
    if (negative && is_unsigned) {
      *out = {0, {0, kSingleByteState}};
      return true;
    }
    if (b == '-' || b == '+') b = byte(++at);
    if (digit(b) >= 10) return false;
    const uint64_t limit = long_limit(is_unsigned);
    uint64_t value = 0;
    bool overflow = false;
    for (;;) {
      for (uint32_t d; (d = digit(b)) < 10; b = byte(++at)) {
        value = value * 10 + d;
        if (value > limit) {
          overflow = true;
          ++at;
          break;
        }
      }
      if (overflow || b != separator_ || digit(byte(at + 1)) >= 10) break;
      b = byte(++at);
    }
    *out = {long_value(value, overflow, negative, is_unsigned), {at, kSingleByteState}};
    return true;
  }

  template <bool Bounded>
  bool double_in(DoubleParse *out) const {
    auto byte = [this](size_t at) { return this->byte<Bounded>(at); };
    size_t at = 0;
    int32_t b = byte(at);
    bool negative = b == '-';
    if (b == '-' || b == '+') b = byte(++at);
    uint64_t m = 0;
    int32_t kept = 0;
    int64_t scale = 0;
    bool any = false;
    for (uint32_t d;;) {
      for (; (d = digit(b)) < 10; b = byte(++at)) {
        any = true;
        if (m == 0 && d == 0) continue;
        if (++kept > kDigits) return false;
        m = m * 10 + d;
      }
      if (!any || b != separator_ || digit(byte(at + 1)) >= 10) break;
      b = byte(++at);
    }
    // Where the point is the separator's byte it always reads as the separator.
    if (b == point_ && point_ != separator_) {
      b = byte(++at);
      if (!any && digit(b) >= 10) return false;  // a point alone: ByteTokens decides
      for (uint32_t d; (d = digit(b)) < 10; b = byte(++at)) {
        any = true;
        --scale;
        if (m == 0 && d == 0) continue;
        if (++kept > kDigits) return false;
        m = m * 10 + d;
      }
    }
    if (!any || is_marker(b)) return false;
    double magnitude = 0.0;
    if (m != 0 && !DecimalDigits::exact_product(m, scale, &magnitude)) return false;
    *out = {negative ? -magnitude : magnitude, {at, kSingleByteState}};
    return true;
  }

  const uint8_t *s_;
  size_t n_;
  int32_t separator_, point_;
};

}  // namespace pl
