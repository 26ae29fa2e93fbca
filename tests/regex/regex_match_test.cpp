// PLRegexec, PLRegmatch and PLRegrange: leftmost-longest matches and their
// subexpressions, anchors and word boundaries, back references, both set forms of the
// automaton, byte offsets in double-byte and stateful code sets, the four forms, a
// hostile back reference, and searches that run out of memory.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>

#include "polyloc.h"
#include "regex/regex_program.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string, std::u16string;
constexpr int32_t E = PL_REG_EXTENDED, I = PL_REG_ICASE, NS = PL_REG_NOSUB;
constexpr int32_t kNotBol = 0x40000000;  // the case searches with the base before the string
const char *const EN = "English_UnitedStates.MS1252", *const JA = "Japanese_Japan.MS932",
                  *const IBM = "Japanese_Japan.IBM930";

const PLUChar *uc(const char16_t *p) { return reinterpret_cast<const PLUChar *>(p); }

// The result of a search and its pairs: "start,end" of each from 0, "-" for none.
struct Case { int32_t flags; const char16_t *pattern, *subject; int32_t expected; const char *pairs; };

const Case kCases[] = {
    // The leftmost start, the longest end there; subexpressions leftmost-longest in turn.
    {E, u"a|ab", u"abc", 1, "0,2"}, {E, u"(a)|b", u"b", 1, "0,1 -"}, {E | NS, u"a(b)", u"ab", 1, "- -"},
    // The threads of the start at 0 come down to the start set, and still start first.
    {E, u"(a*|c)b+", u"cbaa", 1, "0,2 0,1"}, {E, u"(a|ab)(c|bcd)(d*)", u"abcd", 1, "0,4 0,2 2,3 3,4"},
    {E, u"[ab].?(c[ab]c*)+", u"acbccbcc", 1, "0,8 4,8"},  // a longest iteration strands the rest
    {E, u".*q|b", u"aab", 1, "2,3"}, {E | I, u"AbC", u"xaBc", 1, "1,4"},
    // Anchors: the base before the string; lines only under the newline flag.
    {0, u"^a", u"a", 1, "0,1"}, {kNotBol, u"^a", u"a", 0, ""}, {E, u"^b", u"a\nb", 0, ""},
    {E, u"a$", u"a\na", 1, "2,3"},
    // Words: `_` is a word unit; a string that goes on before its start begins no word.
    {E, u"a[[:>:]]", u"ba_a.", 1, "3,4"}, {E | kNotBol, u"[[:<:]]a", u"a", 0, ""},
    // Back references, false alarms of the automaton included.
    {0, u"\\(a*\\)\\1", u"aaaa", 1, "0,4 0,2"}, {0, u"\\(ab*\\)c\\1", u"abbcab", 0, ""},
    {0, u"^\\(.*\\)\\1$", u"abab", 1, "0,4 0,2"}, {0, u"\\([a-c]*\\)x\\1", u"abxabxab", 1, "0,5 0,2"},
    {0, u"\\(a\\)*\\1", u"aab", 1, "0,2 0,1"},
    // Two-unit collating elements are taken whole.
    {E, u"[[.ch.]]x", u"achx", 1, "1,4"}, {E, u"([[.ch.]b])+", u"abchb", 1, "1,5 4,5"},
};

// Pair `i` of the last search as offsets from `origin` through one of the PLRegrange
// forms; (-1, -1) when it yields nulls.
template <class Unit>
std::pair<long, long> range(int32_t (*read)(PLRegex *, int32_t, const Unit **, const Unit **), PLRegex *re,
                            int32_t i, const Unit *origin) {
  const Unit *start = origin, *end = origin;
  EXPECT_EQ(read(re, i, &start, &end), 0);
  return start == nullptr && end == nullptr ? std::pair(-1L, -1L) : std::pair(start - origin, end - origin);
}

// The pairs of the last search of `re`, as the cases write them.
string pairs_of(PLRegex *re) {
  string out;
  const auto *base = static_cast<const PLUChar *>(pl::regex::program_of(re)->match_base);
  for (int32_t i = 0; i <= static_cast<int32_t>(re->nsub); ++i) {
    auto [start, end] = range(PLRegrangeU, re, i, base);
    out += (i ? " " : "") + (start < 0 ? "-" : std::to_string(start) + "," + std::to_string(end));
  }
  return out;
}

class RegexMatch : public ::testing::Test {
 protected:
  PLLocale *handle(const string &name) {  // opened once, released at the end
    PLLocale *&l = handles_[name];
    return l != nullptr ? l : (l = PLGetLocale(name.c_str(), 0, nullptr));
  }
  ~RegexMatch() override { for (auto &h : handles_) EXPECT_EQ(PLReleaseLocale(h.second), PL_OK); }

