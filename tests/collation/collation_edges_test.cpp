// Edge rules of collation and sort keys: empty texts, buffers too small or large
// enough to build in, the Binary collation, folding flags, rejected flags and null
// arguments, stateful code sets.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "collation/collation_forms.h"
#include "collation/test_collations.h"
#include "support/session.h"

namespace {

using namespace pltest;
using std::string, std::u16string;
constexpr int32_t F = PL_IGNORE_CASE, W = PL_IGNORE_WIDTH, CC = PL_COUNT_CHARS;
const char *const TEST8 = "English_UnitedStates.UTF-8@Test", *const BIN8 = "English_UnitedStates.UTF-8@Binary",
                  *const TEST1252 = "English_UnitedStates.MS1252@Test",
                  *const IBM = "Japanese_Japan.IBM930@Test", *const IBMBIN = "Japanese_Japan.IBM930@Binary";

int32_t size_of(const auto &s) { return static_cast<int32_t>(s.size()); }
const PLUChar *units(const u16string &s) { return reinterpret_cast<const PLUChar *>(s.data()); }

class CollationEdgeCases : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dir_ = std::make_unique<SyntheticLocaleDir>(test_collations()); }
  static void TearDownTestSuite() { dir_.reset(); }
  ~CollationEdgeCases() override {
    for (auto &[name, l] : handles_) EXPECT_EQ(PLReleaseLocale(l), PL_OK);
  }
  PLLocale *handle(const string &name) {
    PLLocale *&l = handles_[name];
    if (l == nullptr) l = PLGetLocale(name.c_str(), 0, nullptr);
    EXPECT_NE(l, nullptr) << name;
    return l;
  }

  static inline std::unique_ptr<SyntheticLocaleDir> dir_;
  Session session_{dir_->path()};
  std::map<string, PLLocale *> handles_;
};

// A key call of one form into `dst` of `size` bytes.
int32_t key_into(PLLocale *l, Form form, const u16string &text, int32_t flags, uint8_t *dst, int32_t size) {
  char *out = reinterpret_cast<char *>(dst);
  std::string bytes = utf8(text);
  std::vector<PLWChar> wide = packed(l, text);
  switch (form) {
    case Form::base: return PLStrxfrm(l, out, size, bytes.data(), size_of(bytes), flags);
    case Form::units: return PLStrxfrmU(l, out, size, units(text), size_of(text), flags);
    case Form::packed: return PLWcsxfrm(l, out, size, wide.data(), size_of(wide), flags);
  }
  return -1;
}

TEST_F(CollationEdgeCases, EmptyTextKeyIsThreeZeroBytes) {
  for (const char *name : {TEST8, BIN8})
    for (Form form : kForms) {
      PLLocale *l = handle(name);
      for (int32_t size : {0, 2, 3, 8}) {
        std::vector<uint8_t> dst(8, 0xAA);
        EXPECT_EQ(key_into(l, form, u"", 0, dst.data(), size), size == 0 ? 0 : 3) << name;
        for (int i = 0; i < 8; ++i) EXPECT_EQ(dst[i], i < std::min(size, 3) ? 0 : 0xAA) << name << " " << size;
      }
    }
}

TEST_F(CollationEdgeCases, SmallBuffersReportTheLengthCollationKeysAreZeroFilled) {
  const u16string texts[] = {u"a", u"Straße-x", u"\u00C6ch''\uE001", u"\uFF41b\u4E00"};
  for (const char *name : {TEST8, BIN8})
    for (Form form : kForms)
      for (int32_t flags : {0, F})
        for (const u16string &text : texts) {
          PLLocale *l = handle(name);
          std::string what = string(name) + " " + hex(text);
          Key key = sort_key(l, form, text, flags);
          int32_t n = size_of(key);
          ASSERT_GT(n, 0) << what;
          // Too small, exact, larger, and large enough to build the key in place.
          for (int32_t size : {1, n - 1, n, n + 5, 16 * size_of(text) * 4 + 4 + 8}) {
            std::vector<uint8_t> dst(static_cast<size_t>(size) + 4, 0xAA);
            EXPECT_EQ(key_into(l, form, text, flags, dst.data(), size), n) << what << " size " << size;
            for (size_t i = static_cast<size_t>(size); i < dst.size(); ++i) ASSERT_EQ(dst[i], 0xAA) << what;
            if (size < n) continue;
            EXPECT_EQ(hex(Key(dst.begin(), dst.begin() + n)), hex(key)) << what;
            if (name == BIN8) continue;  // the text itself is copied, nothing after it
            for (int32_t i = n; i < size; ++i) ASSERT_EQ(dst[i], 0) << what << " size " << size;
          }
        }
}

