// Edge cases of the string family on a single-byte set, MS932, the stateful IBM930,
// UTF-8, and the UTF-16 and packed forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using namespace std::string_literals;
using Bytes = std::string;

// IBM930: shift-out, shift-in, double-byte characters, the single-byte A.
#define SO "\x0E"
#define SI "\x0F"
#define DX "\x44\x5A"
#define DY "\x44\x5B"
#define AA "\xC1\xC1"
#define AB "\xC1\xC2"
#define EA "\xC1"

enum Set { kLatin, kJapanese, kEbcdic, kUtf8 };
// The function of a row; the Ex forms are the odd ones.
enum Function { kCat, kCatEx, kCpy, kCpyEx, kChr, kChrEx, kStr, kStrEx, kSpn, kSpnEx };
constexpr int32_t kCount = PL_COUNT_CHARS, kTerm = PL_TERMINATE, kLast = PL_LAST;
constexpr PLState kUntouched = 99;

class StringOps : public testing::Test {
 protected:
  void SetUp() override {
    for (const char *name : {"English_UnitedStates.MS1252", "Japanese_Japan.MS932",
                             "Japanese_Japan.IBM930", "English_UnitedStates.UTF-8"})
      ASSERT_NE(sets_.emplace_back(PLGetLocale(name, 0, nullptr)), nullptr) << name;
  }
  void TearDown() override {
    for (PLLocale *locale : sets_) PLReleaseLocale(locale);
  }
  PLLocale *h(Set set) const { return sets_[set]; }

  pltest::Session session_{pltest::built_locale_dir()};
  std::vector<PLLocale *> sets_;
};

// A buffer of '#', perhaps holding a string; `used` reads it up to the first '#'.
struct Buffer {
  char bytes[32];
  Buffer() { std::memset(bytes, '#', sizeof bytes); }
  explicit Buffer(const Bytes &text) : Buffer() {
    std::memcpy(bytes, text.c_str(), text.size() + 1);
  }
  Bytes used() const { return Bytes(bytes, std::find(bytes, bytes + sizeof bytes, '#')); }
};

int offset(const void *base, const void *at) {
  if (at == nullptr) return -1;
  return static_cast<int>(static_cast<const char *>(at) - static_cast<const char *>(base));
}

// Strcat (a: dst, n: count) and Strcpy (a unused, n: dstSize, len: srcLen) rows.
struct CopyRow {
  Function function; Set set; PLState dst_state, src_state; Bytes a, src; int32_t n, len, flags;
  Bytes result; int32_t returned;
};

