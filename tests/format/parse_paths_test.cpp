// The byte walk of the code-set parsers against the tokenizer: random texts over an
// alphabet of the bytes a number is made of and the bytes that end or confuse it, in
// several code sets and with odd separators, must give the same value, end, end state
// and error code on both paths.
#include <bit>

#include "format/number_calls.h"
#include "format/parse/parse_bytes.h"
#include "frame/handle.h"

namespace {

using numtest::sweep;

// Digits weigh most; the rest are separators, points, signs, white space, exponent
// markers, a prefix letter, other letters, lead and trail bytes of multibyte sets, NUL.
const std::string kAlphabet =
    std::string("0123456789012345678901234567890,.,.+-  \t\neEdDxXaZz") + "\x80\xA0\x81\x40\xE9\x82" +
    std::string(1, '\0');
constexpr int32_t kBases[] = {10, 10, 10, 0, 16, 8, 2, 36, 1};
constexpr int32_t kFlags[] = {0, 0, 0, 0, PL_NUM_UNSIGNED, PL_NUM_NO_THOUSANDS, PL_COUNT_CHARS,
                              PL_NUM_MONETARY, PL_NUM_MAP_DIGITS, PL_FROM_TERRITORY, 0x100};

struct Outcome {
  uint64_t value;
  ptrdiff_t end;
  PLState end_state;
  int32_t code;
  bool operator==(const Outcome &) const = default;
};

class ParsePaths : public numtest::NumberTest {
 protected:
  // `count` random texts read as longs and as doubles on both paths.
  void compare(PLLocale *h, const std::string &label, size_t count, uint32_t seed) {
    std::mt19937 rng(seed);
    for (size_t i = 0; i < count; ++i) {
      std::string text;
      for (size_t n = rng() % 25; n > 0; --n) text += kAlphabet[rng() % kAlphabet.size()];
      int32_t length = rng() % 2 ? -1 : static_cast<int32_t>(rng() % (text.size() + 1));
      int32_t base = kBases[rng() % 9], flags = kFlags[rng() % 11];
      bool ex_form = rng() % 4 == 0;
      for (bool as_double : {false, true}) {
        auto run = [&](pl::Path path) {
          char *end = nullptr;
          PLState end_state = 7;
          const char *s = text.c_str();
          uint64_t value =
              as_double ? std::bit_cast<uint64_t>(pl::string_to_double(
                              h, s, 0, length, &end, &end_state, ex_form,
                              flags & ~PL_NUM_UNSIGNED & ~PL_NUM_NO_THOUSANDS, path))
                        : static_cast<uint32_t>(pl::string_to_long(
                              h, s, 0, length, &end, &end_state, ex_form, base, flags, path));
          return Outcome{value, end - s, end_state, h->last_error};
        };
        Outcome fast = run(pl::Path::fast), reference = run(pl::Path::reference);
        ASSERT_EQ(fast, reference)
            << label << (as_double ? " double" : " long") << " text \"" << text << "\" length "
            << length << " base " << base << " flags " << flags << (ex_form ? " Ex" : "")
            << ": fast " << fast.value << " end " << fast.end << ", reference "
            << reference.value << " end " << reference.end;
      }
    }
  }
};

TEST_F(ParsePaths, FastWalkEqualsTokenizerInCodeSets) {
  uint32_t seed = 1;
  for (const char *name : {"English_UnitedStates.MS1252", "German_Germany.UTF-8",
                           "English_UnitedStates.UTF-8", "Japanese_Japan.MS932",
                           "English.GB18030", "German_Germany.IBM037"})
    compare(open(name), name, sweep(20000, 1000000), seed++);
}

// Separators and points the walk must keep apart from digits, signs, white space and
// each other, or leave to the tokenizer.
TEST_F(ParsePaths, FastWalkEqualsTokenizerWithOddSeparators) {
  const std::pair<const char *, const char *> kItems[] = {
      {"\xA0", ","}, {" ", "."}, {"\t", ","}, {".", "."}, {"+", "."},
      {"e", ","},    {"", ","},  {",", ""},   {"x", "-"}, {"\x80", "\xE9"}};
  uint32_t seed = 100;
  for (const char *name : {"English_UnitedStates.MS1252", "Japanese_Japan.MS932"})
    for (const auto &[separator, point] : kItems) {
      PLLocale *h = open(name);
      PLSetLocaleTextInfo(h, PL_THOUSANDS_SEP, separator, -1, 0);
      PLSetLocaleTextInfo(h, PL_DECIMAL_POINT, point, -1, 0);
      compare(h, std::string(name) + " separator \"" + separator + "\" point \"" + point + "\"",
              sweep(5000, 200000), seed++);
    }
}

// The walk reads bytes below 0x80 as one-byte characters wherever the code set is
// ASCII-based and has no shift states: every shipped such set must agree.
TEST_F(ParsePaths, AsciiBytesAreOneByteCharactersInEveryAsciiBasedSet) {
  std::vector<std::string> names = numtest::names_of(PL_KIND_CODESET);
  ASSERT_GT(names.size(), 30u);
  for (const std::string &name : names) {
    PLLocale *h = open("English_UnitedStates." + name);
    if (PLGetLocaleNumInfo(h, PL_CODESET_ASCII_BASED, 0) == 1 &&
        PLGetLocaleNumInfo(h, PL_CODESET_STATEFUL, 0) == 0)
      for (int b = 1; b < 0x80; ++b) {
        char c[3] = {static_cast<char>(b), 0, 0};
        EXPECT_EQ(PLByteLength(h, c), 1) << name << " " << b;
      }
  }
}

}  // namespace
