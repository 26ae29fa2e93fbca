// PLStrcmp and its forms: edge cases per code set and form, properties over random
// strings of every shipped code set, and full folding without memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "conversion_api/codesets.h"
#include "string/unicode/unicode_mapping.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string, std::u16string, std::u32string;

constexpr int32_t kWhole = -100;  // a length standing for the whole test string
constexpr int32_t S = PL_IGNORE_CASE_SIMPLE, F = PL_IGNORE_CASE, CC = PL_COUNT_CHARS;
constexpr int32_t kFlagSets[] = {0, CC, S, S | CC, F, F | CC, 0x40, INT32_MIN};
const char *const EN = "English_UnitedStates.MS1252", *const JA = "Japanese_Japan.MS932",
                  *const U8 = "English_UnitedStates.UTF-8", *const TU = "Turkish_Turkey.UTF-8",
                  *const IBM = "Japanese_Japan.IBM930";

int sign(int64_t v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }
template <class T> int32_t size_of(const T &s) { return static_cast<int32_t>(s.size()); }
const PLUChar *uc(const char16_t *p) { return reinterpret_cast<const PLUChar *>(p); }
const PLWChar *wc(const char32_t *p) { return reinterpret_cast<const PLWChar *>(p); }
PLWChar *wc(char32_t *p) { return reinterpret_cast<PLWChar *>(p); }

enum Form { B, X, UF, WF };  // base (also run as Ex in other states: the same), Ex, U, W

struct Case {
  Form form;
  const char *locale;
  u32string a, b;  // bytes, UTF-16 units or packed characters
  int32_t flags, expected;
  int32_t la = kWhole, lb = kWhole;
  PLState sa = 0, sb = 0;
  bool sign_only = false;
};