TEST_F(CollationEdgeCases, BinaryKeysAreTheTextItself) {
  struct Case { u16string text; int32_t flags; Form form; const char *key; };
  const Case cases[] = {
      {u"a\u00E9", 0, Form::base, "61 C3 A9"},
      {u"a\u00E9", 0, Form::units, "00 61 00 E9"},
      {u"a\u00E9", 0, Form::packed, "00 00 00 61 00 00 C3 A9"},
      {u"\U00010000", 0, Form::units, "D8 00 DC 00"},
      {u"a\u00DF", F, Form::base, "41 53 53"},
      {u"a\u00DF", F, Form::units, "00 41 00 53 00 53"},
      {u"a\u00DF", F, Form::packed, "00 00 00 41 00 00 00 53 00 00 00 53"},
      {u"\uFF41b", W, Form::units, "00 61 00 62"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(hex(sort_key(handle(BIN8), c.form, c.text, c.flags)), hex(hex_bytes(c.key))) << hex(c.text);
  // Folded text is written whole characters at a time while they fit.
  std::vector<uint8_t> dst(4, 0xAA);
  EXPECT_EQ(key_into(handle(BIN8), Form::base, u"\u00E9a", F, dst.data(), 1), 3);
  EXPECT_EQ(dst[0], 0xAA);
  EXPECT_EQ(key_into(handle(BIN8), Form::base, u"\u00E9a", F, dst.data(), 2), 3);
  EXPECT_EQ(hex(Key(dst.begin(), dst.begin() + 3)), "C3 89 AA ");
}

TEST_F(CollationEdgeCases, BinaryCollationIsTheCodeValueComparison) {
  const std::pair<u16string, u16string> pairs[] = {
      {u"a", u"A"}, {u"stra\u00DFe", u"STRASSE"}, {u"\uFF41", u"a"}, {u"abc", u"ab"}, {u"\u00E9", u"f"}};
  PLLocale *l = handle(BIN8);
  for (const auto &[a, b] : pairs)
    for (int32_t flags : {0, F, W, CC, F | CC, W | CC}) {
      std::string x = utf8(a), y = utf8(b);
      std::vector<PLWChar> wa = packed(l, a), wb = packed(l, b);
      int32_t narrow = (flags & ~CC) == W ? flags & CC : flags;  // width folding dropped
      int32_t reduced = flags & PL_IGNORE_CASE;                    // its case bits only
      std::string what = hex(a) + "/ " + hex(b) + std::to_string(flags);
      EXPECT_EQ(PLStrcoll(l, x.data(), size_of(x), y.data(), size_of(y), flags),
                PLStrcmp(l, x.data(), size_of(x), y.data(), size_of(y), narrow)) << what;
      EXPECT_EQ(PLStrcollEx(l, x.data(), 0, size_of(x), y.data(), 0, size_of(y), flags),
                PLStrcmp(l, x.data(), size_of(x), y.data(), size_of(y), narrow)) << what;
      EXPECT_EQ(PLStrcollU(l, units(a), size_of(a), units(b), size_of(b), flags),
                PLStrcmpU(l, units(a), size_of(a), units(b), size_of(b), reduced)) << what;
      EXPECT_EQ(PLWcscoll(l, wa.data(), size_of(wa), wb.data(), size_of(wb), flags),
                PLWcscmp(l, wa.data(), size_of(wa), wb.data(), size_of(wb), reduced)) << what;
    }
  // A stateful code set's Ex form keeps the case bits too.
  PLLocale *ibm = handle(IBMBIN);
  const char a[] = "\x0E\x42\x81\x0F", b[] = "\x0E\x42\xC1\x0F";
  for (int32_t flags : {0, F, W})
    EXPECT_EQ(PLStrcollEx(ibm, a, 0, 4, b, 0, 4, flags), PLStrcmpEx(ibm, a, 0, 4, b, 0, 4, flags & F)) << flags;
}

TEST_F(CollationEdgeCases, FoldingFlags) {
  struct Case { const char *locale; u16string a, b; int32_t flags; int expected; };
  const Case cases[] = {
      {TEST8, u"stra\u00DFe", u"STRASSE", F, 0}, {TEST8, u"stra\u00DFe", u"STRASSE", 0, -1},
      {TEST8, u"\u00DF", u"ss", F, 0}, {TEST8, u"\u00DF", u"ss", 0, -1},
      {TEST8, u"\uFF41\uFF42", u"ab", W, 0}, {TEST8, u"\uFF41\uFF42", u"ab", 0, 1},
      {TEST8, u"\uFF41\uFF42", u"AB", W, -1}, {TEST8, u"Ab", u"ab", F, 0},
      {TEST8, u"ab", u"ac", CC, -1}, {TEST8, u"\u00DF", u"ss", F | CC, 0}, {TEST8, u"\uFF41", u"a", W | CC, 0},
      {BIN8, u"\u00DF", u"ss", F, 0},
  };
  for (const Case &c : cases)
    for (Form form : kForms) {
      PLLocale *l = handle(c.locale);
      std::string what = string(c.locale) + " " + hex(c.a) + "/ " + hex(c.b) + std::to_string(c.flags);
      EXPECT_EQ(sign(collate(l, form, c.a, c.b, c.flags)), c.expected) << what;
      EXPECT_EQ(compare_keys(sort_key(l, form, c.a, c.flags), sort_key(l, form, c.b, c.flags)), c.expected) << what;
    }
  // The same in a single-byte code set: ß is one byte there.
  PLLocale *l = handle(TEST1252);
  EXPECT_EQ(PLStrcoll(l, "stra\xDF" "e", -1, "STRASSE", -1, F), 0);
  char k1[64], k2[64];
  int32_t n1 = PLStrxfrm(l, k1, sizeof k1, "stra\xDF" "e", -1, F), n2 = PLStrxfrm(l, k2, sizeof k2, "STRASSE", -1, F);
  ASSERT_EQ(n1, n2);
  EXPECT_EQ(std::memcmp(k1, k2, static_cast<size_t>(n1)), 0);
}

TEST_F(CollationEdgeCases, LengthsCountCharactersUnderCountChars) {
  PLLocale *l = handle(TEST8);
  const char *a = "\xC3\xA9" "b", *b = "\xC3\xA9" "c";  // éb, éc
  EXPECT_EQ(PLStrcoll(l, a, 1, b, 1, CC), 0);
  EXPECT_NE(PLStrcoll(l, a, 3, b, 3, CC), 0);
  EXPECT_LT(PLStrcoll(l, a, 2, b, 3, CC), 0);
  char k1[32], k2[32];
  int32_t n1 = PLStrxfrm(l, k1, sizeof k1, a, 1, CC), n2 = PLStrxfrm(l, k2, sizeof k2, "\xC3\xA9", -1, 0);
  ASSERT_EQ(n1, n2);
  EXPECT_EQ(std::memcmp(k1, k2, static_cast<size_t>(n1)), 0);
  EXPECT_EQ(PLStrcollU(l, units(u"ab"), 1, units(u"ac"), 1, CC), 0);  // U and W: units anyway
}

// Every entry point with given flags and, optionally, a null text.
using Call = std::function<int32_t(PLLocale *, int32_t flags, bool null_text)>;
struct EntryPoint { const char *name; Call call; int32_t failure; };
std::vector<EntryPoint> entry_points() {
  static const PLUChar u[] = {'a', 0};
  static const PLWChar w[] = {'a', 0};
  static char dst[64];
  auto s = [](bool null) { return null ? nullptr : "a"; };
  return {
      {"PLStrcoll", [=](PLLocale *l, int32_t f, bool n) { return PLStrcoll(l, s(n), -1, "b", -1, f); }, 0},
      {"PLStrcollEx", [=](PLLocale *l, int32_t f, bool n) { return PLStrcollEx(l, "b", 0, -1, s(n), 0, -1, f); }, 0},
      {"PLStrcollU", [](PLLocale *l, int32_t f, bool n) { return PLStrcollU(l, n ? nullptr : u, -1, u, -1, f); }, 0},
      {"PLWcscoll", [](PLLocale *l, int32_t f, bool n) { return PLWcscoll(l, w, -1, n ? nullptr : w, -1, f); }, 0},
      {"PLStrxfrm", [=](PLLocale *l, int32_t f, bool n) { return PLStrxfrm(l, dst, 64, s(n), -1, f); }, -1},
      {"PLStrxfrmEx", [=](PLLocale *l, int32_t f, bool n) { return PLStrxfrmEx(l, dst, 64, s(n), 0, -1, f); }, -1},
      {"PLStrxfrmU", [](PLLocale *l, int32_t f, bool n) { return PLStrxfrmU(l, dst, 64, n ? nullptr : u, -1, f); }, -1},
      {"PLWcsxfrm", [](PLLocale *l, int32_t f, bool n) { return PLWcsxfrm(l, dst, 64, n ? nullptr : w, -1, f); }, -1},
  };
}

TEST_F(CollationEdgeCases, RejectedFlagsAndNullArguments) {
  const int32_t rejected[] = {PL_IGNORE_CASE_SIMPLE, 0x40, INT32_MIN, 0x10, 1, F | PL_IGNORE_CASE_SIMPLE, -1, 0x4001};
  for (const char *name : {TEST8, BIN8}) {
    PLLocale *l = handle(name);
    for (const EntryPoint &e : entry_points()) {
      for (int32_t flags : rejected) {
        EXPECT_EQ(e.call(l, flags, false), e.failure) << e.name << " " << name << " " << flags;
        EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT) << e.name << " " << flags;
      }
      EXPECT_EQ(e.call(l, 0, true), e.failure) << e.name << " " << name;
      EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT) << e.name;
      e.call(l, F | CC, false);
      EXPECT_EQ(PLGetError(l), PL_OK) << e.name << " clears the code";
    }
    char dst[8];
    EXPECT_EQ(PLStrxfrm(l, nullptr, 4, "a", -1, 0), -1);
    EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT);
    EXPECT_EQ(PLStrxfrmU(l, dst, -1, units(u"a"), -1, 0), -1);
    EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT);
    EXPECT_GT(PLStrxfrm(l, nullptr, 0, "a", -1, 0), 0) << "a size query";
    EXPECT_EQ(PLGetError(l), PL_OK);
  }
}

