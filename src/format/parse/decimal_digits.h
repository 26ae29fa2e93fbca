// The digits of a decimal number as the parser accepts them, and the correctly
// rounded double they stand for.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pl {

class DecimalDigits {
 public:
  void integer_digit(int32_t d) {
    seen_ = true;
    if (count_ == 0 && d == 0) return;
    if (count_ == kKept) {
      ++scale_;
      sticky_ |= d != 0;
      return;
    }
    keep(d);
  }

  void fraction_digit(int32_t d) {
    seen_ = true;
    if (count_ == kKept) {
      sticky_ |= d != 0;
      return;
    }
    --scale_;
    if (count_ == 0 && d == 0) return;
    keep(d);
  }

  void exponent_digit(int32_t d) {
    if (exponent_ < kExponentCap) exponent_ = exponent_ * 10 + d;
  }
  void negative_exponent() { exponent_negative_ = true; }

  // Whether a digit of the mantissa was read.
  bool any() const { return seen_; }

  // The nearest double (ties to even) to the digits read, with the sign applied last.
  double value(bool negative) const;

  // m × 10^exponent when one multiplication or division of exact doubles gives it;
  // false otherwise.
  static bool exact_product(uint64_t m, int64_t exponent, double *out);

 private:
  // The value of the digits times 10^exponent when one multiplication or division of
  // exact doubles gives it; false otherwise.
  bool exact(int64_t exponent, double *out) const;
  // The value by the C library's correctly rounded conversion.
  double rounded(int64_t exponent) const;

  void keep(int32_t d) {
    digits_[count_++] = static_cast<char>('0' + d);
    if (count_ <= kFastDigits) leading_ = leading_ * 10 + static_cast<uint64_t>(d);
  }

  // Every decimal number lies on the same side of each midpoint between doubles as its
  // first 768 significant digits followed by a nonzero digit when any digit after them
  // is nonzero: no midpoint has more than 768 significant digits.
  static constexpr size_t kKept = 768;
  // The exponent stops growing here, far beyond where every result is 0 or infinite.
  static constexpr int32_t kExponentCap = 100000000;
  static constexpr size_t kFastDigits = 19;  // as many as always fit in 64 bits

  char digits_[kKept];    // significant digits, from the first nonzero one
  size_t count_ = 0;
  uint64_t leading_ = 0;  // the first kFastDigits of them as a number
  bool sticky_ = false;   // a nonzero digit was dropped behind them
  bool seen_ = false;
  int64_t scale_ = 0;     // the number is digits_ × 10^(scale_ + exponent)
  int32_t exponent_ = 0;
  bool exponent_negative_ = false;
};

}  // namespace pl
