// PLStringToLong and PLStringToDouble in their four forms, where strtol and strtod
// cannot tell (parse_glibc_test has the plain texts): thousands separators, overflow,
// lengths, monetary mode and sign texts, the territory's items, EBCDIC, full-width
// digits under PL_NUM_MAP_DIGITS, shift states, refused calls.
#include <map>

#include "format/number_calls.h"

namespace {

using namespace numtest;
using std::string;

constexpr int32_t kAll = -1;  // end and length columns: the whole text
constexpr int32_t MAP = PL_NUM_MAP_DIGITS, MON = PL_NUM_MONETARY, UNS = PL_NUM_UNSIGNED,
                  NOSEP = PL_NUM_NO_THOUSANDS, CC = PL_COUNT_CHARS;
constexpr unsigned ALL = 15, BYTES = 1u << B | 1u << X, U_ = 1u << UF, W_ = 1u << WF;

// A text read in every form of `forms`; `end` and `length` count characters and become
// bytes, units or elements per form.
struct Case {
  const char *locale;
  u16string text;
  int32_t base;  // kDouble: PLStringToDouble
  double value;
  int32_t end = kAll, flags = 0, length = kAll;
  unsigned forms = ALL;
};

const char *const EX = "MS1252", *const EX37 = "IBM037", *const SIGNS = "signs",
                  *const DE = "German_Germany.MS1252", *const FR = "French_France.MS1252",
                  *const JA = "Japanese_Japan.MS932", *const JA930 = "Japanese_Japan.IBM930";

const Case kCases[] = {
    // Group sizes are not checked; a separator counts only between digits.
    {EX, u"1,234,567", 10, 1234567}, {EX, u"1,2,3", 10, 123}, {EX, u"1,234", 10, 1, 1, NOSEP},
    {EX, u"1,", 10, 1, 1}, {EX, u"1,,2", 10, 1, 1}, {EX, u",1", 10, 0, 0}, {EX, u"1,x", 16, 1, 1},
    {EX, u"1,234.5", kDouble, 1234.5}, {EX, u"1,e5", kDouble, 1, 1},
    {EX, u"1.5,5", kDouble, 1.5, 3}, {EX, u"1e5,5", kDouble, 1e5, 3},
    // Overflow ends the number behind the digit that overflows, with no code.
    {EX, u"2147483648", 10, INT32_MAX}, {EX, u"21474836480", 10, INT32_MAX, 10},
    {EX, u"-2147483649", 10, INT32_MIN}, {EX, u"-21474836491", 10, INT32_MIN, 11},
    {EX, u"42949672960", 10, -1, 10, UNS}, {EX, u"100000000", 16, -1, kAll, UNS},
    {EX, u"-1", 10, 0, 0, UNS},
    // Lengths bound the text; inf, nan and hexadecimal floats are no numbers.
    {EX, u"12345", 10, 123, kAll, 0, 3}, {EX, u"12345", 10, 0, kAll, 0, 0},
    {EX, u"1.5e3", kDouble, 1.5, kAll, 0, 3}, {EX, u"inf", kDouble, 0, 0},
    {EX, u"-nan", kDouble, 0, 1}, {EX, u"0x1p3", kDouble, 0, 1},
    // Monetary mode: the monetary separators and the locale's sign texts; the
    // exponent's sign stays - and +.
    {EX, u"-12.50", kDouble, -12.5, kAll, MON}, {EX, u"12.50-", kDouble, 12.5, 5, MON},
    {SIGNS, u"neg12;50", kDouble, -12.5, kAll, MON}, {SIGNS, u"plus7", 10, 7, kAll, MON},
    {SIGNS, u"-12", kDouble, 0, 0, MON}, {SIGNS, u"1e-2", kDouble, 0.01, kAll, MON},
    {SIGNS, u"1eneg2", kDouble, 1, 2, MON}, {SIGNS, u"ne5", 10, 0, 0, MON},
    {SIGNS, u"1_000;5", kDouble, 1000.5, kAll, MON}, {SIGNS, u"1,000.5", kDouble, 1, 1, MON},
    {SIGNS, u"neg7", 10, 0, 0, MON | UNS},
    // The handle's items, or with PL_FROM_TERRITORY the territory's (German).
    {EX, u"1.234,5", kDouble, 1.234, 5}, {EX, u"1.234,5", kDouble, 1234.5, kAll, PL_FROM_TERRITORY},
    {DE, u"1.234,5", kDouble, 1234.5}, {DE, u"1.234.567", 10, 1234567}, {DE, u"1,5", 10, 1, 1},
    // A separator that is white space is a separator.
    {FR, u"1\u00A0234,5", kDouble, 1234.5}, {FR, u"\u00A05", 10, 0, 0},
    {FR, u"\u00A0", kDouble, 0, 0},
    // EBCDIC: digits, letters, signs and the exponent marker of the family.
    {EX37, u"-1,234.5e3", kDouble, -1234500}, {EX37, u"abc", 16, 2748},
    {EX37, u"-0x1A", 0, -26}, {EX37, u"+zZ", 36, 1295},
    // Digits of other scripts read only as mapped; a multibyte space is white space.
    {JA, u"\uFF11\uFF12\uFF13", 10, 123, kAll, MAP}, {JA, u"\uFF11\uFF12\uFF13", 10, 0, 0},
    {JA, u"\uFF11,\uFF12.\uFF15", kDouble, 12.5, kAll, MAP}, {JA, u"1\uFF10", 10, 10, kAll, MAP},
    {JA, u"\u30001", 10, 1}, {JA, u"\u3000 \u30002", kDouble, 2}, {JA, u"\uFF21", 16, 0, 0, MAP},
    {JA, u"\uFF11\uFF12\uFF134", 10, 12, kAll, MAP | CC, 2, BYTES},
    {JA, u"1\uFF12\uFF13", 10, 12, kAll, MAP | CC, 2},
    {EX, u"\u0661\u0662", 10, 12, kAll, MAP, kAll, U_}, {EX, u"\u0661", 10, 0, 0, 0, kAll, U_},
    {EX, u"1\u00B2", 10, 1, 1, MAP},  // a superscript is no decimal digit
    // IBM930 without shift states (base, U, W): full-width digits are double-byte.
    {JA930, u"\uFF11\uFF12", 10, 12, kAll, MAP, kAll, U_ | W_}, {JA930, u"12", 10, 12},
};

// One handle per name: the example locale in its code set, the example with sign texts
// and monetary separators of several characters, or a named locale.
class NumberParse : public NumberTest {
 protected:
  PLLocale *handle(const string &name) {
    PLLocale *&h = handles_[name];
    if (h != nullptr) return h;
    if (name == SIGNS)
      h = example(EX, {{PL_POSITIVE_SIGN, u"plus"}, {PL_NEGATIVE_SIGN, u"neg"},
                       {PL_MON_THOUSANDS_SEP, u"_"}, {PL_MON_DECIMAL_POINT, u";"}});
    else h = name.find('.') == string::npos ? example(name) : open(name);
    return h;
  }
  std::map<string, PLLocale *> handles_;
};

TEST_F(NumberParse, Cases) {
  for (const Case &c : kCases) handle(c.locale);
  long allocations = session_.heap().allocations;
  for (const Case &c : kCases) {
    PLLocale *h = handle(c.locale);
    for (Form form : kForms) {
      if ((c.forms & 1u << form) == 0) continue;
      SCOPED_TRACE("case " + std::to_string(&c - kCases) + " " + c.locale + " " + kFormNames[form]);
      auto units = [&](int32_t chars) {  // the elements of the first `chars` characters
        return static_cast<int32_t>(encoded(form, h, c.text.substr(0, chars)).size());
      };
      // A length in characters stays one under PL_COUNT_CHARS in the byte forms.
      bool counted = (c.flags & CC) != 0 && (BYTES & 1u << form) != 0;
      int32_t length = c.length == kAll ? -1 : counted ? c.length : units(c.length);
      u32string text = encoded(form, h, c.text);
      if (c.length != kAll) text.resize(static_cast<size_t>(units(c.length)));
      Read out = read(h, form, text, length, c.base, c.flags);
      EXPECT_TRUE(same(out.value, c.value)) << out.value << " for " << c.value;
      EXPECT_EQ(out.end, units(c.end != kAll ? c.end : c.length != kAll ? c.length
                                                                        : int32_t(c.text.size())));
      EXPECT_EQ(out.end_state, 0u);
      EXPECT_EQ(out.code, PL_OK);
    }
  }
  EXPECT_EQ(session_.heap().allocations, allocations);  // the parsers allocate nothing
}

// Ex over a stateful set: shift bytes switch states and go with the character behind
// them; the end is in front of the shift run of the first character not read.
struct ShiftCase {
  string bytes;
  PLState state;
  int32_t base, flags;
  double value;
  int32_t end;
  PLState end_state;
};

const ShiftCase kShiftCases[] = {
    {"\x42\xF1\x42\xF2\x0F\xF3", 1, 10, MAP, 123, 6, 0},  // shifted from the start
    {"\x42\xF1\x42\xF2\x0F\xF3", 1, 10, 0, 0, 0, 1},
    {"\xF1\x0E\x42\xF2\x0F\xF3", 0, 10, MAP, 123, 6, 0},
    {"\xF1\xF2\x0E\x42\xC1\x0F", 0, 10, MAP, 12, 2, 0},  // a double-byte letter stops
    {"\xF1\x0E", 0, 10, 0, 1, 1, 0},                     // a run at the end is not read
    {"\x0F\xF1\x4B\xF5", 1, kDouble, 0, 1.5, 4, 0},
    {"\x0E\x42\xF1\x42\xF5\x0F", 0, kDouble, MAP, 15, 5, 1},
    {"\x0E\x40\x40\x0F\x60\xF2", 0, 10, 0, -2, 6, 0},  // a double-byte space run
    {"\x40\x0E\x40\x40\x0F", 0, kDouble, 0, 0, 4, 1},  // one run across the shift
    {"\x42\x60\xF1", 1, 10, 0, 0, 0, 1},               // 0x60 is no sign when shifted
    {"\xF1\xF2\xF3", 0, 10, MAP | CC, 12, 2, 0},
    {"\x0E\x42\xF1\x0F\xF2\xF3", 0, 10, MAP | CC, 12, 5, 0},  // 2 characters, shift bytes aside
};

TEST_F(NumberParse, ShiftStates) {
  PLLocale *h = handle(JA930);
  for (const ShiftCase &c : kShiftCases) {
    SCOPED_TRACE("case " + std::to_string(&c - kShiftCases));
    int32_t length = (c.flags & CC) ? 2 : static_cast<int32_t>(c.bytes.size());
    Read out = read(h, X, widen(c.bytes), length, c.base, c.flags, c.state);
    EXPECT_TRUE(same(out.value, c.value)) << out.value;
    EXPECT_EQ(out.end, c.end);
    EXPECT_EQ(out.end_state, c.end_state);
    EXPECT_EQ(out.code, PL_OK);
  }
  // The base form reads shift bytes as characters, which no number holds.
  EXPECT_EQ(read(h, B, widen("\x0E\x42\xF1\x0F"), -1, 10, MAP).value, 0);
  EXPECT_EQ(read(h, B, widen("\xF1\x0E\x42\xF1\x0F"), -1, 10, MAP).value, 1);
  // Ex on a set without shift states is the base form; its states mean nothing.
  Read plain = read(handle(EX), X, U"\x0E" U"12", -1, 10, 0, 1);
  EXPECT_EQ(plain.value, 0);
  EXPECT_EQ(plain.end_state, 0u);
}

// A sign text of double-byte characters, in monetary mode: written with its shift-out
// in the single-byte state, without it in the shifted state, and as bytes with its
// shift bytes in the base form.
TEST_F(NumberParse, DoubleByteSignTexts) {
  PLLocale *h = open(JA930, {{PL_NEGATIVE_SIGN, u"\uFF0D"}});  // full-width minus, 0x4260
  long allocations = session_.heap().allocations;
  EXPECT_TRUE(same(read(h, X, widen("\x0E\x42\x60\x0F\xF5"), -1, kDouble, MON).value, -5.0));
  Read shifted = read(h, X, widen("\x42\x60\x0F\xF5\xF0"), -1, 10, MON, 1);
  EXPECT_EQ(shifted.value, -50);
  EXPECT_EQ(shifted.end, 5);
  EXPECT_EQ(read(h, B, widen("\x0E\x42\x60\x0F\xF5"), -1, 10, MON).value, -5);
  EXPECT_EQ(read(h, UF, U"\u22125", -1, 10, MON).value, -5);  // what 0x4260 decodes to
  EXPECT_EQ(read(h, WF, U"\x4260\xF5", -1, 10, MON).value, -5);
  // Without the flag the sign is the family's minus, 0x60.
  Read plain = read(h, WF, U"\x4260\xF5", -1, 10, 0);
  EXPECT_EQ(plain.value, 0);
  EXPECT_EQ(plain.code, PL_OK);
  EXPECT_EQ(session_.heap().allocations, allocations);
}

// Refused calls read nothing: *end at the text, the code in the handle, result 0.
TEST_F(NumberParse, RefusedCalls) {
  PLLocale *h = handle(EX);
  struct Refusal {
    Form form;
    int32_t base, flags, code;
  };
  for (Refusal r : {Refusal{X, 1, 0, PL_ERR_BASE}, {X, -2, 0, PL_ERR_BASE}, {B, 37, 0, PL_ERR_BASE},
                    {X, 10, PL_TERMINATE, PL_ERR_ARGUMENT}, {WF, 10, 0x100, PL_ERR_ARGUMENT},
                    {UF, kDouble, UNS, PL_ERR_ARGUMENT}}) {  // a flag of longs only
    Read out = read(h, r.form, U"12", -1, r.base, r.flags, 1);
    EXPECT_EQ(out.value, 0);
    EXPECT_EQ(out.end, 0);
    EXPECT_EQ(out.end_state, 0u);
    EXPECT_EQ(out.code, r.code);
  }
  char sentinel = 0, *end = &sentinel;
  EXPECT_EQ(PLStringToLong(h, nullptr, -1, &end, 10, 0), 0);
  EXPECT_EQ(end, nullptr);
  EXPECT_EQ(PLGetError(h), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLStringToDoubleW(h, nullptr, 3, nullptr, 0), 0.0);
  EXPECT_EQ(PLGetError(h), PL_ERR_ARGUMENT);
  // A call that reads nothing is no failure, and clears the code.
  EXPECT_EQ(read(h, B, U"x", -1, kDouble).code, PL_OK);
}

}  // namespace
