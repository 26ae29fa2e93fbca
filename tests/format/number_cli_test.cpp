// polyloc number: options and exit codes, formatting and reading back in the locale's
// code set.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/locale_dir.h"

namespace {

using namespace std::string_literals;
using std::string, std::tuple;

// polyloc number ARGS: the exit status, the output and errors.
tuple<int, string, string> run_number(const string &args) {
  return pltest::run_cli(pltest::TempDir(), "number", args);
}

TEST(NumberCommand, OptionsAndExitCodes) {
  for (const char *args : {"1", "-l", "-l German_Germany.MS1252", "-l German_Germany.MS1252 --bogus 1",
                           "-l German_Germany.MS1252 --base 1 --parse 1", "-l German_Germany.MS1252 --base 8 1",
                           "-l German_Germany.MS1252 --parse --intl 1", "-l German_Germany.MS1252 1x"})
    EXPECT_EQ(std::get<0>(run_number(args)), 2) << args;
  EXPECT_EQ(std::get<0>(run_number("-l NoSuchSet 1")), 1);
}

TEST(NumberCommand, FormatsWithTheLocalesConventions) {
  struct Row {
    const char *args, *out;
  } rows[] = {
      {"-l German_Germany.MS1252 1234567 -1234.5 -- -7", "1.234.567\n-1.234,50\n-7\n"},
      {"-l English_India.UTF-8 123456789", "12,34,56,789\n"},
      {"-l English_UnitedStates.MS1252 --currency 1234.567 -5", "$1,234.56\n($5.00)\n"},
      {"-l English_UnitedStates.MS1252 --currency --intl 2", "USD2.00\n"},
      {"-l German_Germany.MS1252 3000000000", "3.000.000.000,00\n"},
  };
  for (const Row &row : rows) EXPECT_EQ(run_number(row.args), tuple(0, string(row.out), ""s)) << row.args;
}

TEST(NumberCommand, ReadsLocaleTextBack) {
  EXPECT_EQ(run_number("-l German_Germany.MS1252 --parse 1.234,5 -- -2e3"),
            tuple(0, "1234.5\t7 of 7\n-2000\t4 of 4\n"s, ""s));
  EXPECT_EQ(run_number("-l German_Germany.MS1252 --parse --base 0 0x1A 12abc"),
            tuple(1, "26\t4 of 4\n12\t2 of 5\n"s, ""s));
}

}  // namespace
