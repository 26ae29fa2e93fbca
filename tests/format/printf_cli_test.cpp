// polyloc printf: options and exit codes, arguments read by their directives, and the
// output in the locale's code set (the expected UTF-8 text converted by the library).
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "polyloc.h"
#include "support/locale_dir.h"

namespace {

using namespace std::string_literals;
using std::string, std::tuple;

// polyloc printf ARGS: the exit status, the output and errors.
tuple<int, string, string> run_printf(const string &args) {
  return pltest::run_cli(pltest::TempDir(), "printf", args);
}

// UTF-8 text in the code set of `locale`, as the library converts it.
string in_code_set(const string &locale, const string &utf8) {
  EXPECT_EQ(PLInit(pltest::built_locale_dir(), nullptr, nullptr, nullptr, 0), PL_OK);
  PLLocale *target = PLGetLocale(locale.c_str(), 0, nullptr), *source = PLGetLocale(".UTF-8", 0, nullptr);
  string out(utf8.size() * 4 + 2, '\0');
  int32_t n = PLConvertString(target, out.data(), static_cast<int32_t>(out.size()), source, utf8.data(),
                              static_cast<int32_t>(utf8.size()), PL_TERMINATE);
  EXPECT_GT(n, 0) << locale;
  out.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
  PLReleaseLocale(target);
  PLReleaseLocale(source);
  PLTerm();
  return out;
}

TEST(PrintfCommand, OptionsAndExitCodes) {
  for (const char *args : {"", "'%d' 1", "-l", "-l English_UnitedStates.MS1252", "--bogus -l English_UnitedStates.MS1252 x"})
    EXPECT_EQ(std::get<0>(run_printf(args)), 2) << args;
  EXPECT_EQ(std::get<0>(run_printf("-l NoSuchSet x")), 1);
  struct Row {
    const char *args, *out, *error;
  } failures[] = {
      {"-l English_UnitedStates.MS1252 '%1$d %d' 1 2", "", "code 51"},
      {"-l English_UnitedStates.MS1252 '<%d|%5.1f>' 12z x", "<12|  0.0>", "not a number"},
      {"-l English_UnitedStates.MS1252 '%hd' 70000", "4464", "out of range"},
      {"-l English_UnitedStates.US-ASCII '%s' é", "", "no equivalent"},
      {"-l English_UnitedStates.US-ASCII é", "", "no equivalent"},
  };
  for (const Row &row : failures) {
    auto [status, out, err] = run_printf(row.args);
    EXPECT_EQ(status, 1) << row.args;
    EXPECT_EQ(out, row.out) << row.args;
    EXPECT_NE(err.find(row.error), string::npos) << row.args << ": " << err;
  }
}

// Directives whose text is the same in every code set, run in an ASCII-based, a
// UTF-8, a double-byte, an EBCDIC and a stateful locale. (Hexadecimal and exponent
// letters are upper case: lower-case ones come out at their code page 037 places in
// the EBCDIC code sets, which code page 930 gives to other characters.)
TEST(PrintfCommand, ReadsEachArgumentAsItsDirectiveAsks) {
  struct Row {
    const char *args, *out;
  } rows[] = {
      {"'%d|%5.2f|%-4s|%X\\n' -42 3.14159 ab 255", "-42| 3.14|ab  |FF\n"},
      {"'%2$s %1$s' first second", "second first"},
      {"'%s=%d;' a 1 b 2 c", "a=1;b=2;c=0;"},
      {"'%*d|%.*f|%c' 4 7 1 2.26 xyz", "   7|2.3|x"},
      {"'%#o %#X %hd %hu %lld %E' 8 0x1f 65535 -1 -5000000000 1.5",
       "010 0X1F -1 65535 -5000000000 1.500000E+000"},
      {"'%u %lu %llu' -1 4294967295 18446744073709551615", "4294967295 4294967295 18446744073709551615"},
      {"'%%%n|\\t%s' '' x", "%|\tx"},
      {"'no directive\\n' ignored", "no directive\n"},
  };
  for (const char *locale : {"English_UnitedStates.MS1252", "English_UnitedStates.UTF-8", "Japanese_Japan.MS932",
                             "English_UnitedStates.IBM037", "Japanese_Japan.IBM930"})
    for (const Row &row : rows)
      EXPECT_EQ(run_printf("-l "s + locale + " " + row.args), tuple(0, in_code_set(locale, row.out), ""s))
          << locale << " " << row.args;
}

TEST(PrintfCommand, WritesTheLocalesConventionsAndCharacters) {
  struct Row {
    const char *locale, *args, *out;
  } rows[] = {
      {"German_Germany.MS1252", "'%,d|%.2f|%,d' 1234567 1.5 -1000", "1.234.567|1,50|-1.000"},
      {"English_India.UTF-8", "'%,d' 123456789", "12,34,56,789"},
      {"German_Germany.UTF-8", "'%s|%C|%S|%3s|' Grüße ñx ÄÖ é", "Grüße|ñ|ÄÖ| é|"},
      {"Japanese_Japan.MS932", "'%s %C %S %c' 日本語 字 ｶﾅ a", "日本語 字 ｶﾅ a"},
      {"Japanese_Japan.IBM930", "'<%s|%C|%.2s>' 日本 語 ab", "<日本|語|ab>"},
  };
  for (const Row &row : rows)
    EXPECT_EQ(run_printf("-l "s + row.locale + " " + row.args), tuple(0, in_code_set(row.locale, row.out), ""s))
        << row.locale << " " << row.args;
}

}  // namespace
