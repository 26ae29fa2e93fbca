// PLStringToLong and PLStringToDouble in their four forms: the rules of the tokens and
// of both algorithms, in the example locale (thousands separator comma, decimal point
// full stop, made by changing a German handle's items), in German, in EBCDIC, in
// Japanese with full-width digits, and with shift states.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <memory>
#include <string>

#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string, std::u16string, std::u32string;

constexpr int32_t kDouble = -1;  // base column: a PLStringToDouble case
constexpr int32_t kAll = -1;     // end and length columns: the whole text
constexpr int32_t MAP = PL_NUM_MAP_DIGITS, MON = PL_NUM_MONETARY, UNS = PL_NUM_UNSIGNED,
                  NOSEP = PL_NUM_NO_THOUSANDS, CC = PL_COUNT_CHARS;
const double kInf = HUGE_VAL;

enum Forms : unsigned { B = 1, X = 2, UF = 4, WF = 8, BYTES = B | X, ALL = 15 };

// A text, given as characters, read in every form of `forms`; `end` and `length` count
// characters and become bytes, units or elements per form.
struct Case {
  const char *locale;
  u32string text;
  int32_t base;
  double value;
  int32_t end = kAll;
  int32_t flags = 0;
  int32_t length = kAll;
  unsigned forms = ALL;
};

const char *const EX = "example", *const EX37 = "example037", *const SIGNS = "signs",
                  *const DE = "German_Germany.MS1252", *const FR = "French_France.MS1252",
                  *const JA = "Japanese_Japan.MS932", *const JA930 = "Japanese_Japan.IBM930";

