// polyloc sort: options and exit codes, collation order, stability, runs spilled to a
// temporary file, and a stateful code set.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using namespace std::string_literals;
using std::string, std::tuple, std::vector;

// polyloc sort ARGS with `input` as the file "in" of a fresh directory (ARGS name it):
// the exit status, the output and errors.
tuple<int, string, string> run_sort(const string &args, const string &input) {
  pltest::TempDir dir;
  pltest::write_bytes(dir.file("in"), {input.begin(), input.end()});
  return pltest::run_cli(dir, "sort", args);
}

string sorted(const string &args, const string &input) {
  auto [status, out, err] = run_sort(args, input);
  EXPECT_EQ(status, 0) << args << ": " << err;
  return out;
}

TEST(SortCommand, OptionsAndExitCodes) {
  EXPECT_EQ(run_sort("-l MS1252 < in", "b\r\n\na"), tuple(0, "\na\nb\r\n"s, ""s));
  EXPECT_EQ(run_sort("-l MS1252 in - in < in", "b\na"), tuple(0, "a\na\na\nb\nb\nb\n"s, ""s));
  EXPECT_EQ(run_sort("-l MS1252 < in", ""), tuple(0, ""s, ""s));
  for (const char *args : {"in", "-l", "-l MS1252 --bogus in", "-l MS1252 --ignore-case --ignore-width in",
                           "-l MS1252 --buffer-size 0 in", "-l MS1252 --buffer-size 9x in"})
    EXPECT_EQ(std::get<0>(run_sort(args, "x")), 2) << args;
  // Nothing is written unless every input could be read.
  EXPECT_EQ(run_sort("-l MS1252 in /nonexistent", "x"),
            tuple(1, ""s, "polyloc sort: /nonexistent: No such file or directory\n"s));
  EXPECT_EQ(std::get<0>(run_sort("-l NoSuchSet in", "x")), 1);
  EXPECT_EQ(run_sort("-l MS1252 --buffer-size 1 in", "b\na\n"), tuple(0, "a\nb\n"s, ""s));
}

TEST(SortCommand, OrdersByTheLocalesCollation) {
  const string words = "b\nA\nB\na\n\xE1\n";  // á
  EXPECT_EQ(sorted("-l English_UnitedStates.MS1252 in", words), "a\nA\n\xE1\nb\nB\n");
  // Without a collation the code values decide.
  EXPECT_EQ(sorted("-l English_UnitedStates.MS1252@Binary in", words), "A\nB\na\nb\n\xE1\n");
  EXPECT_EQ(sorted("-l Spanish_Spain.MS1252@TraditionalSpanish in", "d\nch\ncz\nc\n"), "c\ncz\nch\nd\n");
  EXPECT_EQ(sorted("-l Spanish_Spain.MS1252@Spanish in", "d\nch\ncz\nc\n"), "c\nch\ncz\nd\n");
}

// Under --ignore-case "a" and "A" have one key: they keep their input order either way.
TEST(SortCommand, EqualKeysKeepInputOrder) {
  const string input = "b\nB\na\nA\nb\n";
  for (auto [args, expected] : {tuple{"", "a\nA\nb\nB\nb\n"}, tuple{"--unique", "a\nb\n"},
                                tuple{"--reverse", "b\nB\nb\na\nA\n"}, tuple{"--reverse --unique", "b\na\n"}})
    EXPECT_EQ(sorted("-l English_UnitedStates.MS1252 --ignore-case "s + args + " in", input), expected) << args;
}

// Thousands of lines with many equal keys, sorted in memory and in runs of a few lines
// each, against a stable sort by the library's keys.
TEST(SortCommand, SpilledRunsMergeLikeOneSort) {
  std::mt19937 random(7);
  const string letters = "aAbBcC\xE1\xC1 -";
  string input;
  vector<string> lines;
  for (int i = 0; i < 3000; ++i) {
    string line(random() % 6, ' ');
    for (char &c : line) c = letters[random() % letters.size()];
    lines.push_back(line);
    input += line + "\n";
  }
  string expected;
  {
    pltest::Session session(pltest::built_locale_dir());
    PLLocale *locale = PLGetLocale("English_UnitedStates.MS1252", 0, nullptr);
    ASSERT_NE(locale, nullptr);
    auto key = [&](const string &line) {
      string k(line.size() * 16 + 4, '\0');
      int32_t n = PLStrxfrm(locale, k.data(), int32_t(k.size()), line.data(), int32_t(line.size()), PL_IGNORE_CASE);
      EXPECT_GE(n, 0);
      k.resize(size_t(std::max(n, 0)));
      return k;
    };
    std::stable_sort(lines.begin(), lines.end(), [&](const string &a, const string &b) { return key(a) < key(b); });
    PLReleaseLocale(locale);
    for (const string &line : lines) expected += line + "\n";
  }
  const string args = "-l English_UnitedStates.MS1252 --ignore-case in";
  EXPECT_TRUE(sorted(args, input) == expected);
  EXPECT_TRUE(sorted("--buffer-size 500 " + args, input) == expected);
  EXPECT_EQ(sorted("--buffer-size 500 --unique " + args, input), sorted("--unique " + args, input));
}

// IBM930: lines end at its line feed 0x25 and each starts in the single-byte state;
// full-width Ａ (shifted 42C1) is A under --ignore-width, and stays in input order.
TEST(SortCommand, StatefulCodeSet) {
  const string input = "\x0E\x43\x86\x0F\x25\xC2\x25\x0E\x42\xC1\x0F\x25\xC1";  // カ B Ａ A
  EXPECT_EQ(sorted("-l IBM930 --ignore-width in", input),
            "\x0E\x42\xC1\x0F\x25\xC1\x25\xC2\x25\x0E\x43\x86\x0F\x25");
}

}  // namespace