TEST_F(StringOps, StrcatAndStrcpy) {
  const CopyRow cases[] = {
      {kCat, kLatin, 0, 0, "ab", "c\0e"s, 3, 0, kTerm, "abc\0e\0"s, 6},
      {kCat, kJapanese, 0, 0, "a", "\x82\xA0\x82\xA2", 3, 0, 0, "a\x82\xA0", 3},
      {kCat, kJapanese, 0, 0, "\x82\xA0", "b\x82\xA2" "c", 2, 0, kCount | kTerm,
       "\x82\xA0" "b\x82\xA2\0"s, 4},
      {kCat, kEbcdic, 0, 0, SO DX SI, EA, -1, 0, 0, SO DX SI EA "\0"s, 6},
      {kCatEx, kEbcdic, 0, 0, SO DX SI, SO DY SI, -1, 0, 0, SO DX DY SI "\0"s, 7},
      {kCatEx, kEbcdic, 0, 0, EA, SO DX DY SI, 4, 0, 0, EA SO DX, 4},
      {kCatEx, kEbcdic, 1, 0, DX, EA, -1, 0, 0, DX SI EA "\0"s, 5},
      {kCatEx, kEbcdic, 0, 0, SO DX SI, SO DY SI, 2, 0, kCount | kTerm, SO DX DY SI "\0"s, 3},
      {kCpy, kLatin, 0, 0, "", "ab", 10, 5, kCount, "ab", 2},
      {kCpy, kJapanese, 0, 0, "", "a\x82\xA0" "b", 2, -1, 0, "a", 1},
      {kCpy, kUtf8, 0, 0, "", "a\xF0\x9F\x98\x80", 4, -1, 0, "a", 1},
      {kCpy, kJapanese, 0, 0, "", "\x82\xA0x", 10, -1, kCount, "\x82\xA0x\0"s, 3},
      {kCpyEx, kEbcdic, 1, 0, "", SO DX SI EA, 10, -1, 0, DX SI EA "\0"s, 5},
      {kCpyEx, kEbcdic, 0, 1, "", DX, 2, 2, 0, "", 0},
      {kCpyEx, kEbcdic, 0, 1, "", DX SI EA, 3, 2, 0, SO DX, 3},
      {kCpyEx, kEbcdic, 0, 0, "", SO DX SI, 10, 4, 0, SO DX, 3},
  };
  for (const CopyRow &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.a) + " + " + testing::PrintToString(c.src));
    bool copy = c.function >= kCpy, ex = c.function % 2 != 0;
    Buffer b = copy ? Buffer() : Buffer(c.a);
    PLLocale *l = h(c.set);
    const char *src = c.src.c_str();
    EXPECT_EQ(copy ? ex ? PLStrcpyEx(l, b.bytes, c.dst_state, c.n, src, c.src_state, c.len, c.flags)
                        : PLStrcpy(l, b.bytes, c.n, src, c.len, c.flags)
              : ex ? PLStrcatEx(l, b.bytes, c.dst_state, src, c.src_state, c.n, c.flags)
                   : PLStrcat(l, b.bytes, src, c.n, c.flags),
              c.returned);
    EXPECT_EQ(b.used(), c.result);
  }
}

// Search rows: an offset (-1: null) and the mode reported there; for the spans, the
// complement span and the span.
struct SearchRow {
  Function function; Set set; PLState state, arg_state; Bytes str; int32_t len;
  Bytes arg; int32_t arg_len, flags; int at; PLState match;
};

