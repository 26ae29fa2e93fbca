// PLLongToString, PLDoubleToString, PLCurrencyToString in their four forms: the
// conventions of a locale built item by item, in a single-byte ASCII set, an EBCDIC
// set and the stateful double-byte set; flags and sizes; shift states; what any size
// cuts; that the forms write one text; that nothing is allocated.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "format/number_calls.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using namespace numtest;
using namespace std::string_literals;
using std::u16string, std::u32string;

constexpr int32_t T = PL_TERMINATE, CC = PL_COUNT_CHARS, TER = PL_FROM_TERRITORY;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// One change to a handle's items: a text item, or a numeric one when `text` is null.
struct Change {
  int32_t item;
  const char16_t *text;
  int32_t value = 0;
};

void apply(PLLocale *h, const std::vector<Change> &changes) {
  for (const Change &c : changes) {
    const PLUChar *text = reinterpret_cast<const PLUChar *>(c.text);
    int32_t done = text ? PLSetLocaleTextInfoU(h, c.item, text, -1, 0)
                        : PLSetLocaleNumInfo(h, c.item, c.value, 0);
    ASSERT_EQ(done, 1) << "item " << c.item;
  }
}

// German conventions turned into the example locale: separator comma, decimal point
// full stop, grouping 3;0, two fraction digits, symbol $ in front without a space,
// negative amounts in parentheses. The separators change in three steps, since a
// decimal point may never equal its thousands separator.
const std::vector<Change> kExample = {
    {PL_THOUSANDS_SEP, u"'"},     {PL_DECIMAL_POINT, u"."},       {PL_THOUSANDS_SEP, u","},
    {PL_MON_THOUSANDS_SEP, u"'"}, {PL_MON_DECIMAL_POINT, u"."},   {PL_MON_THOUSANDS_SEP, u","},
    {PL_CURRENCY_SYMBOL, u"$"},   {PL_P_CS_PRECEDES, nullptr, 1}, {PL_N_CS_PRECEDES, nullptr, 1},
    {PL_P_SEP_BY_SPACE, nullptr}, {PL_N_SEP_BY_SPACE, nullptr},   {PL_N_SIGN_POSN, nullptr, 0},
};

const char *const kExampleSets[] = {"MS1252", "IBM037", "IBM930"};

class Formatting : public ::testing::Test {
 protected:
  ~Formatting() override {
    for (PLLocale *h : opened_) EXPECT_EQ(PLReleaseLocale(h), PL_OK);
  }
  PLLocale *open(const std::string &name, const std::vector<Change> &changes = {}) {
    PLLocale *h = PLGetLocale(name.c_str(), 0, nullptr);
    EXPECT_NE(h, nullptr) << name;
    if (h == nullptr) return nullptr;
    opened_.push_back(h);
    apply(h, changes);
    return h;
  }
  PLLocale *example(const std::string &codeset, const std::vector<Change> &changes = {}) {
    std::vector<Change> all = kExample;
    all.insert(all.end(), changes.begin(), changes.end());
    return open("German_Germany." + codeset, all);
  }

  pltest::Session session_{pltest::built_locale_dir()};
  std::vector<PLLocale *> opened_;
};

struct Case {
  Family family;
  double value;
  u16string expected;  // what is written, the terminator included
  int32_t flags = 0;
  std::vector<Change> changes = {};
  int32_t size = 64;
  int32_t code = PL_OK;
};

// Checks `c` in every form on the example locale in code set `codeset`.
void check(PLLocale *h, const Case &c, const char *codeset) {
  for (Form form : kForms) {
    Output out = call(c.family, form, h, c.value, c.flags, c.size);
    u32string want = encoded(form, h, c.expected);
    SCOPED_TRACE(std::string(codeset) + " " + kFormNames[form] + " " + std::to_string(c.value));
    EXPECT_EQ(hex(out.text), hex(want));
    EXPECT_EQ(out.result, static_cast<int32_t>(want.size()));
    EXPECT_EQ(out.code, c.code);
    EXPECT_TRUE(out.guard_intact);
  }
}

