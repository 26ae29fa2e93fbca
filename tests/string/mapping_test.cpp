// PLMapString and its forms: edge rules, and properties over every shipped code set.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using namespace std::string_literals;
using std::string, std::u16string, std::u32string;
constexpr int32_t kWhole = -100;  // a length standing for the whole test string
constexpr int32_t U = PL_MAP_UPPER, L = PL_MAP_LOWER, FW = PL_MAP_FULLWIDTH,
                  HW = PL_MAP_HALFWIDTH, DG = PL_MAP_DIGITS, CC = PL_COUNT_CHARS;
const char *const EN = "English_UnitedStates.MS1252", *const JA = "Japanese_Japan.MS932",
                  *const U8 = "English_UnitedStates.UTF-8", *const TR = "Turkish_Turkey.MS1254",
                  *const LT = "Lithuanian_Lithuania.UTF-8", *const IBM = "Japanese_Japan.IBM930";

template <class S> int32_t size_of(const S &s) { return static_cast<int32_t>(s.size()); }
const PLUChar *uc(const char16_t *p) { return reinterpret_cast<const PLUChar *>(p); }
PLUChar *uc(char16_t *p) { return reinterpret_cast<PLUChar *>(p); }
const PLWChar *wc(const char32_t *p) { return reinterpret_cast<const PLWChar *>(p); }
PLWChar *wc(char32_t *p) { return reinterpret_cast<PLWChar *>(p); }

enum Form { B, X, UF, WF };  // base, Ex, U, W
struct Case {  // elements are bytes (B, X), UTF-16 units (UF) or packed characters (WF)
  Form form;
  const char *locale;
  int32_t flags;
  u32string src, out;
  int32_t src_len = kWhole, dst_size = 64, result = kWhole;  // result kWhole: out's length
  PLState dst_state = 0, src_state = 0;
};

class Mapping : public ::testing::Test {
 protected:
  PLLocale *handle(const string &name) {  // opened once, released at the end
    PLLocale *&l = handles_[name];
    return l != nullptr ? l : (l = PLGetLocale(name.c_str(), 0, nullptr));
  }
  ~Mapping() override { for (auto &h : handles_) EXPECT_EQ(PLReleaseLocale(h.second), PL_OK); }
  pltest::Session session_{pltest::built_locale_dir()};
  std::map<string, PLLocale *> handles_;
};

const Case kCases[] = {
    // Other selectors: -1, PL_ERR_ARGUMENT (the next call clears it), nothing written.
    {B, U8, 1, U"abc", U"", kWhole, 3, -1}, {X, U8, int32_t(0x80002023), U"a", U"", 1, 3, -1},
    {UF, U8, int32_t(0x80000026), U"a", U"", 1, 2, -1}, {WF, U8, CC | 1, U"a", U"", 1, 2, -1},
    // Full upper case expands, and writes all of a mapping or none of it.
    {UF, U8, U, U"stra\u00DFe", U"STRASSE"}, {UF, U8, U, U"\u00DF", U"", kWhole, 1},
    {B, EN, U, U"stra\xDF" "e", U"STRASSE"}, {B, EN, U, U"a\xDF", U"A", kWhole, 2},
    {WF, EN, U, {0xDF}, {0x53, 0x53}}, {WF, EN, U, {0xDF}, {}, kWhole, 1},
    {UF, U8, U, {0xD801, 0xDC00}, U"\0"s, kWhole, 1, 0},  // no high surrogate left behind
    {B, U8, U, U"\xC7\x85", U"\xC7\x85"},  // titlecase ǅ: its type record holds the lowercase
    // -1 maps the NUL; PL_COUNT_CHARS counts characters (512 bytes at most); copies cut.
    {B, EN, U, U"abc", U"ABC\0"s, -1}, {UF, U8, U, U"ab", U"AB\0"s, -1},
    {B, JA, U | CC, U"a\x82\x81" "b", U"A\x82\x60", 2, 64, 2},
    {B, EN, U | CC, u32string(600, 'a'), u32string(512, 'A'), -1, 600, 512},
    {B, JA, PL_MAP_COPY, U"a\x82\x81", U"a", 2}, {B, JA, 0, U"a\x82\x81", U"a", kWhole, 2},
    {B, U8, DG, U"\xD9\xA0\xD9\xA9\xE0\xA5\xAB\xC2\xB2", U"095\xC2\xB2"},  // digits ٠٩५, not ²
    {UF, U8, DG, U"\u0660\u0669\u00B2\uFF15", U"09\u00B25"}, {UF, U8, FW, U" ", U"\u3000"},
    {B, JA, FW, U"Aa1 ", U"\x82\x60\x82\x81\x82\x50\x81\x40"}, {B, JA, HW, U"\x83\x41", U"\xB1"},
    // Language pairs; one the set cannot write (İ in MS1252) gives way to the one-to-one.
    {B, TR, U, U"i\xFD", U"\xDD" "I"}, {B, TR, L, U"I\xDD", U"\xFD" "i"},
    {B, "Turkish_Turkey.MS1252", U, U"i", U"I"}, {B, LT, U, U"i\xCC\x87" "a", U"IA"},
    // IBM930: shift bytes written and counted, room kept for the closing one.
    {X, IBM, FW, U"\xC1\xC2", U"\x0E\x42\xC1\x42\xC2\x0F"},
    {X, IBM, HW, U"\x0E\x42\xC1\x42\xF0\x0F\x62", U"\xC1\xF0\x62"},
    {X, IBM, U, U"\x0E\x42\x81\x42\x82\x0F", U"\x0E\x42\xC1\x0F", kWhole, 5, 4},
    {X, IBM, U, U"\x62", U"\x0F\xC1", kWhole, 64, kWhole, 1, 0},
};

