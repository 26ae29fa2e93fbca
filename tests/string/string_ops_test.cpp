// Edge rules of the string family that string_property_test's random models leave out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using namespace std::string_literals;
using Bytes = std::string;
using Out = std::pair<int32_t, Bytes>;  // a result and the bytes before the first '#'

class StringOps : public testing::Test {
 protected:
  ~StringOps() override { for (PLLocale *l : {latin, ja, ibm}) PLReleaseLocale(l); }
  pltest::Session session_{pltest::built_locale_dir()};
  PLLocale *latin = PLGetLocale("English_UnitedStates.MS1252", 0, nullptr),
           *ja = PLGetLocale("Japanese_Japan.MS932", 0, nullptr),
           *ibm = PLGetLocale("Japanese_Japan.IBM930", 0, nullptr);
};

// What `call` returns and writes into a buffer of '#' that begins with `dst`.
template <class F> Out written(const Bytes &dst, F call) {
  Bytes b = dst + Bytes(32 - dst.size(), '#');
  int32_t r = call(b.data());
  return {r, b.substr(0, b.find('#'))};
}

TEST_F(StringOps, ByteForms) {
  EXPECT_EQ(written("ab\0"s, [&](char *d) { return PLStrcat(latin, d, "c\0e", 3, PL_TERMINATE); }),
            Out(6, "abc\0e\0"s));  // a count of bytes goes past a NUL
  EXPECT_EQ(written("a\0"s, [&](char *d) { return PLStrcat(ja, d, "\x82\xA0\x82\xA2", 3, 0); }),
            Out(3, "a\x82\xA0"));  // a count that ends mid-character; no NUL
  char delims[] = ",,", *next = nullptr;
  int32_t len = -1;
  EXPECT_EQ(PLStrtok(ja, delims, &len, ",", -1, &next, 0), nullptr);  // only delimiters
  EXPECT_EQ(len, 0);
  EXPECT_EQ(PLStrcspnEx(ibm, "\x0E\xC1\xC1\x0F", 0, -1, "\xC1", 0, -1, 0), 4);  // shifted: no A
  // A flag bit a function does not take fails it with PL_ERR_ARGUMENT; spans take them all.
  char b[8];
  EXPECT_EQ(PLStrcpyEx(ibm, b, 0, 8, "a", 0, -1, PL_TERMINATE), -1);
  EXPECT_EQ(PLGetError(ibm), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLStrspn(ibm, "ab", -1, "a", -1, 0x10), 1);
  EXPECT_EQ(PLGetError(ibm), PL_OK);
}

// PLStrtokEx copies a token, closed with a shift-in; without shift states it is PLStrtok.
TEST_F(StringOps, StrtokEx) {
  const char *str = "\x0E\x44\x5A\x0F\x6B\x0E\x44\x5B\x0F", *next = nullptr;  // EBCDIC ','
  int32_t len = -1;
  PLState state = 99;
  EXPECT_EQ(written("", [&](char *d) {
              return PLStrtokEx(ibm, d, 0, 16, str, 0, &len, "\x6B", 0, -1, &next, &state, 0);
            }), Out(5, "\x0E\x44\x5A\x0F\0"s));
  EXPECT_EQ(std::tuple(next, state, len), std::tuple(str + 3, 1u, 6));  // the run before ','
  len = -1, state = 99;
  EXPECT_EQ(written("", [&](char *d) {
              return PLStrtokEx(latin, d, 1, 8, "ab,c", 1, &len, ",", 1, -1, &next, &state, 0);
            }), Out(3, "ab\0"s));
  EXPECT_EQ(std::tuple(Bytes(next), len, state), std::tuple(",c"s, 2, 99u));
  // A full buffer gives up its last character for the shift-in, and its shift-out too.
  const char *two = "\x0E\x44\x5A\x44\x5B\x0F";
  for (auto [size, out] : {std::pair(6, "\x0E\x44\x5A\x0F\0"s), std::pair(4, "\0"s)}) {
    len = -1;
    Out got = written("", [&](char *d) {
      return PLStrtokEx(ibm, d, 0, size, two, 0, &len, "\x6B", 0, -1, &next, &state, 0);
    });
    EXPECT_EQ(Out(got.first, got.second.substr(0, out.size())), Out(int32_t(out.size()), out));
  }
}

