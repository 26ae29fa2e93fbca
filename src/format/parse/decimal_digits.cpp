#include "format/parse/decimal_digits.h"

#include <cerrno>
#include <cstdlib>

namespace pl {
namespace {

constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int64_t kLargestExactPower = 22;
constexpr uint64_t kExactIntegers = uint64_t{1} << 53;

// Beyond this every exponent gives 0 or infinity for at most kKept + 1 digits, and the
// text of it stays short.
constexpr int64_t kExponentLimit = 999999999;

}  // namespace

bool DecimalDigits::exact(int64_t exponent, double *out) const {
  if (sticky_) return false;
  // Digits behind the first kFastDigits must all be zeros: they only scale.
  for (size_t i = kFastDigits; i < count_; ++i)
    if (digits_[i] != '0') return false;
  if (count_ > kFastDigits) exponent += static_cast<int64_t>(count_ - kFastDigits);
  return exact_product(leading_, exponent, out);
}

bool DecimalDigits::exact_product(uint64_t m, int64_t exponent, double *out) {
  for (; m >= kExactIntegers || exponent < -kLargestExactPower; ++exponent) {
    if (m % 10 != 0) return false;
    m /= 10;
  }
  if (exponent > kLargestExactPower) return false;
  // An exact integer times or over an exact power of ten: one rounding.
  double v = static_cast<double>(m);
  *out = exponent < 0 ? v / kExactPowers[-exponent] : v * kExactPowers[exponent];
  return true;
}

double DecimalDigits::rounded(int64_t exponent) const {
  // Digits and an exponent, no decimal point, so that the C library's locale plays no
  // part; a dropped tail is one more nonzero digit.
  char text[kKept + 1 + 12];  // digits, sticky digit, e-999999999, NUL
  size_t length = 0;
  for (size_t i = 0; i < count_; ++i) text[length++] = digits_[i];
  if (sticky_) {
    text[length++] = '1';
    --exponent;
  }
  if (exponent > kExponentLimit) exponent = kExponentLimit;
  if (exponent < -kExponentLimit) exponent = -kExponentLimit;
  text[length++] = 'e';
  if (exponent < 0) text[length++] = '-';
  uint64_t e = static_cast<uint64_t>(exponent < 0 ? -exponent : exponent);
  char reversed[20];
  size_t k = 0;
  do reversed[k++] = static_cast<char>('0' + e % 10);
  while ((e /= 10) != 0);
  while (k > 0) text[length++] = reversed[--k];
  text[length] = '\0';
  int saved = errno;
  double v = std::strtod(text, nullptr);
  errno = saved;
  return v;
}

double DecimalDigits::value(bool negative) const {
  double magnitude = 0.0;
  if (count_ != 0) {
    int64_t exponent = scale_ + (exponent_negative_ ? -exponent_ : exponent_);
    if (!exact(exponent, &magnitude)) magnitude = rounded(exponent);
  }
  return negative ? -magnitude : magnitude;
}

}  // namespace pl