const Case kCases[] = {
    // Integers: grouping, signs, the most negative value, unsigned.
    {Long, 1234567, u"1,234,567"}, {Long, -1234, u"-1,234"}, {Long, 123, u"123"},
    {Long, 1000, u"1,000"}, {Long, 0, u"0"}, {Long, INT32_MIN, u"-2,147,483,648"},
    {Long, INT32_MAX, u"2,147,483,647"}, {Long, -1, u"4,294,967,295", PL_NUM_UNSIGNED},
    {Long, INT32_MIN, u"2,147,483,648", PL_NUM_UNSIGNED},
    // Grouping texts: sizes from the right, 0 repeats, the end stops, a bad first
    // size or character ends grouping there.
    {Long, 1234567, u"1234,567", 0, {{PL_GROUPING, u"3"}}},
    {Long, 1234567890, u"1,23,45,67,890", 0, {{PL_GROUPING, u"3;2;0"}}},
    {Long, 1234567890, u"12345,67,890", 0, {{PL_GROUPING, u"3;2"}}},
    {Long, 1234567890, u"1234567,8,90", 0, {{PL_GROUPING, u"2;1"}}},
    {Long, 1234567890, u"1,2,3,4,5,6,7,8,9,0", 0, {{PL_GROUPING, u"1;0"}}},
    {Long, 1234567890, u"1,234,567,890", 0, {{PL_GROUPING, u"03;;"}}},
    {Long, 1234567890, u"1234567890", 0, {{PL_GROUPING, u"0"}}},
    {Long, 1234567890, u"1234567890", 0, {{PL_GROUPING, u";3"}}},
    {Long, 1234567890, u"1234567890", 0, {{PL_GROUPING, u"x"}}},
    {Long, 1234567890, u"1234567,890", 0, {{PL_GROUPING, u"3;x;0"}}},
    {Long, 1234567890, u"1234567890", 0, {{PL_GROUPING, u"12;0"}}},
    // Sizes: the leading whole characters, the terminator's unit kept back.
    {Long, 1234567, u"1,23", 0, {}, 4, PL_ERR_BUFFER_TOO_SMALL},
    {Long, -1234567, u"-", 0, {}, 1, PL_ERR_BUFFER_TOO_SMALL},
    {Long, 1234567, u"1,234,567\0"s, T, {}, 10},
    {Long, 1234567, u"1,234,56\0"s, T, {}, 9, PL_ERR_BUFFER_TOO_SMALL},
    {Long, 1234567, u"\0"s, T, {}, 1, PL_ERR_BUFFER_TOO_SMALL},
    {Long, 1234567, u"1,234,567", CC},
    // The territory's items rather than the changed ones.
    {Long, 1234567, u"1.234.567", TER},

    // Doubles: the number of digits, rounding of the exact binary value (0.125 is a
    // tie and goes to even, 9.995 lies below the tie), carries into a new group.
    {Double, 1234.5, u"1,234.50"}, {Double, -0.5, u"-0.50"},
    {Double, 1234.5, u"1,234.500000", PL_NUM_SIX_DECIMALS},
    {Double, 1234.75, u"1,235", 0, {{PL_NUM_DIGITS, nullptr, 0}}},
    {Double, 2.5, u"2", 0, {{PL_NUM_DIGITS, nullptr, 0}}},
    {Double, 0.125, u"0.12"}, {Double, 0.375, u"0.38"}, {Double, 9.995, u"9.99"},
    {Double, 999999.999, u"1,000,000.00"}, {Double, 1e21, u"1,000,000,000,000,000,000,000.00"},
    {Double, 5e-324, u"0.00"}, {Double, -0.001, u"-0.00"}, {Double, -0.0, u"0.00"},
    {Double, 0.1, u"0.1000000000000000055511", 0, {{PL_NUM_DIGITS, nullptr, 22}}},
    {Double, 1234567.5, u"12,34,567.50", 0, {{PL_GROUPING, u"3;2;0"}}},
    {Double, 1234.5, u"1.234,50", TER},
    {Double, 1234.5, u"1,23", 0, {}, 4, PL_ERR_BUFFER_TOO_SMALL},
    {Double, kInf, u"inf"}, {Double, -kInf, u"-inf"}, {Double, kNaN, u"nan"},
    {Double, -kNaN, u"nan"}, {Double, -kInf, u"-in\0"s, T, {}, 4, PL_ERR_BUFFER_TOO_SMALL},

    // Currency: the six printed digits cut, not rounded again; sign positions.
    {Currency, 1234.567, u"$1,234.56"}, {Currency, -5, u"($5.00)"},
    {Currency, -5, u"-$5.00", 0, {{PL_N_SIGN_POSN, nullptr, 1}}},
    {Currency, -5, u"$5.00-", 0, {{PL_N_SIGN_POSN, nullptr, 2}}},
    {Currency, 1234.5, u"$1,234", 0, {{PL_FRAC_DIGITS, nullptr, 0}}},
    {Currency, 0.999, u"$0.99"}, {Currency, 0.9999996, u"$1.00"},
    {Currency, 1.5, u"$1.50000000", 0, {{PL_FRAC_DIGITS, nullptr, 8}}},
    {Currency, 1234567, u"$12,34,567.00", 0, {{PL_MON_GROUPING, u"3;2;0"}}},
    {Currency, 1234.5, u"$1,234", 0, {{PL_MON_DECIMAL_POINT, u"'"}, {PL_FRAC_DIGITS, nullptr, 0}}},
    {Currency, 0, u"$0.00"}, {Currency, -0.0, u"$0.00"}, {Currency, -0.001, u"($0.00)"},
    {Currency, 5, u"+$5.00", 0, {{PL_POSITIVE_SIGN, u"+"}, {PL_P_SIGN_POSN, nullptr, 1}}},
    {Currency, -5, u"(EUR5.00)", PL_NUM_INTL},
    {Currency, -5, u"(EUR5.0000)", PL_NUM_INTL, {{PL_INT_FRAC_DIGITS, nullptr, 4}}},
    {Currency, -1234.5, u"-1.234,50 \u20AC", TER},
    {Currency, -5, u"($5.", 0, {}, 4, PL_ERR_BUFFER_TOO_SMALL},
    {Currency, -5, u"($5.00)", CC, {}, 7},
    {Currency, -5, u"($5\0"s, CC | T, {}, 4, PL_ERR_BUFFER_TOO_SMALL},
    {Currency, kInf, u"$inf"}, {Currency, -kInf, u"($inf)"}, {Currency, kNaN, u"$nan"},
};

