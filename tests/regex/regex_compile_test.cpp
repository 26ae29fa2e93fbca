// PLRegcomp and its forms, PLRegfree: the rules the conformance set leaves open, the
// program's shape where the matcher depends on it, bracket sets, the four forms against
// the UTF-16 one, and allocation failures at every step.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "polyloc.h"
#include "regex/regex_program.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using namespace pl::regex;
using std::u16string;

constexpr int32_t E = PL_REG_EXTENDED, L = PL_REG_LITERAL, I = PL_REG_ICASE, N = PL_REG_NEWLINE;
constexpr int32_t B = 0x40000000;  // the case compiles through the base form
const char *const EN = "English_UnitedStates.MS1252", *const JA = "Japanese_Japan.MS932",
                  *const IBM = "Japanese_Japan.IBM930", *const DE = "German_Germany.UTF-8";

const PLUChar *uc(const u16string &s) { return reinterpret_cast<const PLUChar *>(s.data()); }
int32_t size_of(const u16string &s) { return static_cast<int32_t>(s.size()); }
// The pattern in the locale's multibyte encoding.
std::string bytes_of(PLLocale *l, const u16string &pattern) {
  std::string bytes(pattern.size() * 4 + 4, '\0');
  bytes.resize(PLUnicodeToString(l, bytes.data(), size_of(pattern) * 4 + 4, uc(pattern), size_of(pattern),
                                 0));
  return bytes;
}
std::string narrow(const u16string &s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// The partners of every loop, option and alternation point at each other, parentheses
// nest, set operands exist, and the program lies between its two end instructions.
void expect_well_formed(const Program &g, const u16string &pattern) {
  SCOPED_TRACE(narrow(pattern));
  ASSERT_TRUE(op_of(g.strip[g.first_state]) == kEnd && op_of(g.strip[g.last_state]) == kEnd);
  ASSERT_EQ(g.last_state + 1, g.nstates);
  std::vector<uint32_t> parens;
  for (uint32_t i = g.first_state + 1; i < g.last_state; ++i) {
    Op op = op_of(g.strip[i]);
    uint32_t d = operand_of(g.strip[i]);
    if (op == kOpenPlus || op == kOpenQuest) {
      ASSERT_LT(i + d, g.last_state);
      EXPECT_EQ(g.strip[i + d], instruction(static_cast<Op>(op + 1), d)) << i;
    } else if (op == kOpenAlt) {
      uint32_t back = i, at = i + d;
      for (; op_of(g.strip[at]) == kLastBranch; at += operand_of(g.strip[at])) {
        EXPECT_EQ(g.strip[at - 1], instruction(kAltBranch, at - 1 - back)) << i;
        back = at - 1;
        ASSERT_LT(at + operand_of(g.strip[at]), g.last_state);
      }
      EXPECT_EQ(g.strip[at], instruction(kCloseAlt, at - back)) << i;
    } else if (op == kOpenParen || op == kCloseParen) {
      if (op == kOpenParen) parens.push_back(d);
      ASSERT_EQ(parens.empty() ? 0 : parens.back(), d) << i;
      if (op == kCloseParen) parens.pop_back();
    } else {
      EXPECT_TRUE(op != kAnyOf || d < g.set_count) << i;
      EXPECT_NE(op, kEnd) << "end instruction inside the program at " << i;
    }
  }
  EXPECT_TRUE(parens.empty());
}

class RegexCompile : public ::testing::Test {
 protected:
  void TearDown() override { for (PLLocale *l : opened_) EXPECT_EQ(PLReleaseLocale(l), PL_OK); }
  PLLocale *open(const char *name) {
    opened_.push_back(PLGetLocale(name, 0, nullptr));
    EXPECT_NE(opened_.back(), nullptr) << name;
    return opened_.back();
  }

  // Compiles a pattern (converted to the locale's bytes under B); the code stored, with
  // the expression in `*out` (or freed).
  int32_t compile(PLLocale *l, const u16string &pattern, int32_t flags, PLRegex **out = nullptr) {
    std::string bytes = flags & B ? bytes_of(l, pattern) : "";
    PLRegex *re = flags & B ? PLRegcomp(l, bytes.data(), static_cast<int32_t>(bytes.size()), flags & ~B)
                            : PLRegcompU(l, uc(pattern), size_of(pattern), flags);
    int32_t code = PLGetError(l);
    EXPECT_EQ(re == nullptr, code != PL_OK) << code;
    if (re == nullptr) return code;
    expect_well_formed(*program_of(re), pattern);
    EXPECT_EQ(re->nsub, program_of(re)->nsub);
    if (out != nullptr) *out = re;
    else EXPECT_EQ(PLRegfree(l, re), 0);
    return code;
  }

  pltest::Session session_{pltest::built_locale_dir()};
  std::vector<PLLocale *> opened_;
};

// Patterns by syntax and the code each gives, where the conformance set says nothing.
struct CodeRow { int32_t flags, code; std::vector<const char16_t *> patterns; };
const CodeRow kCodes[] = {
    {E | L, PL_ERR_ARGUMENT, {u"a"}}, {0x1, PL_ERR_ARGUMENT, {u"a"}},
    {0x400000, PL_ERR_ARGUMENT, {u"a"}}, {PL_COUNT_CHARS | PL_REG_NOSUB | N | I, PL_OK, {u"a"}},
    {E, PL_ERR_REGEX_EMPTY, {u"", u"a|", u"a{0}"}}, {0, PL_ERR_REGEX_EMPTY, {u""}}, {L, PL_ERR_REGEX_EMPTY, {u""}},
    {0, PL_ERR_REGEX_PAREN, {u"a\\}"}}, {E, PL_ERR_REGEX_REPEAT, {u"a**", u"(^+)"}},
    {0, PL_OK, {u"^*a", u"\\(*a\\)", u"a{1}"}}, {0, PL_ERR_REGEX_BACKREF, {u"\\1", u"\\(a\\)\\{0\\}\\1"}},
    {E, PL_ERR_REGEX_COUNT, {u"a{256}", u"a{2,1}"}}, {E, PL_ERR_REGEX_BRACE, {u"a{1,"}},
    {E, PL_OK, {u"a{255}", u"a{x", u"a{", u"a{0,0}b", u"\\1"}}, {0, PL_ERR_REGEX_BRACE, {u"a\\{1,2"}},
    {E, PL_ERR_REGEX_CLASS, {u"[[:ALPHA:]]", u"[[:alpha]]", u"[[:alpha:", u"[[:<:]"}},
    {E, PL_ERR_REGEX_RANGE, {u"[a--]", u"[--/]", u"[]-a]", u"[[.ch.]-d]", u"[a-[.ch.]]"}},
    {E, PL_OK, {u"[!--]", u"[a-]", u"[[.ch.]]", u"[[.space.][.NUL.][.DEL.]]", u"[[:<:]]a[[:>:]]"}},
    {E, PL_ERR_REGEX_COLLATE, {u"[[..]]", u"[[.Space.]]", u"[[=abc=]]"}},
    // Ranges in UTF-16 order for the U form, in MS1252 code order for the base form.
    {E, PL_ERR_REGEX_RANGE, {u"[\u20ac-\u0178]"}}, {E | B, PL_ERR_REGEX_RANGE, {u"[\u0178-\u20ac]"}},
    // The first error is kept; a literal pattern takes every unit as it is.
    {E, PL_ERR_REGEX_BRACE, {u"a{1("}}, {E, PL_ERR_REGEX_CLASS, {u"[[:foo:]]("}},
    {E, PL_ERR_REGEX_PAREN, {u"(a))"}}, {0, PL_ERR_REGEX_REPEAT, {u"\\{\\("}}, {L, PL_OK, {u"a{1(*[\\"}},
};

TEST_F(RegexCompile, ErrorCodes) {
  PLLocale *l = open(EN);
  for (const CodeRow &row : kCodes)
    for (u16string pattern : row.patterns)
      EXPECT_EQ(compile(l, pattern, row.flags), row.code) << narrow(pattern) << " " << std::hex << row.flags;
  // Groups nest 1000 deep at most: the parser's recursion stays bounded.
  for (size_t depth : {1000u, 1001u}) {
    u16string nested = u16string(depth, u'(') + u'a' + u16string(depth, u')');
    EXPECT_EQ(compile(l, nested, E), depth > 1000 ? PL_ERR_NO_MEMORY : PL_OK) << depth;
  }
  // An empty pattern may come as a null pointer with length 0, in every form.
  auto code = [l](PLRegex *re) { return re == nullptr ? PLGetError(l) : -1; };
  EXPECT_EQ(code(PLRegcomp(l, nullptr, 0, E)), PL_ERR_REGEX_EMPTY);
  EXPECT_EQ(code(PLRegcompEx(l, "", 1, -1, 0)), PL_ERR_REGEX_EMPTY);
  EXPECT_EQ(code(PLRegcompU(l, nullptr, 0, 0)), PL_ERR_REGEX_EMPTY);
  EXPECT_EQ(code(PLRegcompW(l, nullptr, 0, L)), PL_ERR_REGEX_EMPTY);
  EXPECT_EQ(code(PLRegcompU(l, nullptr, -1, 0)), PL_ERR_ARGUMENT);
  EXPECT_EQ(code(PLRegcomp(l, nullptr, 3, 0)), PL_ERR_ARGUMENT);
}

// Random patterns over the special units of all syntaxes: every one compiles to a
// well-formed program or to a code of the table, and the accepted ones free cleanly.
TEST_F(RegexCompile, RandomPatterns) {
  PLLocale *l = open(EN);
  const char16_t alphabet[] = u"ab^$.*+?{}()|[]\\-:=,0129<>_ \u00e9\u00c9";
  const char16_t *const fragments[] = {u"[[:alpha:]", u"[[.hyphen.]", u"[[=e=]", u"[[.ch.]",
                                       u"\\(", u"\\)", u"\\{1,2\\}", u"{0,3}", u"[[:<:]]"};
  std::mt19937 random(13);
  for (long n = 0, count = std::getenv("POLYLOC_FULL_SWEEP") ? 200000 : 4000; n < count; ++n) {
    u16string pattern;
    size_t length = random() % 12;
    for (size_t i = 0; i < length; ++i) pattern += alphabet[random() % (std::size(alphabet) - 1)];
    if (random() % 3 == 0)
      pattern.insert(random() % (length + 1), fragments[random() % std::size(fragments)]);
    int32_t code = compile(l, pattern, std::array{0, E, L, E | I, N}[random() % 5]);
    EXPECT_TRUE(code == PL_OK || (code >= PL_ERR_REGEX_COLLATE && code <= PL_ERR_REGEX_EMPTY))
        << narrow(pattern) << " " << code;
  }
}

// One-atom patterns: the units each must accept and refuse.
struct SetCase { const char *locale; int32_t flags; const char16_t *pattern, *in, *out; };
const SetCase kSets[] = {
    {EN, E, u"[[:digit:]]", u"09\u0660", u"a/:"},  {EN, E, u"[[:alpha:]]", u"aZ\u00e9\u4e00", u"1_ "},
    {EN, E, u"[[:upper:][:punct:]]", u"A!_", u"a1"}, {EN, E, u"[[:space:]]", u" \t\n\u3000", u"a"},
    {EN, E, u"[[:blank:]]", u" \t", u"\n"},        {EN, E, u"[[:xdigit:]]", u"0aF", u"g"},
    {EN, E, u"[[:cntrl:]]", u"\x01\x7f", u" a"},   {EN, E, u"[[:print:]]", u" a~", u"\x01"},
    {EN, E, u"[[:graph:]]", u"a~", u" \x01"},      {EN, E, u"[[:lower:]]", u"a\u00e9", u"A"},
    {EN, E, u"[[:alnum:]]", u"a1", u"_"},          {EN, E, u"[[.hyphen.]]", u"-", u"h.y"},
    {EN, E, u"[[.left-curly-bracket.][.tab.]]", u"{\t", u"l"},
    {EN, E, u"[]a]", u"]a", u"["},                 {EN, E, u"[^]a]", u"b\n", u"]a"},
    {EN, E | N, u"[^a]", u"b", u"a\n"},            {EN, E | N, u".", u"a\u00ff", u"\n"},
    {EN, E | I, u"a", u"aA", u"b"},                {EN, E | I, u"[a-c]", u"aBC", u"d`"},
    {EN, E | I, u"[^a]", u"b", u"aA"},             {EN, E | I, u"\u00e9", u"\u00e9\u00c9", u"e"},
    {EN, E | I, u"1", u"1", u"a"},
    // The collation gives e its case variants, \u00e9 the other accented e's.
    {DE, E, u"[[=e=]]", u"eE\uff45", u"a\u00e9"},
    {DE, E, u"[[=\u00e9=]]", u"\u00e9\u00e8\u00ea\u00eb\u00c9\u0113", u"ef"},
    // MS1252 0x80..0x9F holds the euro sign, quotes and Y diaeresis, far apart in UTF-16.
    {EN, E, u"[\u0080-\u009f]", u"\u0080\u009f", u"\u20ac"},
    {EN, E | B, u"[\u20ac-\u0178]", u"\u20ac\u201a\u2122\u0178\u0152", u"\u0080\u009f\u00a0\u007f"},
};

TEST_F(RegexCompile, BracketSets) {
  for (const SetCase &c : kSets) {
    PLRegex *re = nullptr;
    PLLocale *l = open(c.locale);
    ASSERT_EQ(compile(l, c.pattern, c.flags, &re), PL_OK) << narrow(c.pattern);
    const Program &g = *program_of(re);
    Instruction s = g.strip[g.first_state + 1];  // the one atom, a literal or a set
    auto accepts = [&](PLUChar u) {
      return op_of(s) == kChar ? operand_of(s) == u : op_of(s) == kAnyOf && g.sets[operand_of(s)].contains(u);
    };
    for (PLUChar u : u16string(c.in)) EXPECT_TRUE(accepts(u)) << narrow(c.pattern) << " " << u;
    for (PLUChar u : u16string(c.out)) EXPECT_FALSE(accepts(u)) << narrow(c.pattern) << " " << u;
    EXPECT_EQ(PLRegfree(l, re), 0);
  }
}

// The counts the matcher sizes its work by, the literal it scans for first, and the
// sets, identical ones shared.
struct ShapeCase { int32_t flags; const char16_t *pattern; uint32_t nsub, nplus; int32_t backrefs;
                   const char16_t *must; uint32_t sets; };
const ShapeCase kShapes[] = {
    {E, u"ab(cd)*efg", 1, 1, 0, u"efg", 0},         {E, u"x(ab)+yz", 1, 1, 0, u"xab", 0},
    {E, u"abc|abcd", 0, 0, 0, u"", 0},              {E, u"ab?cd", 0, 0, 0, u"cd", 0},
    {E, u"((a+)+b)+", 2, 3, 0, u"a", 0},            {E, u"a{2,4}b", 0, 0, 0, u"aa", 0},
    {E, u"(a){0,3}b{2,}", 1, 1, 0, u"bb", 0},       {E, u"[ab]x[ba]y[ab][^ab]", 0, 0, 0, u"x", 2},
    {E | I, u"Ab1", 0, 0, 0, u"1", 2},              {E | I, u"a[a]", 0, 0, 0, u"", 1},
    {0, u"\\(a*\\)\\1$", 1, 1, 1, u"", 0},          {0, u"\\(ab\\)\\(c\\)\\2\\1x", 2, 0, 1, u"abc", 0},
    {0, u"^*ab$c", 0, 0, 0, u"*ab$c", 0},           {L, u"a|b*", 0, 0, 0, u"a|b*", 0},
};

TEST_F(RegexCompile, ProgramShape) {
  PLLocale *l = open(EN);
  for (const ShapeCase &c : kShapes) {
    PLRegex *re = nullptr;
    ASSERT_EQ(compile(l, c.pattern, c.flags, &re), PL_OK) << narrow(c.pattern);
    const Program &g = *program_of(re);
    EXPECT_EQ(std::tuple(g.nsub, g.nplus, g.backrefs, u16string(g.must, g.must + g.must_length),
                         g.set_count, g.compile_flags, g.cache),
              std::tuple(c.nsub, c.nplus, c.backrefs, u16string(c.must), c.sets, c.flags, nullptr))
        << narrow(c.pattern);
    EXPECT_EQ(PLRegfree(l, re), 0);
  }
}

// What two programs compiled from one pattern share, set membership aside.
auto facts(const Program &g) {
  std::vector<uint32_t> sets;
  for (uint32_t i = 0; i < g.set_count; ++i) sets.insert(sets.end(), {g.sets[i].hash, !g.sets[i].elements});
  return std::tuple(std::vector<Instruction>(g.strip, g.strip + g.nstates), sets,
                    u16string(g.must, g.must + g.must_length), g.first_state, g.last_state, g.nsub,
                    g.nplus, g.backrefs, g.internal_flags, g.nbol, g.neol);
}

// Patterns without ranges compile alike from every form once converted; over 1024
// characters, or 1024 UTF-16 units from fewer characters, the base form converts on the
// heap.
struct FormCase { const char *locale; int32_t flags; u16string pattern; };
const FormCase kForms[] = {
    {EN, E, u"ab(c|d)*e{2,3}[[:alpha:]x]\\.\u00e9+[\u00e8\u00c0]"}, {EN, I, u"\\(St\u00e4dte\\)*\\1[[=a=]]"},
    {JA, E, u"\u65e5\u672c(\u8a9e|\u6587)*[\u3042\u3044]?x{1,2}"}, {JA, I, u"[[:alpha:]]\u30a2*\uff21"},
    {IBM, E, u"\u65e5\u672c(\u8a9e|a)+[\u3042b]"}, {IBM, 0, u"^*\u30a2*z$"},
    {DE, E | I, u"stra\u00dfe|[\u00e4\u00f6\u00fc]+\U0001F600+"},
    {EN, E, u16string(600, u'a') + u'|' + u16string(423, u'b')},
    {EN, E, u16string(600, u'a') + u'|' + u16string(424, u'b')},
    {DE, E, [] { u16string s; while (s.size() < 1200) s += u"\U0001F600"; return s; }()},
};

TEST_F(RegexCompile, FormsAgreeWithUtf16) {
  pltest::Heap &heap = session_.heap();
  for (const auto &[locale, flags, pattern] : kForms) {
    PLLocale *l = open(locale);
    SCOPED_TRACE(locale + (" " + narrow(pattern)));
    PLRegex *expected = nullptr;
    long before = heap.allocations;
    ASSERT_EQ(compile(l, pattern, flags, &expected), PL_OK);
    long utf16 = heap.allocations - before;
    // Everything but the code-order flag as in `expected`.
    auto expect_like = [&](PLRegex *re, const char *form) {
      SCOPED_TRACE(form);
      ASSERT_NE(re, nullptr) << PLGetError(l);
      const Program &a = *program_of(re), &b = *program_of(expected);
      EXPECT_EQ(a.compile_flags & ~PL_COUNT_CHARS, b.compile_flags | kCodeOrderRanges);
      EXPECT_EQ(facts(a), facts(b));
      for (uint32_t i = 0; i < std::min(a.set_count, b.set_count); ++i)
        for (uint32_t u = 0; u < 0x10000; ++u)
          ASSERT_EQ(a.sets[i].contains(PLUChar(u)), b.sets[i].contains(PLUChar(u))) << i << " " << u;
      EXPECT_EQ(PLRegfree(l, re), 0);
    };
    std::string bytes = bytes_of(l, pattern);
    before = heap.allocations;
    expect_like(PLRegcomp(l, bytes.data(), static_cast<int32_t>(bytes.size()), flags), "base");
    EXPECT_EQ(heap.allocations - before - utf16, pattern.size() > 1024 ? 1 : 0) << "the heap buffer";
    int32_t chars = PLNumChars(l, bytes.data(), static_cast<int32_t>(bytes.size()));
    expect_like(PLRegcomp(l, bytes.c_str(), chars, flags | PL_COUNT_CHARS), "characters");
    expect_like(PLRegcompEx(l, bytes.c_str(), 0, -1, flags), "Ex");
    if (locale == IBM) {  // the same text from the double-byte state
      char shifted[64] = {};
      int32_t n = PLUnicodeToStringEx(l, shifted, 1, sizeof shifted, uc(pattern), size_of(pattern), 0);
      expect_like(PLRegcompEx(l, shifted, 1, n, flags), "Ex, shifted");
    }
    std::vector<PLWChar> wide(pattern.size() + 1);
    wide.resize(PLUnicodeToStringW(l, wide.data(), size_of(pattern) + 1, uc(pattern), size_of(pattern), 0));
    expect_like(PLRegcompW(l, wide.data(), static_cast<int32_t>(wide.size()), flags), "W");
    EXPECT_EQ(PLRegfree(l, expected), 0);
  }
}

// Allocation n fails, for n = 1, 2, ... until a compilation succeeds: each failure is
// null with code 20 and leaves nothing behind. PLRegfree refuses what is not a live
// expression, and reports a failed release after releasing the rest.
TEST_F(RegexCompile, AllocationFailuresAndRelease) {
  const std::pair<int32_t, u16string> sweeps[] = {
      {E, u"a(b|c)*d{2,3}[[:alpha:]][ab][ba][[.ch.]x][^y][[=e=]]"}, {E | I | N, u"x.[a-e][[:upper:]]y"},
      {0, u"\\(a\\)\\1*"},
      {E | B, u16string(1100, u'a') + u"(b|c)*[[=e=]x]"},  // converted on the heap
  };
  PLLocale *l = open(EN);
  pltest::Heap &heap = session_.heap();
  for (const auto &[flags, pattern] : sweeps) {
    std::string bytes = bytes_of(l, pattern);
    long live = heap.live, n = 1;
    PLRegex *re = nullptr;
    for (; re == nullptr && n < 400; ++n) {
      heap.attempts = 0;
      heap.fail_at = n;
      re = flags & B ? PLRegcomp(l, bytes.c_str(), -1, flags & ~B)
                     : PLRegcompU(l, uc(pattern), size_of(pattern), flags);
      heap.fail_at = -1;
      if (re == nullptr) {
        EXPECT_EQ(PLGetError(l), PL_ERR_NO_MEMORY) << narrow(pattern) << " at " << n;
        EXPECT_EQ(heap.live, live) << narrow(pattern) << " at " << n;
      }
    }
    ASSERT_NE(re, nullptr) << narrow(pattern);
    EXPECT_GT(n, 3);
    heap.fail_frees = flags == E;
    EXPECT_EQ(PLRegfree(l, re), heap.fail_frees ? 1 : 0);
    heap.fail_frees = false;
    EXPECT_EQ(heap.live, live);
  }
  EXPECT_EQ(PLRegfree(l, nullptr), 1);
  PLRegex fake{kRegexMagic, 0, 0, nullptr};
  EXPECT_EQ(PLRegfree(l, &fake), 1);
  Program released{};
  fake.program = &released;
  EXPECT_EQ(PLRegfree(l, &fake), 1);
  EXPECT_EQ(fake.magic, kRegexMagic) << "an invalid expression is left alone";
}

}  // namespace
