// The formatters against glibc: the digit generator against snprintf("%.*f"), longs
// against "%d", "%u" and the grouped "%'d", doubles against the grouped "%'.*f" and
// currency amounts against strfmon's "%n", in glibc's own locales. Where the library
// is meant to write something else than glibc, the expectation is transformed by a
// rule stated where it is applied; nothing is skipped.
#include <chrono>
#include <monetary.h>

#include "format/digits/fixed_digits.h"
#include "format/number_calls.h"
#include "support/glibc_locales.h"

namespace {

using namespace numtest;
using std::string;

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
    if (digits > 0) text += "." + string(ours + got.integer_digits, got.length - got.integer_digits);
    ASSERT_EQ(text, theirs) << std::hexfloat << x << " digits " << digits;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("digit generator: %zu values agree with snprintf in %.1f s\n", count, seconds);
  // Too small a buffer: nothing written.
  EXPECT_EQ(pl::fixed_digits(1234.5, 2, ours, 5).length, 0u);
  EXPECT_EQ(pl::fixed_digits(1234.5, 2, ours, 6).length, 6u);
}

class GlibcNumbers : public NumberTest {
 protected:
  ~GlibcNumbers() override {
    for (locale_t l : glibc_) freelocale(l);
  }
  // Each pair of glibc's locale and the library's in UTF-8, or none where localedef
  // fails.
  template <class Check>
  void for_each_pair(Check check) {
    const char *const kPairs[][2] = {{"de_DE", "German_Germany.UTF-8"},
                                     {"fr_FR", "French_France.UTF-8"},
                                     {"en_IN", "English_India.UTF-8"},
                                     {"ja_JP", "Japanese_Japan.UTF-8"}};
    for (const auto &pair : kPairs) {
      locale_t l = pltest::open_glibc_locale(pair[0]);
      if (l == nullptr) GTEST_SKIP() << "localedef " << pair[0];
      glibc_.push_back(l);
      SCOPED_TRACE(pair[0]);
      check(l, open(pair[1]));
    }
  }
  // glibc's UTF-8 text as the U form writes it: glibc's French locale puts U+202F
  // between groups, the library's French territory U+00A0 (U+202F is missing from
  // most of the code sets the territory serves).
  static u32string as_units(PLLocale *h, const string &text) {
    u32string units = widen(from_utf8(h, text));
    std::replace(units.begin(), units.end(), U'\u202F', U'\u00A0');
    return units;
  }

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

TEST_F(GlibcNumbers, LongsWithoutGroupingAsPercentD) {
  PLLocale *h = open("English_UnitedStates.UTF-8", {{PL_GROUPING, u"0"}});  // no groups
  std::mt19937_64 random(5);
  char ours[32], theirs[32];
  for (size_t i = 0; i < sweep(100000, 5000000); ++i) {
    const int32_t kEdges[] = {INT32_MIN, INT32_MAX, 0, -1};
    int32_t value = i < 4 ? kEdges[i] : random_long(random);
    int32_t n = PLLongToString(h, value, ours, sizeof ours, 0);
    std::snprintf(theirs, sizeof theirs, "%d", value);
    ASSERT_EQ(string(ours, n), theirs);
    n = PLLongToString(h, value, ours, sizeof ours, PL_NUM_UNSIGNED);
    std::snprintf(theirs, sizeof theirs, "%u", static_cast<uint32_t>(value));
    ASSERT_EQ(string(ours, n), theirs);
  }
}

TEST_F(GlibcNumbers, GroupedLongsAsPercentQuoteD) {
  std::mt19937_64 random(6);
  for_each_pair([&](locale_t l, PLLocale *h) {
    for (size_t i = 0; i < sweep(20000, 1000000); ++i) {
      int32_t value = i == 0 ? INT32_MIN : i == 1 ? INT32_MAX : random_long(random) >> (random() % 31);
      string theirs = glibc_printf(l, "%'d", value);
      ASSERT_EQ(call(Long, UF, h, value, 0, 64).text, as_units(h, theirs)) << theirs;
      // A byte form's separator item holds one byte at most: a separator of more bytes
      // is read as none, so the digits stand together.
      for (size_t at; (at = theirs.find("\u202F")) != string::npos;) theirs.erase(at, 3);
      ASSERT_EQ(call(Long, B, h, value, 0, 64).text, widen(theirs));
    }
  });
}

TEST_F(GlibcNumbers, DoublesAsGroupedPercentF) {
  std::mt19937_64 random(7);
  for_each_pair([&](locale_t l, PLLocale *h) {
    for (size_t i = 0; i < sweep(20000, 500000); ++i) {
      int digits = static_cast<int>(random() % 22);  // 21: the six-digit flag
      int32_t flags = digits == 21 ? PL_NUM_SIX_DECIMALS : 0;
      if (digits == 21) digits = 6;
      else ASSERT_EQ(PLSetLocaleNumInfo(h, PL_NUM_DIGITS, digits, 0), 1);
      double x = i == 0 ? -0.0 : some_double(random, i, digits);
      string theirs = glibc_printf(l, "%'.*f", digits, x);
      // glibc writes a minus for negative zero; the library only for values below 0.
      if (x == 0 && std::signbit(x)) theirs.erase(0, 1);
      ASSERT_EQ(call(Double, UF, h, x, flags, 1024).text, as_units(h, theirs)) << theirs;
    }
  });
}

TEST_F(GlibcNumbers, CurrencyAsStrfmon) {
  std::mt19937_64 random(8);
  for_each_pair([&](locale_t l, PLLocale *h) {
    int32_t fraction = PLGetLocaleNumInfo(h, PL_FRAC_DIGITS, 0);
    for (size_t i = 0; i < sweep(20000, 1000000); ++i) {
      double x = i == 0 ? 0.0 : i == 1 ? -0.0 : i == 2 ? -0.001 : random_amount(random, -4, 12);
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
      ASSERT_EQ(call(Currency, UF, h, x, 0, 256).text, as_units(h, theirs)) << x << " " << theirs;
    }
  });
}

}  // namespace