// One case into a buffer of 0x7F: the result, the written prefix, nothing changed behind.
template <class T> void run(PLLocale *l, const Case &c, const string &what) {
  std::basic_string<T> src(c.src.begin(), c.src.end()), out(c.out.begin(), c.out.end()),
      dst(1024, T(0x7F));
  int32_t len = c.src_len == kWhole ? size_of(src) : c.src_len, size = c.dst_size, f = c.flags, n;
  if constexpr (sizeof(T) == 1)
    n = c.form == X ? PLMapStringEx(l, dst.data(), c.dst_state, size, src.c_str(), c.src_state,
                                    len, f)
                    : PLMapString(l, dst.data(), size, src.c_str(), len, f);
  else if constexpr (sizeof(T) == 2)
    n = PLMapStringU(l, uc(dst.data()), size, uc(src.c_str()), len, f);
  else
    n = PLMapStringW(l, wc(dst.data()), size, wc(src.c_str()), len, f);
  EXPECT_EQ(n, c.result == kWhole ? size_of(out) : c.result) << what;
  EXPECT_EQ(dst.substr(0, out.size() + 16), out + std::basic_string<T>(16, T(0x7F))) << what;
  EXPECT_EQ(PLGetError(l), c.result == -1 ? PL_ERR_ARGUMENT : PL_OK) << what;  // or cleared
}

TEST_F(Mapping, Cases) {
  for (const Case &c : kCases) {
    string what = "case " + std::to_string(&c - kCases) + " (" + c.locale + ")";
    c.form == UF   ? run<char16_t>(handle(c.locale), c, what)
    : c.form == WF ? run<char32_t>(handle(c.locale), c, what)
                   : run<char>(handle(c.locale), c, what);
  }
}

// The part of a buffer of `room` elements that `call` (writing to d, n elements) names.
template <class S, class F> S output(size_t room, F f) {
  S out(room, {});
  out.resize(static_cast<size_t>(std::max(f(out.data(), static_cast<int32_t>(room)), 0)));
  return out;
}
#define OUTPUT(S, room, call) output<S>(room, [&](auto *d, int32_t n) { return call; })

u16string decode(PLLocale *l, const string &s) {
  return OUTPUT(u16string, s.size() + 1, PLStringToUnicode(uc(d), n, l, s.data(), size_of(s), 0));
}
string map(PLLocale *l, const string &s, int32_t flags) {
  return OUTPUT(string, s.size() * 4 + 16, PLMapString(l, d, n, s.data(), size_of(s), flags));
}
u16string map_u(PLLocale *l, const u16string &s, int32_t flags) {
  return OUTPUT(u16string, s.size() * 3 + 1,
                PLMapStringU(l, uc(d), n, uc(s.data()), size_of(s), flags));
}
// The same mapping through the W form: packed characters mapped, then back to bytes.
string map_via_wide(PLLocale *l, const u32string &w, int32_t flags) {
  auto m = OUTPUT(u32string, w.size() * 3 + 1,
                  PLMapStringW(l, wc(d), n, wc(w.data()), size_of(w), flags));
  return OUTPUT(string, m.size() * 6 + 8, PLWideToMb(l, d, n, wc(m.data()), size_of(m), 0));
}

