// PLMapString and its forms: edge cases per code set and form, properties over the
// whole repertoire of every shipped code set, and character counting with its bound.
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
constexpr int32_t U = PL_MAP_UPPER, L = PL_MAP_LOWER, US = PL_MAP_UPPER_SIMPLE,
                  LS = PL_MAP_LOWER_SIMPLE, FW = PL_MAP_FULLWIDTH, HW = PL_MAP_HALFWIDTH,
                  DG = PL_MAP_DIGITS, CC = PL_COUNT_CHARS;
constexpr int32_t kSelectors[] = {0, PL_MAP_COPY, FW, HW, L, U, LS, US, DG};
const char *const EN = "English_UnitedStates.MS1252", *const JA = "Japanese_Japan.MS932",
                  *const U8 = "English_UnitedStates.UTF-8", *const TR = "Turkish_Turkey.MS1254",
                  *const TU = "Turkish_Turkey.UTF-8", *const LT = "Lithuanian_Lithuania.UTF-8",
                  *const IBM = "Japanese_Japan.IBM930",
                  *const GB = "SimplifiedChinese_China.GB18030";

template <class S> int32_t size_of(const S &s) { return static_cast<int32_t>(s.size()); }
const PLUChar *uc(const char16_t *p) { return reinterpret_cast<const PLUChar *>(p); }
PLUChar *uc(char16_t *p) { return reinterpret_cast<PLUChar *>(p); }
const PLWChar *wc(const char32_t *p) { return reinterpret_cast<const PLWChar *>(p); }
PLWChar *wc(char32_t *p) { return reinterpret_cast<PLWChar *>(p); }
u32string times(const u32string &s, int n) { return n == 0 ? U"" : s + times(s, n - 1); }

enum Form { B, X, UF, WF };  // base, Ex, U, W

// Elements are bytes (B, X), UTF-16 units (UF) or packed characters (WF).
struct Case {
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
    if (l == nullptr) l = PLGetLocale(name.c_str(), 0, nullptr);
    EXPECT_NE(l, nullptr) << name;
    return l;
  }
  ~Mapping() override {
    for (auto &h : handles_) EXPECT_EQ(PLReleaseLocale(h.second), PL_OK);
  }
  template <size_t N> void run_cases(const Case (&cases)[N]);
  pltest::Session session_{pltest::built_locale_dir()};
  std::map<string, PLLocale *> handles_;
};

