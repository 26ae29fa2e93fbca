// The fast engine against the reference passes. Generated patterns in both syntaxes, with
// and without ignore-case and newline sensitivity, short and long programs, over subjects
// from the same alphabet: at every start position both passes give the same answers, and
// a search through PLRegexecU finds the match the reference passes lead to. The cache
// goes back with PLRegfree; a failed cache allocation changes no answer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

#include "polyloc.h"
#include "regex/fast/fast_cache.h"
#include "regex/match/passes.h"
#include "regex/regex_program.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using namespace pl::regex;
using pltest::Session;

long sweep(long sample, long full) { return std::getenv("POLYLOC_FULL_SWEEP") ? full : sample; }

const PLUChar *units(const std::u16string &s) {
  return reinterpret_cast<const PLUChar *>(s.data());
}

std::string printable(const std::u16string &s) {
  std::string out;
  for (char16_t c : s) out += c == '\n' ? std::string("\\n") : std::string(1, static_cast<char>(c));
  return out;
}

std::string describe(const std::u16string &pattern, int32_t flags, const std::u16string &text,
                     bool not_bol) {
  return "pattern \"" + printable(pattern) + "\" flags " + std::to_string(flags) + " subject \"" +
         printable(text) + "\"" + (not_bol ? " not at bol" : "");
}

// Random pattern trees over a small alphabet with the pieces of both syntaxes.
class PatternMaker {
 public:
  PatternMaker(std::mt19937 &rng, bool extended) : rng_(rng), ere_(extended) {}

  std::u16string expression(int depth) {
    std::u16string out = branch(depth);
    while (ere_ && depth > 0 && chance(20)) out += u"|" + branch(depth);
    return out;
  }

 private:
  bool chance(int percent) { return static_cast<int>(rng_() % 100) < percent; }
  template <size_t N>
  const char16_t *pick(const char16_t *const (&list)[N]) {
    return list[rng_() % N];
  }

  std::u16string branch(int depth) {
    std::u16string out;
    for (int n = 1 + rng_() % 3; n > 0; --n) out += piece(depth);
    return out;
  }

  std::u16string piece(int depth) {
    std::u16string a = atom(depth);
    if (a == u"^" || !chance(35)) return a;
    static const char16_t *const kEre[] = {u"*", u"+", u"?", u"{2}", u"{1,}", u"{0,2}", u"{1,3}"};
    static const char16_t *const kBre[] = {u"*", u"\\{2\\}", u"\\{1,\\}", u"\\{0,2\\}"};
    return a + (ere_ ? pick(kEre) : pick(kBre));
  }

  std::u16string atom(int depth) {
    static const char16_t *const kLeaves[] = {u"a",      u"a",     u"b",           u"b",
                                              u"A",      u"_",     u" ",           u".",
                                              u"^",      u"$",     u"[[:<:]]",     u"[[:>:]]",
                                              u"[ab]",   u"[^a]",  u"[[:alpha:]]", u"[^[:alnum:]]",
                                              u"[a-b_]", u"[^b ]", u"[[:space:]a]"};
    if (depth > 0 && chance(30)) {
      const std::u16string inner = expression(depth - 1);
      return ere_ ? u"(" + inner + u")" : u"\\(" + inner + u"\\)";
    }
    return pick(kLeaves);
  }

  std::mt19937 &rng_;
  bool ere_;
};

std::u16string subject(std::mt19937 &rng, std::u16string_view alphabet = u"aabbA_ \n1",
                       unsigned longest = 12) {
  std::u16string s;
  for (unsigned n = rng() % (longest + 1); n > 0; --n) s += alphabet[rng() % alphabet.size()];
  return s;
}

// Both passes from every position, through both engines.
void expect_same_passes(Program &program, const std::u16string &text, bool not_bol,
                        const std::string &what) {
  const Subject s{units(text), text.size(), not_bol};
  for (size_t from = 0; from <= text.size(); ++from) {
    size_t reference_end = 0, reference_candidate = 0, fast_end = 0, fast_candidate = 0;
    const bool found = reference_first_end(program, s, from, &reference_end, &reference_candidate);
    const FastAnswer fast = fast_first_end(program, s, from, &fast_end, &fast_candidate);
    ASSERT_NE(fast, FastAnswer::kUnavailable) << what;
    ASSERT_EQ(fast == FastAnswer::kMatch, found) << what << " first pass from " << from;
    ASSERT_EQ(fast_end, reference_end) << what << " first pass from " << from;
    ASSERT_EQ(fast_candidate, reference_candidate) << what << " first pass from " << from;

    reference_end = fast_end = 0;
    const bool longest = reference_longest_end(program, s, from, &reference_end);
    ASSERT_EQ(fast_longest_end(program, s, from, &fast_end),
              longest ? FastAnswer::kMatch : FastAnswer::kNoMatch)
        << what << " longest from " << from;
    if (longest) {
      ASSERT_EQ(fast_end, reference_end) << what << " longest from " << from;
    }
  }
}