// Shift bytes take no part: the Ex forms on IBM930 text equal the U forms on its UTF-16.
TEST_F(CollationEdgeCases, StatefulTextCollatesAsItsUnits) {
  struct Text { string bytes; PLState state; u16string units; };
  const Text texts[] = {
      {"\xC1\x0E\x42\xC2\x0F\xC3", 0, u"A\uFF22C"}, {"\x42\xC1\x42\xC2", 1, u"\uFF21\uFF22"},
      {"\xC1\xC2", 0, u"AB"}, {"\x0E\x42\xC1\x0F", 0, u"\uFF21"}, {"\x0E\x0F\xC1\x0E\x0F", 0, u"A"},
  };
  PLLocale *l = handle(IBM);
  for (const Text &t : texts) {
    string whole = (t.state != 0 ? "\x0E" : "") + t.bytes;
    PLUChar got[16];
    int32_t n = PLStringToUnicode(got, 16, l, whole.data(), size_of(whole), 0);
    ASSERT_EQ(u16string(reinterpret_cast<char16_t *>(got), static_cast<size_t>(std::max(n, 0))), t.units)
        << "IBM930 text " << hex(t.units);
  }
  for (int32_t flags : {0, F, W})
    for (const Text &a : texts) {
      char k1[128], k2[128];
      int32_t n1 = PLStrxfrmEx(l, k1, 128, a.bytes.data(), a.state, size_of(a.bytes), flags);
      int32_t n2 = PLStrxfrmU(l, k2, 128, units(a.units), size_of(a.units), flags);
      ASSERT_EQ(n1, n2) << hex(a.units) << flags;
      EXPECT_EQ(std::memcmp(k1, k2, static_cast<size_t>(n1)), 0) << hex(a.units) << flags;
      for (const Text &b : texts)
        EXPECT_EQ(PLStrcollEx(l, a.bytes.data(), a.state, size_of(a.bytes), b.bytes.data(), b.state,
                              size_of(b.bytes), flags),
                  PLStrcollU(l, units(a.units), size_of(a.units), units(b.units), size_of(b.units), flags))
            << hex(a.units) << "/ " << hex(b.units) << flags;
    }
}

}  // namespace

