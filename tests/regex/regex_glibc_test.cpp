// PLRegcomp and PLRegexec against glibc's regcomp and regexec on random patterns and
// subjects, extended and basic, with and without REG_ICASE and REG_NEWLINE: both compile,
// agree on match or no match and on the whole match's range. ASCII runs through the U
// form in English_UnitedStates.MS1252 against glibc's C locale; text with Latin letters
// and the euro sign through the base form in German_Germany.UTF-8 against en_US.UTF-8
// (byte offsets in both).
//
// The patterns use only what both read alike: literals (specials escaped), `.`, bracket
// sets without equivalence classes or collating elements, `^` and `$` at the ends of a
// branch, groups that are never empty, alternation of non-empty branches, and one
// repetition per atom: `*` `+` `?` and intervals up to 3 in the extended syntax, `*` and
// intervals in the basic one, where `\+ \? \|` are glibc's own extensions. Left out
// for glibc's sake:
// - ranges beyond ASCII text: glibc orders a range by collation, so in en_US.UTF-8
//   [a-c] takes the accented letters too; the UTF-8 run has no ranges;
// - anchors under a repetition: glibc loses matches there, `(^b){0,2}a` finds nothing
//   in "cba";
// - newlines in subjects without REG_NEWLINE: glibc lets an anchor inside the pattern
//   match beside a newline all the same, `.^a` matches "\na".
//
// Subexpression ranges are compared where POSIX fixes them and glibc follows: when no
// group lies under a repetition (which iteration a repeated group reports differs:
// `(a*)+` on "a" gives group 1 the empty last iteration here, "a" in glibc) and the
// pattern has no alternation (POSIX does not say which of two branches that match the
// same text is taken, `b$|(b)` on "b"; and glibc does not give an earlier group the
// longest stretch an alternation allows, `(a|ab)(c|bcd)(d*)` on "abcd" gives group 1 "a"
// there, "ab" here). A third of the patterns are made that way.
//
// Beside the random cases, a few fixed ones that once disagreed.
#include <gtest/gtest.h>
#include <locale.h>
#include <regex.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "polyloc.h"
#include "support/glibc_locales.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string;
using Ranges = std::vector<std::pair<long, long>>;

size_t sweep(size_t sample, size_t full) {
  const char *flag = std::getenv("POLYLOC_FULL_SWEEP");
  return flag != nullptr && string(flag) == "1" ? full : sample;
}

// An atom of the pattern, and a text it matches.
struct Atom {
  const char *pattern, *sample;
};

// What a run draws from: atoms, and the characters of subjects.
struct Alphabet {
  std::vector<Atom> literals, sets;
  std::vector<string> subject;
};

const Alphabet kAscii = {
    {{"a", "a"}, {"b", "b"}, {"c", "c"}, {"A", "A"}, {"B", "B"}, {"1", "1"}, {"-", "-"}, {" ", " "},
     {"\\.", "."}, {"\\*", "*"}, {"\\[", "["}},
    {{"[ab]", "b"}, {"[^a]", "c"}, {"[a-c]", "c"}, {"[^b-c]", "a"}, {"[[:alpha:]]", "B"},
     {"[[:digit:]]", "1"}, {"[[:upper:]]", "A"}, {"[[:lower:]]", "b"}, {"[[:space:]]", " "},
     {"[]a]", "a"}, {"[a-]", "-"}, {"[^-a]", "b"}, {"[*.]", "."}, {"[[:alnum:]_]", "_"}},
    {"a", "a", "b", "b", "c", "A", "B", "1", "-", " ", "\n", ".", "*", "_"},
};

const Alphabet kLatin = {
    {{"a", "a"}, {"b", "b"}, {"\xC3\xA4", "\xC3\xA4"}, {"\xC3\x84", "\xC3\x84"}, {"\xC3\xA9", "\xC3\xA9"},
     {"\xE2\x82\xAC", "\xE2\x82\xAC"}, {"1", "1"}, {" ", " "}},
    {{"[\xC3\xA4" "b]", "\xC3\xA4"}, {"[^\xC3\xA4]", "\xC3\x84"}, {"[[:alpha:]]", "\xC3\xA9"},
     {"[[:upper:]]", "\xC3\x89"}, {"[[:lower:]]", "\xC3\xA4"}, {"[^[:alpha:]]", "\xE2\x82\xAC"},
     {"[\xE2\x82\xAC" "1]", "\xE2\x82\xAC"}},
    {"a", "b", "\xC3\xA4", "\xC3\x84", "\xC3\xA9", "\xC3\x89", "\xE2\x82\xAC", "1", " ", "\n"},
};