// The whole match a search must report, from the reference passes alone: the first pass
// finds the candidate start, then each start from there is tried for its longest match.
bool reference_search(const Program &program, const Subject &s, size_t *start, size_t *end) {
  size_t first_end = 0;
  if (!reference_first_end(program, s, 0, &first_end, start)) return false;
  for (; *start <= s.length; ++*start) {
    if (reference_longest_end(program, s, *start, end)) return true;
  }
  return false;
}

void expect_same_search(PLLocale *locale, PLRegex *re, const std::u16string &text, bool not_bol,
                        const std::string &what) {
  // Searching from the second unit of "x" + text keeps ^ off the start.
  const std::u16string whole = u"x" + text;
  const PLUChar *string = units(whole) + 1;
  const Subject s{string, text.size(), not_bol};
  size_t start = 0, end = 0;
  const bool found = reference_search(*program_of(re), s, &start, &end);
  ASSERT_EQ(PLRegexecU(locale, re, string, static_cast<int32_t>(text.size()),
                       not_bol ? units(whole) : string, 0),
            found ? 1 : 0)
      << what;
  if (!found) return;
  const PLUChar *match_start = nullptr, *match_end = nullptr;
  PLRegrangeU(re, 0, &match_start, &match_end);
  ASSERT_NE(match_start, nullptr) << what;
  EXPECT_EQ(match_start - string, static_cast<ptrdiff_t>(start)) << what;
  EXPECT_EQ(match_end - string, static_cast<ptrdiff_t>(end)) << what;
  EXPECT_NE(program_of(re)->cache, nullptr) << what << ": the search went without the fast engine";
}

TEST(RegexEngines, GeneratedPatternsGiveTheSameAnswers) {
  Session session(pltest::built_locale_dir());
  PLLocale *locale = PLGetLocale("English_UnitedStates.MS1252", 0, nullptr);
  ASSERT_NE(locale, nullptr);
  std::mt19937 rng(20261206);
  const long cases = sweep(40000, 1000000);
  long compiled = 0, long_programs = 0, matched = 0;
  for (long n = 0; n < cases;) {
    const bool ere = rng() % 2 == 0;
    const int32_t flags = (ere ? PL_REG_EXTENDED : 0) | (rng() % 3 == 0 ? PL_REG_ICASE : 0) |
                          (rng() % 3 == 0 ? PL_REG_NEWLINE : 0);
    PatternMaker maker(rng, ere);
    std::u16string pattern = maker.expression(rng() % 5);
    if (rng() % 2 == 0) pattern += maker.expression(2 + rng() % 3);  // longer programs
    PLRegex *re = PLRegcompU(locale, units(pattern), static_cast<int32_t>(pattern.size()), flags);
    if (re == nullptr) continue;
    ++compiled;
    Program &program = *program_of(re);
    ASSERT_NE(fast_cache_of(program), nullptr);  // short texts alone would not build it yet
    if (program.nstates > 32) ++long_programs;
    for (int k = 0; k < 8 && n < cases; ++k, ++n) {
      const std::u16string text = subject(rng);
      const bool not_bol = rng() % 4 == 0;
      const std::string what = describe(pattern, flags, text, not_bol);
      ASSERT_NO_FATAL_FAILURE(expect_same_passes(program, text, not_bol, what));
      ASSERT_NO_FATAL_FAILURE(expect_same_search(locale, re, text, not_bol, what));
      matched += program.ranges != nullptr;
    }
    ASSERT_EQ(PLRegfree(locale, re), 0);
  }
  EXPECT_GT(long_programs, compiled / 10);
  EXPECT_LT(long_programs, compiled - compiled / 10);
  EXPECT_GT(matched, cases / 10);
  EXPECT_EQ(PLReleaseLocale(locale), PL_OK);
}

