// PLStrcmp and its forms: edge rules, random strings of every code set, folding without memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <tuple>

#include "conversion_api/codesets.h"
#include "string/unicode/unicode_mapping.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string, std::u16string, std::u32string;
constexpr int32_t kWhole = -100;  // a length standing for the whole test string
constexpr int32_t S = PL_IGNORE_CASE_SIMPLE, F = PL_IGNORE_CASE, CC = PL_COUNT_CHARS;
const char *const EN = "English_UnitedStates.MS1252", *const JA = "Japanese_Japan.MS932",
                  *const U8 = "English_UnitedStates.UTF-8", *const IBM = "Japanese_Japan.IBM930";

int sign(int64_t v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }
template <class T> int32_t size_of(const T &s) { return static_cast<int32_t>(s.size()); }
const PLUChar *uc(const char16_t *p) { return reinterpret_cast<const PLUChar *>(p); }
const PLWChar *wc(const char32_t *p) { return reinterpret_cast<const PLWChar *>(p); }
PLWChar *wc(char32_t *p) { return reinterpret_cast<PLWChar *>(p); }

enum Form { B, X, UF, WF };  // base (also run as Ex in other states: the same), Ex, U, W
struct Case {  // bytes, UTF-16 units or packed characters
  Form form;
  const char *locale;
  u32string a, b;
  int32_t flags, expected, la = kWhole, lb = kWhole;
  PLState sa = 0, sb = 0;
};

const Case kCases[] = {
    // Other flags give 0 and PL_ERR_ARGUMENT in every form; the next call clears the error.
    {B, U8, U"a", U"b", 0x10, 0}, {X, U8, U"a", U"b", 1, 0}, {UF, U8, U"a", U"b", PL_LAST, 0},
    {WF, U8, U"a", U"b", S | 0x100, 0}, {B, U8, U"a", U"b", 0x10 | CC, 0},
    // Flags 0: ±1 at a difference, the length difference for a prefix; the U and W forms give
    // the difference of the elements. Lengths are cut to whole characters.
    {UF, U8, U"a", U"c", 0, -2}, {B, EN, U"abc", U"abd", 0, -1}, {B, EN, U"ab", U"abcd", 0, -2},
    {B, EN, U"abc", U"abc", 0, 0, -1, 3}, {B, JA, U"\x82\xA0\x82\xA2", U"\x82\xA0", 0, 0, 3},
    {B, EN, U"", U"", 0, 0}, {B, EN, U"", U"abc", F, -3}, {WF, EN, {}, {}, F, 0},
    // Simple folding: the difference of the capitals; full folding (bits 0x40 and
    // 0x80000000 each select it): the expansions, of up to three units.
    {B, EN, U"stra\xDF" "e", U"STRASSE", F, 0}, {B, EN, U"stra\xDF" "e", U"STRASSE", S, 0xDF - 'S'},
    {B, EN, U"\xDF", U"SS", 0x40, 0}, {B, EN, U"\xDF", U"SS", INT32_MIN, 0},
    {UF, U8, U"\u0390", U"\u0399\u0308\u0301", F, 0}, {WF, U8, {0xCE90}, {0x41}, F, 1},
    {WF, U8, {0xCE90}, {0xCE99, 0xCC88, 0xCC81}, F, 0}, {UF, U8, U"\u0390", U"A", F, 1},
    {X, IBM, U"\x0E\x42\x81\x0F", U"\x0E\x42\xC1\x0F", 0, -1},  // shift states
    {X, IBM, U"\x42\x81", U"\x42\xC1", F, 0, kWhole, kWhole, 1, 1},
    {X, IBM, U"\x62\x0E\x42\x81\x0F", U"\xC1\x0E\x42\xC1\x0F", S, 0},
};

// c.a against c.b, a base case perhaps as Ex in shifted states.
int32_t compare(PLLocale *l, const Case &c, bool ex_states = false) {
  int32_t la = c.la == kWhole ? size_of(c.a) : c.la, lb = c.lb == kWhole ? size_of(c.b) : c.lb;
  PLState sa = ex_states ? 1 : c.sa, sb = ex_states ? 1 : c.sb;
  u16string ua(c.a.begin(), c.a.end()), ub(c.b.begin(), c.b.end());
  string x(c.a.begin(), c.a.end()), y(c.b.begin(), c.b.end());
  switch (c.form == B && ex_states ? X : c.form) {
    case B: return PLStrcmp(l, x.c_str(), la, y.c_str(), lb, c.flags);
    case X: return PLStrcmpEx(l, x.c_str(), sa, la, y.c_str(), sb, lb, c.flags);
    case UF: return PLStrcmpU(l, uc(ua.c_str()), la, uc(ub.c_str()), lb, c.flags);
    default: return PLWcscmp(l, wc(c.a.c_str()), la, wc(c.b.c_str()), lb, c.flags);
  }
}