const Case kCases[] = {
    {B, EN, U"abc", U"abd", 0, -1}, {B, EN, U"abd", U"abc", 0, 1},
    {B, EN, U"ab", U"abcd", 0, -2}, {B, EN, U"abcd", U"ab", 0, 2},  // a prefix: the lengths
    {B, EN, U"\xE9", U"z", 0, 1},  // bytes are unsigned
    {B, EN, U"abc", U"abc", 0, 0, -1, 3}, {B, EN, U"abc", U"ab", 0, 1, -1, -1},
    {B, EN, U"", U"", 0, 0}, {B, EN, U"", U"", F, 0}, {B, EN, U"", U"abc", F, -3},
    {B, EN, U"abc", U"", S, 3}, {B, EN, U"abc", U"xyz", F, 0, 0, 0},
    {B, EN, U"stra\xDF" "e", U"STRASSE", F, 0}, {B, EN, U"stra\xDF" "e", U"STRASSE", S, 0xDF - 'S'},
    {B, EN, U"\xDF", U"SS", 0x40, 0}, {B, EN, U"\xDF", U"SS", INT32_MIN, 0},
    {B, EN, U"\xDF", U"S", F, 1}, {B, EN, U"\xDF", U"SSS", F, -1},  // mapped lengths, bytes
    {B, EN, U"abc", U"ABD", F, -1}, {B, EN, U"a", U"B", S, -1}, {B, EN, U"z", U"a", S, 25},
    {B, EN, U"\xE9\xFF", U"\xC9\x9F", S, 0}, {B, EN, U"abc", U"ABCDE", S, -2},  // éÿ ÉŸ
    {B, EN, U"abc", U"ABC", CC, 1}, {B, EN, U"abc", U"ABC", S | CC, 0},
    {B, JA, U"\x82\xA0\x82\xA2", U"\x82\xA0", 0, 0, 3},  // lengths cut to whole characters
    {B, JA, U"\x82\xA0", U"", 0, 0, 1}, {B, JA, U"\x82\xA0", U"a", 0, -1, 1},
    {B, JA, U"\x82\xA0\x82\xA2", U"\x82\xA0", CC, 0, 1, 1},
    {B, JA, U"a\x82\xA0", U"A\x82\xA2", S, -2},
    {B, JA, U"\x82\xA0", U"a", S, 1}, {B, JA, U"a", U"\x82\xA0", S, -1},  // lengths 2 and 1
    {B, JA, U"\x82\x81\x83\xBF", U"\x82\x60\x83\x9F", S, 0},  // ａα, ＡΑ
    {B, JA, U"\x82\x81", U"\x82\x61", S, -1}, {B, JA, U"\x82\x81", U"\x82\x60", F, 0},
    {B, JA, U"\x82\x81", U"\x82\x60", 0, 1},
    {B, U8, U"stra\xC3\x9F" "e", U"STRASSE", F, 0}, {B, U8, U"\xEF\xAC\x80", U"FF", F, 0},
    {B, U8, U"\xCE\x90", U"\xCE\x99\xCC\x88\xCC\x81", F, 0}, {B, U8, U"\xC3\x9F", U"S", F, 1},
    {B, U8, U"\xC3\xA9", U"\xC3\x89", S, 0}, {B, U8, U"\xC3\xA9", U"\xC3\x8A", S, -1},
    {B, U8, U"\xC3\x9F", U"SS", S, 1}, {B, U8, U"a", U"\xC3\xA0", 0, -1},
    {B, TU, U"i", U"I", F, 1}, {B, TU, U"i", U"\xC4\xB0", F, 0},  // İ against I
    {B, TU, U"i", U"I", S, 0},  // the one-to-one upper knows no language
    {X, IBM, U"\x0E\x42\x81\x0F", U"\x0E\x42\xC1\x0F", 0, -1},
    {X, IBM, U"\x0E\x42\x81\x0F", U"\x0E\x42\xC1\x0F", S, 0},
    {X, IBM, U"\x0E\x42\x81\x0F", U"\x0E\x42\xC1\x0F", F, 0},
    {X, IBM, U"\x42\x81", U"\x42\xC1", S, 0, kWhole, kWhole, 1, 1},
    {X, IBM, U"\x42\x81", U"\x42\xC1", F, 0, kWhole, kWhole, 1, 1},
    {X, IBM, U"\x42\x81", U"\x42\xC1", 0, -1, kWhole, kWhole, 1, 1},
    {X, IBM, U"\x0E\x42\x81\x42\x82\x0F", U"\x0E\x42\xC1\x0F", S, 1, kWhole, kWhole, 0, 0, true},
    {X, IBM, U"\x62", U"\xC1", S, 0}, {X, IBM, U"\x62", U"\xC1", 0, -1},
    {X, IBM, U"\x62\x0E\x42\x81\x0F", U"\xC1\x0E\x42\xC1\x0F", F, 0},
    {UF, U8, U"a", U"c", 0, -2}, {UF, U8, U"\uFF21", U"A", 0, 0xFF21 - 'A'},
    {UF, U8, U"ab", U"abc", 0, -1}, {UF, U8, U"ab", U"ab", 0, 0, -1, -5},
    {UF, U8, U"a", U"B", S, -1}, {UF, U8, U"z", U"A", S, 1}, {UF, U8, U"\u00E9", U"\u00C9", S, 0},
    {UF, U8, U"stra\u00DFe", U"STRASSE", F, 0},
    {UF, U8, U"", U"", F, 0}, {UF, U8, U"", U"ab", F, -2},
    {UF, U8, U"\u00DF", U"S", F, 1, kWhole, kWhole, 0, 0, true}, {UF, TU, U"i", U"I", F, 1},
    {WF, JA, {0x8260}, {0x41}, 0, 0x8260 - 0x41},
    {WF, JA, {0x61, 0x62, 0}, {0x61, 0x62, 0x63}, 0, -1, -1},
    {WF, JA, {0x61}, {0x41}, S, 0}, {WF, JA, {0x8281}, {0x8260}, S, 0},
    {WF, JA, {0x8281}, {0x8261}, S, -1},
    {WF, EN, {0xFF}, {0x9F}, S, 0}, {WF, EN, {0xDF}, {0x53, 0x53}, F, 0},
    {WF, U8, {0xC39F}, {0x53, 0x53}, F, 0}, {WF, EN, {}, {}, F, 0},
    // Three units of uppercase from one (U+0390), in the U and W forms too.
    {UF, U8, U"\u0390", U"\u0399\u0308\u0301", F, 0}, {UF, U8, U"\u0390", U"A", F, 1},
    {WF, U8, {0xCE90}, {0xCE99, 0xCC88, 0xCC81}, F, 0}, {WF, U8, {0xCE90}, {0x41}, F, 1},
};


