// The printf engine's floating text against its construction from the C library's
// own expansions: "%.40f" for the digit string, "%.16g" for the point's place,
// "%.39e" for the significant digits of exponent notation below 1, then the half-up
// rounding, the three layouts and the glyphs, written here from those strings.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "format/printf/float_conversion.h"

namespace {

using std::string;

string print(const char *format, int precision, double x) {
  char text[800];
  std::snprintf(text, sizeof text, format, precision, x);
  return text;
}

struct DigitString {
  string digits;
  int decpt;
};

// The digits of "%.40f" (the fraction alone below 1) and decpt from "%.16g".
DigitString long_expansion(double a) {
  string fixed = print("%.*f", 40, a);
  size_t point = fixed.find('.');
  string digits = a >= 1 ? fixed.substr(0, point) + fixed.substr(point + 1) : fixed.substr(point + 1);
  string general = print("%.*g", 16, a);
  size_t letter = general.find('e');
  int decpt;
  if (letter != string::npos) {
    decpt = std::atoi(general.c_str() + letter + 1) + 1;
  } else {
    size_t dot = general.find('.');
    decpt = static_cast<int>(dot == string::npos ? general.size() : dot) - (a < 1 ? 1 : 0);
  }
  return {digits, decpt};
}

// Below 1 in exponent notation: the 40 digits of "%.39e" and its exponent + 1.
DigitString significant_expansion(double a) {
  string text = print("%.*e", 39, a);
  size_t letter = text.find('e');
  return {text.substr(0, 1) + text.substr(2, letter - 2), std::atoi(text.c_str() + letter + 1) + 1};
}

// Half-up rounding to n digits; a carry out of the first adds a digit and 1 to decpt.
string round_half_up(const DigitString &s, int n, int &decpt) {
  decpt = s.decpt;
  string kept = s.digits.substr(0, static_cast<size_t>(std::max(n, 0)));
  kept.resize(static_cast<size_t>(std::max(n, 0)), '0');
  if (static_cast<size_t>(n) >= s.digits.size() || s.digits[static_cast<size_t>(n)] < '5') return kept;
  int i = n - 1;
  for (; i >= 0 && kept[static_cast<size_t>(i)] == '9'; --i) kept[static_cast<size_t>(i)] = '0';
  if (i >= 0) {
    ++kept[static_cast<size_t>(i)];
    return kept;
  }
  ++decpt;
  return "1" + kept;
}

string exponent_text(int exponent, bool upper) {
  char text[16];
  std::snprintf(text, sizeof text, "%c%+.3d", upper ? 'E' : 'e', exponent);
  return text;
}

string fixed_layout(const string &digits, int fraction, int shown) {
  int whole = static_cast<int>(digits.size()) - fraction;
  string text = whole > 0 ? digits.substr(0, static_cast<size_t>(whole)) : "0";
  if (shown > 0) text += "." + digits.substr(digits.size() - static_cast<size_t>(fraction), static_cast<size_t>(shown));
  return text;
}

string scientific_layout(const string &digits, int more, int exponent, bool upper) {
  string text = digits.substr(0, 1);
  if (more > 0) text += "." + digits.substr(1, static_cast<size_t>(more));
  return text + exponent_text(exponent, upper);
}

string ebcdic(string text) {
  for (char &c : text) {
    const char *from = "0123456789.+-eEinfaINFA";
    const unsigned char to[] = {0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x4B, 0x4E,
                                0x60, 0x85, 0xC5, 0x89, 0x95, 0x86, 0x81, 0xC9, 0xD5, 0xC6, 0xC1};
    c = static_cast<char>(to[std::strchr(from, c) - from]);
  }
  return text;
}

constexpr int kMaxDigits = 347;

string expected(double x, char conversion, int p, bool upper, bool ascii) {
  string text;
  double a = std::fabs(x);
  if (std::isnan(x)) {
    text = upper ? "NAN" : "nan";
  } else if (std::isinf(x)) {
    text = string(x < 0 ? "-" : "") + (upper ? "INF" : "inf");
  } else {
    text = x < 0 ? "-" : "";
    DigitString d = long_expansion(a);
    int decpt;
    if (conversion == 'e') {
      p = std::min(p, kMaxDigits - 1);
      if (a == 0) {
        text += scientific_layout(string(static_cast<size_t>(p) + 1, '0'), p, 0, upper);
      } else {
        string r = round_half_up(a < 1 ? significant_expansion(a) : d, p + 1, decpt);
        text += scientific_layout(r, p, decpt - 1, upper);
      }
    } else if (conversion == 'f') {
      int whole = std::max(d.decpt, 0);
      p = std::min(p, kMaxDigits - whole);
      text += fixed_layout(round_half_up(d, p + whole, decpt), p, p);
    } else {
      p = std::max(p, 1);
      int x10 = d.decpt - 1;
      if (x10 >= -1 && x10 <= p - 1) {
        p = std::min(p, kMaxDigits - std::max(d.decpt, 0));
        string fixed = fixed_layout(round_half_up(d, d.decpt + p, decpt), p, p >= 2 ? p : 0);
        if (p >= 2) {
          fixed.erase(fixed.find_last_not_of('0') + 1);
          if (fixed.back() == '.') fixed.pop_back();
        }
        text += fixed;
      } else {
        p = std::min(p, kMaxDigits - 1);
        string r = round_half_up(a < 1 ? significant_expansion(a) : d, p == 1 ? 1 : p + 1, decpt);
        text += scientific_layout(r.substr(0, static_cast<size_t>(p) + 1), p - 1, decpt - 1, upper);
      }
    }
  }
  return ascii ? text : ebcdic(text);
}

string actual(double x, char conversion, int p, bool upper, bool ascii) {
  char out[pl::kFloatTextCapacity];
  std::memset(out, 0x7F, sizeof out);
  size_t length = pl::format_double(x, out, conversion, p, upper, ascii);
  EXPECT_LT(length, sizeof out);
  EXPECT_EQ(out[length], '\0');
  return string(out, length);
}

double from_bits(uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// Doubles from every corner, both signs.
double some_double(std::mt19937_64 &random, size_t i, int precision) {
  double x;
  switch (i % 8) {
    case 0: {  // any bit pattern (infinities and NaN too), now and then a subnormal
      uint64_t bits = random();
      if (random() % 50 == 0) bits &= ~(uint64_t{0x7FF} << 52);
      x = from_bits(bits);
      break;
    }
    case 1:  // ties and near ties at the rounded digit, above and below 1
      x = std::ldexp(static_cast<double>(2 * (random() % (1u << 30)) + 1),
                     -(precision + 1 + static_cast<int>(random() % 4)));
      break;
    case 2: x = from_bits(random() % (uint64_t{1} << 52)); break;  // subnormals
    case 3: x = std::ldexp(static_cast<double>(random() >> 11), 53 + static_cast<int>(random() % 80)); break;
    case 4: {  // powers of ten and their neighbours
      double power = std::pow(10.0, static_cast<int>(random() % 640) - 323);
      int step = static_cast<int>(random() % 5) - 2;
      x = power;
      for (; step < 0; ++step) x = std::nextafter(x, 0.0);
      for (; step > 0; --step) x = std::nextafter(x, HUGE_VAL);
      break;
    }
    case 5: x = std::nextafter(std::numeric_limits<double>::max(), 0.0) / static_cast<double>(1 + random() % 8); break;
    case 6: x = static_cast<double>(random() % 2000000) / 1000.0; break;  // amounts
    default: x = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 120) - 100); break;
  }
  return random() % 2 ? -x : x;
}