const Case kCases[] = {
    {B, EN, U, U"stra\xDF" "e", U"STRASSE"}, {B, EN, L, U"\xC0\xC9 \x9FZ", U"\xE0\xE9 \xFFz"},
    {B, EN, U, U"\xFF\x9C\x9A\xB5", U"\x9F\x8C\x8A\xB5"},  // ÿœšµ: µ has no one-to-one capital
    {B, EN, U, U"abc", U"ABC\0"s, -1},                     // the NUL is mapped and counted
    {B, EN, U, U"abc", U"", 0}, {B, EN, U, U"abc", U"", kWhole, 0},
    {B, EN, DG, U"1\xB2\xB3\xBC", U"1\xB2\xB3\xBC"},       // superscripts are no class digits
    {B, EN, FW, U"A 1", U"A 1"},                           // no full-width forms in the set
    {B, EN, U, U"a\xDF", U"A", kWhole, 2},  // "SS" does not fit behind "A"
    {B, EN, U, U"\xDF", U"", kWhole, 1},
    {B, EN, U, U"\xDF" "a", U"SS", kWhole, 2},
    {B, JA, FW, U"Aa1 ", U"\x82\x60\x82\x81\x82\x50\x81\x40"},
    {B, JA, FW, U"\xB1", U"\x83\x41"}, {B, JA, HW, U"\x83\x41", U"\xB1"},  // katakana a
    {B, JA, U, U"a\x82\x81\x83\xBF", U"A\x82\x60\x83\x9F"},  // aａα
    {B, JA, DG, U"\x82\x4F\x82\x58x", U"09x"}, {B, JA, U, U"a\x82\x81", U"A", kWhole, 2},
    {B, JA, U | CC, U"a\x82\x81" "b", U"A\x82\x60", 2, 64, 2},  // lengths count characters
    {B, U8, U, U"stra\xC3\x9F" "e", U"STRASSE"},
    {B, U8, U, U"\xEF\xAC\x80\xC5\x89", U"FF\xCA\xBCN"},  // ﬀŉ
    {B, U8, U, U"\xCE\x90", U"\xCE\x99\xCC\x88\xCC\x81"},  // ΐ: three characters
    {B, U8, US, U"\xC3\x9F\xEF\xAC\x80", U"\xC3\x9F\xEF\xAC\x80"},
    {B, U8, L, U"\xC3\x89\xCE\xA3\xC4\xB0", U"\xC3\xA9\xCF\x83i"},  // ÉΣİ
    {B, U8, U, U"i\xC3\xA9\xC4\xB1", U"I\xC3\x89I"},       // ı has the capital I
    {B, U8, DG, U"\xD9\xA0\xD9\xA9\xE0\xA5\xAB\xC2\xB2", U"095\xC2\xB2"},  // ٠٩५²
    {B, U8, FW, U"A ", U"\xEF\xBC\xA1\xE3\x80\x80"},
    {B, U8, U, U"a\xC3\x9F", U"A", kWhole, 2},
    {B, U8, U, U"\xEF\xAC\x83", U"", kWhole, 2},
    {B, U8, U, U"a\xC3\x9F", U"ASS", kWhole, 3},
    {B, U8, U | CC, U"\xC3\x9F" "a", U"SSA", kWhole, 64, 3},
    {B, U8, U | CC, U"\xC3\x9F" "a", U"SS", kWhole, 2, 2},
    {B, TR, U, U"i\xFD", U"\xDD" "I"}, {B, TR, L, U"I\xDD", U"\xFD" "i"},  // iı İI, Iİ ıi
    {B, TR, US, U"i", U"I"}, {B, TR, LS, U"I", U"i"}, {B, TU, L, U"I", U"\xC4\xB1"},
    {B, TU, U, U"i\xC3\x9F", U"\xC4\xB0SS"}, {B, TU, U, U"i", U"", kWhole, 1},
    {B, TU, U, U"\xC3\x9F", U"", kWhole, 1},
    {B, LT, U, U"i\xCC\x87" "a", U"IA"}, {B, LT, U, U"i\xCC\x87", U"I", kWhole, 1},  // i̇ → I
    {B, LT, U, U"\xC4\xAF\xCC\x87j\xCC\x87", U"\xC4\xAEJ"},
    {B, LT, U, U"\xCA\x9D\xCC\x87\xCA\x9D", U"\xEA\x9E\xB2\xCA\x9D"},  // ʝ̇ → Ʝ, ʝ stays
    {B, LT, US, U"i\xCC\x87", U"I\xCC\x87"},
    {X, IBM, FW, U"\xC1\xC2", U"\x0E\x42\xC1\x42\xC2\x0F"},
    {X, IBM, FW, U"\xC1\xC2", U"\x0E\x42\xC1\x0F", kWhole, 4},  // room kept for shift-in
    {X, IBM, U, U"\x0E\x42\x81\x42\x82\x0F", U"\x0E\x42\xC1\x0F", kWhole, 5, 4},
    {X, IBM, FW, U"\x81", U"\x0E\x43\x81\x0F"},  // katakana a
    {X, IBM, L, U"\x0E\x41\x61\x0F", U"\x0E\x41\x41\x0F"},  // Α → α
    {X, IBM, HW, U"\x0E\x42\xC1\x42\xC2\x0F\x62", U"\xC1\xC2\x62"},
    {X, IBM, U, U"\x62\x0E\x42\x81\x0F", U"\xC1\x0E\x42\xC1\x0F"},
    {X, IBM, U, U"\x42\x81\x42\x82", U"\x42\xC1\x42\xC2", kWhole, 64, kWhole, 1, 1},
    {X, IBM, U, U"\x62", U"\x0F\xC1", kWhole, 64, kWhole, 1, 0},  // shift byte counted
    {X, IBM, DG, U"\x0E\x42\xF0\x42\xF9\x0F", U"\xF0\xF9"},
    {X, IBM, U | CC, U"\x62\x0E\x42\x81\x0F", U"\xC1\x0E\x42\xC1\x0F\0"s, -1, 64, 3},
    {B, IBM, U, U"\x62\x0E\x42\x81\x0F", U"\xC1\x0E\x42\xC1\x0F"},
    // PL_COUNT_CHARS: output through a work buffer of min(dstSize × 6, 512) bytes
    {B, EN, U | CC, times(U"a", 600), times(U"A", 512), -1, 600, 512},
    {B, EN, U | CC, times(U"a", 600), times(U"A", 10), -1, 10},
    {B, EN, U, times(U"a", 600), times(U"A", 600), -1, 600},   // bytes: no bound
    {B, U8, U | CC, times(U"\xC3\xA9", 300), times(U"\xC3\x89", 256), -1, 1000, 256},
    {B, U8, U | CC, times(U"\xEF\xAC\x83", 10), U"FFIFF", -1, 5},  // 30 bytes mapped, 5 kept
    {UF, U8, U, U"stra\u00DFe", U"STRASSE"}, {UF, U8, U | CC, U"\u00DF", U"SS"},
    {UF, U8, U, U"\u00DF", U"", kWhole, 1}, {UF, U8, U, U"a\u00DF", U"A", kWhole, 2},
    {UF, U8, U, U"\u0390", U"", kWhole, 2}, {UF, U8, U, U"ab", U"AB\0"s, -1},
    {UF, U8, HW, U"\uFF21", U"A"}, {UF, U8, FW, U" ", U"\u3000"}, {UF, TU, L, U"I", U"\u0131"},
    {UF, U8, L, U"\u0130\u03A3", U"i\u03C3"},
    {UF, U8, DG, U"\u0660\u0669\u00B2\uFF15", U"09\u00B25"},
    {UF, U8, U, {0xD801, 0xDC00}, U"\0"s, kWhole, 1, 0},  // no high surrogate left behind
    {UF, TU, U, U"i\u0131", U"\u0130I"}, {UF, LT, U, U"i\u0307j\u0307i", U"IJI"},
    {WF, JA, U, {0x61, 0x8281, 0x83BF}, {0x41, 0x8260, 0x839F}},
    {WF, JA, FW, {0x41, 0x20}, {0x8260, 0x8140}}, {WF, JA, HW, {0x8260, 0x8140}, {0x41, 0x20}},
    {WF, EN, U, {0xDF}, {0x53, 0x53}}, {WF, EN, U, {0xDF}, {}, kWhole, 1},
    {WF, EN, U, {0x61, 0}, {0x41, 0}, -1}, {WF, TR, U, {0x69}, {0xDD}},
    {WF, U8, U, {0xC39F, 0xCE90}, {0x53, 0x53, 0xCE99, 0xCC88, 0xCC81}},
    {WF, IBM, U, {0x62, 0x4281}, {0xC1, 0x42C1}},
    // A pair result the set cannot write (İ in MS1252) gives way to the one-to-one upper.
    {B, "Turkish_Turkey.MS1252", U, U"i", U"I"},
    // A count of characters ends at a NUL, as every count of characters does.
    {B, EN, U | CC, U"ab\0cd"s, U"AB"s, 5, 64, 2},
    // Output cut in the shifted state keeps room for the closing shift-in.
    {X, IBM, U, U"\x0E\x42\x81\x42\x82\x0F", U"\x0E\x42\xC1\x0F", kWhole, 4},
    // A code set's type record holds one case partner: the titlecase digraphs ǅǈǋǲ carry
    // their lowercase and keep their form in upper case; the U form gives ǄǇǊǱ.
    {B, U8, U, U"\xC7\x85\xC7\x88\xC7\x8B\xC7\xB2", U"\xC7\x85\xC7\x88\xC7\x8B\xC7\xB2"},
    {WF, U8, U, {0xC785, 0xC7B2}, {0xC785, 0xC7B2}},
    {UF, U8, U, U"\u01C5\u01F2", U"\u01C4\u01F1"},
};