  // Runs a case, its pattern followed by a never-matching branch of 40 units when
  // `padded` (a program above 32 instructions): the result and the pairs.
  std::pair<int32_t, string> run(const Case &c, bool padded, uint32_t *nstates) {
    u16string pattern = c.pattern;
    if (padded) pattern += u"|" + u16string(40, u'\uE000');
    PLRegex *re = PLRegcompU(handle(EN), uc(pattern.c_str()), -1, c.flags & ~kNotBol);
    if (re == nullptr) return {-2, std::to_string(PLGetError(handle(EN)))};
    *nstates = pl::regex::program_of(re)->nstates;
    u16string text = u"-" + u16string(c.subject);
    const PLUChar *at = uc(text.c_str()) + 1;
    int32_t r = PLRegexecU(handle(EN), re, at, -1, c.flags & kNotBol ? at - 1 : at, 0);
    std::pair<int32_t, string> out{r, r == 1 ? pairs_of(re) : ""};
    EXPECT_EQ(PLRegfree(nullptr, re), 0);
    return out;
  }

  pltest::Session session_{pltest::built_locale_dir()};
  std::map<string, PLLocale *> handles_;
};

// Every case, and for extended patterns the same padded into the byte-set form.
TEST_F(RegexMatch, Cases) {
  for (const Case &c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - kCases);
    uint32_t nstates = 0;
    EXPECT_EQ(run(c, false, &nstates), std::pair(c.expected, string(c.pairs)));
    if (!(c.flags & E)) continue;
    EXPECT_EQ(run(c, true, &nstates), std::pair(c.expected, string(c.pairs))) << "padded";
    EXPECT_GT(nstates, 32u);
  }
}

// Calls refused, and ranges that a later search without a match takes away.
TEST_F(RegexMatch, RefusedCallsAndStaleRanges) {
  PLLocale *l = handle(EN);
  PLRegex *re = PLRegcomp(l, "b+", -1, E);
  ASSERT_NE(re, nullptr);
  const char *s = "abbc";
  EXPECT_EQ(PLRegexec(l, re, s, -1, s, 1), -1);
  EXPECT_EQ(PLGetError(l), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLRegexec(l, nullptr, s, -1, s, 0), -1);
  EXPECT_EQ(PLRegexec(l, re, s, -1, s, PL_COUNT_CHARS), 1);
  EXPECT_EQ(range(PLRegrange, re, 0, s), std::pair(1L, 3L));
  EXPECT_EQ(range(PLRegrange, re, 1, s), std::pair(-1L, -1L));
  EXPECT_EQ(PLRegexec(l, re, "xyz", -1, s, 0), 0);
  EXPECT_EQ(range(PLRegrange, re, 0, s), std::pair(-1L, -1L));
  EXPECT_EQ(PLRegexec(l, re, s, 2, s, 0), 1);  // a length cuts the string
  EXPECT_EQ(range(PLRegrange, re, 0, s), std::pair(1L, 2L));
  EXPECT_EQ(PLRegfree(l, re), 0);
  EXPECT_EQ(PLRegmatch(l, s, -1, "a(", -1, E), -1);
  EXPECT_EQ(PLGetError(l), PL_ERR_REGEX_PAREN);
  EXPECT_EQ(PLRegmatch(l, "xaab", -1, "a+b$", -1, E), 1);
  EXPECT_EQ(PLRegmatch(l, "xaab", 3, "a+b$", -1, E), 0);
}