// Long subjects where the pattern's units are rare: the first pass skips (to the next of
// a few units or pairs, past the next newline, or unit by unit) over whole vectors and
// up to the end of the text.
TEST(RegexEngines, SkipsGiveTheSameAnswers) {
  Session session(pltest::built_locale_dir());
  PLLocale *locale = PLGetLocale("English_UnitedStates.MS1252", 0, nullptr);
  ASSERT_NE(locale, nullptr);
  std::mt19937 rng(7);
  const long cases = sweep(4000, 100000);
  long skips[4] = {};  // programs by the way their first pass skips
  for (long n = 0; n < cases;) {
    const bool ere = rng() % 2 == 0;
    const int32_t flags = (ere ? PL_REG_EXTENDED : 0) | (rng() % 3 == 0 ? PL_REG_ICASE : 0) |
                          (rng() % 2 == 0 ? PL_REG_NEWLINE : 0);
    PatternMaker maker(rng, ere);
    const std::u16string pattern = maker.expression(rng() % 4);
    PLRegex *re = PLRegcompU(locale, units(pattern), static_cast<int32_t>(pattern.size()), flags);
    if (re == nullptr) continue;
    Program &program = *program_of(re);
    FastCache *cache = fast_cache_of(program);
    ASSERT_NE(cache, nullptr);
    ++skips[cache->skip];
    for (int k = 0; k < 4 && n < cases; ++k, ++n) {
      const std::u16string text = subject(rng, u"1111111-----a b\nA_", 40);
      const bool not_bol = rng() % 4 == 0;
      const std::string what = describe(pattern, flags, text, not_bol);
      ASSERT_NO_FATAL_FAILURE(expect_same_passes(program, text, not_bol, what));
    }
    ASSERT_EQ(PLRegfree(locale, re), 0);
  }
  for (long programs : skips) EXPECT_GT(programs, cases / 400);
  EXPECT_EQ(PLReleaseLocale(locale), PL_OK);
}

// A compiled pattern on the English locale of a counting heap.
class Compiled {
 public:
  Compiled(Session &session, const std::u16string &pattern, int32_t flags)
      : session_(session), locale_(PLGetLocale("English_UnitedStates.MS1252", 0, nullptr)) {
    re_ = PLRegcompU(locale_, units(pattern), static_cast<int32_t>(pattern.size()), flags);
  }
  ~Compiled() {
    if (re_ != nullptr) {
      EXPECT_EQ(PLRegfree(locale_, re_), 0);
    }
    PLReleaseLocale(locale_);
  }
  Compiled(const Compiled &) = delete;
  Compiled &operator=(const Compiled &) = delete;

  PLRegex *re() const { return re_; }
  Program &program() const { return *program_of(re_); }
  pltest::Heap &heap() const { return session_.heap(); }

 private:
  Session &session_;
  PLLocale *locale_;
  PLRegex *re_;
};

TEST(RegexEngines, PLRegfreeReleasesTheCache) {
  Session session(pltest::built_locale_dir());
  PLLocale *locale = PLGetLocale("English_UnitedStates.MS1252", 0, nullptr);
  const std::u16string pattern = u"[a-z]+ing";
  std::u16string text;
  while (text.size() < 5000) text += u"the running man ";
  const long before = session.heap().live;
  PLRegex *re = PLRegcompU(locale, units(pattern), -1, PL_REG_EXTENDED);
  ASSERT_NE(re, nullptr);
  const long compiled = session.heap().live;
  EXPECT_EQ(PLRegexecU(locale, re, units(text), -1, units(text), 0), 1);
  ASSERT_NE(program_of(re)->cache, nullptr);
  EXPECT_TRUE(static_cast<FastCache *>(program_of(re)->cache)->ready);
  EXPECT_GT(session.heap().live, compiled);
  EXPECT_EQ(PLRegfree(locale, re), 0);
  EXPECT_EQ(session.heap().live, before);
  EXPECT_EQ(PLReleaseLocale(locale), PL_OK);
}