TEST_F(Formatting, ExampleLocaleInEveryForm) {
  for (const char *codeset : kExampleSets)
    for (const Case &c : kCases) check(example(codeset, c.changes), c, codeset);
}

TEST_F(Formatting, SignPositionsAndSymbolPlacement) {
  // By position 0..4: symbol after the number, then before it; without a space, then
  // with one. The sign is "-" for negative amounts and "+" for positive ones, each
  // placed by its own items.
  const char16_t *const kLayouts[5][2][2] = {
      {{u"(5.00$)", u"(5.00 $)"}, {u"($5.00)", u"($ 5.00)"}},
      {{u"-5.00$", u"-5.00 $"}, {u"-$5.00", u"-$ 5.00"}},
      {{u"5.00$-", u"5.00 $-"}, {u"$5.00-", u"$ 5.00-"}},
      {{u"5.00-$", u"5.00 -$"}, {u"-$5.00", u"-$ 5.00"}},
      {{u"5.00$-", u"5.00 $-"}, {u"$-5.00", u"$- 5.00"}},
  };
  for (int position = 0; position < 5; ++position)
    for (int precedes = 0; precedes < 2; ++precedes)
      for (int space = 0; space < 2; ++space)
        for (double value : {-5.0, 5.0}) {
          bool negative = value < 0;
          u16string want = kLayouts[position][precedes][space];
          if (!negative) std::replace(want.begin(), want.end(), u'-', u'+');
          std::vector<Change> changes = {
              {PL_POSITIVE_SIGN, u"+"},
              {negative ? PL_N_SIGN_POSN : PL_P_SIGN_POSN, nullptr, position},
              {negative ? PL_N_CS_PRECEDES : PL_P_CS_PRECEDES, nullptr, precedes},
              {negative ? PL_N_SEP_BY_SPACE : PL_P_SEP_BY_SPACE, nullptr, space},
          };
          for (const char *codeset : kExampleSets)
            check(example(codeset, changes), {Currency, value, want}, codeset);
        }
}