// Malformed UTF-8 splits into characters by the lead byte's length, which no rule read
// backwards reproduces: the identical start two texts share must not be cut there.
TEST_F(CollationEdgeCases, MalformedUtf8CollatesAsItsKeys) {
  const string pairs[][2] = {{"\xdc", "\xdc*"}, {"x\xdc", "x\xdc\xdc*"}, {"a\xe3\x81", "a\xe3\x81*"},
                             {"l\xc3", "l\xc3\xa9"}};
  for (const char *name : {TEST8, "English_UnitedStates.UTF-8@General"}) {
    PLLocale *l = handle(name);
    for (const auto &[a, b] : pairs) {
      char ka[256], kb[256];
      int32_t na = PLStrxfrm(l, ka, sizeof ka, a.data(), size_of(a), 0);
      int32_t nb = PLStrxfrm(l, kb, sizeof kb, b.data(), size_of(b), 0);
      ASSERT_TRUE(na > 0 && nb > 0);
      Key x(ka, ka + na), y(kb, kb + nb);
      EXPECT_EQ(sign(PLStrcoll(l, a.data(), size_of(a), b.data(), size_of(b), 0)), compare_keys(x, y))
          << name << " " << hex(Key(a.begin(), a.end())) << " / " << hex(Key(b.begin(), b.end()));
    }
  }
}