int32_t compare(PLLocale *l, const Case &c, bool swap = false, bool ex_states = false) {
  const u32string &a = swap ? c.b : c.a, &b = swap ? c.a : c.b;
  int32_t la = swap ? c.lb : c.la, lb = swap ? c.la : c.lb;
  la = la == kWhole ? size_of(a) : la, lb = lb == kWhole ? size_of(b) : lb;
  PLState sa = ex_states ? 1 : swap ? c.sb : c.sa, sb = ex_states ? 1 : swap ? c.sa : c.sb;
  u16string ua(a.begin(), a.end()), ub(b.begin(), b.end());
  string x(a.begin(), a.end()), y(b.begin(), b.end());
  switch (c.form == B && ex_states ? X : c.form) {
    case B: return PLStrcmp(l, x.c_str(), la, y.c_str(), lb, c.flags);
    case X: return PLStrcmpEx(l, x.c_str(), sa, la, y.c_str(), sb, lb, c.flags);
    case UF: return PLStrcmpU(l, uc(ua.c_str()), la, uc(ub.c_str()), lb, c.flags);
    default: return PLWcscmp(l, wc(a.c_str()), la, wc(b.c_str()), lb, c.flags);
  }
}

class Compare : public ::testing::Test {
 protected:
  PLLocale *handle(const string &name) {  // opened once, released at the end
    PLLocale *&l = handles_[name];
    if (l == nullptr) l = PLGetLocale(name.c_str(), 0, nullptr);
    EXPECT_NE(l, nullptr) << name;
    return l;
  }
  ~Compare() override {
    for (auto &h : handles_) EXPECT_EQ(PLReleaseLocale(h.second), PL_OK);
  }
  // The result, the cleared error, the swapped sign, and the Ex form of a base case.
  template <size_t N> void check(const Case (&cases)[N]) {
    for (const Case &c : cases) {
      PLLocale *l = handle(c.locale);
      string what = "case " + std::to_string(&c - cases) + " (" + c.locale + ")";
      int32_t r = compare(l, c);
      EXPECT_EQ(c.sign_only ? sign(r) : r, c.expected) << what;
      EXPECT_EQ(PLGetError(l), PL_OK) << what;
      EXPECT_EQ(sign(compare(l, c, true)), -sign(r)) << what;
      EXPECT_EQ(c.form == B ? compare(l, c, false, true) : r, r) << what << ": Ex";
    }
  }
  pltest::Session session_{pltest::built_locale_dir()};
  std::map<string, PLLocale *> handles_;
};

TEST_F(Compare, Cases) { check(kCases); }

TEST_F(Compare, OtherFlagsGiveZeroAndError2) {
  PLLocale *l = handle(U8);
  for (int32_t flags : {0x10, 1, 8, 0x20, 0x10 | CC, PL_LAST, S | 0x100})
    for (Form form : {B, X, UF, WF}) {
      EXPECT_EQ(compare(l, {form, U8, U"a", U"b", flags, 0}), 0) << flags << " " << form;
      EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT) << flags << " " << form;
    }
}

// Full folding allocates; when the alloc hook fails the result is 0 with
// PL_ERR_NO_MEMORY, and whatever was allocated before comes back (the session checks).
TEST_F(Compare, FullFoldingWithoutMemory) {
  PLLocale *l = handle(U8);
  pltest::Heap &heap = session_.heap();
  for (Form form : {B, X, UF, WF})
    for (long nth : {1, 2}) {
      Case c{form, U8, U"a", U"b", F, 0};
      long live = heap.live;
      heap.fail_at = heap.attempts + nth;
      int32_t r = compare(l, c);
      bool failed = heap.attempts >= heap.fail_at;
      heap.fail_at = -1;
      EXPECT_TRUE(failed || nth > 1) << form;
      EXPECT_EQ(r, failed ? 0 : -1) << form << " " << nth;
      EXPECT_EQ(PLGetError(l), failed ? PL_ERR_NO_MEMORY : PL_OK) << form << " " << nth;
      EXPECT_EQ(heap.live, live) << form << " " << nth;
      EXPECT_EQ(compare(l, c), -1) << form;
      EXPECT_EQ(PLGetError(l), PL_OK) << form;  // cleared again
    }
}

