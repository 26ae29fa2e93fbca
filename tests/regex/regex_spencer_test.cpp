// Henry Spencer's regex test set (tests/data/regex/spencer-tests) run through the base
// form in English_UnitedStates.MS1252, the U form and the W form: compile errors, match
// or no match, the whole match and the subexpressions, as that file's own checker reads
// them. Where this library's syntax rules settle a case differently, the case is listed
// below with the rule and the answer the library gives instead. Cases that need
// REG_NOTEOL, REG_STARTEND or REG_PEND, which have no equivalent here, are counted as
// not applicable. Each form prints a summary.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string;

// One line of the file, run as one syntax.
struct Case {
  int line;
  string pattern, flags;  // flags without b and &
  bool basic;
  string subject;
  int32_t error = PL_OK;             // the compile code expected
  std::optional<string> match;       // the whole match; none: no match expected
  std::optional<string> subs;        // comma-separated subexpressions, when given
};

// The file's error names as this library's codes.
const std::map<string, int32_t> kErrorCodes = {
    {"BADPAT", PL_ERR_REGEX_INVALID},  {"ECOLLATE", PL_ERR_REGEX_COLLATE},
    {"ECTYPE", PL_ERR_REGEX_CLASS},    {"EESCAPE", PL_ERR_REGEX_ESCAPE},
    {"ESUBREG", PL_ERR_REGEX_BACKREF}, {"EBRACK", PL_ERR_REGEX_BRACKET},
    {"EPAREN", PL_ERR_REGEX_PAREN},    {"EBRACE", PL_ERR_REGEX_BRACE},
    {"BADBR", PL_ERR_REGEX_COUNT},     {"ERANGE", PL_ERR_REGEX_RANGE},
    {"ESPACE", PL_ERR_NO_MEMORY},      {"BADRPT", PL_ERR_REGEX_REPEAT},
    {"EMPTY", PL_ERR_REGEX_EMPTY},
};

// A case the library's rules answer otherwise: the pattern and syntax ('E' extended,
// 'B' basic) it applies to, the rule, and the library's compile code.
struct Deviation {
  const char *pattern;
  char syntax;
  const char *rule;
  int32_t error;
};

constexpr const char *kStrayParen =
    "In the extended syntax a missing `)` or a stray `)` is an unbalanced parenthesis.";
constexpr const char *kEmptyGroup =
    "In the basic syntax an expression or group that produces no instruction, such as "
    "`\\(\\)`, is an empty subexpression.";
constexpr const char *kTwoUnitElement =
    "In `[. .]` and `[= =]` one unit stands for itself and two units form a two-unit "
    "collating element; only longer text is an invalid collating element.";

const Deviation kDeviations[] = {
    {"a)", 'E', kStrayParen, PL_ERR_REGEX_PAREN},
    {")", 'E', kStrayParen, PL_ERR_REGEX_PAREN},
    {"\\(\\)", 'B', kEmptyGroup, PL_ERR_REGEX_EMPTY},
    {"a\\(\\)b", 'B', kEmptyGroup, PL_ERR_REGEX_EMPTY},
    {"a[[.x,.]]", 'E', kTwoUnitElement, PL_OK},
    {"a[[.x,.]]", 'B', kTwoUnitElement, PL_OK},
    {"a[[=b,=]]", 'E', kTwoUnitElement, PL_OK},
    {"a[[=b,=]]", 'B', kTwoUnitElement, PL_OK},
};

// N S T Z of the file as newline, space, tab and NUL; a NUL ends the text, as it does
// for the C functions the file was written for.
string unescape(const string &field) {
  string out;
  for (char c : field) {
    char u = c == 'N' ? '\n' : c == 'S' ? ' ' : c == 'T' ? '\t' : c == 'Z' ? '\0' : c;
    if (u == '\0') break;
    out += u;
  }
  return out;
}

struct Loaded {
  std::vector<Case> cases;
  int not_applicable = 0;  // syntax runs needing NOTEOL, STARTEND or PEND
};