bool full_sweep() {
  const char *flag = std::getenv("POLYLOC_FULL_SWEEP");
  return flag != nullptr && std::strcmp(flag, "1") == 0;
}

TEST(FloatConversion, MatchesTheConstructionFromTheCLibrary) {
  size_t count = full_sweep() ? 10000000 : 200000;
  std::mt19937_64 random(20240611);
  auto start = std::chrono::steady_clock::now();
  size_t failures = 0;
  for (size_t i = 0; i < count && failures < 20; ++i) {
    int p = random() % 16 == 0 ? static_cast<int>(random() % 61) : static_cast<int>(random() % 21);
    if (random() % 2000 == 0) p = static_cast<int>(random() % 400);
    double x = some_double(random, i, p);
    bool ascii = random() % 4 != 0;
    for (char conversion : {'e', 'f', 'g'}) {
      bool upper = random() % 2 == 0;
      string want = expected(x, conversion, p, upper, ascii);
      string got = actual(x, conversion, p, upper, ascii);
      if (got != want) {
        ++failures;
        ADD_FAILURE() << std::hexfloat << x << " " << conversion << " P=" << p << " upper=" << upper
                      << " ascii=" << ascii << "\n  want " << want << "\n  got  " << got;
      }
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%zu values in %.1f s\n", count, seconds);
}

// Every place where a shortcut could read the expansions differently: magnitudes
// whose 16-digit rounding reaches a power of ten, and magnitudes next to powers of
// ten (where the 40-digit roundings could carry). Two neighbours each side.
TEST(FloatConversion, ThresholdsOfEveryDecade) {
  for (int k = -330; k <= 310; ++k) {
    char text[48];
    std::snprintf(text, sizeof text, "99999999999999995e%d", k - 16);
    for (double centre : {std::strtod(text, nullptr), std::pow(10.0, k)}) {
      if (!std::isfinite(centre) || centre == 0) continue;
      double x = std::nextafter(std::nextafter(centre, 0.0), 0.0);
      for (int step = 0; step < 5; ++step, x = std::nextafter(x, HUGE_VAL)) {
        for (int p : {0, 1, 2, 6, 15, 16, 17, 20}) {
          for (char conversion : {'e', 'f', 'g'}) {
            ASSERT_EQ(actual(x, conversion, p, false, true), expected(x, conversion, p, false, true))
                << std::hexfloat << x << " " << conversion << " P=" << p;
          }
        }
      }
    }
  }
}

struct Case {
  double value;
  char conversion;
  int precision;
  bool upper;
  const char *text;
};

// The layouts' own corners, and the choices for what the digit rules leave open.
TEST(FloatConversion, Corners) {
  const Case cases[] = {
      {1.5, 'e', 6, false, "1.500000e+000"},    {-1234.5, 'e', 6, false, "-1.234500e+003"},
      {9.9999999, 'e', 6, false, "1.000000e+001"}, {0.005, 'f', 2, false, "0.01"},
      {123.456, 'f', 2, false, "123.46"},       {2.5, 'f', 0, false, "3"},
      {0.7, 'f', 0, false, "1"},                {100000, 'g', 6, false, "100000"},
      {1000000, 'g', 6, false, "1.00000e+006"}, {1e10, 'g', 6, true, "1.00000E+010"},
      {0.5, 'g', 6, false, "0.5"},              {0.0001, 'g', 6, false, "0.0001"},
      {0.5, 'g', 1, false, "0"},                {0.00001, 'e', 6, false, "1.000000e-005"},
      {0.05, 'e', 6, false, "5.000000e-002"},   {0.0, 'e', 6, false, "0.000000e+000"},
      {-0.0, 'f', 2, false, "0.00"},            {0.0, 'g', 6, false, "0"},
      {HUGE_VAL, 'f', 2, false, "inf"},         {-HUGE_VAL, 'e', 6, true, "-INF"},
      {std::nan(""), 'g', 6, false, "nan"},     {1e300, 'f', 0, false, nullptr},
  };
  for (const Case &c : cases) {
    string want = c.text != nullptr ? c.text : print("%.*f", 0, c.value);
    EXPECT_EQ(actual(c.value, c.conversion, c.precision, c.upper, true), want)
        << c.value << " " << c.conversion << c.precision;
    EXPECT_EQ(actual(c.value, c.conversion, c.precision, c.upper, false), ebcdic(want));
  }
}

TEST(FloatConversion, LongPrecisionsStayInTheBuffer) {
  for (double x : {std::numeric_limits<double>::max(), 1.0, 4.9e-324, -1e-300}) {
    for (char conversion : {'e', 'f', 'g'}) {
      EXPECT_LT(actual(x, conversion, 100000, false, true).size(), 360u);
      EXPECT_EQ(actual(x, conversion, 100000, false, true), expected(x, conversion, 100000, false, true));
    }
  }
}

}  // namespace
