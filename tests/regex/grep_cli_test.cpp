// polyloc grep: option combinations over one MS932 file (double-byte characters, one
// whose second byte is a backslash), exit codes and the library's pattern messages.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/iconv_text.h"
#include "support/locale_dir.h"

namespace {

using std::string;

// UTF-8 text in MS932 bytes, by glibc's iconv.
string ms932(const string &text) { return pltest::iconv_text(text, "UTF-8", "CP932"); }

// Line 5's 表 is 0x95 0x5C: its second byte is a backslash, which no pattern may see.
constexpr const char *kText =
    "東京 Tokyo\n"
    "大阪 osaka\n"
    "\n"
    "京都 KYOTO 京\n"
    "表示\n"
    "C:\\temp";

TEST(GrepCommand, OptionsOverAnMs932File) {
  pltest::TempDir dir;
  string bytes = ms932(kText);
  pltest::write_bytes(dir.file("text"), {bytes.begin(), bytes.end()});
  struct Row {
    const char *args;
    int status;
    const char *out;  // UTF-8, compared in MS932
    const char *error = "";
  } rows[] = {
      {"京 text", 0, "東京 Tokyo\n京都 KYOTO 京\n"},
      {"-n 京 text", 0, "1:東京 Tokyo\n4:京都 KYOTO 京\n"},
      {"-c 京 text", 0, "2\n"},
      {"-vc 京 text", 0, "4\n"},
      {"-v -n '[a-z]' text", 0, "3:\n4:京都 KYOTO 京\n5:表示\n"},
      {"tokyo text", 1, ""},
      {"-i tokyo text", 0, "東京 Tokyo\n"},
      {"-o 京 text", 0, "京\n京\n京\n"},
      {"-on '^.' text", 0, "1:東\n2:大\n4:京\n5:表\n6:C\n"},
      {"-o 'o*' text", 0, "o\no\no\n"},
      {"-oE 'o(s|k)a|[[:upper:]]+' text", 0, "T\nosa\nKYOTO\nC\n"},
      {"-oi 'k[a-z]*' text", 0, "kyo\nka\nKYOTO\n"},
      {"-F 'C:\\t' text", 0, "C:\\temp\n"},
      {"'\\\\' text", 0, "C:\\temp\n"},
      {"-c '示$' text", 0, "1\n"},
      {"-n '^$' text", 0, "3:\n"},
      {"-E '京{2}' text", 1, ""},
      {"-c 大阪 text - < text", 0, "text:1\n(standard input):1\n"},
      {"-E 'a(' text", 2, "", "Parentheses ( ) not balanced (code 86)"},
      {"'a\\{1' text", 2, "", "Braces { } not balanced (code 87)"},
      {"京 missing", 2, "", "missing"},
      {"-E -F x text", 2, "", "usage"},
      {"", 2, "", "usage"},
  };
  for (const Row &row : rows) {
    auto [status, out, err] = pltest::run_cli(dir, "grep", string("-l Japanese_Japan.MS932 ") + row.args);
    EXPECT_EQ(status, row.status) << row.args << ": " << err;
    EXPECT_EQ(out, ms932(row.out)) << row.args;
    EXPECT_NE(err.find(row.error), string::npos) << row.args << ": " << err;
  }
  auto [status, out, err] = pltest::run_cli(dir, "grep", "-l NoSuchLocale x text");
  EXPECT_EQ(status, 2);
  EXPECT_NE(err.find("NoSuchLocale"), string::npos) << err;
}

}  // namespace