// No round trip: capitals with another capital's lowercase (İ), outside the one-to-one ranges
// (U+023A), titlecase Greek (lowercase expands) and digraphs (they keep their form in a set).
const std::set<char16_t> &unstable_units(PLLocale *utf8) {
  static const std::set<char16_t> units = [utf8] {
    std::set<char16_t> found = {0x01C5, 0x01C8, 0x01CB, 0x01F2};
    for (char16_t u = 1; u != 0; ++u) {
      u16string upper = map_u(utf8, u16string(1, u), U);
      if ((u < 0xD800 || u > 0xDFFF) && map_u(utf8, map_u(utf8, upper, L), U) != upper)
        found.insert(u);
    }
    return found;
  }();
  return units;
}

std::vector<string> shipped_codesets() {  // as test names, with '_' for '-'
  std::ifstream list(POLYLOC_SOURCE_DIR "/data/items.list");
  std::vector<string> names;
  for (string line, kind, number, name; std::getline(list, line);)
    if (std::istringstream(line) >> kind >> number >> name && kind == "codeset")
      names.push_back((std::replace(name.begin(), name.end(), '-', '_'), name));
  return names;
}

class EveryCodeSet : public Mapping, public ::testing::WithParamInterface<string> {};
// Over every character the set writes: upper of lower of upper is upper, the W form maps
// as the base form, and counting characters changes nothing but the result.
TEST_P(EveryCodeSet, Repertoire) {
  const std::set<char16_t> &unstable = unstable_units(handle(U8));
  EXPECT_TRUE(unstable.count(0x0130) && unstable.count(0x1F88) && unstable.size() < 80);
  string name = GetParam();
  std::replace(name.begin(), name.end(), '_', '-');
  PLLocale *l = handle("." + name);
  bool stateful = PLGetLocaleNumInfo(l, PL_CODESET_STATEFUL, 0) == 1;
  auto holds = [&](const u16string &units, string *why) {
    string text = OUTPUT(string, units.size() * 8 + 8,
                         PLUnicodeToString(l, d, n, uc(units.data()), size_of(units), 0));
    string upper = map(l, text, U);
    if (map(l, map(l, upper, L), U) != upper) return *why = "upper", false;
    auto wide =
        OUTPUT(u32string, text.size() + 1, PLMbToWide(l, wc(d), n, text.data(), size_of(text), 0));
    for (int32_t flags :
         {0, PL_MAP_COPY, FW, HW, L, U, PL_MAP_LOWER_SIMPLE, PL_MAP_UPPER_SIMPLE, DG}) {
      string a = flags == U ? upper : map(l, text, flags), b = map_via_wide(l, wide, flags);
      if (stateful ? decode(l, a) != decode(l, b) : a != b)
        return *why = "W form, selector " + std::to_string(flags), false;
      if (flags != U && flags != FW) continue;
      // PL_COUNT_CHARS writes the same and counts it (Ex: shift bytes are no characters).
      string counted(600, '\x7F');
      int32_t chars = PLMapStringEx(l, counted.data(), 0, 600, text.c_str(), 0, -1, flags | CC);
      if (counted.substr(0, a.size() + 2) != a + '\0' + '\x7F' ||
          chars != PLNumCharsEx(l, a.c_str(), 0, -1) + 1)
        return *why = "counted, selector " + std::to_string(flags), false;
    }
    return true;
  };
  // The repertoire: every unit the set writes and reads back as itself.
  u16string bmp, units;
  for (uint32_t u = 1; u < 0x10000; ++u)
    if (u < 0xD800 || u > 0xDFFF) bmp.push_back(static_cast<char16_t>(u));
  auto packed =
      OUTPUT(u32string, bmp.size(), PLUnicodeToStringW(l, wc(d), n, uc(bmp.data()), n, 0));
  auto back =
      OUTPUT(u16string, bmp.size(), PLStringToUnicodeW(uc(d), n, l, wc(packed.data()), n, 0));
  ASSERT_EQ(back.size(), bmp.size());
  for (size_t i = 0; i < bmp.size(); ++i)
    if (back[i] == bmp[i] && !unstable.count(bmp[i])) units.push_back(bmp[i]);
  EXPECT_GT(units.size(), 90u);
  string why;
  for (size_t at = 0; at < units.size() && !HasFailure(); at += 64)
    if (!holds(units.substr(at, 64), &why))
      for (char16_t u : units.substr(at, 64))  // name the characters
        if (!holds(u16string(1, u), &why)) ADD_FAILURE() << "U+" << std::hex << +u << ": " << why;
}

INSTANTIATE_TEST_SUITE_P(Mapping, EveryCodeSet, ::testing::ValuesIn(shipped_codesets()),
                         [](const auto &info) { return info.param; });

}  // namespace
