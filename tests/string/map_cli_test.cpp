// polyloc map: options, exit codes, text across block boundaries, and reports.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using namespace std::string_literals;
using std::string, std::tuple;

// polyloc map ARGS with `input` on standard input: the exit status, the output and errors.
tuple<int, string, string> run_map(const string &args, const string &input) {
  pltest::TempDir dir;
  pltest::write_bytes(dir.file("in"), {input.begin(), input.end()});
  int status = std::system((string(POLYLOC_CLI) + " map --dir " + pltest::built_locale_dir() + " " +
                            args + " < " + dir.file("in") + " > " + dir.file("out") + " 2> " +
                            dir.file("err")).c_str());
  std::vector<uint8_t> out = pltest::read_bytes(dir.file("out")),
                       err = pltest::read_bytes(dir.file("err"));
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, string(out.begin(), out.end()),
          string(err.begin(), err.end())};
}

TEST(MapCommand, OptionsAndExitCodes) {
  EXPECT_EQ(run_map("--lower -l MS1252", "\xC0 \0Z"s), tuple(0, "\xE0 \0z"s, ""s));
  EXPECT_EQ(run_map("--digits -l UTF-8", "x\xD9\xA3\xE0\xA5\xAB"), tuple(0, "x35"s, ""s));
  EXPECT_EQ(run_map("--upper -l MS1252 - -", "x"), tuple(0, "X"s, ""s));
  for (const char *args : {"-l MS1252", "--upper", "--upper -l", "--upper --lower -l MS1252",
                           "--upper -l MS1252 --bogus"})
    EXPECT_EQ(std::get<0>(run_map(args, "")), 2) << args;
  EXPECT_EQ(std::get<0>(run_map("--upper -l MS1252 /nonexistent", "")), 1);
  EXPECT_EQ(std::get<0>(run_map("--upper -l NoSuchSet", "")), 1);
  EXPECT_EQ(run_map("--upper -l MS932", "a\x82"),
            tuple(1, "A"s, "polyloc map: the input ends inside a character\n"s));
}

// The command reads 64 KiB blocks: in MS932 a double-byte character lies across every block
// boundary; in IBM930 single bytes become double-byte, so every boundary is in shifted output.
TEST(MapCommand, BlocksJoinAsOneCallWould) {
  string ms932(65535, 'a'), ibm930;
  while (ms932.size() < 300000) ms932 += "\x82\x81\x83\xBF\x84\x71 x";  // ａ α б
  while (ibm930.size() < 300000) ibm930 += "\xC1\xC2\x0E\x43\x86\x0F\xC3";  // A B カ C
  pltest::Session session(pltest::built_locale_dir());
  for (auto [args, locale, flags, input] :
       {tuple{"--upper -l MS932", ".MS932", PL_MAP_UPPER, ms932},
        tuple{"--fullwidth -l IBM930", ".IBM930", PL_MAP_FULLWIDTH, ibm930}}) {
    auto [status, out, err] = run_map(args, input);
    ASSERT_EQ(status, 0) << args << ": " << err;
    PLLocale *l = PLGetLocale(locale, 0, nullptr);
    string whole(input.size() * 9, '\0');  // the Ex form is the base form on MS932
    int32_t n = PLMapStringEx(l, whole.data(), 0, int32_t(whole.size()), input.data(), 0,
                              int32_t(input.size()), flags);
    whole.resize(n > 0 ? n : 0);
    PLReleaseLocale(l);
    EXPECT_NE(whole, input) << args;
    EXPECT_TRUE(out == whole) << args << ": differs from one call over the text";
  }
}

TEST(MapCommand, ReportsCharactersTheCodeSetCannotHold) {
  EXPECT_EQ(run_map("--upper -l ISO-8859-1", "a\xFF" "b\xFF"),  // once, at its first offset
            tuple(1, "A\xFF" "B\xFF"s, "polyloc map: 1: U+00FF has no mapping in ISO-8859-1\n"s));
}

}  // namespace