TEST_F(StringOps, StrchrStrstrAndSpans) {
  const SearchRow cases[] = {
      {kChr, kLatin, 0, 0, "abc", -1, "", -1, kLast, 3, kUntouched},
      {kChr, kLatin, 0, 0, "abc", 0, "a", -1, 0, -1, kUntouched},
      {kChr, kJapanese, 0, 0, "\x82\x61" "a", -1, "a", -1, 0, 2, kUntouched},
      {kChr, kJapanese, 0, 0, "a\x82\xA0", 2, "\x82\xA0", -1, 0, -1, kUntouched},
      {kChr, kJapanese, 0, 0, "\x82\xA0\x82\xA0", -1, "\x82\xA0", -1, kLast, 2, kUntouched},
      {kChrEx, kEbcdic, 0, 0, SO AA SI EA, -1, EA, -1, 0, 4, 0},
      {kChrEx, kEbcdic, 0, 0, SO AA SI EA, -1, SO AA, -1, 0, 1, 1},
      {kChrEx, kEbcdic, 0, 1, SO AA AA SI EA, -1, AA, -1, kLast, 3, 1},
      {kStr, kLatin, 0, 0, "abc", -1, "", -1, 0, 0, kUntouched},
      {kStr, kLatin, 0, 0, "abcabc", 4, "cab", -1, 0, -1, kUntouched},
      {kStr, kLatin, 0, 0, "abcabc", -1, "cabx", 3, 0x10, 2, kUntouched},
      {kStr, kJapanese, 0, 0, "\x82\xA0\x82\xA0", -1, "\xA0\x82", -1, 0, -1, kUntouched},
      {kStrEx, kEbcdic, 0, 1, SO AA SI AA, -1, AA, -1, 0, 1, 1},
      {kStrEx, kEbcdic, 0, 0, SO AA AB SI, -1, SO AA SI, -1, 0, 1, 1},
      {kSpn, kLatin, 0, 0, "abc", -1, "cb", 1, 0x10, 2, 0},
      {kSpn, kUtf8, 0, 0, "\xC3\xA9x", -1, "\xA9", -1, 0, 3, 0},
      {kSpn, kJapanese, 0, 0, "\x82\xA0\x82\xA0" "a", -1, "\x82\xA0", -1, kCount, 0, 2},
      {kSpn, kJapanese, 0, 0, "\x82\xA0", -1, "\x82\xA0", 1, 0, 2, 0},
      {kSpn, kEbcdic, 0, 0, SO AA SI, -1, EA, -1, 0, 1, 0},
      {kSpnEx, kEbcdic, 0, 0, SO AA SI, -1, EA, -1, 0, 4, 0},
      {kSpnEx, kEbcdic, 0, 0, SO AA AB SI, -1, SO AB SI, -1, 0, 3, 0},
      {kSpnEx, kEbcdic, 0, 1, SO AA AA SI EA, -1, AA SI EA, -1, 0, 0, 7},
  };
  for (const SearchRow &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.str) + " / " + testing::PrintToString(c.arg));
    PLLocale *l = h(c.set);
    const char *s = c.str.c_str(), *arg = c.arg.c_str();
    PLState state = kUntouched;
    bool ex = c.function % 2 != 0;
    if (c.function >= kSpn) {
      EXPECT_EQ(ex ? PLStrcspnEx(l, s, c.state, c.len, arg, c.arg_state, c.arg_len, c.flags)
                   : PLStrcspn(l, s, c.len, arg, c.arg_len, c.flags), c.at);
      EXPECT_EQ(ex ? PLStrspnEx(l, s, c.state, c.len, arg, c.arg_state, c.arg_len, c.flags)
                   : PLStrspn(l, s, c.len, arg, c.arg_len, c.flags), int32_t(c.match));
      continue;
    }
    const char *found =
        c.function <= kChrEx
            ? ex ? PLStrchrEx(l, s, c.state, c.len, arg, c.arg_state, &state, c.flags)
                 : PLStrchr(l, s, c.len, arg, c.flags)
            : ex ? PLStrstrEx(l, s, c.state, c.len, arg, c.arg_state, c.arg_len, &state, c.flags)
                 : PLStrstr(l, s, c.len, arg, c.arg_len, c.flags);
    EXPECT_EQ(offset(s, found), c.at);
    EXPECT_EQ(state, c.match);
    EXPECT_EQ(PLGetError(l), PL_OK);
  }
}

// The tokens `tokenize` gives, as "token:len|": the token up to its NUL or the end of
// the text, and the *len reported with it.
template <class T, class Tokenize>
std::basic_string<T> tokens(std::basic_string<T> text, int32_t len, Tokenize tokenize) {
  std::basic_string<T> out;
  T *str = text.data(), *next = nullptr, *end = str + (len < 0 ? text.size() : len);
  for (T *token; out.size() < 64 && (token = tokenize(str, &len, &next)) != nullptr; str = next) {
    std::string tail = ":" + std::to_string(len) + "|";
    out.append(token, std::find(token, end, T{0})).append(tail.begin(), tail.end());
    if (next == nullptr) break;
  }
  return out;
}