constexpr char16_t kTitlecaseDigraphs[] = {0x01C5, 0x01C8, 0x01CB, 0x01F2};

// One case into a buffer prefilled with 0x7F: the result, the written prefix, and
// nothing changed behind it.
template <class T>
void run(PLLocale *locale, const Case &c, size_t index) {
  std::basic_string<T> src(c.src.begin(), c.src.end()), out(c.out.begin(), c.out.end());
  std::basic_string<T> dst(1024, T(0x7F));
  int32_t len = c.src_len == kWhole ? size_of(src) : c.src_len, n;
  if constexpr (sizeof(T) == 1) {
    n = c.form == X ? PLMapStringEx(locale, dst.data(), c.dst_state, c.dst_size, src.c_str(),
                                    c.src_state, len, c.flags)
                    : PLMapString(locale, dst.data(), c.dst_size, src.c_str(), len, c.flags);
  } else if constexpr (sizeof(T) == 2) {
    n = PLMapStringU(locale, uc(dst.data()), c.dst_size, uc(src.c_str()), len, c.flags);
  } else {
    n = PLMapStringW(locale, wc(dst.data()), c.dst_size, wc(src.c_str()), len, c.flags);
  }
  std::ostringstream what;
  what << "case " << index << " (" << c.locale << ", flags " << std::hex << c.flags << ")";
  EXPECT_EQ(n, c.result == kWhole ? size_of(out) : c.result) << what.str();
  EXPECT_EQ(dst.substr(0, out.size()), out) << what.str();
  EXPECT_EQ(dst.substr(out.size(), 16), std::basic_string<T>(16, T(0x7F))) << what.str();
  EXPECT_EQ(PLGetError(locale), PL_OK) << what.str();
}