class Compare : public ::testing::Test {
 protected:
  PLLocale *handle(const string &name) {  // opened once, released at the end
    PLLocale *&l = handles_[name];
    return l != nullptr ? l : (l = PLGetLocale(name.c_str(), 0, nullptr));
  }
  ~Compare() override { for (auto &h : handles_) EXPECT_EQ(PLReleaseLocale(h.second), PL_OK); }
  pltest::Session session_{pltest::built_locale_dir()};
  std::map<string, PLLocale *> handles_;
};

// The result, the cleared error, the swapped sign, and the Ex form of a base case.
TEST_F(Compare, Cases) {
  for (const Case &c : kCases) {
    PLLocale *l = handle(c.locale);
    int32_t r = compare(l, c);
    int32_t error = c.flags & ~(CC | S | F) ? PL_ERR_ARGUMENT : PL_OK;
    EXPECT_EQ(std::tuple(r, PLGetError(l)), std::tuple(c.expected, error)) << &c - kCases;
    Case swapped{c.form, c.locale, c.b, c.a, c.flags, 0, c.lb, c.la, c.sb, c.sa};
    EXPECT_EQ(std::tuple(sign(compare(l, swapped)), c.form == B ? compare(l, c, true) : r),
              std::tuple(-sign(r), r)) << &c - kCases;
  }
}

// Full folding allocates: when that fails, 0 and PL_ERR_NO_MEMORY, and nothing is kept.
TEST_F(Compare, FullFoldingWithoutMemory) {
  PLLocale *l = handle(U8);
  pltest::Heap &heap = session_.heap();
  for (Form form : {B, X, UF, WF})
    for (long nth : {1, 2}) {
      SCOPED_TRACE(std::to_string(form) + " " + std::to_string(nth));
      Case c{form, U8, U"a", U"b", F, 0};
      long live = heap.live;
      heap.fail_at = heap.attempts + nth;
      int32_t r = compare(l, c);
      bool failed = heap.attempts >= heap.fail_at;
      heap.fail_at = -1;
      EXPECT_EQ(std::tuple(failed || nth > 1, r, PLGetError(l), long(heap.live)),
                std::tuple(true, failed ? 0 : -1, failed ? PL_ERR_NO_MEMORY : PL_OK, live));
      r = compare(l, c);
      EXPECT_EQ(std::tuple(r, PLGetError(l)), std::tuple(-1, PL_OK));  // cleared again
    }
}

// Random strings, and beside each the same, a prefix, the same in other cases, or another.
pltest::Units variant(std::mt19937 &random, const pltest::Units &units) {
  pltest::Units out = units;
  switch (random() % 4) {
    case 0: return out;
    case 1: return out.resize(random() % (units.size() + 1)), out;
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
      for (u16string *x : {&xa, &xb})  // the one-to-one capitals
        for (char16_t &c : *x) c = pl::unicode_upper(c);
      string a(za.size() * 8 + 1, '\0'), b(zb.size() * 8 + 1, '\0');
      u32string wa, wb;
      for (auto [z, s, w] : {std::tuple(&za, &a, &wa), std::tuple(&zb, &b, &wb)}) {
        s->resize(PLUnicodeToString(l, s->data(), size_of(*s), uc(z->c_str()), size_of(*z), 0));
        w->assign(s->size() + 1, U'\0');
        w->resize(PLMbToWide(l, wc(w->data()), size_of(*w), s->data(), size_of(*s), 0));
      }
      for (int32_t flags : {0, CC, S, S | CC, F, F | CC, 0x40, INT32_MIN}) {
        SCOPED_TRACE(set.name + " string " + std::to_string(i) + " flags " + std::to_string(flags));
        int32_t la = flags & CC ? -1 : size_of(a), lb = flags & CC ? -1 : size_of(b);
        int32_t r = PLStrcmp(l, a.c_str(), la, b.c_str(), lb, flags);
        EXPECT_EQ(sign(PLStrcmp(l, b.c_str(), lb, a.c_str(), la, flags)), -sign(r));
        EXPECT_EQ(PLStrcmp(l, a.c_str(), la, a.c_str(), la, flags), 0);
        int32_t x = PLStrcmpEx(l, a.c_str(), 0, la, b.c_str(), 0, lb, flags);
        EXPECT_EQ(sign(PLStrcmpEx(l, b.c_str(), 0, lb, a.c_str(), 0, la, flags)), -sign(x));
        EXPECT_EQ(set.stateful ? r : x, r);  // the Ex form is the base form on other sets
        int m = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
        EXPECT_TRUE(flags != 0 || sign(r) == sign(m != 0 ? m : size_of(a) - size_of(b)));
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