TEST_F(StringOps, Strtok) {
  struct { Set set; Bytes text; int32_t len; Bytes delims; int32_t flags; Bytes expected; }
  cases[] = {
      {kLatin, ",,ab,,c,", -1, ",", 0, "ab:3|c:0|"},
      {kLatin, "a,b;c", -1, ",;", 0x10, "a:3|b:1|c:0|"},
      {kJapanese, "a\x82\xA0" "b", -1, "\x82\xA0", 0, "a:1|b:0|"},
      {kJapanese, "\x82\x61" "ab", -1, "a", 0, "\x82\x61:1|b:0|"},
      {kJapanese, "\x82\xA0,\x82\xA0\x82\xA0", -1, ",", kCount, "\x82\xA0:2|\x82\xA0\x82\xA0:0|"},
      {kUtf8, "\xC3\xA9 \xC3\xA9", -1, "\xA9", 0, "\xC3\xA9 \xC3\xA9:0|"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(tokens<char>(c.text, c.len, [&](char *s, int32_t *len, char **next) {
      return PLStrtok(h(c.set), s, len, c.delims.c_str(), -1, next, c.flags);
    }), c.expected) << testing::PrintToString(c.text);
  }
  char text[] = "a\x82\xA0" "b", *next = nullptr;
  int32_t len = -1;
  PLStrtok(h(kJapanese), text, &len, "\x82\xA0", -1, &next, 0);
  EXPECT_EQ(Bytes(text, 4), "a\0\0b"s);  // every byte of the delimiter
  EXPECT_EQ(PLStrtok(h(kJapanese), nullptr, &len, ",", -1, &next, 0), nullptr);
  EXPECT_EQ(len, 0);
  EXPECT_EQ(next, nullptr);
}

TEST_F(StringOps, StrtokExCopiesTokensAndStopsAtTheDelimiter) {
  const Bytes text = SO DX SI "\x6B" SO DY SI;  // around an EBCDIC comma
  const char *str = text.c_str(), *next = nullptr;
  int32_t len = -1;
  PLState state = kUntouched;
  auto token = [&](PLLocale *l, Buffer &dst, int32_t size, const char *s, PLState s_state) {
    PLState ignored = l == h(kLatin);  // states mean nothing there
    return PLStrtokEx(l, dst.bytes, ignored, size, s, s_state, &len, ignored ? "," : "\x6B",
                      ignored, -1, &next, &state, 0);
  };
  Buffer first, second, small, latin;
  EXPECT_EQ(token(h(kEbcdic), first, 16, str, 0), 5);
  EXPECT_EQ(first.used(), SO DX SI "\0"s);
  EXPECT_EQ(std::tuple(next, state, len), std::tuple(str + 3, 1u, 6));  // the run before ','
  EXPECT_EQ(token(h(kEbcdic), second, 5, next, state), 5);
  EXPECT_EQ(std::tuple(second.used(), next), std::tuple(SO DY SI "\0"s, nullptr));
  len = -1;  // a token that cannot be closed in the buffer loses its last character
  EXPECT_EQ(token(h(kEbcdic), small, 4, str, 0), 1);
  EXPECT_EQ(small.bytes[0], 0);
  len = -1;
  state = kUntouched;
  EXPECT_EQ(token(h(kLatin), latin, 8, "ab,c", 1), 3);
  EXPECT_EQ(std::tuple(latin.used(), Bytes(next), len, state),
            std::tuple("ab\0"s, ","s + "c", 2, kUntouched));
}

TEST_F(StringOps, FlagsAndArguments) {
  PLLocale *l = h(kLatin);
  Buffer b;
  const PLUChar unit[] = {'a', 0};
  PLUChar units[4] = {0};
  for (int32_t result :
       {PLStrcat(l, b.bytes, "x", -1, 0x10), PLStrcat(l, b.bytes, nullptr, -1, 0),
        PLStrcpy(l, b.bytes, 8, "a", -1, kTerm), PLStrcatU(l, units, unit, -1, kLast),
        PLStrcpyEx(h(kEbcdic), b.bytes, 0, 8, "a", 0, -1, kLast)})
    EXPECT_EQ(result, -1);
  EXPECT_EQ(PLStrchr(l, "abc", -1, "a", 0x10), nullptr);
  EXPECT_EQ(PLStrchrU(l, unit, -1, 'a', 0x10), nullptr);
  EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLGetError(h(kEbcdic)), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLStrspn(l, "ab", -1, "a", -1, 0x10), 1);  // span, search and tokens ignore it
  EXPECT_EQ(PLGetError(l), PL_OK);
}

