// PLLongToString, PLDoubleToString, PLCurrencyToString in their four forms: what only
// a locale's own conventions decide (the example locale in an ASCII set, an EBCDIC set
// and the stateful double-byte set), refused calls, shift states; and as properties
// what every size cuts, that the forms write one text, that nothing is allocated.
// Plain values are glibc's to decide (format_glibc_test).
#include <algorithm>

#include "format/number_calls.h"

namespace {

using namespace numtest;
using namespace std::string_literals;

constexpr int32_t T = PL_TERMINATE, CC = PL_COUNT_CHARS, TER = PL_FROM_TERRITORY;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const char *const kExampleSets[] = {"MS1252", "IBM037", "IBM930"};

struct Case {
  Family family;
  double value;
  u16string expected;  // what is written, the terminator included
  int32_t flags = 0;
  std::vector<Change> changes = {};
  int32_t size = 64;
  int32_t code = PL_OK;
};

class Formatting : public NumberTest {
 protected:
  // `c` in every form of the example locale in each example set.
  void check(const Case &c) {
    for (const char *codeset : kExampleSets) {
      PLLocale *h = example(codeset, c.changes);
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
  }
};

std::vector<Change> grouping(const char16_t *sizes) { return {{PL_GROUPING, sizes}}; }
std::vector<Change> item(int32_t item, int32_t value) { return {{item, nullptr, value}}; }

const Case kCases[] = {
    // Grouping texts: sizes from the right, 0 repeats, the end stops, a bad first size
    // or character ends grouping there.
    {Long, 1234567, u"1,234,567"}, {Long, 1234567, u"1234,567", 0, grouping(u"3")},
    {Long, 1234567890, u"1,23,45,67,890", 0, grouping(u"3;2;0")},
    {Long, 1234567890, u"12345,67,890", 0, grouping(u"3;2")},
    {Long, 1234567890, u"1,2,3,4,5,6,7,8,9,0", 0, grouping(u"1;0")},
    {Long, 1234567890, u"1,234,567,890", 0, grouping(u"03;;")},
    {Long, 1234567890, u"1234567890", 0, grouping(u";3")},
    {Long, 1234567890, u"1234567,890", 0, grouping(u"3;x;0")},
    {Long, 1234567890, u"1234567890", 0, grouping(u"12;0")},
    {Double, 1234567.5, u"12,34,567.50", 0, grouping(u"3;2;0")},
    {Long, INT32_MIN, u"2,147,483,648", PL_NUM_UNSIGNED},
    // The territory's items rather than the changed ones.
    {Long, 1234567, u"1.234.567", TER}, {Double, 1234.5, u"1.234,50", TER},
    {Currency, -1234.5, u"-1.234,50 \u20AC", TER},
    // Fraction digits of the handle, six under the flag, none without a point.
    {Double, 1234.75, u"1,235", 0, item(PL_NUM_DIGITS, 0)},
    {Double, 1234.5, u"1,234.500000", PL_NUM_SIX_DECIMALS},
    {Double, 0.1, u"0.1000000000000000055511", 0, item(PL_NUM_DIGITS, 22)},
    // Currency: six printed digits cut, not rounded again, zeros beyond six.
    {Currency, 1234.567, u"$1,234.56"}, {Currency, 0.9999996, u"$1.00"},
    {Currency, 1.5, u"$1.50000000", 0, item(PL_FRAC_DIGITS, 8)},
    {Currency, 1234.5, u"$1,234", 0, item(PL_FRAC_DIGITS, 0)},
    {Currency, 1234567, u"$12,34,567.00", 0, {{PL_MON_GROUPING, u"3;2;0"}}},
    {Currency, -0.0, u"$0.00"}, {Currency, -0.001, u"($0.00)"},
    {Currency, -5, u"(EUR5.00)", PL_NUM_INTL},
    {Currency, -5, u"(EUR5.0000)", PL_NUM_INTL, item(PL_INT_FRAC_DIGITS, 4)},
    {Currency, -5, u"($5\0"s, CC | T, {}, 4, PL_ERR_BUFFER_TOO_SMALL},
    // Infinities and NaN in the set's letters, placed like any amount.
    {Double, kInf, u"inf"}, {Double, -kInf, u"-inf"}, {Double, kNaN, u"nan"},
    {Double, -kNaN, u"nan"},
    {Currency, kInf, u"$inf"}, {Currency, -kInf, u"($inf)"}, {Currency, kNaN, u"$nan"},
};

TEST_F(Formatting, ExampleLocaleInEveryForm) {
  for (const Case &c : kCases) check(c);
}

TEST_F(Formatting, SignPositionsAndSymbolPlacement) {
  // By position 0..4, symbol after then before the number, without then with a space.
  // The sign is "-" for negative amounts and "+" for positive ones, each placed by its
  // own items.
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
          check({Currency, value, want, 0,
                 {{PL_POSITIVE_SIGN, u"+"},
                  {negative ? PL_N_SIGN_POSN : PL_P_SIGN_POSN, nullptr, position},
                  {negative ? PL_N_CS_PRECEDES : PL_P_CS_PRECEDES, nullptr, precedes},
                  {negative ? PL_N_SEP_BY_SPACE : PL_P_SEP_BY_SPACE, nullptr, space}}});
        }
}

TEST_F(Formatting, LongFractionsStopAtTheCap) {
  // 350 fraction digits at most: 2^-300 has 300 of its own, then zeros.
  PLLocale *h = example("MS1252", {{PL_NUM_DIGITS, nullptr, 400}, {PL_FRAC_DIGITS, nullptr, 400}});
  char want[1024];
  std::snprintf(want, sizeof want, "%.350f", std::ldexp(1.0, -300));
  EXPECT_EQ(call(Double, B, h, std::ldexp(1.0, -300), 0, 1024).text, widen(std::string(want)));
  EXPECT_EQ(call(Currency, B, h, 1, 0, 1024).text, widen("$1." + std::string(350, '0')));
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
      for (int32_t size : {0, -1}) {
        Output out = call(family, form, h, 1, T | CC, size);
        EXPECT_EQ(out.result, 0);
        EXPECT_EQ(out.code, PL_ERR_BUFFER_TOO_SMALL);
        EXPECT_TRUE(out.guard_intact);
      }
    }
  EXPECT_EQ(PLLongToString(h, 1, nullptr, 8, 0), -1);
  EXPECT_EQ(PLGetError(h), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLCurrencyToStringW(h, 1, nullptr, 8, 0), -1);
}

