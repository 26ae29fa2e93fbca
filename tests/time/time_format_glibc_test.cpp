// PLTimeToString against glibc's strftime_l over random times in five locales, UTF-8 on
// both sides: one format holding every directive whose meaning the two share, and
// the expansions of %c %x %X %r compared with strftime_l run on this locale's own
// formats (the locales' format items differ from glibc's).
//
// Left out: %u (Sunday is 1 here, 7 in glibc), %n (a carriage return and line feed
// here by default; compared with PL_EOL_LF instead), %z and %Z (glibc reads the zone
// from the record's tm_zone and tm_gmtoff, this library from the process's zone), the
// # flag of %e %k %l (space padding stays here, glibc's - drops it) and # on names
// (glibc swaps their case). Years lie in 1000..9999: below 1000 glibc's %Y has no
// zero padding.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "polyloc.h"
#include "support/glibc_locales.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string;

size_t sweep(size_t sample, size_t full) { return std::getenv("POLYLOC_FULL_SWEEP") ? full : sample; }

// Directives written the same way by both, with # as glibc's -.
const char *const kShared[] = {"a", "A", "b", "h", "B", "C", "d", "D", "e", "H", "I", "j", "k",
                               "l", "m", "M", "n", "p", "R", "S", "t", "T", "U", "V", "w", "W",
                               "y", "Y", "%"};
// E and O change nothing here; glibc's take the locale's era and digits (ja_JP).
const char *const kModified[] = {"Ey", "Oy", "EY", "EC", "Od", "Oe", "OH", "OI", "Om", "OM", "OS",
                                 "OU", "Ow", "OW"};
const char *const kNumeric[] = {"C", "d", "H", "I", "j", "m", "M", "S", "U", "V", "W", "y", "Y"};

// Our format item `item` with # written as glibc's -.
string glibc_item(PLLocale *h, PLLocaleItem item) {
  char text[64];
  EXPECT_GT(PLGetLocaleTextInfo(h, item, text, sizeof text, 0), 0);
  string s = text;
  for (size_t i = 0; i + 1 < s.size(); ++i)
    if (s[i] == '%' && s[i + 1] == '#') s[i + 1] = '-';
  return s;
}

// The two formats: ours and glibc's, directive by directive, separated by '|'.
struct Formats {
  string ours, glibc;
  void add(const string &a, const string &b) {
    ours += a + "|";
    glibc += b + "|";
  }
};

Formats formats_for(PLLocale *h) {
  Formats f;
  for (const char *d : kShared) f.add(string("%") + d, string("%") + d);
  for (const char *d : kModified) f.add(string("%") + d, string("%") + (d + 1));
  for (const char *d : kNumeric) f.add(string("%#") + d, string("%-") + d);
  string date = glibc_item(h, PL_DATE_FORMAT), long_date = glibc_item(h, PL_LONG_DATE_FORMAT),
         time = glibc_item(h, PL_TIME_FORMAT);
  f.add("%c", date + " " + time);
  f.add("%#c", long_date + " " + time);
  f.add("%x", date);
  f.add("%#x", long_date);
  f.add("%X", time);
  f.add("%r", time);
  return f;
}

// A random time in 1000..9999, every third one at an edge the week numbers and the
// 12-hour clock turn on: the first and last days of a year, midnight, noon, 23 hours.
std::tm random_time(std::mt19937_64 &random) {
  std::tm t{};
  t.tm_year = static_cast<int>(random() % 9000) + 1000 - 1900;
  t.tm_mon = static_cast<int>(random() % 12);
  t.tm_mday = 1 + static_cast<int>(random() % 31);
  const int hours[] = {0, 12, 23, 11};
  bool edge = random() % 3 == 0;
  if (edge) {
    int day = static_cast<int>(random() % 14);
    t.tm_mon = day < 7 ? 0 : 11;
    t.tm_mday = day < 7 ? 1 + day : 25 + day - 7;
  }
  t.tm_hour = edge ? hours[random() % 4] : static_cast<int>(random() % 24);
  t.tm_min = static_cast<int>(random() % 60);
  t.tm_sec = static_cast<int>(random() % 60);
  time_t seconds = timegm(&t);
  gmtime_r(&seconds, &t);
  return t;
}

struct Pair {
  const char *ours;
  const char *glibc;  // null: glibc's C locale
};

class TimeFormatGlibc : public ::testing::TestWithParam<Pair> {
 protected:
  static void SetUpTestSuite() { session = new pltest::Session(pltest::built_locale_dir()); }
  static void TearDownTestSuite() { delete session; }
  static inline pltest::Session *session;
};

TEST_P(TimeFormatGlibc, SharedDirectivesAgree) {
  int32_t error = 0;
  PLLocale *h = PLGetLocale(GetParam().ours, 0, &error);
  ASSERT_NE(h, nullptr) << error;
  locale_t glibc = GetParam().glibc ? pltest::open_glibc_locale(GetParam().glibc)
                                    : newlocale(LC_ALL_MASK, "C", nullptr);
  if (glibc == nullptr) {
    PLReleaseLocale(h);
    GTEST_SKIP() << "glibc locale " << GetParam().glibc << " unavailable";
  }
  Formats f = formats_for(h);
  std::mt19937_64 random(20261206);
  size_t count = sweep(100000, 1000000), failures = 0;
  char ours[2048], theirs[2048];
  for (size_t i = 0; i < count && failures < 10; ++i) {
    std::tm t = random_time(random);
    int32_t n = PLTimeToString(h, &t, ours, sizeof ours, f.ours.c_str(), -1, PL_EOL_LF);
    size_t m = strftime_l(theirs, sizeof theirs, f.glibc.c_str(), &t, glibc);
    ASSERT_GT(n, 0) << PLGetError(h);
    if (string(ours, static_cast<size_t>(n)) == string(theirs, m)) continue;
    ++failures;
    ADD_FAILURE() << GetParam().ours << " " << asctime(&t) << " ours:  " << string(ours, static_cast<size_t>(n))
                  << "\nglibc: " << string(theirs, m) << "\nformat " << f.ours;
  }
  freelocale(glibc);
  PLReleaseLocale(h);
}

INSTANTIATE_TEST_SUITE_P(Locales, TimeFormatGlibc,
                         ::testing::Values(Pair{"English_UnitedStates.UTF-8", nullptr},
                                           Pair{"German_Germany.UTF-8", "de_DE"},
                                           Pair{"French_France.UTF-8", "fr_FR"},
                                           Pair{"Japanese_Japan.UTF-8", "ja_JP"},
                                           Pair{"Russian_Russia.UTF-8", "ru_RU"}));

}  // namespace
