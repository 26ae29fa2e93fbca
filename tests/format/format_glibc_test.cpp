// The formatters against glibc: the digit generator against snprintf("%.*f"), longs
// against "%d", "%u" and the grouped "%'d", doubles against the grouped "%'.*f" and
// currency amounts against strfmon's "%n", in glibc's own locales. Where the library
// is meant to write something else than glibc, the expectation is transformed by a
// rule stated where it is applied; nothing is skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <monetary.h>
#include <random>
#include <string>
#include <vector>

#include "format/digits/fixed_digits.h"
#include "support/glibc_locales.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string, std::u16string;

size_t sweep(size_t sample, size_t full) {
  return std::getenv("POLYLOC_FULL_SWEEP") ? full : sample;
}

double from_bits(uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// Doubles from every corner: random bit patterns over all exponents, ties at the
// digit being rounded, subnormals, integers above 2^53, values near the largest.
double some_double(std::mt19937_64 &random, size_t i, int digits) {
  switch (i % 5) {
    case 0: {
      double x = from_bits(random());
      return std::isfinite(x) ? x : 0.5;
    }
    case 1: {  // odd multiples of 2^-(digits + 1): ties at the rounded digit; then near ties
      int j = digits + 1 + static_cast<int>(random() % 3);
      return std::ldexp(static_cast<double>(2 * (random() % (1u << 30)) + 1), -j);
    }
    case 2: return from_bits(random() % (uint64_t{1} << 52)) * (random() % 2 ? 1 : -1);
    case 3:  // integers above 2^53
      return std::ldexp(static_cast<double>(random() >> 11), 53 + static_cast<int>(random() % 20));
    default:
      return std::nextafter(std::numeric_limits<double>::max(), 0.0) /
             std::pow(2.0, static_cast<double>(random() % 40));
  }
}

TEST(DigitGenerator, MatchesSnprintf) {
  std::mt19937_64 random(2024);
  size_t count = sweep(200000, 10000000);
  char ours[pl::kFixedDigitsCapacity], theirs[pl::kFixedDigitsCapacity + 8];
  auto start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < count; ++i) {
    int digits = static_cast<int>(random() % 61);
    // A few long fractions, up to the cap.
    if (i % 1000 == 0) digits = static_cast<int>(random() % (pl::kMaxFractionDigits + 1));
    double x = some_double(random, i, digits);
    pl::FixedDigits got = pl::fixed_digits(x, digits, ours, sizeof ours);
    std::snprintf(theirs, sizeof theirs, "%.*f", digits, std::fabs(x));
    string text(ours, got.integer_digits);
    size_t fraction = got.length - got.integer_digits;
    if (digits > 0) text += "." + string(ours + got.integer_digits, fraction);
    ASSERT_EQ(text, theirs) << std::hexfloat << x << " digits " << digits;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("digit generator: %zu values agree with snprintf in %.1f s\n", count, seconds);
  // Too small a buffer: nothing written.
  EXPECT_EQ(pl::fixed_digits(1234.5, 2, ours, 5).length, 0u);
  EXPECT_EQ(pl::fixed_digits(1234.5, 2, ours, 6).length, 6u);
}

class GlibcNumbers : public ::testing::Test {
 protected:
  ~GlibcNumbers() override {
    for (PLLocale *h : opened_) EXPECT_EQ(PLReleaseLocale(h), PL_OK);
    for (locale_t l : glibc_) freelocale(l);
  }
  PLLocale *open(const char *name) {
    PLLocale *h = PLGetLocale(name, 0, nullptr);
    EXPECT_NE(h, nullptr) << name;
    if (h != nullptr) opened_.push_back(h);
    return h;
  }
  locale_t glibc(const char *name) {
    locale_t l = pltest::open_glibc_locale(name);
    if (l != nullptr) glibc_.push_back(l);
    return l;
  }
  // UTF-8 text (glibc's) in UTF-16, through the conversion of a UTF-8 handle.
  u16string utf16(PLLocale *utf8, const string &text) {
    std::vector<PLUChar> units(text.size() + 1);
    int32_t n = PLStringToUnicode(units.data(), static_cast<int32_t>(units.size()), utf8,
                                  text.data(), static_cast<int32_t>(text.size()), 0);
    return u16string(units.begin(), units.begin() + (n < 0 ? 0 : n));
  }

  pltest::Session session_{pltest::built_locale_dir()};
  std::vector<PLLocale *> opened_;
  std::vector<locale_t> glibc_;
};

template <class... Args>
string glibc_printf(locale_t l, const char *format, Args... args) {
  locale_t previous = uselocale(l);
  char text[1024];
  std::snprintf(text, sizeof text, format, args...);
  uselocale(previous);
  return text;
}

u16string long_u(PLLocale *h, int32_t value, int32_t flags = 0) {
  PLUChar out[64];
  int32_t n = PLLongToStringU(h, value, out, 64, flags);
  return u16string(out, out + (n < 0 ? 0 : n));
}

TEST_F(GlibcNumbers, LongsWithoutGroupingAsPercentD) {
  PLLocale *h = open("English_UnitedStates.UTF-8");
  ASSERT_EQ(PLSetLocaleTextInfo(h, PL_GROUPING, "0", -1, 0), 1);  // first size 0: no groups
  std::mt19937_64 random(5);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  char ours[32], theirs[32];
  for (size_t i = 0; i < sweep(100000, 5000000); ++i) {
    const int32_t kEdges[] = {INT32_MIN, INT32_MAX, 0, -1};
    int32_t value = i < 4 ? kEdges[i] : any(random);
    int32_t n = PLLongToString(h, value, ours, sizeof ours, 0);
    std::snprintf(theirs, sizeof theirs, "%d", value);
    ASSERT_EQ(string(ours, n), theirs);
    n = PLLongToString(h, value, ours, sizeof ours, PL_NUM_UNSIGNED);
    std::snprintf(theirs, sizeof theirs, "%u", static_cast<uint32_t>(value));
    ASSERT_EQ(string(ours, n), theirs);
  }
}

struct Pair {
  const char *glibc, *ours;
};
constexpr Pair kPairs[] = {{"de_DE", "German_Germany.UTF-8"},
                           {"fr_FR", "French_France.UTF-8"},
                           {"en_IN", "English_India.UTF-8"},
                           {"ja_JP", "Japanese_Japan.UTF-8"}};

// glibc's French locale puts U+202F between groups; the library's French territory
// has U+00A0 (one character for every code set, U+202F is missing from most).
u16string narrow_space_as_no_break_space(u16string text) {
  for (char16_t &c : text)
    if (c == u'\u202F') c = u'\u00A0';
  return text;
}

// In the byte forms a separator item holds one byte at most: a separator of more
// bytes is read as none, so the digits stand together.
string without_multibyte_separator(string text) {
  for (size_t at; (at = text.find("\u202F")) != string::npos;) text.erase(at, 3);
  return text;
}

TEST_F(GlibcNumbers, GroupedLongsAsPercentQuoteD) {
  std::mt19937_64 random(6);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  for (const Pair &pair : kPairs) {
    locale_t l = glibc(pair.glibc);
    if (l == nullptr) GTEST_SKIP() << "localedef " << pair.glibc;
    PLLocale *h = open(pair.ours);
    char ours[64];
    for (size_t i = 0; i < sweep(20000, 1000000); ++i) {
      int32_t value = i == 0 ? INT32_MIN : i == 1 ? INT32_MAX : any(random) >> (random() % 31);
      string theirs = glibc_printf(l, "%'d", value);
      SCOPED_TRACE(string(pair.glibc) + " " + theirs);
      ASSERT_EQ(long_u(h, value), narrow_space_as_no_break_space(utf16(h, theirs)));
      int32_t n = PLLongToString(h, value, ours, sizeof ours, 0);
      ASSERT_EQ(string(ours, n), without_multibyte_separator(theirs));
    }
  }
}

TEST_F(GlibcNumbers, DoublesAsGroupedPercentF) {
  std::mt19937_64 random(7);
  for (const Pair &pair : kPairs) {
    locale_t l = glibc(pair.glibc);
    if (l == nullptr) GTEST_SKIP() << "localedef " << pair.glibc;
    PLLocale *h = open(pair.ours);
    PLUChar ours[1024];
    for (size_t i = 0; i < sweep(20000, 500000); ++i) {
      int digits = static_cast<int>(random() % 22);  // 21: the six-digit flag
      int32_t flags = digits == 21 ? PL_NUM_SIX_DECIMALS : 0;
      if (digits == 21) digits = 6;
      else ASSERT_EQ(PLSetLocaleNumInfo(h, PL_NUM_DIGITS, digits, 0), 1);
      double x = i == 0 ? -0.0 : some_double(random, i, digits);
      string theirs = glibc_printf(l, "%'.*f", digits, x);
      // glibc writes a minus for negative zero; the library only for values below 0.
      if (x == 0 && std::signbit(x)) theirs.erase(0, 1);
      int32_t n = PLDoubleToStringU(h, x, ours, 1024, flags);
      SCOPED_TRACE(string(pair.glibc) + " " + theirs);
      ASSERT_EQ(u16string(ours, ours + n), narrow_space_as_no_break_space(utf16(h, theirs)));
    }
  }
}

TEST_F(GlibcNumbers, CurrencyAsStrfmon) {
  std::mt19937_64 random(8);
  std::uniform_real_distribution<double> exponent(-4, 12), unit(0, 1);
  for (const Pair &pair : kPairs) {
    locale_t l = glibc(pair.glibc);
    if (l == nullptr) GTEST_SKIP() << "localedef " << pair.glibc;
    PLLocale *h = open(pair.ours);
    int32_t fraction = PLGetLocaleNumInfo(h, PL_FRAC_DIGITS, 0);
    PLUChar ours[256];
    for (size_t i = 0; i < sweep(20000, 1000000); ++i) {
      double x = unit(random) * std::pow(10, exponent(random)) * (random() % 2 ? -1 : 1);
      if (i < 3) x = i == 0 ? 0.0 : i == 1 ? -0.0 : -0.001;
      // The library prints six digits and cuts them to the fraction digits; glibc
      // rounds. glibc is given the cut amount, which it then prints as it is. An
      // amount is negative when below zero; glibc places the sign of -0.0 as for a
      // positive amount and lets printf write its minus, so a negative amount cut to
      // zero is given as -1e-9 (negative, and printed as zero).
      char six[64];
      std::snprintf(six, sizeof six, "%.6f", std::fabs(x));
      string cut(six, std::strchr(six, '.') + (fraction > 0 ? 1 + fraction : 0));
      double amount = std::strtod(cut.c_str(), nullptr);
      if (x < 0) amount = amount == 0 ? -1e-9 : -amount;
      char theirs[256];
      ASSERT_GT(strfmon_l(theirs, sizeof theirs, l, "%n", amount), 0);
      int32_t n = PLCurrencyToStringU(h, x, ours, 256, 0);
      SCOPED_TRACE(string(pair.glibc) + " " + std::to_string(x) + " " + theirs);
      ASSERT_EQ(u16string(ours, ours + n), narrow_space_as_no_break_space(utf16(h, theirs)));
    }
  }
}

}  // namespace