const Case kCases[] = {
    // Grouping is not checked; one run of white space in front, none behind.
    {EX, U"1,234,567", 10, 1234567}, {EX, U"1,2,3", 10, 123}, {EX, U" \t 42", 10, 42},
    {EX, U"42 ", 10, 42, 2}, {EX, U"1,234", 10, 1, 1, NOSEP}, {EX, U"  +7", 10, 7},
    // A separator counts only between digits.
    {EX, U"1,", 10, 1, 1}, {EX, U"1,,2", 10, 1, 1}, {EX, U",1", 10, 0, 0}, {EX, U"1,x", 16, 1, 1},
    // Base 0 and 16 prefixes.
    {EX, U"0x1A", 0, 26}, {EX, U"0X1a", 0, 26}, {EX, U"017", 0, 15}, {EX, U"9", 0, 9},
    {EX, U"0", 0, 0}, {EX, U"08", 0, 0, 1}, {EX, U"0x1A", 16, 26}, {EX, U"1A", 16, 26},
    {EX, U"0x", 16, 0}, {EX, U"0xg", 0, 0, 2}, {EX, U"-0x10", 0, -16},
    // Overflow ends the number behind the digit that overflows, with no code.
    {EX, U"2147483647", 10, 2147483647}, {EX, U"2147483648", 10, 2147483647},
    {EX, U"21474836480", 10, 2147483647, 10}, {EX, U"-2147483648", 10, -2147483648.0},
    {EX, U"-2147483649", 10, -2147483648.0}, {EX, U"-21474836491", 10, -2147483648.0, 11},
    {EX, U"4294967295", 10, -1, kAll, UNS}, {EX, U"4294967296", 10, -1, kAll, UNS},
    {EX, U"42949672950", 10, -1, kAll, UNS}, {EX, U"42949672960", 10, -1, 10, UNS},
    {EX, U"-1", 10, 0, 0, UNS}, {EX, U"+1", 10, 1, kAll, UNS},
    {EX, U"ffffffff", 16, -1, kAll, UNS}, {EX, U"100000000", 16, -1, kAll, UNS},
    // Letters are digits of their value below the base only.
    {EX, U"abc", 10, 0, 0}, {EX, U"abc", 16, 2748}, {EX, U"Zz", 36, 1295}, {EX, U"102", 2, 2, 2},
    // A sign without digits stays read; nothing at all reads nothing.
    {EX, U"-", 10, 0, 1}, {EX, U"+x", 10, 0, 1}, {EX, U" ", 10, 0, 1}, {EX, U"", 10, 0},
    {EX, U"- 1", 10, 0, 1}, {EX, U"--1", 10, 0, 1},
    // Lengths bound the text.
    {EX, U"12345", 10, 123, kAll, 0, 3}, {EX, U"12345", 10, 0, kAll, 0, 0},
    {EX, U"1.5e3", kDouble, 1.5, kAll, 0, 3},

    {EX, U"1,234.5", kDouble, 1234.5}, {EX, U".5", kDouble, 0.5}, {EX, U"-1.5e3", kDouble, -1500},
    {EX, U"2D2", kDouble, 200}, {EX, U"2d-2", kDouble, 0.02}, {EX, U"1e", kDouble, 1},
    {EX, U"1e+", kDouble, 1}, {EX, U"1.5.5", kDouble, 1.5, 3}, {EX, U"1.", kDouble, 1},
    {EX, U"1,e5", kDouble, 1, 1}, {EX, U"1.5,5", kDouble, 1.5, 3}, {EX, U"1e5,5", kDouble, 1e5, 3},
    {EX, U"\t+.25", kDouble, 0.25}, {EX, U"1 ", kDouble, 1, 1}, {EX, U"1e 5", kDouble, 1, 2},
    {EX, U"-", kDouble, 0}, {EX, U".", kDouble, 0}, {EX, U"-.e5", kDouble, 0, 2},
    {EX, U"-0", kDouble, -0.0}, {EX, U"-0.0e7", kDouble, -0.0}, {EX, U"x", kDouble, 0, 0},
    // Correctly rounded: ties to even, a tail far behind the tie, extremes.
    {EX, U"9007199254740993", kDouble, 9007199254740992.0},
    {EX, U"9,007,199,254,740,993.00000000000000000000001", kDouble, 9007199254740994.0},
    {EX, U"0.1", kDouble, 0.1}, {EX, U"1e23", kDouble, 1e23},
    {EX, U"8.589973e9", kDouble, 8.589973e9},
    {EX, U"2.2250738585072011e-308", kDouble, 2.2250738585072011e-308},
    {EX, U"4.9e-324", kDouble, 4.9e-324}, {EX, U"2e-324", kDouble, 0},
    {EX, U"1e400", kDouble, kInf},
    {EX, U"-1e99999999999", kDouble, -kInf}, {EX, U"0e99999999999", kDouble, 0},
    {EX, U"1e-99999999999", kDouble, 0},
    {EX, U"1.7976931348623158e308", kDouble, 1.7976931348623157e308},
    {EX, U"1.7976931348623159e308", kDouble, kInf},

    // Monetary mode: the monetary separators and the locale's sign texts; the
    // exponent's sign stays - and +.
    {EX, U"-12.50", kDouble, -12.5, kAll, MON}, {EX, U"12.50-", kDouble, 12.5, 5, MON},
    {SIGNS, U"neg12;50", kDouble, -12.5, kAll, MON}, {SIGNS, U"plus7", 10, 7, kAll, MON},
    {SIGNS, U"-12", kDouble, 0, 0, MON}, {SIGNS, U"1e-2", kDouble, 0.01, kAll, MON},
    {SIGNS, U"1eneg2", kDouble, 1, 2, MON}, {SIGNS, U"ne5", 10, 0, 0, MON},
    {SIGNS, U"1_000;5", kDouble, 1000.5, kAll, MON}, {SIGNS, U"1,000.5", kDouble, 1, 1, MON},
    {SIGNS, U"neg7", 10, 0, 0, MON | UNS},

    // The handle's items, or with PL_FROM_TERRITORY the territory's (German).
    {EX, U"1.234,5", kDouble, 1.234, 5}, {EX, U"1.234,5", kDouble, 1234.5, kAll, PL_FROM_TERRITORY},
    {DE, U"1.234,5", kDouble, 1234.5}, {DE, U"1.234.567", 10, 1234567}, {DE, U"1,5", 10, 1, 1},
    // A separator that is white space is a separator.
    {FR, U"1\u00A0234,5", kDouble, 1234.5}, {FR, U"\u00A05", 10, 0, 0},
    {FR, U"\u00A0", kDouble, 0, 0},

    // EBCDIC: digits, letters, signs and the exponent marker of the family.
    {EX37, U"1,234.5", kDouble, 1234.5}, {EX37, U"-1.5e3", kDouble, -1500},
    {EX37, U"abc", 16, 2748},
    {EX37, U"-0x1A", 0, -26}, {EX37, U"+12", 10, 12}, {EX37, U"zZ", 36, 1295},

    // Digits of other scripts read only as mapped; a multibyte space is white space.
    {JA, U"\uFF11\uFF12\uFF13", 10, 123, kAll, MAP}, {JA, U"\uFF11\uFF12\uFF13", 10, 0, 0},
    {JA, U"\uFF11,\uFF12.\uFF15", kDouble, 12.5, kAll, MAP}, {JA, U"1\uFF10", 10, 10, kAll, MAP},
    {JA, U"\u30001", 10, 1}, {JA, U"\u3000 \u30002", kDouble, 2}, {JA, U"\uFF21", 16, 0, 0, MAP},
    {JA, U"\uFF11\uFF12\uFF134", 10, 12, kAll, MAP | CC, 2, BYTES},
    {JA, U"1\uFF12\uFF13", 10, 12, kAll, MAP | CC, 2},
    {EX, U"\u0661\u0662", 10, 12, kAll, MAP, kAll, UF}, {EX, U"\u0661", 10, 0, 0, 0, kAll, UF},
    {EX, U"1\u00B2", 10, 1, 1, MAP},  // a superscript is no decimal digit
    // IBM930 without shift states (base, U, W): full-width digits are double-byte.
    {JA930, U"\uFF11\uFF12", 10, 12, kAll, MAP, kAll, UF | WF}, {JA930, U"12", 10, 12},
};