template <size_t N>
void Mapping::run_cases(const Case (&cases)[N]) {
  for (size_t i = 0; i < N; ++i) {
    const Case &c = cases[i];
    PLLocale *l = handle(c.locale);
    if (c.form == UF) run<char16_t>(l, c, i);
    else if (c.form == WF) run<char32_t>(l, c, i);
    else run<char>(l, c, i);
  }
}

TEST_F(Mapping, Cases) { run_cases(kCases); }

TEST_F(Mapping, OtherSelectorsFailInEveryForm) {
  PLLocale *l = handle(U8);
  for (int32_t flags : {1, 8, 0x20, PL_LAST, int32_t(0x80000026), int32_t(0x80002023), U | 8,
                        CC | 1, int32_t(0x80000000)}) {
    char b[4] = "xyz";
    PLUChar u[2] = {7, 7}, us[] = {'a', 0};
    PLWChar w[2] = {7, 7}, ws[] = {'a', 0};
    for (int32_t n : {PLMapString(l, b, 3, "abc", 3, flags),
                      PLMapStringEx(l, b, 0, 3, "abc", 0, 3, flags),
                      PLMapStringU(l, u, 2, us, 1, flags), PLMapStringW(l, w, 2, ws, 1, flags)})
      EXPECT_EQ(n, -1) << flags;
    EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT);
    EXPECT_EQ(string(b) + char(u[0] + w[0]), "xyz\x0E");  // nothing written
    EXPECT_EQ(PLMapString(l, b, 3, "abc", 3, U), 3);
    EXPECT_EQ(PLGetError(l), PL_OK);  // cleared again
  }
}

// The copies are PLStrcpy and PLStrcpyU, cut characters included.
TEST_F(Mapping, CopyIsStrcpy) {
  PLLocale *l = handle(JA);
  const char *src = "a\x82\x81" "b\x83\xBF";
  const PLUChar units[] = {'a', 0xD801, 0xDC00, 'b', 0};
  for (int32_t len : {-1, 0, 1, 2, 3, 4, 6})
    for (int32_t size : {0, 1, 2, 3, 4, 5, 7})
      for (int32_t flags : {0, PL_MAP_COPY, CC, PL_MAP_COPY | CC}) {
        char a[8] = {}, b[8] = {};
        PLUChar x[8] = {}, y[8] = {};
        EXPECT_EQ(PLMapString(l, a, size, src, len, flags),
                  PLStrcpy(l, b, size, src, len, flags & CC));
        EXPECT_EQ(PLMapStringU(l, x, size, units, std::min(len, 5), flags),
                  PLStrcpyU(l, y, size, units, std::min(len, 5)));
        EXPECT_TRUE(string(a, 8) == string(b, 8) && std::equal(x, x + 8, y))
            << len << " " << size << " " << flags;
      }
}