// Ranges in bytes of a double-byte set, in bytes and shift states of a stateful one, in
// units of the U and W forms.
TEST_F(RegexMatch, OffsetsOfEveryForm) {
  PLLocale *ja = handle(JA), *ibm = handle(IBM);
  ASSERT_EQ(PLSetLocale(IBM, 0), PL_OK);  // PLRegrangeEx reads shifts by the default set
  const char *s = "\x82\xA0\x82\xA2" "abc", *start, *end;
  PLRegex *re = PLRegcomp(ja, "b", -1, E);
  ASSERT_NE(re, nullptr);
  EXPECT_EQ(PLRegexec(ja, re, s, -1, s, 0), 1);
  EXPECT_EQ(range(PLRegrange, re, 0, s), std::pair(5L, 6L));
  EXPECT_EQ(PLRegexec(ja, re, s, 3, s, PL_COUNT_CHARS), 0);
  EXPECT_EQ(PLRegexec(ja, re, s, 4, s, PL_COUNT_CHARS), 1);
  EXPECT_EQ(PLRegfree(ja, re), 0);
  // A, then shifted fullwidth a and A, then B; a string that begins shifted.
  const char *t = "\xC1\x0E\x42\x81\x42\xC1\x0F\xC2", *shifted = "\x42\x81\x0F\xC2";
  struct { const char16_t *pattern; const char *string; PLState state; long start, end; PLState at_start, at_end; }
  const ex_cases[] = {{u"\uFF21", t, 0, 4, 6, 1, 1}, {u"B", t, 0, 6, 8, 1, 0},
                      {u"\uFF41\uFF21B", t, 0, 1, 8, 0, 0}, {u"B", shifted, 1, 2, 4, 1, 0}};
  for (const auto &c : ex_cases) {
    SCOPED_TRACE(c.start);
    re = PLRegcompU(ibm, uc(c.pattern), -1, 0);
    ASSERT_NE(re, nullptr);
    ASSERT_EQ(PLRegexecEx(ibm, re, c.string, c.state, -1, c.string, 0), 1);
    PLState start_state, end_state;
    PLRegrangeEx(re, 0, &start, &start_state, &end, &end_state);
    EXPECT_EQ(std::tuple(start - c.string, end - c.string, start_state, end_state),
              std::tuple(c.start, c.end, c.at_start, c.at_end));
    EXPECT_EQ(PLRegfree(ibm, re), 0);
  }
  EXPECT_EQ(PLRegmatchEx(ibm, shifted, 1, -1, "\xC2", 0, -1, 0), 1);
  // The U and W forms count their own units; W packs each character of the code set.
  const PLWChar text[] = {0x82A0, 0x82A2, 'a', 'b', 0}, pattern[] = {0x82A2, 'a', 0};
  re = PLRegcompW(ja, pattern, -1, 0);
  ASSERT_NE(re, nullptr);
  EXPECT_EQ(PLRegexecW(ja, re, text, -1, text, 0), 1);
  EXPECT_EQ(range(PLRegrangeW, re, 0, text), std::pair(1L, 3L));
  EXPECT_EQ(PLRegexecW(ja, re, text, 2, text, 0), 0);
  EXPECT_EQ(PLRegfree(ja, re), 0);
  EXPECT_EQ(PLRegmatchW(ja, text, -1, pattern, -1, 0), 1);
  EXPECT_EQ(PLRegmatchU(ja, uc(u"x\U0001F600y"), -1, uc(u"x..y"), -1, E), 1);
}

// A back reference that makes the backtracking search cubic in the subject stops within
// its budget with code 1.
TEST_F(RegexMatch, HostileBackReferenceIsBounded) {
  PLLocale *l = handle(EN);
  PLRegex *re = PLRegcomp(l, "\\(.*\\)\\1\\1x", -1, 0);
  ASSERT_NE(re, nullptr);
  EXPECT_EQ(PLRegexec(l, re, "abababx", -1, nullptr, 0), 1);
  string subject = string(1000, 'a') + "b" + string(1000, 'a') + "x";
  auto begin = std::chrono::steady_clock::now();
  EXPECT_EQ(PLRegexec(l, re, subject.c_str(), -1, subject.c_str(), 0), -1);
  EXPECT_EQ(PLGetError(l), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
  EXPECT_EQ(PLRegfree(l, re), 0);
}

// Every allocation of a search, and of a one-call match, fails in turn: -1 with code 20,
// or a match where the search could do without the block (the fast engine steps
// aside), until the call gets all it asks for. A one-call match keeps nothing; the
// session finds every block returned at the end.
TEST_F(RegexMatch, SearchesWithoutMemory) {
  PLLocale *l = handle(JA);
  string subject = string(1500, 'x') + "\x82\xA0" "abcabc";
  PLRegex *re = PLRegcomp(l, "\\(a.c\\)\\1", -1, 0);
  ASSERT_NE(re, nullptr);
  pltest::Heap &heap = session_.heap();
  for (int form = 0; form < 2; ++form) {
    int failures = 0;
    for (long nth = 1;; ++nth) {
      SCOPED_TRACE(testing::Message() << "form " << form << " allocation " << nth);
      long live = heap.live;
      heap.fail_at = heap.attempts + nth;
      int32_t r = form == 0 ? PLRegexec(l, re, subject.c_str(), -1, subject.c_str(), 0)
                            : PLRegmatch(l, subject.c_str(), -1, "\\(a.c\\)\\1", -1, 0);
      bool failed = heap.attempts >= heap.fail_at;
      heap.fail_at = -1;
      if (!failed) {
        EXPECT_EQ(r, 1);
        break;
      }
      EXPECT_EQ(std::pair(r, PLGetError(l)), r == 1 ? std::pair(1, PL_OK) : std::pair(-1, PL_ERR_NO_MEMORY));
      EXPECT_TRUE(form == 0 || heap.live == live) << "a one-call match keeps nothing";
      failures += r == -1;
    }
    EXPECT_GT(failures, 1);
  }
  EXPECT_EQ(range(PLRegrange, re, 1, subject.c_str()), std::pair(1502L, 1505L));
  EXPECT_EQ(PLRegfree(l, re), 0);
}

}  // namespace