// One handle per name; the example locales are made from German ones.
class NumberParse : public ::testing::Test {
 protected:
  PLLocale *handle(const string &name) {
    PLLocale *&l = handles_[name];
    if (l != nullptr) return l;
    if (name == EX || name == SIGNS) l = example("German_Germany.MS1252");
    else if (name == EX37) l = example("German_Germany.IBM037");
    else l = PLGetLocale(name.c_str(), 0, nullptr);
    EXPECT_NE(l, nullptr) << name;
    if (name == SIGNS) {
      set(l, PL_POSITIVE_SIGN, u"plus");
      set(l, PL_NEGATIVE_SIGN, u"neg");
      set(l, PL_MON_THOUSANDS_SEP, u"_");
      set(l, PL_MON_DECIMAL_POINT, u";");
    }
    return l;
  }
  ~NumberParse() override {
    for (auto &h : handles_) EXPECT_EQ(PLReleaseLocale(h.second), PL_OK);
  }

  static void set(PLLocale *l, PLLocaleItem item, const u16string &text) {
    const PLUChar *units = reinterpret_cast<const PLUChar *>(text.c_str());
    EXPECT_EQ(PLSetLocaleTextInfoU(l, item, units, -1, 0), 1) << item;
  }
  // Comma and full stop swapped, through a separator the swap does not meet.
  static PLLocale *example(const char *name) {
    PLLocale *l = PLGetLocale(name, 0, nullptr);
    for (auto [point, separator] : {std::pair{PL_DECIMAL_POINT, PL_THOUSANDS_SEP},
                                    {PL_MON_DECIMAL_POINT, PL_MON_THOUSANDS_SEP}}) {
      set(l, separator, u"'");
      set(l, point, u".");
      set(l, separator, u",");
    }
    set(l, PL_NEGATIVE_SIGN, u"-");
    return l;
  }

  pltest::Session session_{pltest::built_locale_dir()};
  std::map<string, PLLocale *> handles_;
};

const PLUChar *uc(const char16_t *p) { return reinterpret_cast<const PLUChar *>(p); }

u16string utf16(const u32string &text) {
  u16string units;
  for (char32_t c : text) units.push_back(static_cast<char16_t>(c));
  return units;
}