// The UTF-16 and packed forms: one set of checks for both.
template <class T>
void element_forms(PLLocale *l, auto len, auto cpy, auto cat, auto chr, auto cspn, auto spn,
                   auto str, auto tok) {
  auto e = [](const Bytes &ascii) { return std::basic_string<T>(ascii.begin(), ascii.end()); };
  const std::basic_string<T> abca = e("abca"), ab = e("ab"), cd = e("cd");
  const T *s = abca.c_str();
  EXPECT_EQ(len(l, s), 4);
  T dst[8];
  using Copy = std::tuple<int32_t, int32_t, int32_t>;  // size, length, copied
  for (auto [size, n, copied] : {Copy{8, -1, 3}, Copy{2, -1, 2}, Copy{8, 1, 1}, Copy{8, 0, 0},
                                 Copy{0, -1, 0}})
    EXPECT_EQ(cpy(l, dst, size, ab.c_str(), n), copied);
  using Append = std::tuple<int32_t, int32_t, int32_t, Bytes>;  // count, flags, result
  for (auto [count, flags, returned, result] :
       {Append{-1, 0, 5, "abcd\0###"s}, Append{0, 0, 3, "ab\0#####"s},
        Append{1, kTerm, 4, "abc\0####"s}, Append{1, 0, 3, "abc#####"s}}) {
    std::basic_string<T> out = e("ab\0#####"s);
    EXPECT_EQ(cat(l, out.data(), cd.c_str(), count, flags), returned);
    EXPECT_EQ(out, e(result));
  }
  using Find = std::tuple<int32_t, T, int32_t, int>;  // length, character, flags, index
  for (auto [n, c, flags, at] : {Find{-1, 'a', kLast, 3}, Find{-1, 0, 0, 4}, Find{-1, 0, kLast, -1},
                                 Find{0, 'a', 0, -1}, Find{2, 'c', 0, -1}, Find{3, 'a', kLast, 0}})
    EXPECT_EQ(offset(s, chr(l, s, n, c, flags)), at < 0 ? -1 : at * int(sizeof(T)));
  EXPECT_EQ(cspn(l, s, -1, e("c").c_str(), -1), 2);
  EXPECT_EQ(spn(l, s, -1, e("ba").c_str(), 1), 0);
  EXPECT_EQ(str(l, s, -1, e("ca").c_str(), -1), s + 2);
  EXPECT_EQ(str(l, s, -1, e("").c_str(), -1), s);
  EXPECT_EQ(str(l, s, 3, e("ca").c_str(), -1), nullptr);
  EXPECT_EQ(tokens<T>(e(",a,,b"), -1, [&](T *text, int32_t *n, T **next) {
    return tok(l, text, n, e(",").c_str(), -1, next);
  }), e("a:2|b:0|"));
}

TEST_F(StringOps, ElementForms) {
  PLLocale *l = h(kLatin);
  element_forms<PLUChar>(l, PLStrlenU, PLStrcpyU, PLStrcatU, PLStrchrU, PLStrcspnU, PLStrspnU,
                         PLStrstrU, PLStrtokU);
  element_forms<PLWChar>(l, PLWcslen, PLWcscpy, PLWcscat, PLWcschr, PLWcscspn, PLWcsspn,
                         PLWcsstr, PLWcstok);
  // UTF-16 spans and tokens take a surrogate pair as one character.
  const PLUChar text[] = {0xD83D, 0xDE00, 'a', 0}, pair[] = {0xD83D, 0xDE00, 0};
  const PLUChar other_low[] = {0xD83D, 0xDE01, 0}, other_high[] = {0xD83C, 0xDE00, 0};
  EXPECT_EQ(PLStrcspnU(l, text, -1, other_low, -1), 3);
  EXPECT_EQ(PLStrspnU(l, text, -1, pair, -1), 2);
  EXPECT_EQ(PLStrcspnU(l, text, -1, other_high, -1), 3);
  PLUChar line[] = {'a', 0xD83D, 0xDE00, 'b', 0}, *next = nullptr;
  int32_t len = -1;
  EXPECT_EQ(PLStrtokU(l, line, &len, pair, -1, &next), line);
  EXPECT_EQ(std::tuple(line[2], next, len), std::tuple(PLUChar{0}, line + 3, 1));  // whole pair
}

}  // namespace