TEST_F(Formatting, LongFractionsStopAtTheCap) {
  // 350 fraction digits at most: 2^-300 has 300 of its own, then zeros.
  PLLocale *h = example("MS1252", {{PL_NUM_DIGITS, nullptr, 400}});
  char out[1024];
  int32_t n = PLDoubleToString(h, std::ldexp(1.0, -300), out, sizeof out, 0);
  char want[1024];
  std::snprintf(want, sizeof want, "%.350f", std::ldexp(1.0, -300));
  EXPECT_EQ(std::string(out, n), want);
  ASSERT_EQ(PLSetLocaleNumInfo(h, PL_FRAC_DIGITS, 400, 0), 1);
  n = PLCurrencyToString(h, 1, out, sizeof out, 0);
  EXPECT_EQ(std::string(out, n), "$1." + std::string(350, '0'));
}

TEST_F(Formatting, FlagsAndSizesRefused) {
  PLLocale *h = example("MS1252");
  const int32_t kForeign[3] = {PL_NUM_INTL | PL_NUM_SIX_DECIMALS, PL_NUM_UNSIGNED | PL_NUM_INTL,
                               PL_NUM_UNSIGNED | PL_NUM_SIX_DECIMALS};
  for (Family family : {Long, Double, Currency})
    for (Form form : kForms) {
      SCOPED_TRACE(std::to_string(family) + " " + kFormNames[form]);
      for (int32_t flags : {2, 0x10, 0x20, kForeign[family], int32_t(0x80000000)}) {
        Output out = call(family, form, h, 1, flags, 16);
        EXPECT_EQ(out.result, -1);
        EXPECT_EQ(out.code, PL_ERR_ARGUMENT);
        EXPECT_EQ(out.text, U"");
      }
      for (int32_t size : {0, -1})
        for (int32_t flags : {0, CC, T | CC}) {
          Output out = call(family, form, h, 1, flags, size);
          EXPECT_EQ(out.result, 0);
          EXPECT_EQ(out.code, PL_ERR_BUFFER_TOO_SMALL);
          EXPECT_TRUE(out.guard_intact);
        }
    }
}

TEST_F(Formatting, SeparatorsWithoutOneByteCode) {
  // French puts U+00A0 between groups: one unit in UTF-16, two bytes in UTF-8, where
  // the one-character window of the separator items holds nothing and grouping is off.
  PLLocale *h = open("French_France.UTF-8");
  EXPECT_EQ(call(Long, B, h, 1234567, 0, 64).text, U"1234567");
  EXPECT_EQ(call(Long, UF, h, 1234567, 0, 64).text, U"1\u00A0234\u00A0567");
  EXPECT_EQ(call(Long, WF, h, 1234567, 0, 64).text, U"1\xC2A0" U"234\xC2A0" U"567");
  EXPECT_EQ(call(Currency, B, h, -1234.5, 0, 64).text, widen(u"-1234,50 ") + U"\xE2\x82\xAC");
}