TEST_F(Formatting, ShiftStatesOfTheStatefulSet) {
  // Japanese in code page 930: the fullwidth yen is double-byte, before the amount,
  // sign after it (position 4), no fraction digits.
  PLLocale *h = open("Japanese_Japan.IBM930");
  u32string shifted = encoded(X, h, u"\uFFE5-1,234");
  ASSERT_EQ(shifted.substr(0, 4), U"\x0E\x42\x5B\x0F");
  EXPECT_EQ(call(Currency, B, h, -1234.5, 0, 64).text, shifted);  // the handle's bytes
  EXPECT_EQ(call(Currency, X, h, -1234.5, 0, 64).text, shifted);
  EXPECT_EQ(call(Currency, X, h, -1234.5, 0, 64, 1).text, U"\x0F" + shifted);
  EXPECT_EQ(call(Currency, WF, h, -1234.5, 0, 64).text, U"\x425B\x60\xF1\x6B\xF2\xF3\xF4");
  EXPECT_EQ(call(Long, X, h, -5, 0, 64, 1).text, U"\x0F\x60\xF5");

  struct Cut {
    int32_t size, flags;
    u32string text;
    int32_t result, code;
  };
  // Shifted start: the shift-in goes only with a character, so sizes below the
  // double-byte symbol's run give nothing at all; a shift-in that closes the
  // double-byte part is taken when it fits; shift bytes are no characters.
  const Cut kCuts[] = {
      {3, 0, U"", 0, 40}, {4, T, U"", 0, 40}, {4, 0, U"\x0F\x0E\x42\x5B", 4, 40},
      {5, 0, U"\x0F\x0E\x42\x5B\x0F", 5, 40}, {7, T, U"\x0F\x0E\x42\x5B\x0F\x60\0"s, 7, 40},
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

// Where an output of `form` started in `state` may be cut in `text`: behind each
// character, and where shift bytes back to the single-byte state follow it, behind
// those (the output then ends closed; 0 where there are none).
struct Cuts {
  std::vector<size_t> chars, closed;
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
  const Subject kSubjects[] = {
      {"German_Germany.UTF-8", B, 0},  {"German_Germany.UTF-8", UF, 0},
      {"English_India.UTF-8", B, 0},   {"English_India.UTF-8", WF, 0},
      {"Japanese_Japan.MS932", B, 0},  {"Japanese_Japan.MS932", WF, 0},
      {"Japanese_Japan.IBM930", X, 0}, {"Japanese_Japan.IBM930", X, 1},
      {"Japanese_Japan.IBM930", UF, 0}, {"English_UnitedStates.IBM037", X, 1},
      // The yen behind the amount: the text ends with a double-byte part.
      {"Japanese_Japan.IBM930", X, 1, {{PL_P_CS_PRECEDES, nullptr, 0}, {PL_N_CS_PRECEDES, nullptr, 0}}},
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
          bool in_chars = bytes && (flags & CC) != 0 && family == Currency;
          bool counted = bytes && (flags & CC) != 0;
          size_t terminator = (flags & T) != 0 ? 1 : 0;
          for (int32_t size = 0; size <= static_cast<int32_t>(full.size()) + 2; ++size) {
            SCOPED_TRACE(std::string(subject.locale) + " " + kFormNames[subject.form] + " " +
                         std::to_string(family) + " " + std::to_string(value) + " size " +
                         std::to_string(size) + " flags " + std::to_string(flags));
            // A size in characters: room for the longest character and a shift byte each.
            long before = session_.heap().allocations;
            Output out = call(family, subject.form, h, value, flags, size, subject.state,
                              in_chars ? 5 * size : size);
            ASSERT_EQ(session_.heap().allocations, before);
            ASSERT_TRUE(out.guard_intact);
            size_t room = static_cast<size_t>(std::max(size, 1)) - terminator, kept = 0, chars = 0;
            for (size_t i = 0; i < cuts.chars.size(); ++i) {
              if (in_chars ? i >= room : cuts.chars[i] > room) break;
              kept = cuts.chars[i];
              ++chars;
              if (cuts.closed[i] != 0 && (in_chars || cuts.closed[i] <= room)) kept = cuts.closed[i];
            }
            if (size == 0 || (shifted_start && chars == 0)) {
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

TEST_F(Formatting, FormsWriteOneTextAndAllocateNothing) {
  // The U form is the Ex form's text in UTF-16 and the W form its packed characters,
  // wherever every separator has a one-byte code; without shift states the base form
  // is the Ex form. Only the conversions here allocate.
  std::mt19937_64 random(11);
  for (const char *name : {"English_UnitedStates.MS1252", "German_Germany.UTF-8",
                           "English_UnitedStates.IBM037", "Japanese_Japan.MS932",
                           "English_India.UTF-8", "Japanese_Japan.IBM930"}) {
    PLLocale *h = open(name);
    for (int i = 0; i < 300; ++i) {
      Family family = static_cast<Family>(i % 3);
      double value = family == Long ? random_long(random) : random_amount(random, -8, 12);
      int32_t flags = i % 2 ? TER : 0;
      if (family == Currency && i % 4 == 1) flags |= PL_NUM_INTL;
      if (family == Double && i % 4 == 3) flags |= PL_NUM_SIX_DECIMALS;
      long before = session_.heap().allocations;
      Output outs[4];
      for (Form form : kForms) outs[form] = call(family, form, h, value, flags, 512, i % 4 == 0);
      EXPECT_EQ(session_.heap().allocations, before);
      Output ex = call(family, X, h, value, flags, 512);
      std::string bytes(ex.text.begin(), ex.text.end());
      std::vector<PLUChar> units(bytes.size() + 1);
      int32_t n = PLStringToUnicodeEx(units.data(), static_cast<int32_t>(units.size()), h,
                                      bytes.data(), 0, static_cast<int32_t>(bytes.size()), 0);
      std::vector<PLWChar> packed(bytes.size() + 1);
      int32_t m = PLMbToWideEx(h, packed.data(), static_cast<int32_t>(packed.size()), bytes.data(),
                               0, static_cast<int32_t>(bytes.size()), 0);
      SCOPED_TRACE(std::string(name) + " " + hex(ex.text));
      ASSERT_GT(n, 0);
      ASSERT_GT(m, 0);
      EXPECT_EQ(outs[UF].text, u32string(units.begin(), units.begin() + n));
      EXPECT_EQ(outs[WF].text, u32string(packed.begin(), packed.begin() + m));
      if (PLGetLocaleNumInfo(h, PL_CODESET_STATEFUL, 0) == 0) {
        EXPECT_EQ(outs[B].text, ex.text);
      }
    }
  }
}

}  // namespace