// Random strings, and beside each the same, a prefix, the same in other cases, or another.
pltest::Units variant(std::mt19937 &random, const pltest::Units &units) {
  pltest::Units out = units;
  switch (random() % 4) {
    case 0: return out;
    case 1: out.resize(random() % (units.size() + 1)); return out;
    case 2:
      for (uint16_t &u : out) u = random() % 2 ? pl::unicode_upper(u) : pl::unicode_lower(u);
      return out;
    default: return pltest::random_units(random, random() % 8);
  }
}

TEST_F(Compare, RandomStringsOfEveryCodeSet) {
  pltest::Codesets sets(session_);
  std::mt19937 random(1234);
  for (const pltest::Codeset &set : sets.all()) {
    PLLocale *l = set.locale;
    for (int i = 0; i < 40; ++i) {
      pltest::Units ua = pltest::random_units(random, random() % 8), ub = variant(random, ua);
      u16string za(ua.begin(), ua.end()), zb(ub.begin(), ub.end()), xa = za, xb = zb;
      for (char16_t &c : xa) c = pl::unicode_upper(c);  // the one-to-one capitals
      for (char16_t &c : xb) c = pl::unicode_upper(c);
      string a(za.size() * 8 + 1, '\0'), b(zb.size() * 8 + 1, '\0');
      a.resize(PLUnicodeToString(l, a.data(), size_of(a), uc(za.c_str()), size_of(za), 0));
      b.resize(PLUnicodeToString(l, b.data(), size_of(b), uc(zb.c_str()), size_of(zb), 0));
      u32string wa(a.size() + 1, U'\0'), wb(b.size() + 1, U'\0');
      wa.resize(PLMbToWide(l, wc(wa.data()), size_of(wa), a.data(), size_of(a), 0));
      wb.resize(PLMbToWide(l, wc(wb.data()), size_of(wb), b.data(), size_of(b), 0));
      for (int32_t flags : kFlagSets) {
        SCOPED_TRACE(set.name + " string " + std::to_string(i) + " flags " + std::to_string(flags));
        int32_t la = flags & CC ? -1 : size_of(a), lb = flags & CC ? -1 : size_of(b);
        int32_t r = PLStrcmp(l, a.c_str(), la, b.c_str(), lb, flags);
        EXPECT_EQ(sign(PLStrcmp(l, b.c_str(), lb, a.c_str(), la, flags)), -sign(r));
        EXPECT_EQ(PLStrcmp(l, a.c_str(), la, a.c_str(), la, flags), 0);
        int32_t x = PLStrcmpEx(l, a.c_str(), 0, la, b.c_str(), 0, lb, flags);
        EXPECT_EQ(sign(PLStrcmpEx(l, b.c_str(), 0, lb, a.c_str(), 0, la, flags)), -sign(x));
        EXPECT_EQ(set.stateful ? r : x, r);  // the Ex form is the base form on other sets
        if (flags == 0) {
          int m = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
          EXPECT_EQ(sign(r), sign(m != 0 ? m : size_of(a) - size_of(b)));
        }
        int32_t w = PLWcscmp(l, wc(wa.c_str()), size_of(wa), wc(wb.c_str()), size_of(wb), flags);
        EXPECT_EQ(sign(PLWcscmp(l, wc(wb.c_str()), -1, wc(wa.c_str()), -1, flags)), -sign(w));
        int32_t u = PLStrcmpU(l, uc(za.c_str()), size_of(za), uc(zb.c_str()), size_of(zb), flags);
        EXPECT_EQ(sign(PLStrcmpU(l, uc(zb.c_str()), -1, uc(za.c_str()), -1, flags)), -sign(u));
        int capitals = xa < xb ? -1 : xb < xa ? 1 : 0;
        EXPECT_TRUE((flags & ~CC) != S || sign(u) == capitals) << u << " " << capitals;
      }
    }
  }
}

}  // namespace