// Every allocation the engine makes, failed in turn: the pass then answers as the
// reference does or leaves the question to it, and nothing leaks.
TEST(RegexEngines, FailedCacheAllocationsChangeNoAnswer) {
  Session session(pltest::built_locale_dir());
  std::mt19937 rng(7);
  std::u16string text;
  for (int i = 0; i < 5000; ++i) text += u"ab"[rng() % 2];
  text += u"abbbbbc";
  const Subject s{units(text), text.size(), false};
  long unavailable = 0;
  for (long n = 1;; ++n) {
    // Sixty-odd DFA states: the first table has to grow.
    Compiled c(session, u"(a|b)*a(a|b)(a|b)(a|b)(a|b)(a|b)c", PL_REG_EXTENDED);
    ASSERT_NE(c.re(), nullptr);
    size_t reference_end = 0, reference_candidate = 0, reference_longest = 0;
    ASSERT_TRUE(reference_first_end(c.program(), s, 0, &reference_end, &reference_candidate));
    ASSERT_TRUE(reference_longest_end(c.program(), s, reference_candidate, &reference_longest));
    size_t end = 0, candidate = 0, longest_end = 0;
    c.heap().fail_at = c.heap().attempts + n;
    const FastAnswer first = fast_first_end(c.program(), s, 0, &end, &candidate);
    const FastAnswer longest = fast_longest_end(c.program(), s, reference_candidate, &longest_end);
    const bool failed = c.heap().attempts >= c.heap().fail_at;
    c.heap().fail_at = -1;
    if (first == FastAnswer::kUnavailable || longest == FastAnswer::kUnavailable) {
      ++unavailable;
      ASSERT_TRUE(failed) << n;
      continue;
    }
    ASSERT_EQ(first, FastAnswer::kMatch) << n;
    ASSERT_EQ(end, reference_end) << n;
    ASSERT_EQ(candidate, reference_candidate) << n;
    ASSERT_EQ(longest, FastAnswer::kMatch) << n;
    ASSERT_EQ(longest_end, reference_longest) << n;
    if (!failed) break;
  }
  EXPECT_GT(unavailable, 3);
}

// A DFA larger than the cache: flushed and rebuilt on the way, with the same answers;
// flushed too often, it leaves the pass to the reference.
TEST(RegexEngines, AFlushedCacheKeepsTheAnswers) {
  Session session(pltest::built_locale_dir());
  Compiled c(session, u"(a|b)*a(a|b){16}c", PL_REG_EXTENDED);
  ASSERT_NE(c.re(), nullptr);
  FastCache *cache = fast_cache_of(c.program());
  ASSERT_NE(cache, nullptr);
  std::mt19937 rng(11);
  auto random_run = [&](size_t length) {
    std::u16string run;
    for (size_t i = 0; i < length; ++i) run += u"ab"[rng() % 2];
    return run;
  };
  // New states until the cache is full, then a long stretch of known ones, then again.
  const size_t limit = cache->first.limit;
  std::u16string periodic;
  while (periodic.size() < 9 * limit) periodic += u"aabab";
  const std::u16string text =
      random_run(limit * 3 / 2) + periodic + random_run(limit * 3 / 2) + u"c";
  const Subject s{units(text), text.size(), false};
  size_t reference_end = 0, reference_candidate = 0, end = 0, candidate = 0;
  const bool found = reference_first_end(c.program(), s, 0, &reference_end, &reference_candidate);
  ASSERT_EQ(fast_first_end(c.program(), s, 0, &end, &candidate),
            found ? FastAnswer::kMatch : FastAnswer::kNoMatch);
  EXPECT_EQ(end, reference_end);
  EXPECT_EQ(candidate, reference_candidate);
  EXPECT_GE(cache->first.flushes, 2u);

  const std::u16string noise = random_run(12 * limit) + u"c";
  const Subject t{units(noise), noise.size(), false};
  EXPECT_EQ(fast_first_end(c.program(), t, 0, &end, &candidate), FastAnswer::kUnavailable);
}

// Short first searches (the cache would not pay for itself yet) and sets with two-unit
// collating elements (the DFA steps one unit at a time) go to the reference.
TEST(RegexEngines, SomeSearchesAreLeftToTheReference) {
  Session session(pltest::built_locale_dir());
  Compiled word(session, u"[a-z]+ing", PL_REG_EXTENDED);
  Compiled element(session, u"x[[.ab.]c]", PL_REG_EXTENDED);
  ASSERT_NE(word.re(), nullptr);
  ASSERT_NE(element.re(), nullptr);
  const std::u16string text = u"xxabx running";
  const Subject s{units(text), text.size(), false};
  size_t end = 0, candidate = 0;
  size_t searches = 0;
  while (fast_first_end(word.program(), s, 0, &end, &candidate) == FastAnswer::kUnavailable) {
    ++searches;
  }
  EXPECT_EQ(end, 13u);
  EXPECT_GT(searches * text.size(), 1000u);

  EXPECT_EQ(fast_first_end(element.program(), s, 0, &end, &candidate), FastAnswer::kUnavailable);
  EXPECT_EQ(fast_longest_end(element.program(), s, 1, &end), FastAnswer::kUnavailable);
  EXPECT_EQ(PLRegexecU(nullptr, element.re(), units(text), -1, units(text), 0), 1);
  const PLUChar *start = nullptr, *stop = nullptr;
  PLRegrangeU(element.re(), 0, &start, &stop);
  EXPECT_EQ(start - units(text), 1);
  EXPECT_EQ(stop - units(text), 4);
}

}  // namespace
