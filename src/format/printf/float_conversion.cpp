#include "format/printf/float_conversion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "format/digits/binary_double.h"
#include "format/digits/decimal_writer.h"
#include "format/digits/fixed_digits.h"
#include "format/digits/significant_digits.h"

namespace pl {
namespace {

// The digit string is never rounded to more digits than this.
constexpr int kMaxDigits = 347;
// The fraction digits of the long fixed expansion.
constexpr int kLongFraction = 40;
// decpt of a magnitude below 1 whose 16-digit rounding is below 0.0001: only its
// being under -3 matters, since exponent notation below 1 takes the true exponent.
constexpr int kBelowFixed = -4;
// The 128-bit path takes digit strings cut at most this many places after the point.
constexpr int kShortFraction = 19;

// 10^17 - 5: sixteen 9s and a 5, where 16-digit rounding reaches the next power of ten.
constexpr uint64_t kRoundsUp16 = 99999999999999995u;

// |x| and where the point stands in its digit string.
struct Magnitude {
  double value;
  Binary binary;
  bool below_one;
  int decpt;           // from the 16-digit rule
  int integer_digits;  // before the point in the digit string (0 below 1)
  // The "%.40f" digits, once they are needed (always from 2^64 up).
  const char *long_digits = nullptr;
  size_t long_length = 0;
  char long_buffer[kFixedDigitsCapacity];
};

void build_long_digits(Magnitude &m) {
  FixedDigits digits = fixed_digits(m.value, kLongFraction, m.long_buffer, sizeof m.long_buffer);
  m.long_digits = m.long_buffer;
  m.long_length = digits.length;
  if (m.below_one) {  // the "0" before the point is not part of the string
    ++m.long_digits;
    --m.long_length;
  }
}

// Whether |x| rounded to 16 significant digits reaches 10^(digits) from below, where
// `digits` counts its integer digits; |x| is below 2^64, so the comparison is exact.
bool rounds_to_next_power(Binary b, int digits) {
  int k = digits - 1;
  if (k >= 16) {  // an integer
    uint128_t threshold = uint128_t{kRoundsUp16} * kPowers10[k - 16];
    return uint128_t{b.mantissa} << b.exponent >= threshold;
  }
  if (b.exponent >= 0) return false;  // an integer below 10^16 has no 17th digit
  return uint128_t{b.mantissa} * kPowers10[16 - k] >= uint128_t{kRoundsUp16} << -b.exponent;
}

// Whether |x| < 1 rounded to 16 digits is at least 0.0001: (10^17 - 5) * 10^-21.
bool fixed_below_one(Binary b) {
  int shift = -b.exponent;
  if (b.mantissa == 0) return true;  // zero: "%.16g" is "0"
  if (shift > 70) return false;      // below 2^-17
  return uint128_t{b.mantissa} * kPowers10[19] * 100u >= uint128_t{kRoundsUp16} << shift;
}

void analyze(double magnitude, Magnitude &m) {
  m.value = magnitude;
  m.binary = decompose(magnitude);
  m.below_one = magnitude < 1.0;
  if (m.below_one) {
    m.integer_digits = 0;
    m.decpt = fixed_below_one(m.binary) ? 0 : kBelowFixed;
    return;
  }
  if (magnitude >= 0x1p64) {  // an integer: its digits are exact
    build_long_digits(m);
    m.integer_digits = static_cast<int>(m.long_length) - kLongFraction;
    bool nines = std::all_of(m.long_digits, m.long_digits + 16, [](char c) { return c == '9'; });
    m.decpt = m.integer_digits + (nines && m.long_digits[16] >= '5' ? 1 : 0);
    return;
  }
  Binary b = m.binary;
  uint64_t whole = b.exponent >= 0 ? b.mantissa << b.exponent : b.mantissa >> -b.exponent;
  int digits = 1;
  while (digits < 20 && whole >= kPowers10[digits]) ++digits;
  m.integer_digits = digits;
  m.decpt = digits + (rounds_to_next_power(b, digits) ? 1 : 0);
}

// A digit string rounded to n digits: n of them, or n + 1 ("1" and zeros) after a carry.
struct Rounded {
  char digits[kMaxDigits + 2];
  int length;
  bool carried;
};

// The half-up rounding to n digits of a digit string, padded with zeros.
void round_text(const char *source, size_t source_length, int n, Rounded &r) {
  size_t count = static_cast<size_t>(n);
  size_t taken = std::min(count, source_length);
  std::memcpy(r.digits, source, taken);
  std::memset(r.digits + taken, '0', count - taken);
  r.length = n;
  r.carried = false;
  if (count >= source_length || source[count] < '5') return;
  int i = n - 1;
  for (; i >= 0 && r.digits[i] == '9'; --i) r.digits[i] = '0';
  if (i >= 0) {
    ++r.digits[i];
    return;
  }
  r.digits[0] = '1';
  std::memset(r.digits + 1, '0', count);
  r.length = n + 1;
  r.carried = true;
}

// The same rounding of the "%.40f" digits from 128 bits: the first n + 1 digits are
// floor(|x| * 10^cut) unless the 40th-digit rounding carries into them. For |x| >= 1
// the fraction is a multiple of 2^-52 whose distance below the next unit never
// reaches the carry's 10^-21; below 1, one 128-bit compare rules it out, or the
// caller takes the long way.
bool round_short(const Magnitude &m, int n, Rounded &r) {
  int cut = n + 1 - m.integer_digits;  // fraction digits of the n + 1 digits
  if (cut > kShortFraction || m.long_digits != nullptr) return false;
  Binary b = m.binary;
  uint128_t prefix;
  if (b.exponent >= 0) {
    uint64_t whole = b.mantissa << b.exponent;
    prefix = cut >= 0 ? uint128_t{whole} * kPowers10[cut] : whole / kPowers10[-cut];
  } else if (cut < 0) {
    prefix = (b.mantissa >> -b.exponent) / kPowers10[-cut];
  } else {
    int shift = -b.exponent;
    uint128_t product = uint128_t{b.mantissa} * kPowers10[cut];
    if (shift >= 128) {
      prefix = 0;  // the product is below 2^117
    } else {
      prefix = product >> shift;
      if (shift > 70) {
        uint128_t gap = (uint128_t{1} << shift) - (product - (prefix << shift));
        if (gap <= uint128_t{1} << (shift - 70)) return false;
      }
    }
  }
  uint128_t value = prefix / 10 + (prefix % 10 >= 5 ? 1 : 0);
  char text[48];
  char *end = text + sizeof text;
  int count = value == 0 ? 0 : static_cast<int>(end - write_decimal(value, end));
  r.carried = count > n;
  r.length = r.carried ? n + 1 : n;
  std::memset(r.digits, '0', static_cast<size_t>(r.length - count));
  std::memcpy(r.digits + r.length - count, end - count, static_cast<size_t>(count));
  return true;
}

// The "%.40f" digit string rounded to n digits.
void round_long(Magnitude &m, int n, Rounded &r) {
  if (round_short(m, n, r)) return;
  if (m.long_digits == nullptr) build_long_digits(m);
  round_text(m.long_digits, m.long_length, n, r);
}

// The significant digit string of a magnitude below 1 rounded to n digits; returns
// its decpt (before the carry).
int round_significant(const Magnitude &m, int n, Rounded &r) {
  char digits[kSignificantDigits];
  int exponent = significant_digits(m.value, digits);
  round_text(digits, kSignificantDigits, n, r);
  return exponent + 1;
}

struct Writer {
  char *out;
  size_t length = 0;
  void put(char c) { out[length++] = c; }
  void put(const char *text, int count) {
    std::memcpy(out + length, text, static_cast<size_t>(count));
    length += static_cast<size_t>(count);
  }
};

// The exponent as "%+.3d" writes it: a sign and at least three digits.
void put_exponent(Writer &w, int exponent, bool upper_case) {
  w.put(upper_case ? 'E' : 'e');
  w.put(exponent < 0 ? '-' : '+');
  char text[8];
  char *end = text + sizeof text;
  char *first = write_decimal(static_cast<uint64_t>(exponent < 0 ? -exponent : exponent), end);
  while (end - first < 3) *--first = '0';
  w.put(first, static_cast<int>(end - first));
}

// Integer digits (all but the last `fraction`, "0" when none), then the point and
// `shown` of the fraction digits when `shown` > 0.
void put_fixed(Writer &w, const Rounded &r, int fraction, int shown) {
  int whole = r.length - fraction;
  if (whole > 0) {
    w.put(r.digits, whole);
  } else {
    w.put('0');
  }
  if (shown > 0) {
    w.put('.');
    w.put(r.digits + r.length - fraction, shown);
  }
}

// First digit, then the point and `more` digits when `more` > 0, then the exponent.
void put_scientific(Writer &w, const Rounded &r, int more, int exponent, bool upper_case) {
  w.put(r.digits[0]);
  if (more > 0) {
    w.put('.');
    w.put(r.digits + 1, more);
  }
  put_exponent(w, exponent, upper_case);
}

void exponent_form(Writer &w, Magnitude &m, int precision, bool upper_case) {
  precision = std::min(precision, kMaxDigits - 1);
  Rounded r;
  if (m.value == 0) {
    round_text("0", 1, precision + 1, r);
    put_scientific(w, r, precision, 0, upper_case);
    return;
  }
  int decpt = m.decpt;
  if (m.below_one) {
    decpt = round_significant(m, precision + 1, r);
  } else {
    round_long(m, precision + 1, r);
  }
  put_scientific(w, r, precision, decpt + (r.carried ? 1 : 0) - 1, upper_case);
}

void fixed_form(Writer &w, Magnitude &m, int precision) {
  int whole = std::max(m.decpt, 0);
  precision = std::min(precision, kMaxDigits - whole);
  Rounded r;
  round_long(m, precision + whole, r);
  put_fixed(w, r, precision, precision);
}

void general_form(Writer &w, Magnitude &m, int precision, bool upper_case) {
  int x = m.decpt - 1;
  Rounded r;
  if (x >= -1 && x <= precision - 1) {
    int whole = std::max(m.decpt, 0);
    precision = std::min(precision, kMaxDigits - whole);
    round_long(m, whole + precision, r);
    put_fixed(w, r, precision, precision >= 2 ? precision : 0);
    if (precision >= 2) {
      while (w.out[w.length - 1] == '0') --w.length;
      if (w.out[w.length - 1] == '.') --w.length;
    }
    return;
  }
  precision = std::min(precision, kMaxDigits - 1);
  int n = precision == 1 ? 1 : precision + 1;
  int decpt = m.decpt;
  if (m.below_one) {
    decpt = round_significant(m, n, r);
  } else {
    round_long(m, n, r);
  }
  put_scientific(w, r, precision - 1, decpt + (r.carried ? 1 : 0) - 1, upper_case);
}

void special_text(Writer &w, double value, bool upper_case) {
  const char *word = value != value ? (upper_case ? "NAN" : "nan") : (upper_case ? "INF" : "inf");
  if (value < 0) w.put('-');
  w.put(word, 3);
}

// ASCII text to the EBCDIC glyphs of the same characters.
void to_ebcdic(char *text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned char e;
    if (c >= '0' && c <= '9') {
      e = static_cast<unsigned char>(0xF0 + (c - '0'));
    } else {
      switch (c) {
        case '.': e = 0x4B; break;
        case '+': e = 0x4E; break;
        case '-': e = 0x60; break;
        case 'e': e = 0x85; break;
        case 'E': e = 0xC5; break;
        case 'i': e = 0x89; break;
        case 'n': e = 0x95; break;
        case 'f': e = 0x86; break;
        case 'a': e = 0x81; break;
        case 'I': e = 0xC9; break;
        case 'N': e = 0xD5; break;
        case 'F': e = 0xC6; break;
        case 'A': e = 0xC1; break;
        default: e = c; break;  // nothing else is written
      }
    }
    text[i] = static_cast<char>(e);
  }
}

}  // namespace

size_t format_double(double value, char *out, char conversion, int precision,
                     bool upper_case, bool ascii_based) {
  Writer w{out};
  precision = std::max(precision, 0);
  double magnitude = value < 0 ? -value : value;
  if (magnitude - magnitude != 0) {  // infinity or NaN
    special_text(w, value, upper_case);
  } else {
    if (value < 0) w.put('-');
    Magnitude m;
    analyze(magnitude, m);
    if (conversion == 'e') {
      exponent_form(w, m, precision, upper_case);
    } else if (conversion == 'f') {
      fixed_form(w, m, precision);
    } else {
      general_form(w, m, std::max(precision, 1), upper_case);
    }
  }
  if (!ascii_based) to_ebcdic(out, w.length);
  out[w.length] = '\0';
  return w.length;
}

}  // namespace pl