Loaded load(const char *path) {
  Loaded loaded;
  std::ifstream in(path);
  EXPECT_TRUE(in.good()) << path;
  string text;
  for (int number = 1; std::getline(in, text); ++number) {
    if (text.empty() || text[0] == '#') continue;
    std::vector<string> fields;
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find('\t', at);
      if (end == string::npos) end = text.size();
      if (end > at) fields.push_back(text.substr(at, end - at) == "\"\"" ? "" : text.substr(at, end - at));
      at = end + 1;
    }
    if (fields.size() < 3) continue;
    string flags;
    bool both = false, basic = false;
    for (char f : fields[1]) {
      if (f == '&') both = true;
      else if (f == 'b') basic = true;
      else if (f != '-') flags += f;
    }
    int runs = both ? 2 : 1;
    if (flags.find_first_of("$#p") != string::npos) {
      loaded.not_applicable += runs;
      continue;
    }
    for (int run = 0; run < runs; ++run) {
      Case c{number, unescape(fields[0]), flags, both ? run == 1 : basic, "", PL_OK, {}, {}};
      if (flags.find('C') != string::npos) {
        auto code = kErrorCodes.find(fields[2]);
        EXPECT_NE(code, kErrorCodes.end()) << fields[2];
        c.error = code == kErrorCodes.end() ? PL_ERR_REGEX_INVALID : code->second;
      } else {
        c.subject = unescape(fields[2]);
        if (fields.size() > 3) c.match = unescape(fields[3]);
        if (fields.size() > 4) c.subs = fields[4];
      }
      loaded.cases.push_back(c);
    }
  }
  return loaded;
}

const Deviation *deviation_of(const Case &c) {
  for (const Deviation &d : kDeviations)
    if (c.pattern == d.pattern && c.basic == (d.syntax == 'B')) return &d;
  return nullptr;
}

// What a form made of a case: the compile code, and on success whether it matched and
// the (start, end) offsets of the match and of each subexpression (-1: none).
struct Outcome {
  int32_t code = PL_OK;
  bool matched = false;
  std::vector<std::pair<long, long>> ranges;
};

enum Form { kBase, kU, kW };

template <class Unit>
std::vector<Unit> units_of(const string &text) {
  return std::vector<Unit>(text.begin(), text.end());
}

// Runs `c` through `form`. Under ^ the subject follows one unit of text, which the
// search gets as its base so that the subject does not begin a line.
Outcome run(Form form, PLLocale *h, const Case &c) {
  int32_t flags = c.basic ? 0 : PL_REG_EXTENDED;
  for (char f : c.flags)
    flags |= f == 'i' ? PL_REG_ICASE : f == 'm' ? PL_REG_LITERAL : f == 's' ? PL_REG_NOSUB
           : f == 'n' ? PL_REG_NEWLINE : 0;
  if (flags & PL_REG_LITERAL) flags &= ~PL_REG_EXTENDED;
  bool not_bol = c.flags.find('^') != string::npos;
  string text = "x" + c.subject;
  int32_t length = static_cast<int32_t>(c.subject.size());
  int32_t pattern_length = static_cast<int32_t>(c.pattern.size());
  Outcome out;
  PLRegex *re = nullptr;
  int32_t found = 0;
  auto ranges = [&](auto range, const auto *origin) {
    for (uint32_t i = 0; found == 1 && !(flags & PL_REG_NOSUB) && i <= re->nsub; ++i) {
      decltype(origin) start, end;
      range(re, static_cast<int32_t>(i), &start, &end);
      out.ranges.emplace_back(start ? start - origin : -1, end ? end - origin : -1);
    }
  };
  if (form == kBase) {
    re = PLRegcomp(h, c.pattern.data(), pattern_length, flags);
    if (re) found = PLRegexec(h, re, text.data() + 1, length, text.data() + !not_bol, 0);
    if (re) ranges(PLRegrange, static_cast<const char *>(text.data() + 1));
  } else if (form == kU) {
    auto pattern = units_of<PLUChar>(c.pattern), subject = units_of<PLUChar>(text);
    re = PLRegcompU(h, pattern.data(), pattern_length, flags);
    if (re) found = PLRegexecU(h, re, subject.data() + 1, length, subject.data() + !not_bol, 0);
    if (re) ranges(PLRegrangeU, static_cast<const PLUChar *>(subject.data() + 1));
  } else {
    auto pattern = units_of<PLWChar>(c.pattern), subject = units_of<PLWChar>(text);
    re = PLRegcompW(h, pattern.data(), pattern_length, flags);
    if (re) found = PLRegexecW(h, re, subject.data() + 1, length, subject.data() + !not_bol, 0);
    if (re) ranges(PLRegrangeW, static_cast<const PLWChar *>(subject.data() + 1));
  }
  out.code = PLGetError(h);
  out.matched = found == 1;
  if (re) PLRegfree(h, re);
  return out;
}