TEST_F(Formatting, ShiftStatesOfTheStatefulSet) {
  // Japanese in code page 930: the fullwidth yen is double-byte, before the amount,
  // sign after it (position 4), no fraction digits.
  PLLocale *h = open("Japanese_Japan.IBM930");
  u32string shifted = encoded(X, h, u"\uFFE5-1,234");
  ASSERT_EQ(shifted.substr(0, 4), U"\x0E\x42\x5B\x0F");
  // The base form copies the handle's text with its shift bytes.
  EXPECT_EQ(call(Currency, B, h, -1234.5, 0, 64).text, shifted);
  EXPECT_EQ(call(Currency, X, h, -1234.5, 0, 64).text, shifted);
  EXPECT_EQ(call(Currency, X, h, -1234.5, 0, 64, 1).text, U"\x0F" + shifted);
  EXPECT_EQ(call(Currency, UF, h, -1234.5, 0, 64).text, U"\uFFE5-1,234");
  EXPECT_EQ(call(Currency, WF, h, -1234.5, 0, 64).text, U"\x425B\x60\xF1\x6B\xF2\xF3\xF4");
  EXPECT_EQ(call(Long, X, h, -5, 0, 64, 1).text, U"\x0F\x60\xF5");
  EXPECT_EQ(call(Long, X, h, -5, 0, 64, 0).text, U"\x60\xF5");

  struct Cut {
    int32_t size, flags;
    u32string text;
    int32_t result, code;
  };
  // Shifted start: the shift-in goes only with a character, so sizes below the
  // double-byte symbol's run give nothing at all.
  const Cut kCuts[] = {
      {1, 0, U"", 0, 40}, {3, 0, U"", 0, 40}, {4, T, U"", 0, 40},
      // A shift-in that closes the double-byte part is taken when it fits.
      {4, 0, U"\x0F\x0E\x42\x5B", 4, 40}, {5, 0, U"\x0F\x0E\x42\x5B\x0F", 5, 40},
      {6, 0, U"\x0F\x0E\x42\x5B\x0F\x60", 6, 40}, {7, T, U"\x0F\x0E\x42\x5B\x0F\x60\0"s, 7, 40},
      // Sizes in characters: shift bytes are not characters.
      {1, CC, U"\x0F\x0E\x42\x5B\x0F", 1, 40}, {2, CC | T, U"\x0F\x0E\x42\x5B\x0F\0"s, 2, 40},
      {7, CC, U"\x0F" + shifted, 7, 0},
  };
  for (const Cut &cut : kCuts) {
    Output out = call(Currency, X, h, -1234.5, cut.flags, cut.size, 1);
    SCOPED_TRACE(std::to_string(cut.size) + " flags " + std::to_string(cut.flags));
    EXPECT_EQ(hex(out.text), hex(cut.text));
    EXPECT_EQ(out.result, cut.result);
    EXPECT_EQ(out.code, cut.code);
  }
  // Doubles and longs count their result in characters, their size in bytes.
  Output counted = call(Long, X, h, -1234, CC, 4, 1);
  EXPECT_EQ(counted.text, U"\x0F\x60\xF1\x6B");
  EXPECT_EQ(counted.result, 3);
}

TEST_F(Formatting, CountsCharactersOfMultibyteSets) {
  PLLocale *h = open("Japanese_Japan.MS932");
  Output out = call(Currency, B, h, 1234, CC, 3);
  EXPECT_EQ(out.text, U"\x81\x8F" U"1,");
  EXPECT_EQ(out.result, 3);
  EXPECT_EQ(out.code, PL_ERR_BUFFER_TOO_SMALL);
  out = call(Currency, B, h, 1234, 0, 3);  // three bytes: the yen and one digit
  EXPECT_EQ(out.text, U"\x81\x8F" U"1");
  out = call(Currency, B, h, 1234, CC | T, 64);
  EXPECT_EQ(out.text, U"\x81\x8F" U"1,234\0"s);
  EXPECT_EQ(out.result, 7);
}

// Where an output of `form` started in `state` may be cut in `text`, its full
// output: behind each character, and, where shift bytes follow it that return to
// the single-byte state, behind those (the output then ends closed).
struct Cuts {
  std::vector<size_t> chars;   // behind each character
  std::vector<size_t> closed;  // behind it and its closing shift bytes; 0 for none
};

