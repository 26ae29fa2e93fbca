// polyloc date: options, exit codes, and text read and written with the locale's names
// and formats in its code set.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/locale_dir.h"

namespace {

using std::string, std::tuple;

// polyloc date ARGS under TZ=UTC: the exit status, the output and errors.
tuple<int, string, string> run_date(const string &args) {
  return pltest::run_cli(pltest::TempDir(), "date", args, "TZ=UTC");
}

TEST(DateCommand, ReadsAndWritesInTheLocale) {
  struct Row {
    const char *args;
    int status;
    const char *out, *error;
  } rows[] = {
      {"", 2, "", "usage"},
      {"-l German_Germany.UTF-8 -d 2024-03-05", 2, "", "usage"},
      {"-l NoSuchLocale", 1, "", "NoSuchLocale"},
      {"-l German_Germany.UTF-8 -d '2024-03-05 14:07:09' -p '%Y-%m-%d %H:%M:%S' '+%A, %#d. %B %Y %T'", 0,
       "Dienstag, 5. M\xC3\xA4rz 2024 14:07:09\n", ""},
      // Latin-1 bytes out of the German single-byte set.
      {"-l German_Germany.MS1252 -d 05.03.2024 -p %x +%B", 0, "M\xE4rz\n", ""},
      {"-l English_UnitedStates.MS1252 -d 1999-12-31 -p %Y-%m-%d +%c", 0, "12/31/99 12:00:00 AM\n", ""},
      {"-l English_UnitedStates.MS1252 -d 13/45 -p %m/%d", 1, "", "code 37"},
      {"-l English_UnitedStates.MS1252 +%Q", 1, "", "code 51"},
  };
  for (const Row &row : rows) {
    auto [status, out, err] = run_date(row.args);
    EXPECT_EQ(status, row.status) << row.args;
    EXPECT_EQ(out, row.out) << row.args;
    EXPECT_NE(err.find(row.error), string::npos) << row.args << ": " << err;
  }
  // Now: a four-digit year and a line end.
  auto [status, out, err] = run_date("-l English_UnitedStates.MS1252 +%Y");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out.size(), 5u) << out;
}

}  // namespace
