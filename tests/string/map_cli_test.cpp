// polyloc map: each mapping on a short text, a text of several blocks with characters
// across the block boundaries, the report of characters a code set cannot hold, and
// the exit codes of bad arguments.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

struct Result {
  int status;
  std::string out, err;
};

std::string text_of(const std::vector<uint8_t> &bytes) { return {bytes.begin(), bytes.end()}; }

// polyloc map ARGS with `input` on standard input.
Result run_map(const std::string &args, const std::string &input) {
  pltest::TempDir dir;
  pltest::write_bytes(dir.file("in"), {input.begin(), input.end()});
  std::string command = std::string(POLYLOC_CLI) + " map --dir " + pltest::built_locale_dir() +
                        " " + args + " < " + dir.file("in") + " > " + dir.file("out") + " 2> " +
                        dir.file("err");
  int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
          text_of(pltest::read_bytes(dir.file("out"))),
          text_of(pltest::read_bytes(dir.file("err")))};
}

struct Case {
  const char *args;
  std::string input, output;
};

const Case kMappings[] = {
    {"--upper -l MS1252", "stra\xDF" "e", "STRASSE"},
    {"--upper-simple -l MS1252", "stra\xDF" "e", "STRA\xDF" "E"},
    {"--lower -l MS1252", std::string("\xC0\xC9 \x9F\0Z", 6), std::string("\xE0\xE9 \xFF\0z", 6)},
    {"--fullwidth -l MS932", "Aa1", "\x82\x60\x82\x81\x82\x50"},
    {"--halfwidth -l MS932", "\x82\x60\x82\x81\x82\x50", "Aa1"},
    {"--digits -l UTF-8", "x\xD9\xA3\xD9\xA4\xE0\xA5\xAB", "x345"},  // ٣٤५
    {"--fullwidth -l IBM930", "\xC1\xC2", "\x0E\x42\xC1\x42\xC2\x0F"},  // AB
};

TEST(MapCommand, Mappings) {
  for (const Case &c : kMappings) {
    Result result = run_map(c.args, c.input);
    EXPECT_EQ(result.status, 0) << c.args << ": " << result.err;
    EXPECT_EQ(result.out, c.output) << c.args;
  }
}

// The command reads 64 KiB blocks. MS932: behind 65535 single-byte characters comes a
// pattern of double-byte ones that puts one across every block boundary. IBM930: the
// single-byte text becomes double-byte, so every block boundary falls in shifted output.
TEST(MapCommand, BlocksJoinAsOneCallWould) {
  std::string ms932(65535, 'a');
  while (ms932.size() < 300000) ms932 += "\x82\x81\x83\xBF\x84\x71 x";  // ａ α б
  std::string ibm930;
  while (ibm930.size() < 300000) ibm930 += "\xC1\xC2\x0E\x43\x86\x0F\xC3";  // A B カ C
  struct Text {
    const char *args, *locale;
    int32_t flags;
    std::string input;
  };
  const Text texts[] = {{"--upper -l MS932", ".MS932", PL_MAP_UPPER, ms932},
                        {"--fullwidth -l IBM930", ".IBM930", PL_MAP_FULLWIDTH, ibm930}};
  pltest::Session session(pltest::built_locale_dir());
  for (const Text &t : texts) {
    Result result = run_map(t.args, t.input);
    ASSERT_EQ(result.status, 0) << t.args << ": " << result.err;
    int32_t error = PL_OK;
    PLLocale *locale = PLGetLocale(t.locale, 0, &error);
    ASSERT_NE(locale, nullptr) << error;
    // The Ex form is the base form on a stateless code set.
    std::string whole(t.input.size() * 3 * 3, '\0');
    int32_t n = PLMapStringEx(locale, whole.data(), 0, static_cast<int32_t>(whole.size()),
                              t.input.data(), 0, static_cast<int32_t>(t.input.size()), t.flags);
    PLReleaseLocale(locale);
    ASSERT_GT(n, 0) << t.args;
    whole.resize(static_cast<size_t>(n));
    EXPECT_NE(whole, t.input) << t.args;
    EXPECT_TRUE(result.out == whole) << t.args << ": differs from one call over the text";
  }
}

const Case kReports[] = {
    {"--upper -l ISO-8859-1", "a\xFF" "b\xFF",
     "polyloc map: 1: U+00FF has no mapping in ISO-8859-1\n"},
    {"--fullwidth -l MS1252", "aba",
     "polyloc map: 0: U+0061 has no mapping in MS1252\n"
     "polyloc map: 1: U+0062 has no mapping in MS1252\n"},
};

TEST(MapCommand, ReportsCharactersTheCodeSetCannotHold) {
  for (const Case &c : kReports) {
    Result result = run_map(c.args, c.input);
    EXPECT_EQ(result.status, 1) << c.args;
    EXPECT_EQ(result.err, c.output) << c.args;
    EXPECT_EQ(result.out.size(), c.input.size()) << c.args;
  }
}

TEST(MapCommand, ExitCodes) {
  for (const char *args : {"-l MS1252", "--upper", "--upper -l", "--upper --lower -l MS1252",
                           "--upper -l MS1252 --bogus"})
    EXPECT_EQ(run_map(args, "").status, 2) << args;
  EXPECT_EQ(run_map("--upper -l MS1252 /nonexistent", "").status, 1);
  EXPECT_EQ(run_map("--upper -l NoSuchSet", "").status, 1);
  EXPECT_EQ(run_map("--upper -l MS1252 - -", "x").out, "X");
  Result cut = run_map("--upper -l MS932", "a\x82");
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(cut.out, "A");
  EXPECT_EQ(cut.err, "polyloc map: the input ends inside a character\n");
}

}  // namespace