Cuts cuts_of(Form form, PLLocale *h, const u32string &text, PLState state) {
  Cuts cuts;
  if (form == UF || form == WF) {
    for (size_t i = 1; i <= text.size(); ++i)
      if (form == WF || i == text.size() || text[i] < 0xDC00 || text[i] > 0xDFFF) {
        cuts.chars.push_back(i);
        cuts.closed.push_back(0);
      }
    return cuts;
  }
  std::string bytes(text.begin(), text.end());
  char shift_in[2] = {}, shift_out[2] = {};
  PLGetLocaleTextInfoEx(h, PL_SHIFT_IN_BYTE, shift_in, 0, 2, 0);
  PLGetLocaleTextInfoEx(h, PL_SHIFT_OUT_BYTE, shift_out, 0, 2, 0);
  const char *s = bytes.c_str();
  for (const char *at = s; static_cast<size_t>(at - s) < bytes.size();) {
    // The navigation steps over a character and the shift bytes behind it.
    const char *next = form == X ? PLNextCharEx(h, at, state, &state) : PLNextChar(h, at);
    size_t after = std::min(static_cast<size_t>(next - s), bytes.size()), end = after;
    while (form == X && end > 0 && (s[end - 1] == shift_in[0] || s[end - 1] == shift_out[0])) --end;
    cuts.chars.push_back(end);
    cuts.closed.push_back(end != after && state == 0 ? after : 0);
    at = next;
  }
  return cuts;
}

TEST_F(Formatting, EverySizeCutsAtAWholeCharacter) {
  struct Subject {
    const char *locale;
    Form form;
    PLState state;
    std::vector<Change> changes = {};
  };
  // The yen behind the amount: the text ends with a double-byte part.
  const std::vector<Change> kYenBehind = {{PL_P_CS_PRECEDES, nullptr, 0},
                                          {PL_N_CS_PRECEDES, nullptr, 0}};
  const Subject kSubjects[] = {
      {"German_Germany.UTF-8", B, 0},     {"German_Germany.UTF-8", UF, 0},
      {"English_India.UTF-8", B, 0},      {"English_India.UTF-8", WF, 0},
      {"Japanese_Japan.MS932", B, 0},     {"Japanese_Japan.MS932", WF, 0},
      {"Japanese_Japan.IBM930", X, 0},    {"Japanese_Japan.IBM930", X, 1},
      {"Japanese_Japan.IBM930", X, 1, kYenBehind},
      {"Japanese_Japan.IBM930", UF, 0},   {"English_UnitedStates.IBM037", X, 1},
  };
  for (const Subject &subject : kSubjects) {
    PLLocale *h = open(subject.locale, subject.changes);
    bool bytes = subject.form == B || subject.form == X;
    bool shifted_start = subject.form == X && subject.state != 0 &&
                         PLGetLocaleNumInfo(h, PL_CODESET_STATEFUL, 0) == 1;
    for (Family family : {Long, Double, Currency})
      for (double value : {1234567.891, -98765.4321, 0.5})
        for (int32_t flags : {0, T, CC, CC | T}) {
          u32string full = call(family, subject.form, h, value, 0, 256, subject.state).text;
          Cuts cuts = cuts_of(subject.form, h, full, subject.state);
          bool counted = bytes && (flags & CC) != 0;
          size_t terminator = (flags & T) != 0 ? 1 : 0;
          for (int32_t size = 0; size <= static_cast<int32_t>(full.size()) + 2; ++size) {
            SCOPED_TRACE(std::string(subject.locale) + " " + kFormNames[subject.form] + " " +
                         std::to_string(family) + " " + std::to_string(value) + " size " +
                         std::to_string(size) + " flags " + std::to_string(flags));
            // A size in characters: room for the longest character and a shift byte each.
            int32_t capacity = counted && family == Currency ? 5 * size : size;
            Output out = call(family, subject.form, h, value, flags, size, subject.state, capacity);
            ASSERT_TRUE(out.guard_intact);
            if (size == 0) {
              EXPECT_EQ(out.result, 0);
              EXPECT_EQ(out.code, PL_ERR_BUFFER_TOO_SMALL);
              continue;
            }
            size_t room = static_cast<size_t>(size) - terminator, kept = 0, chars = 0;
            for (size_t i = 0; i < cuts.chars.size(); ++i) {
              bool fits = counted && family == Currency ? i < room : cuts.chars[i] <= room;
              if (!fits) break;
              kept = cuts.chars[i];
              ++chars;
              bool closes = cuts.closed[i] <= room || (counted && family == Currency);
              if (cuts.closed[i] != 0 && closes) kept = cuts.closed[i];
            }
            if (shifted_start && chars == 0) {
              EXPECT_EQ(out.result, 0);
              EXPECT_EQ(out.text, U"");
              EXPECT_EQ(out.code, PL_ERR_BUFFER_TOO_SMALL);
              continue;
            }
            u32string want = full.substr(0, kept) + (terminator ? U"\0"s : U"");
            EXPECT_EQ(hex(out.text), hex(want));
            EXPECT_EQ(out.result, static_cast<int32_t>((counted ? chars : kept) + terminator));
            EXPECT_EQ(out.code, kept < full.size() ? PL_ERR_BUFFER_TOO_SMALL : PL_OK);
          }
        }
  }
}