// The part of a buffer of `room` elements that `call` (writing to d, n elements) names.
template <class S, class F> S output(size_t room, F f) {
  S out(room, {});
  out.resize(static_cast<size_t>(std::max(f(out.data(), static_cast<int32_t>(room)), 0)));
  return out;
}
#define OUTPUT(S, room, call) output<S>(room, [&](auto *d, int32_t n) { return call; })

string encode(PLLocale *l, const u16string &s) {
  return OUTPUT(string, s.size() * 8 + 8, PLUnicodeToString(l, d, n, uc(s.data()), size_of(s), 0));
}
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

// Capitals whose lowercase has another capital (İ → i → I), capitals outside the
// one-to-one ranges (U+023A), titlecase Greek with prosgegrammeni (lowercase expands),
// and the titlecase digraphs, which keep their form in a code set: no round trip for them.
const std::set<char16_t> &unstable_units(PLLocale *utf8) {
  static const std::set<char16_t> units = [utf8] {
    std::set<char16_t> found(std::begin(kTitlecaseDigraphs), std::end(kTitlecaseDigraphs));
    auto stable = [&](const u16string &s) {
      u16string upper = map_u(utf8, s, U);
      return map_u(utf8, map_u(utf8, upper, L), U) == upper;
    };
    for (uint32_t at = 1; at < 0x10000; at += 256) {
      u16string chunk;
      for (uint32_t u = at; u < at + 256 && u < 0x10000; ++u)
        if (u < 0xD800 || u > 0xDFFF) chunk.push_back(static_cast<char16_t>(u));
      for (char16_t u : stable(chunk) ? u"" : chunk)
        if (!stable(u16string(1, u))) found.insert(u);
    }
    return found;
  }();
  return units;
}

std::vector<string> shipped_codesets() {
  std::ifstream list(POLYLOC_SOURCE_DIR "/data/items.list");
  std::vector<string> names;
  for (string line, kind, number, name; std::getline(list, line);)
    if (std::istringstream(line) >> kind >> number >> name && kind == "codeset")
      names.push_back(name);
  return names;
}

class EveryCodeSet : public Mapping, public ::testing::WithParamInterface<string> {};

// Over every character the set writes: upper of lower of upper is upper, the W form maps
// as the base form, and counting characters changes nothing but the result.
TEST_P(EveryCodeSet, Repertoire) {
  const std::set<char16_t> &unstable = unstable_units(handle(U8));
  EXPECT_TRUE(unstable.count(0x0130) && unstable.count(0x1E9E) && unstable.count(0x1F88));
  EXPECT_LT(unstable.size(), 80u);
  PLLocale *l = handle("." + GetParam());
  bool stateful = PLGetLocaleNumInfo(l, PL_CODESET_STATEFUL, 0) == 1;
  auto holds = [&](const u16string &units, string *why) {
    string text = encode(l, units), upper = map(l, text, U);
    if (map(l, map(l, upper, L), U) != upper) return *why = "upper", false;
    auto wide =
        OUTPUT(u32string, text.size() + 1, PLMbToWide(l, wc(d), n, text.data(), size_of(text), 0));
    for (int32_t flags : kSelectors) {
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
  for (size_t at = 0, failures = 0; at < units.size() && failures < 5; at += 64) {
    string why;
    if (holds(units.substr(at, 64), &why)) continue;
    ++failures;
    for (char16_t u : units.substr(at, 64))  // name the characters
      if (!holds(u16string(1, u), &why)) ADD_FAILURE() << "U+" << std::hex << +u << ": " << why;
  }
}

INSTANTIATE_TEST_SUITE_P(Mapping, EveryCodeSet, ::testing::ValuesIn(shipped_codesets()),
                         [](const auto &info) {
                           string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