// The UTF-16 and packed forms, one set of checks for both.
template <class T>
void element_forms(PLLocale *l, auto len, auto cpy, auto cat, auto chr, auto cspn, auto spn,
                   auto str, auto tok) {
  auto e = [](const Bytes &ascii) { return std::basic_string<T>(ascii.begin(), ascii.end()); };
  std::basic_string<T> abca = e("abca"), out = e("ab\0###"s), line = e(",a,,b"), comma = e(",");
  const T *s = abca.c_str(), *c = comma.c_str();
  T dst[4], *next = nullptr;
  EXPECT_EQ(std::tuple(len(l, s), cpy(l, dst, 2, s, -1), cpy(l, dst, 4, s, 1)),
            std::tuple(4, 2, 1));
  EXPECT_EQ(cat(l, out.data(), s, 0, 0), 3);  // count 0: length + 1, untouched
  EXPECT_EQ(cat(l, out.data(), s + 3, -1, 0), 4);
  EXPECT_EQ(cat(l, out.data(), s, 1, 0), 4);  // no NUL without PL_TERMINATE
  EXPECT_EQ(out, e("abaa##"s));
  EXPECT_EQ(std::tuple(chr(l, s, -1, 'a', PL_LAST), chr(l, s, -1, 0, 0), chr(l, s, -1, 0, PL_LAST),
                       chr(l, s, 2, 'c', 0), chr(l, s, -1, 'a', 0x10)),
            std::tuple(s + 3, s + 4, nullptr, nullptr, nullptr));  // 0x10 is not a flag of chr
  EXPECT_EQ(std::tuple(cspn(l, s, -1, e("c").c_str(), -1), spn(l, s, -1, e("ba").c_str(), 1)),
            std::tuple(2, 0));
  EXPECT_EQ(std::tuple(str(l, s, -1, e("ca").c_str(), -1), str(l, s, -1, e("").c_str(), -1),
                       str(l, s, 3, e("ca").c_str(), -1)), std::tuple(s + 2, s, nullptr));
  int32_t n = -1;  // tokens
  EXPECT_EQ(tok(l, line.data(), &n, c, -1, &next), line.data() + 1);
  EXPECT_EQ(std::tuple(line[2], next, n), std::tuple(T{0}, line.data() + 3, 2));
  EXPECT_EQ(tok(l, next, &n, c, -1, &next), line.data() + 4);  // no delimiter behind it
  EXPECT_EQ(std::tuple(n, next), std::tuple(0, nullptr));
  n = -1;
  EXPECT_EQ(tok(l, e(",,").data(), &n, c, -1, &next), nullptr);  // only delimiters
  EXPECT_EQ(n, 0);
}

TEST_F(StringOps, ElementForms) {
  element_forms<PLUChar>(latin, PLStrlenU, PLStrcpyU, PLStrcatU, PLStrchrU, PLStrcspnU, PLStrspnU,
                         PLStrstrU, PLStrtokU);
  element_forms<PLWChar>(latin, PLWcslen, PLWcscpy, PLWcscat, PLWcschr, PLWcscspn, PLWcsspn,
                         PLWcsstr, PLWcstok);
  // UTF-16 spans and tokens take a surrogate pair as one character.
  PLUChar line[] = {0xD83D, 0xDE00, 'a', 0xD83D, 0xDE00, 'b', 0}, *next = nullptr;
  const PLUChar pair[] = {0xD83D, 0xDE00, 0}, low[] = {0xD83D, 0xDE01, 0};
  EXPECT_EQ(std::tuple(PLStrcspnU(latin, line, -1, low, -1), PLStrspnU(latin, line, -1, pair, -1)),
            std::tuple(6, 2));
  int32_t len = -1;
  EXPECT_EQ(PLStrtokU(latin, line, &len, pair, -1, &next), line + 2);
  EXPECT_EQ(std::tuple(line[3], line[4], next, len), std::tuple(0, 0, line + 5, 1));  // whole pair
}

}  // namespace