// A pattern, and a text it may match (anchors aside).
struct Text {
  string pattern, sample;
  Text &operator+=(const Text &more) {
    pattern += more.pattern;
    sample += more.sample;
    return *this;
  }
};

struct Pattern {
  Text text;
  bool fixed_subs = true;  // POSIX fixes every subexpression's range (see above)
};

// A random pattern of one syntax over an alphabet.
class Generator {
 public:
  Generator(std::mt19937 &random, const Alphabet &alphabet, bool basic)
      : random_(random), alphabet_(alphabet), basic_(basic) {}

  // `plain`: no alternation and no repeated group, so that the subexpressions are
  // comparable.
  Pattern make(bool plain) {
    plain_ = plain;
    pattern_ = Pattern{};
    pattern_.text = basic_ ? branch(0, false) : alternation(0, false);
    return pattern_;
  }

 private:
  int below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  Text pick(const std::vector<Atom> &atoms) {
    const Atom &atom = atoms[static_cast<size_t>(below(static_cast<int>(atoms.size())))];
    return {atom.pattern, atom.sample};
  }

  // `repeated`: under a repetition, where no anchor goes (see above).
  Text alternation(int depth, bool repeated) {
    int branches = plain_ ? 1 : 1 + below(depth == 0 ? 3 : 2);
    if (branches > 1) pattern_.fixed_subs = false;
    Text text = branch(depth, repeated);
    for (int n = 1; n < branches; ++n) {
      Text other = branch(depth, repeated);
      text.pattern += "|" + other.pattern;
      if (below(n + 1) == 0) text.sample = other.sample;
    }
    return text;
  }

  // One to four pieces, with ^ and $ at its ends now and then.
  Text branch(int depth, bool repeated) {
    Text text{!repeated && below(8) == 0 ? "^" : "", ""};
    for (int n = 1 + below(4); n > 0; --n) text += piece(depth, repeated);
    if (!repeated && below(8) == 0) text.pattern += "$";
    return text;
  }

  Text piece(int depth, bool repeated) {
    bool is_group = depth < 3 && below(10) < (plain_ ? 4 : 2);
    bool repeat = below(10) < 3 && !(is_group && plain_);
    Text once = is_group ? group(depth, repeated || repeat) : atom();
    if (!repeat) return once;
    static const char *const kExtended[] = {"*", "+", "?", "{2}", "{1,}", "{0,2}", "{1,3}"};
    static const char *const kBasic[] = {"*", "\\{2\\}", "\\{1,\\}", "\\{0,2\\}", "\\{1,3\\}"};
    static const int kLeast[] = {0, 1, 0, 2, 1, 0, 1}, kBasicLeast[] = {0, 2, 1, 0, 1};
    int which = below(basic_ ? 5 : 7);
    Text text{once.pattern + (basic_ ? kBasic[which] : kExtended[which]), ""};
    for (int n = (basic_ ? kBasicLeast : kLeast)[which] + below(2); n > 0; --n) text.sample += once.sample;
    return text;
  }

  Text group(int depth, bool repeated) {
    if (repeated) pattern_.fixed_subs = false;
    Text inner = basic_ ? branch(depth + 1, repeated) : alternation(depth + 1, repeated);
    return {(basic_ ? "\\(" : "(") + inner.pattern + (basic_ ? "\\)" : ")"), inner.sample};
  }

  Text atom() {
    int kind = below(8);
    if (kind < 1) return {".", alphabet_.subject[0]};
    return pick(kind < 3 ? alphabet_.sets : alphabet_.literals);
  }

  std::mt19937 &random_;
  const Alphabet &alphabet_;
  bool basic_;
  bool plain_ = false;
  Pattern pattern_;
};

// Random characters, newlines only under REG_NEWLINE (see above).
string noise(std::mt19937 &random, const Alphabet &alphabet, bool newline, int count) {
  string text;
  while (count > 0) {
    const string &c = alphabet.subject[random() % alphabet.subject.size()];
    if (c == "\n" && !newline) continue;
    text += c;
    --count;
  }
  return text;
}

// A subject: noise, or the pattern's sample between bits of noise (a repeated atom may
// stand there once more than the pattern takes it).
string subject(std::mt19937 &random, const Alphabet &alphabet, bool newline, const string &sample) {
  if (random() % 2 == 0) return noise(random, alphabet, newline, static_cast<int>(random() % 13));
  return noise(random, alphabet, newline, static_cast<int>(random() % 3)) + sample +
         noise(random, alphabet, newline, static_cast<int>(random() % 3));
}

