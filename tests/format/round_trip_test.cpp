// Numbers written by a locale read back by the same locale, for every shipped
// territory, in UTF-8 and in a code set of each family, in the base, U and W forms: a
// long gives itself, a double gives the value rounded to the locale's number of
// fractional digits (exactly the double that strtod makes of the C library's text with
// as many digits).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "support/locale_dir.h"
#include "support/session.h"

namespace {

std::vector<std::string> territories() {
  std::vector<std::string> names;
  PLEnumLocales(
      [](void *user, int32_t kind, const char *name) {
        if (kind == PL_KIND_TERRITORY) static_cast<std::vector<std::string> *>(user)->push_back(name);
        return 1;
      },
      &names);
  return names;
}

size_t sweep(size_t sample) { return std::getenv("POLYLOC_FULL_SWEEP") ? sample * 20 : sample; }

// One round trip in a form: `Element` is char (base), PLUChar (U) or PLWChar (W).
template <class Element>
struct Form;
template <>
struct Form<char> {
  static int32_t write(PLLocale *l, int32_t n, char *out, int32_t size) { return PLLongToString(l, n, out, size, 0); }
  static int32_t write(PLLocale *l, double x, char *out, int32_t size) { return PLDoubleToString(l, x, out, size, 0); }
  static int32_t read(PLLocale *l, const char *text, int32_t length, char **end) {
    return PLStringToLong(l, text, length, end, 10, 0);
  }
  static double read_double(PLLocale *l, const char *text, int32_t length, char **end) {
    return PLStringToDouble(l, text, length, end, 0);
  }
};
template <>
struct Form<PLUChar> {
  static int32_t write(PLLocale *l, int32_t n, PLUChar *out, int32_t size) { return PLLongToStringU(l, n, out, size, 0); }
  static int32_t write(PLLocale *l, double x, PLUChar *out, int32_t size) { return PLDoubleToStringU(l, x, out, size, 0); }
  static int32_t read(PLLocale *l, const PLUChar *text, int32_t length, PLUChar **end) {
    return PLStringToLongU(l, text, length, end, 10, 0);
  }
  static double read_double(PLLocale *l, const PLUChar *text, int32_t length, PLUChar **end) {
    return PLStringToDoubleU(l, text, length, end, 0);
  }
};
template <>
struct Form<PLWChar> {
  static int32_t write(PLLocale *l, int32_t n, PLWChar *out, int32_t size) { return PLLongToStringW(l, n, out, size, 0); }
  static int32_t write(PLLocale *l, double x, PLWChar *out, int32_t size) { return PLDoubleToStringW(l, x, out, size, 0); }
  static int32_t read(PLLocale *l, const PLWChar *text, int32_t length, PLWChar **end) {
    return PLStringToLongW(l, text, length, end, 10, 0);
  }
  static double read_double(PLLocale *l, const PLWChar *text, int32_t length, PLWChar **end) {
    return PLStringToDoubleW(l, text, length, end, 0);
  }
};

template <class Element>
void round_trip(PLLocale *l, const std::string &name, std::mt19937_64 &random) {
  using F = Form<Element>;
  std::uniform_int_distribution<int32_t> any_long(INT32_MIN, INT32_MAX);
  std::uniform_real_distribution<double> magnitude(-6, 15), unit(0, 1);
  int32_t digits = PLGetLocaleNumInfo(l, PL_NUM_DIGITS, 0);
  Element text[512], *end = nullptr;
  for (size_t i = 0; i < sweep(100); ++i) {
    int32_t n = i < 2 ? (i ? INT32_MIN : INT32_MAX) : any_long(random);
    int32_t length = F::write(l, n, text, 512);
    ASSERT_EQ(F::read(l, text, length, &end), n) << name << " " << sizeof(Element);
    ASSERT_EQ(end, text + length) << name << " " << sizeof(Element);

    double x = (i % 2 ? -1 : 1) * std::pow(10, magnitude(random)) * unit(random);
    char c_text[512];
    std::snprintf(c_text, sizeof c_text, "%.*f", digits, x);
    length = F::write(l, x, text, 512);
    ASSERT_EQ(F::read_double(l, text, length, &end), std::strtod(c_text, nullptr))
        << name << " " << sizeof(Element) << " " << x;
    ASSERT_EQ(end, text + length) << name << " " << sizeof(Element) << " " << x;
  }
}

TEST(RoundTrip, EveryTerritoryReadsItsOwnNumbersBack) {
  pltest::Session session{pltest::built_locale_dir()};
  std::vector<std::string> names = territories();
  ASSERT_GT(names.size(), 100u);
  std::mt19937_64 random(7);
  for (const char *codeset : {"UTF-8", "MS1252", "IBM037"}) {
    for (const std::string &territory : names) {
      std::string name = "English_" + territory + "." + codeset;
      PLLocale *l = PLGetLocale(name.c_str(), 0, nullptr);
      ASSERT_NE(l, nullptr) << name;
      round_trip<char>(l, name, random);
      round_trip<PLUChar>(l, name, random);
      round_trip<PLWChar>(l, name, random);
      EXPECT_EQ(PLReleaseLocale(l), PL_OK);
    }
  }
}

}  // namespace