string bytes_of(PLLocale *l, const u32string &text) {
  u16string units = utf16(text);
  string out(units.size() * 4 + 4, '\0');
  int32_t n = PLUnicodeToString(l, out.data(), static_cast<int32_t>(out.size()), uc(units.c_str()),
                                static_cast<int32_t>(units.size()), 0);
  out.resize(static_cast<size_t>(std::max(n, 0)));
  return out;
}

u32string packed_of(PLLocale *l, const string &bytes) {
  u32string out(bytes.size() + 1, U'\0');
  int32_t n = PLMbToWide(l, reinterpret_cast<PLWChar *>(out.data()),
                         static_cast<int32_t>(out.size()), bytes.data(),
                         static_cast<int32_t>(bytes.size()), 0);
  out.resize(static_cast<size_t>(std::max(n, 0)));
  return out;
}

struct Outcome {
  double value;
  int32_t end;  // units read
  PLState end_state = 0;
};

bool same(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

// `text` in form `form`: bytes of the locale's code set, UTF-16 units, or packed
// characters (W) of the code set.
template <class S>
S text_in(PLLocale *l, Forms form, const u32string &text) {
  if constexpr (sizeof(typename S::value_type) == 1) return bytes_of(l, text);
  else if constexpr (sizeof(typename S::value_type) == 2) return utf16(text);
  else return form == WF ? packed_of(l, bytes_of(l, text)) : text;
}

template <class T>
Outcome call(PLLocale *l, Forms form, const T *text, int32_t length, int32_t base, int32_t flags) {
  Outcome out{};
  auto read = [&](auto parse_long, auto parse_double) {
    out.value = base == kDouble ? parse_double() : parse_long();
  };
  if constexpr (sizeof(T) == 1) {
    char *end = nullptr;
    if (form == X) {
      read([&] { return PLStringToLongEx(l, text, 0, length, &end, &out.end_state, base, flags); },
           [&] { return PLStringToDoubleEx(l, text, 0, length, &end, &out.end_state, flags); });
    } else {
      read([&] { return PLStringToLong(l, text, length, &end, base, flags); },
           [&] { return PLStringToDouble(l, text, length, &end, flags); });
    }
    out.end = static_cast<int32_t>(end - text);
  } else if constexpr (sizeof(T) == 2) {
    const PLUChar *s = reinterpret_cast<const PLUChar *>(text);
    PLUChar *end = nullptr;
    read([&] { return PLStringToLongU(l, s, length, &end, base, flags); },
         [&] { return PLStringToDoubleU(l, s, length, &end, flags); });
    out.end = static_cast<int32_t>(end - s);
  } else {
    const PLWChar *s = reinterpret_cast<const PLWChar *>(text);
    PLWChar *end = nullptr;
    read([&] { return PLStringToLongW(l, s, length, &end, base, flags); },
         [&] { return PLStringToDoubleW(l, s, length, &end, flags); });
    out.end = static_cast<int32_t>(end - s);
  }
  return out;
}

template <class S>
void run(PLLocale *l, Forms form, const Case &c, const string &what) {
  auto units = [&](int32_t chars) {  // the units of the first `chars` characters
    return static_cast<int32_t>(text_in<S>(l, form, c.text.substr(0, chars)).size());
  };
  S text = text_in<S>(l, form, c.text);
  // A length in characters stays one under PL_COUNT_CHARS in the byte forms.
  bool counted = (c.flags & CC) != 0 && (form & BYTES) != 0;
  int32_t length = c.length == kAll ? -1 : counted ? c.length : units(c.length);
  // With a length the text is an exact copy without a terminator: nothing behind it is read.
  size_t given = c.length == kAll ? 0 : static_cast<size_t>(units(c.length));
  std::unique_ptr<typename S::value_type[]> exact(new typename S::value_type[given + (given == 0)]);
  std::copy(text.begin(), text.begin() + static_cast<ptrdiff_t>(given), exact.get());
  const auto *s = c.length == kAll ? text.c_str() : exact.get();
  Outcome out = call(l, form, s, length, c.base, c.flags);
  int32_t end = c.end != kAll      ? c.end
                : c.length != kAll ? c.length
                                   : static_cast<int32_t>(c.text.size());
  if (c.base == kDouble)
    EXPECT_TRUE(same(out.value, c.value)) << what << ": " << out.value << " for " << c.value;
  else
    EXPECT_EQ(static_cast<int32_t>(out.value), static_cast<int32_t>(static_cast<int64_t>(c.value)))
        << what;
  EXPECT_EQ(out.end, units(end)) << what;
  EXPECT_EQ(out.end_state, 0u) << what;
  EXPECT_EQ(PLGetError(l), PL_OK) << what;
}

TEST_F(NumberParse, Cases) {
  for (const Case &c : kCases) handle(c.locale);
  long allocations = session_.heap().allocations;
  for (const Case &c : kCases) {
    PLLocale *l = handle(c.locale);
    string what = "case " + std::to_string(&c - kCases) + " (" + c.locale + ")";
    if (c.forms & B) run<string>(l, B, c, what + " base");
    if (c.forms & X) run<string>(l, X, c, what + " Ex");
    if (c.forms & UF) run<u16string>(l, UF, c, what + " U");
    if (c.forms & WF) run<u32string>(l, WF, c, what + " W");
  }
  EXPECT_EQ(session_.heap().allocations, allocations);  // the parsers allocate nothing
}

// Ex over a stateful set: shift bytes switch states and go with the character behind
// them; the end is in front of the shift run of the first character not read.
struct ShiftCase {
  string bytes;
  PLState state;
  int32_t base;
  int32_t flags;
  double value;
  int32_t end;
  PLState end_state;
};

const ShiftCase kShiftCases[] = {
    {"\x42\xF1\x42\xF2\x0F\xF3", 1, 10, MAP, 123, 6, 0},  // shifted from the start
    {"\x42\xF1\x42\xF2\x0F\xF3", 1, 10, 0, 0, 0, 1},
    {"\xF1\x0E\x42\xF2\x0F\xF3", 0, 10, MAP, 123, 6, 0},
    {"\xF1\xF2\x0E\x42\xC1\x0F", 0, 10, MAP, 12, 2, 0},      // a double-byte letter stops
    {"\xF1\x0E", 0, 10, 0, 1, 1, 0},                         // a run at the end is not read
    {"\x0F\xF1\x4B\xF5", 1, kDouble, 0, 1.5, 4, 0},
    {"\x0E\x42\xF1\x42\xF5\x0F", 0, kDouble, MAP, 15, 5, 1},
    {"\x0E\x40\x40\x0F\x60\xF2", 0, 10, 0, -2, 6, 0},         // a double-byte space run
    {"\x40\x0E\x40\x40\x0F", 0, kDouble, 0, 0, 4, 1},   // one run across the shift
    {"\x42\x60\xF1", 1, 10, 0, 0, 0, 1},                      // 0x60 is no sign when shifted
    {"\xF1\xF2\xF3", 0, 10, MAP | CC, 12, 2, 0},
    {"\x0E\x42\xF1\x0F\xF2\xF3", 0, 10, MAP | CC, 12, 5, 0},  // 2 characters, shift bytes aside
};

Outcome read_ex(PLLocale *l, const string &bytes, PLState state, int32_t length, int32_t base,
                int32_t flags) {
  Outcome out{};
  char *end = nullptr;
  const char *s = bytes.c_str();
  PLState *end_state = &out.end_state;
  out.value = base == kDouble ? PLStringToDoubleEx(l, s, state, length, &end, end_state, flags)
                              : PLStringToLongEx(l, s, state, length, &end, end_state, base, flags);
  out.end = static_cast<int32_t>(end - s);
  return out;
}

TEST_F(NumberParse, ShiftStates) {
  PLLocale *l = handle(JA930);
  for (const ShiftCase &c : kShiftCases) {
    string what = "case " + std::to_string(&c - kShiftCases);
    int32_t length = (c.flags & CC) ? 2 : static_cast<int32_t>(c.bytes.size());
    Outcome out = read_ex(l, c.bytes, c.state, length, c.base, c.flags);
    EXPECT_TRUE(same(out.value, c.value)) << what << ": " << out.value;
    EXPECT_EQ(out.end, c.end) << what;
    EXPECT_EQ(out.end_state, c.end_state) << what;
    EXPECT_EQ(PLGetError(l), PL_OK) << what;
  }
  // The base form reads shift bytes as characters, which no number holds.
  EXPECT_EQ(PLStringToLong(l, "\x0E\x42\xF1\x0F", -1, nullptr, 10, MAP), 0);
  EXPECT_EQ(PLStringToLong(l, "\xF1\x0E\x42\xF1\x0F", -1, nullptr, 10, MAP), 1);
  // Ex on a set without shift states is the base form; its states mean nothing.
  Outcome out = read_ex(handle(EX), "\x0E" "12", 1, -1, 10, 0);
  EXPECT_EQ(out.value, 0);
  EXPECT_EQ(out.end_state, 0u);
}

// A sign text of double-byte characters, in monetary mode: written with its shift-out
// in the single-byte state, without it in the shifted state, and as bytes with its
// shift bytes in the base form.
TEST_F(NumberParse, DoubleByteSignTexts) {
  PLLocale *l = handle(JA930);
  set(l, PL_NEGATIVE_SIGN, u"\uFF0D");  // full-width hyphen-minus, 0x4260
  long allocations = session_.heap().allocations;
  EXPECT_TRUE(same(read_ex(l, "\x0E\x42\x60\x0F\xF5", 0, -1, kDouble, MON).value, -5.0));
  Outcome shifted = read_ex(l, "\x42\x60\x0F\xF5\xF0", 1, -1, 10, MON);
  EXPECT_EQ(shifted.value, -50);
  EXPECT_EQ(shifted.end, 5);
  EXPECT_EQ(PLStringToLong(l, "\x0E\x42\x60\x0F\xF5", -1, nullptr, 10, MON), -5);
  const PLUChar *units = uc(u"\u22125");  // the UTF-16 copy holds what 0x4260 decodes to
  EXPECT_EQ(PLStringToLongU(l, units, -1, nullptr, 10, MON), -5);
  const PLWChar packed[] = {0x4260, 0xF5, 0};
  EXPECT_EQ(PLStringToLongW(l, packed, -1, nullptr, 10, MON), -5);
  // Without the flag the sign is the family's minus, 0x60.
  EXPECT_EQ(PLStringToLongW(l, packed, -1, nullptr, 10, 0), 0);
  EXPECT_EQ(PLGetError(l), PL_OK);
  EXPECT_EQ(session_.heap().allocations, allocations);
}

// Refused calls read nothing: *end at the text, the code in the handle, result 0.
TEST_F(NumberParse, RefusedCalls) {
  PLLocale *l = handle(EX);
  const char *text = "12";
  struct Refusal {
    int32_t base, flags, code;
  };
  for (Refusal r : {Refusal{1, 0, PL_ERR_BASE}, {-1, 0, PL_ERR_BASE}, {37, 0, PL_ERR_BASE},
                    {10, PL_TERMINATE, PL_ERR_ARGUMENT}, {10, 0x100, PL_ERR_ARGUMENT}}) {
    char *end = nullptr;
    PLState state = 7;
    EXPECT_EQ(PLStringToLongEx(l, text, 0, -1, &end, &state, r.base, r.flags), 0);
    EXPECT_EQ(end, text);
    EXPECT_EQ(state, 0u);
    EXPECT_EQ(PLGetError(l), r.code);
  }
  const PLUChar *units = uc(u"1");
  PLUChar *unit_end = nullptr;
  EXPECT_EQ(PLStringToDoubleU(l, units, -1, &unit_end, UNS), 0.0);  // a flag of longs only
  EXPECT_EQ(unit_end, units);
  EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT);
  char *end = const_cast<char *>(text);
  EXPECT_EQ(PLStringToLong(l, nullptr, -1, &end, 10, 0), 0);
  EXPECT_EQ(end, nullptr);
  EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLStringToDoubleW(l, nullptr, 3, nullptr, 0), 0.0);
  EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT);
  // A call that reads nothing is no failure, and clears the code.
  EXPECT_EQ(PLStringToDouble(l, "x", -1, nullptr, 0), 0.0);
  EXPECT_EQ(PLGetError(l), PL_OK);
}

}  // namespace