// What one engine made of a case: compiled, matched, and the ranges of a match.
struct Result {
  bool compiled = false, matched = false;
  Ranges ranges;
  bool operator==(const Result &) const = default;
};

// glibc under `l`.
class Glibc {
 public:
  Glibc(locale_t l, const string &pattern, int cflags) : l_(l) {
    locale_t previous = uselocale(l_);
    compiled_ = regcomp(&re_, pattern.c_str(), cflags) == 0;
    uselocale(previous);
  }
  ~Glibc() {
    if (compiled_) regfree(&re_);
  }
  Glibc(const Glibc &) = delete;
  Glibc &operator=(const Glibc &) = delete;

  Result run(const string &subject) {
    Result r;
    r.compiled = compiled_;
    if (!compiled_) return r;
    std::vector<regmatch_t> m(re_.re_nsub + 1);
    locale_t previous = uselocale(l_);
    r.matched = regexec(&re_, subject.c_str(), m.size(), m.data(), 0) == 0;
    uselocale(previous);
    for (size_t i = 0; r.matched && i < m.size(); ++i) r.ranges.emplace_back(m[i].rm_so, m[i].rm_eo);
    return r;
  }

 private:
  locale_t l_;
  regex_t re_;
  bool compiled_;
};

// Ours, in the U form (ASCII text) or the base form (UTF-8 text, byte offsets).
class Ours {
 public:
  Ours(PLLocale *h, bool units, const string &pattern, int32_t flags) : h_(h), units_(units) {
    std::u16string wide(pattern.begin(), pattern.end());
    re_ = units_ ? PLRegcompU(h_, reinterpret_cast<const PLUChar *>(wide.c_str()), -1, flags)
                 : PLRegcomp(h_, pattern.c_str(), -1, flags);
    code_ = PLGetError(h_);
  }
  ~Ours() {
    if (re_ != nullptr) PLRegfree(h_, re_);
  }
  Ours(const Ours &) = delete;
  Ours &operator=(const Ours &) = delete;

  int32_t code() const { return code_; }

  Result run(const string &subject) {
    Result r;
    r.compiled = re_ != nullptr;
    if (!r.compiled) return r;
    int32_t length = static_cast<int32_t>(subject.size());
    if (units_) {
      std::u16string wide(subject.begin(), subject.end());
      auto *s = reinterpret_cast<const PLUChar *>(wide.c_str());
      r.matched = PLRegexecU(h_, re_, s, length, s, 0) == 1;
      collect(r, s, PLRegrangeU);
    } else {
      r.matched = PLRegexec(h_, re_, subject.c_str(), length, subject.c_str(), 0) == 1;
      collect(r, subject.c_str(), PLRegrange);
    }
    return r;
  }

 private:
  template <class Unit, class Range>
  void collect(Result &r, const Unit *origin, Range range) const {
    for (uint32_t i = 0; r.matched && i <= re_->nsub; ++i) {
      const Unit *start, *end;
      range(re_, static_cast<int32_t>(i), &start, &end);
      r.ranges.emplace_back(start ? start - origin : -1, end ? end - origin : -1);
    }
  }

  PLLocale *h_;
  bool units_;
  PLRegex *re_ = nullptr;
  int32_t code_ = PL_OK;
};

string show(const Result &r) {
  if (!r.compiled) return "refused";
  if (!r.matched) return "no match";
  string text;
  for (auto [so, eo] : r.ranges) text += "(" + std::to_string(so) + "," + std::to_string(eo) + ")";
  return text;
}

string escape(const string &text) {
  string out;
  for (char c : text) out += c == '\n' ? string("\\n") : string(1, c);
  return out;
}

// The syntax and flags of a case.
struct Syntax {
  bool basic, icase, newline;
  int glibc() const {
    return (basic ? 0 : REG_EXTENDED) | (icase ? REG_ICASE : 0) | (newline ? REG_NEWLINE : 0);
  }
  int32_t ours() const {
    return (basic ? 0 : PL_REG_EXTENDED) | (icase ? PL_REG_ICASE : 0) | (newline ? PL_REG_NEWLINE : 0);
  }
  string name() const { return string(basic ? "B" : "E") + (icase ? "i" : "") + (newline ? "n" : ""); }
};

// Cases that once disagreed, by mistakes of ours.
struct Fixed {
  const char *pattern;
  Syntax syntax;
  const char *subject;
};
const Fixed kFixed[] = {
    {"(a*|b)y", {false, false, false}, "by"},   {"(x|a*|b)y", {false, false, false}, "by"},
    {"(a*|b)$", {false, false, false}, "b"},    {"(aa|aaa)*", {false, false, false}, "aaaa"},
    {"(..|.a.)*", {false, false, false}, "baxa"},
};