TEST_F(Formatting, FormsWriteOneText) {
  // The U form is the Ex form's text in UTF-16 and the W form its packed characters,
  // wherever every separator has a one-byte code.
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> exponent(-8, 12), unit(-1, 1);
  std::uniform_int_distribution<int32_t> any_long(INT32_MIN, INT32_MAX);
  for (const char *name : {"English_UnitedStates.MS1252", "German_Germany.UTF-8",
                           "English_UnitedStates.IBM037", "Japanese_Japan.MS932",
                           "English_India.UTF-8", "Japanese_Japan.IBM930"}) {
    PLLocale *h = open(name);
    for (int i = 0; i < 300; ++i) {
      double value = unit(random) * std::pow(10, exponent(random));
      Family family = static_cast<Family>(i % 3);
      if (family == Long) value = any_long(random);
      int32_t flags = i % 2 ? PL_FROM_TERRITORY : 0;
      if (family == Currency && i % 4 == 1) flags |= PL_NUM_INTL;
      if (family == Double && i % 4 == 3) flags |= PL_NUM_SIX_DECIMALS;
      u32string ex = call(family, X, h, value, flags, 512).text;
      std::string bytes(ex.begin(), ex.end());
      std::vector<PLUChar> units(bytes.size() + 1);
      int32_t n = PLStringToUnicodeEx(units.data(), static_cast<int32_t>(units.size()), h,
                                      bytes.data(), 0, static_cast<int32_t>(bytes.size()), 0);
      std::vector<PLWChar> packed(bytes.size() + 1);
      int32_t m = PLMbToWideEx(h, packed.data(), static_cast<int32_t>(packed.size()), bytes.data(),
                               0, static_cast<int32_t>(bytes.size()), 0);
      SCOPED_TRACE(std::string(name) + " " + hex(ex));
      ASSERT_GT(n, 0);
      ASSERT_GT(m, 0);
      EXPECT_EQ(call(family, UF, h, value, flags, 512).text,
                u32string(units.begin(), units.begin() + n));
      EXPECT_EQ(call(family, WF, h, value, flags, 512).text,
                u32string(packed.begin(), packed.begin() + m));
      // Without shift states the base form is the Ex form.
      if (PLGetLocaleNumInfo(h, PL_CODESET_STATEFUL, 0) == 0) {
        EXPECT_EQ(call(family, B, h, value, flags, 512).text, ex);
      }
    }
  }
}

TEST_F(Formatting, NothingIsAllocated) {
  std::vector<PLLocale *> handles = {open("Japanese_Japan.IBM930"), open("German_Germany.UTF-8"),
                                     example("IBM037")};
  long before = session_.heap().allocations;
  for (PLLocale *h : handles)
    for (Family family : {Long, Double, Currency})
      for (Form form : kForms)
        for (int32_t flags : {0, T | CC, PL_FROM_TERRITORY})
          for (PLState state : {0u, 1u})
            call(family, form, h, -1234567.891, flags, 5 + 64 * state, state);
  EXPECT_EQ(session_.heap().allocations, before);
}

}  // namespace