// The file's checker: `should` is the expected text of a range ("-" or none: no range;
// "@text": empty, followed by text, or at the end when text is empty). "" when it
// agrees, else what went wrong.
string check(const string &subject, std::pair<long, long> range, std::optional<string> should) {
  std::optional<string> at;
  if (should == "-") should.reset();
  if (should && !should->empty() && (*should)[0] == '@') {
    at = should->substr(1);
    should = "";
  }
  auto [so, eo] = range;
  if (so < 0) return should ? "did not match" : "";
  if (eo > static_cast<long>(subject.size()) || eo < so) return "bad range";
  string got = subject.substr(static_cast<size_t>(so), static_cast<size_t>(eo - so));
  if (!should) return "matched '" + got + "'";
  if (got != *should) return "matched '" + got + "' instead";
  if (!got.empty() || !at) return "";
  string after = subject.substr(static_cast<size_t>(so));
  if (at->empty() ? !after.empty() : after.compare(0, at->size(), *at) != 0)
    return "matched null at '" + after + "'";
  return "";
}

// "" when `out` is what `c` expects (with a deviation's code in place of the file's).
string verdict(const Case &c, const Deviation *d, const Outcome &out) {
  int32_t error = d ? d->error : c.error;
  if (out.code != error) return "code " + std::to_string(out.code) + ", expected " + std::to_string(error);
  if (error != PL_OK || c.error != PL_OK) return "";
  if (out.matched != c.match.has_value()) return out.matched ? "matched" : "did not match";
  if (!out.matched || c.flags.find('s') != string::npos) return "";
  if (string why = check(c.subject, out.ranges[0], c.match); !why.empty()) return why;
  if (!c.subs) return "";
  std::vector<string> listed;
  std::stringstream list(*c.subs);
  for (string item; std::getline(list, item, ',');) listed.push_back(item);
  if (listed.empty()) listed.push_back("");  // an empty field: subexpression 1 is empty
  for (size_t i = 1; i < out.ranges.size(); ++i) {
    std::optional<string> should;
    if (i <= listed.size()) should = unescape(listed[i - 1]);
    if (string why = check(c.subject, out.ranges[i], should); !why.empty())
      return "subexpression " + std::to_string(i) + ": " + why;
  }
  return "";
}

class Spencer : public ::testing::TestWithParam<Form> {};

TEST_P(Spencer, EveryCase) {
  pltest::Session session(pltest::built_locale_dir());
  int32_t error = 0;
  PLLocale *h = PLGetLocale("English_UnitedStates.MS1252", 0, &error);
  ASSERT_NE(h, nullptr) << error;
  Loaded loaded = load(POLYLOC_SPENCER_TESTS);
  int passed = 0;
  std::map<string, int> by_rule;
  for (const Case &c : loaded.cases) {
    const Deviation *d = deviation_of(c);
    string why = verdict(c, d, run(GetParam(), h, c));
    EXPECT_EQ(why, "") << "line " << c.line << (c.basic ? " basic " : " extended ") << c.pattern << " / "
                       << c.subject << (d ? " (listed deviation)" : "");
    if (!why.empty()) continue;
    if (d) ++by_rule[d->rule];
    else ++passed;
  }
  PLReleaseLocale(h);
  std::printf("spencer-tests, %s form: %zu runs, %d passed as the file says\n",
              GetParam() == kBase ? "base" : GetParam() == kU ? "U" : "W", loaded.cases.size(), passed);
  for (const auto &[rule, count] : by_rule) std::printf("  %d as the rule says: %s\n", count, rule.c_str());
  std::printf("  %d not applicable (NOTEOL, STARTEND, PEND)\n", loaded.not_applicable);
}

INSTANTIATE_TEST_SUITE_P(Forms, Spencer, ::testing::Values(kBase, kU, kW),
                         [](const auto &info) {
                           return std::string(info.param == kBase ? "Base" : info.param == kU ? "U" : "W");
                         });

}  // namespace