struct Run {
  const char *ours, *glibc_name, *charmap;
  const Alphabet &alphabet;
  bool units;
};

// Both engines over one run's cases; the disagreements fail the test at the end,
// shortest first (the smallest reproducers).
class Differential {
 public:
  explicit Differential(const Run &run) : run_(run) {
    int32_t error = 0;
    h_ = PLGetLocale(run.ours, 0, &error);
    EXPECT_NE(h_, nullptr) << error;
    l_ = run.glibc_name ? pltest::open_glibc_locale(run.glibc_name, run.charmap)
                        : newlocale(LC_ALL_MASK, "C", nullptr);
    EXPECT_NE(l_, nullptr) << run.ours;
  }
  ~Differential() {
    if (l_ != nullptr) freelocale(l_);
    if (h_ != nullptr) PLReleaseLocale(h_);
    std::printf("%s against glibc: %zu cases, %zu matches, subexpressions compared in %zu, %zu disagree\n",
                run_.ours, cases_, matches_, subs_compared_, differ_.size());
    std::sort(differ_.begin(), differ_.end(), [](const Disagreement &x, const Disagreement &y) {
      return x.pattern.size() + x.subject.size() < y.pattern.size() + y.subject.size();
    });
    for (size_t i = 0; i < differ_.size() && i < 25; ++i)
      ADD_FAILURE() << "/" << escape(differ_[i].pattern) << "/" << differ_[i].syntax << " on \""
                    << escape(differ_[i].subject) << "\": ours " << differ_[i].ours << ", glibc "
                    << differ_[i].glibc;
  }
  Differential(const Differential &) = delete;
  Differential &operator=(const Differential &) = delete;

  bool ready() const { return h_ != nullptr && l_ != nullptr; }
  size_t cases() const { return cases_; }

  // `pattern` against each subject; subexpressions only when `fixed_subs`.
  void compare(const string &pattern, Syntax syntax, bool fixed_subs, const std::vector<string> &subjects) {
    Glibc theirs(l_, pattern, syntax.glibc());
    Ours ours(h_, run_.units, pattern, syntax.ours());
    for (const string &text : subjects) {
      Result a = ours.run(text), b = theirs.run(text);
      bool compare_subs = fixed_subs && a.matched && b.matched;
      ++cases_;
      matches_ += b.matched;
      subs_compared_ += compare_subs && b.ranges.size() > 1;
      if (!compare_subs) {
        a.ranges.resize(std::min<size_t>(a.ranges.size(), 1));
        b.ranges.resize(std::min<size_t>(b.ranges.size(), 1));
      }
      if (!(a == b))
        differ_.push_back({pattern, text, syntax.name(),
                           show(a) + (a.compiled ? "" : " code " + std::to_string(ours.code())), show(b)});
    }
  }

 private:
  struct Disagreement {
    string pattern, subject, syntax, ours, glibc;
  };

  const Run &run_;
  PLLocale *h_ = nullptr;
  locale_t l_ = nullptr;
  std::vector<Disagreement> differ_;
  size_t cases_ = 0, matches_ = 0, subs_compared_ = 0;
};

void differential(const Run &run, size_t count, unsigned seed) {
  pltest::Session session(pltest::built_locale_dir());
  Differential both(run);
  ASSERT_TRUE(both.ready());
  if (run.units)
    for (const Fixed &f : kFixed) both.compare(f.pattern, f.syntax, false, {f.subject});
  std::mt19937 random(seed);
  while (both.cases() < count) {
    Syntax syntax{random() % 3 == 0, random() % 4 == 0, random() % 4 == 0};
    Pattern p = Generator(random, run.alphabet, syntax.basic).make(random() % 3 == 0);
    std::vector<string> subjects;
    for (int n = 0; n < 4; ++n)
      subjects.push_back(subject(random, run.alphabet, syntax.newline, p.text.sample));
    both.compare(p.text.pattern, syntax, p.fixed_subs, subjects);
  }
}

TEST(RegexGlibc, AsciiInTheCLocale) {
  differential({"English_UnitedStates.MS1252", nullptr, nullptr, kAscii, true}, sweep(7000, 70000), 1);
}

TEST(RegexGlibc, Utf8Text) {
  differential({"German_Germany.UTF-8", "en_US", "UTF-8", kLatin, false}, sweep(3000, 30000), 2);
}

}  // namespace
