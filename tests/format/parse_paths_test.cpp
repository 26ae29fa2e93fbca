// The byte walk of the code-set parsers against the tokenizer: random texts over an
// alphabet of the bytes a number is made of and the bytes that end or confuse it, in
// several code sets and with odd separators, must give the same value, end, end state
// and error code on both paths.
#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "format/parse/parse_bytes.h"
#include "frame/handle.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

size_t sweep(size_t sample, size_t full) {
  return std::getenv("POLYLOC_FULL_SWEEP") ? full : sample;
}

struct Case {
  std::string text;
  int32_t length;  // -1: up to the NUL
  int32_t base;
  int32_t flags;
  bool ex_form;
};

// Digits weigh most; the rest are separators, points, signs, white space, exponent
// markers, a prefix letter, other letters, lead and trail bytes of multibyte sets, NUL.
const std::string kAlphabet =
    std::string("0123456789012345678901234567890,.,.+-  \t\neEdDxXaZz") + "\x80\xA0\x81\x40\xE9\x82" +
    std::string(1, '\0');

Case random_case(std::mt19937 &rng) {
  std::uniform_int_distribution<size_t> pick(0, kAlphabet.size() - 1);
  size_t n = std::uniform_int_distribution<size_t>(0, 24)(rng);
  Case c;
  for (size_t i = 0; i < n; ++i) c.text += kAlphabet[pick(rng)];
  c.length = rng() % 2 ? -1 : static_cast<int32_t>(std::uniform_int_distribution<size_t>(0, n)(rng));
  constexpr int32_t kBases[] = {10, 10, 10, 0, 16, 8, 2, 36, 1};
  c.base = kBases[rng() % 9];
  constexpr int32_t kFlags[] = {0, 0, 0, 0, PL_NUM_UNSIGNED, PL_NUM_NO_THOUSANDS, PL_COUNT_CHARS,
                                PL_NUM_MONETARY, PL_NUM_MAP_DIGITS, PL_FROM_TERRITORY, 0x100};
  c.flags = kFlags[rng() % 11];
  c.ex_form = rng() % 4 == 0;
  return c;
}

struct Outcome {
  uint64_t value;
  ptrdiff_t end;
  PLState end_state;
  int32_t code;
  bool operator==(const Outcome &) const = default;
};

Outcome run(PLLocale *locale, const Case &c, bool as_double, pl::Path path) {
  char *end = nullptr;
  PLState end_state = 7;
  uint64_t value =
      as_double ? std::bit_cast<uint64_t>(pl::string_to_double(
                      locale, c.text.c_str(), 0, c.length, &end, &end_state, c.ex_form,
                      c.flags & ~PL_NUM_UNSIGNED & ~PL_NUM_NO_THOUSANDS, path))
                : static_cast<uint32_t>(pl::string_to_long(locale, c.text.c_str(), 0, c.length,
                                                           &end, &end_state, c.ex_form, c.base,
                                                           c.flags, path));
  return {value, end - c.text.c_str(), end_state, locale->last_error};
}

class ParsePaths : public ::testing::Test {
 protected:
  pltest::Session session_{pltest::built_locale_dir()};

  void compare(PLLocale *locale, const std::string &label, size_t count, uint32_t seed) {
    std::mt19937 rng(seed);
    for (size_t i = 0; i < count; ++i) {
      Case c = random_case(rng);
      for (bool as_double : {false, true}) {
        Outcome fast = run(locale, c, as_double, pl::Path::fast);
        Outcome reference = run(locale, c, as_double, pl::Path::reference);
        ASSERT_EQ(fast, reference)
            << label << (as_double ? " double" : " long") << " text \"" << c.text
            << "\" length " << c.length << " base " << c.base << " flags " << c.flags
            << (c.ex_form ? " Ex" : "") << ": fast " << fast.value << " end " << fast.end
            << ", reference " << reference.value << " end " << reference.end;
      }
    }
  }
};

TEST_F(ParsePaths, FastWalkEqualsTokenizerInCodeSets) {
  const char *names[] = {"English_UnitedStates.MS1252", "German_Germany.UTF-8",
                         "English_UnitedStates.UTF-8", "Japanese_Japan.MS932",
                         "English.GB18030", "German_Germany.IBM037"};
  size_t count = sweep(20000, 1000000);
  uint32_t seed = 1;
  for (const char *name : names) {
    int32_t code = 0;
    PLLocale *locale = PLGetLocale(name, 0, &code);
    ASSERT_NE(locale, nullptr) << name << ": code " << code;
    compare(locale, name, count, seed++);
    PLReleaseLocale(locale);
  }
}

// Separators and points the walk must keep apart from digits, signs, white space and
// each other, or leave to the tokenizer.
TEST_F(ParsePaths, FastWalkEqualsTokenizerWithOddSeparators) {
  const std::vector<std::pair<std::string, std::string>> items = {
      {"\xA0", ","}, {" ", "."}, {"\t", ","}, {".", "."}, {"+", "."},
      {"e", ","},    {"", ","},  {",", ""},   {"x", "-"}, {"\x80", "\xE9"}};
  size_t count = sweep(5000, 200000);
  uint32_t seed = 100;
  for (const char *name : {"English_UnitedStates.MS1252", "Japanese_Japan.MS932"}) {
    for (const auto &[separator, point] : items) {
      PLLocale *locale = PLGetLocale(name, 0, nullptr);
      ASSERT_NE(locale, nullptr) << name;
      PLSetLocaleTextInfo(locale, PL_THOUSANDS_SEP, separator.c_str(), -1, 0);
      PLSetLocaleTextInfo(locale, PL_DECIMAL_POINT, point.c_str(), -1, 0);
      compare(locale, std::string(name) + " separator \"" + separator + "\" point \"" + point + "\"",
              count, seed++);
      PLReleaseLocale(locale);
    }
  }
}

// The walk reads bytes below 0x80 as one-byte characters wherever the code set is
// ASCII-based and has no shift states: every shipped such set must agree.
TEST(ParsePathsData, AsciiBytesAreOneByteCharactersInEveryAsciiBasedSet) {
  pltest::Session session{pltest::built_locale_dir()};
  std::vector<std::string> names;
  PLEnumLocales(
      [](void *user, int32_t kind, const char *name) {
        if (kind == PL_KIND_CODESET) static_cast<std::vector<std::string> *>(user)->push_back(name);
        return 1;
      },
      &names);
  ASSERT_GT(names.size(), 30u);
  for (const std::string &name : names) {
    PLLocale *l = PLGetLocale(("English_UnitedStates." + name).c_str(), 0, nullptr);
    ASSERT_NE(l, nullptr) << name;
    if (PLGetLocaleNumInfo(l, PL_CODESET_ASCII_BASED, 0) == 1 &&
        PLGetLocaleNumInfo(l, PL_CODESET_STATEFUL, 0) == 0)
      for (int b = 1; b < 0x80; ++b) {
        char c[3] = {static_cast<char>(b), 0, 0};
        EXPECT_EQ(PLByteLength(l, c), 1) << name << " " << b;
      }
    EXPECT_EQ(PLReleaseLocale(l), PL_OK);
  }
}

}  // namespace
