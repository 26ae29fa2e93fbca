// PLStringToTime against glibc's strptime (under uselocale) on generated inputs, valid and
// slightly invalid, over the directives both read alike: same success, same input consumed,
// same fields. Left out, since the two read them differently: %C %u %r %c %x %X %z %Z %n %U
// %V %W; %p away from %I %l (glibc applies it to no other hour); names unlike glibc's; %y
// outside 00..29 and 69..99 (the century cuts are 69 and 30); input that runs out early (we
// stop without error, glibc fails); numbers narrower than a formatter writes them, and
// invalid ones glibc stops reading early; %e %k %l before a digit (glibc reads past its
// one-digit field); February 29 beside a nested %D %R %T (which normalizes what came before).
// TZ is UTC, every generated date exists, and only the fields the format sets are compared
// (never weekday or day of year, which mktime recomputes).
#include <gtest/gtest.h>
#include <langinfo.h>
#include <locale.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/time_zone.h"
#include "polyloc.h"
#include "support/glibc_locales.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string;

struct Pair {
  const char *ours, *glibc, *charmap;
};
constexpr Pair kLocales[] = {{"English_UnitedStates.MS1252", "en_US", "CP1252"},
                             {"German_Germany.UTF-8", "de_DE", "UTF-8"},
                             {"French_France.UTF-8", "fr_FR", "UTF-8"}};

// Fields a directive sets, as bits (glibc refuses a second weekday).
enum : unsigned { kYear = 1, kMon = 2, kMday = 4, kHour = 8, kMin = 16, kSec = 32, kTwelve = 64, kWday = 128 };
// The values a case writes: what `Directive::value` indexes.
enum Value { kYear4, kYear2, kMonth, kDay, kHour24, kHour12, kMinute, kSecond, kYearDay, kWeekday, kNone };

struct Directive {
  const char *text;
  unsigned sets;
  Value value;
  const char *print;      // the value's text: a printf format, or for a name its item
  int bad_lo, bad_hi;     // out-of-range values glibc reads whole (0: none)
  int item, count;        // a name's first item (of the value's index) and number
};

const Directive kDirectives[] = {
    {"%Y", kYear, kYear4, "%04d", 0, 0, 0, 0},          {"%y", kYear, kYear2, "%02d", 0, 0, 0, 0},
    {"%m", kMon, kMonth, "%02d", 13, 19, 0, 0},         {"%d", kMday, kDay, "%02d", 32, 39, 0, 0},
    {"%e", kMday, kDay, "%2d", 32, 39, 0, 0},           {"%H", kHour, kHour24, "%02d", 24, 29, 0, 0},
    {"%k", kHour, kHour24, "%2d", 24, 29, 0, 0},        {"%I", kHour | kTwelve, kHour12, "%02d", 13, 19, 0, 0},
    {"%l", kHour | kTwelve, kHour12, "%2d", 13, 19, 0, 0}, {"%M", kMin, kMinute, "%02d", 0, 0, 0, 0},
    {"%S", kSec, kSecond, "%02d", 0, 0, 0, 0},          {"%j", 0, kYearDay, "%03d", 367, 369, 0, 0},
    {"%w", kWday, kWeekday, "%d", 0, 0, 0, 0},          {"%a", kWday, kWeekday, nullptr, 0, 0, 23, 7},
    {"%A", kWday, kWeekday, nullptr, 0, 0, 16, 7},      {"%b", kMon, kMonth, nullptr, 0, 0, 42, 12},
    {"%h", kMon, kMonth, nullptr, 0, 0, 42, 12},        {"%B", kMon, kMonth, nullptr, 0, 0, 29, 12},
    {"%p", 0, kNone, nullptr, 0, 0, 56, 2},             {"%D", kYear | kMon | kMday, kNone, nullptr, 0, 0, 0, 0},
    {"%R", kHour | kMin, kNone, nullptr, 0, 0, 0, 0},   {"%T", kHour | kMin | kSec, kNone, nullptr, 0, 0, 0, 0},
};
const char *const kSeparators[] = {"", "/", ":", "-", " ", ", ", "."};

string item(PLLocale *h, int32_t n) {
  char text[64];
  return PLGetLocaleTextInfo(h, n, text, sizeof text, 0) > 0 ? text : "";
}

// Whether our names of a directive are glibc's (and none is empty).
bool same_names(PLLocale *h, locale_t l, const Directive &d) {
  const int first = d.count == 2 ? AM_STR : d.item == 23 ? ABDAY_1 : d.item == 16 ? DAY_1 : d.item == 42 ? ABMON_1 : MON_1;
  for (int i = 0; i < d.count; ++i) {
    int ours = d.count == 2 ? 56 + i : d.item + i + (d.value == kMonth);
    if (item(h, ours).empty() || item(h, ours) != nl_langinfo_l(first + i, l)) return false;
  }
  return true;
}

int days_in(int mon, int year) {
  using namespace std::chrono;
  return static_cast<int>(unsigned(year_month_day_last(std::chrono::year(year), month_day_last(month(mon + 1))).day()));
}

struct Case {
  string input, format;
  unsigned sets = 0;  // the fields compared
};

// A random case of up to four directives that set different fields.
Case make_case(std::mt19937 &random, PLLocale *h, const std::vector<const Directive *> &pool) {
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::vector<const Directive *> chosen;
  unsigned taken = 0;
  bool marker = false, two_digit_year = false;
  for (int n = 1 + pick(4), tries = 0; static_cast<int>(chosen.size()) < n && tries < 20; ++tries) {
    const Directive *d = pool[static_cast<size_t>(pick(static_cast<int>(pool.size())))];
    bool is_marker = d->count == 2;
    if ((d->sets & taken) != 0 || (is_marker && (marker || (taken & kTwelve) == 0))) continue;
    chosen.push_back(d);
    taken |= d->sets;
    marker |= is_marker;
    two_digit_year |= d->value == kYear2 || string(d->text) == "%D";
  }
  // Values: a whole date that exists, a time, a weekday, a day of the year.
  int yy = pick(2) ? pick(30) : 69 + pick(31);
  int year = two_digit_year ? (yy < 69 ? 2000 : 1900) + yy : 1000 + pick(2000);
  int mon = pick(12), hour = pick(24), min = pick(60), sec = pick(60);
  // A nested %D %R %T finishes the time read before it, in 1900 when no year came yet.
  bool nested = false;
  for (const Directive *d : chosen) nested |= d->value == kNone && d->count == 0;
  int mday = 1 + pick(days_in(mon, (taken & kYear) && !nested ? year : 1900));
  const int values[] = {year, yy, mon + 1, mday, hour, hour % 12 == 0 ? 12 : hour % 12, min, sec, 1 + pick(366), pick(7)};
  Case c;
  char text[64];
  for (size_t i = 0; i < chosen.size(); ++i) {
    const Directive &d = *chosen[i];
    string f = d.text;
    if (d.print != nullptr) std::snprintf(text, sizeof text, d.print, values[d.value]);
    else if (f == "%D") std::snprintf(text, sizeof text, "%02d/%02d/%02d", mon + 1, mday, yy);
    else if (f == "%R") std::snprintf(text, sizeof text, "%02d:%02d", hour, min);
    else if (f == "%T") std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, min, sec);
    else if (d.count == 2) std::snprintf(text, sizeof text, "%s", item(h, hour < 12 ? 56 : 57).c_str());
    else std::snprintf(text, sizeof text, "%s", item(h, d.item + values[d.value]).c_str());
    // Slightly invalid: a number out of range that glibc reads whole, or a name spoilt.
    if (pick(8) == 0) {
      if (d.bad_lo != 0) std::snprintf(text, sizeof text, "%0*d", d.value == kYearDay ? 3 : 2, d.bad_lo + pick(d.bad_hi - d.bad_lo + 1));
      else if (d.count != 0) text[0] = '#';
    }
    string separator = i + 1 < chosen.size() ? kSeparators[pick(7)] : "";
    if (separator.empty() && d.print != nullptr && d.print[1] == '2') separator = "/";  // after %e %k %l
    c.input += text;
    c.input += !separator.empty() && pick(20) == 0 ? "!" : separator;
    c.format += f + separator;
  }
  c.sets = taken & (kYear | kMon | kMday | kHour | kMin | kSec);
  return c;
}

string show(int32_t result, const std::tm &t) {
  char text[96];
  std::snprintf(text, sizeof text, "%d: %d-%d-%d %d:%d:%d", result, t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour,
                t.tm_min, t.tm_sec);
  return text;
}

TEST(TimeParseGlibc, AgreesWithStrptime) {
  setenv("TZ", "UTC0", 1);
  pl::platform::time_zone_refresh();
  pltest::Session session(pltest::built_locale_dir());
  size_t cases = std::getenv("POLYLOC_FULL_SWEEP") ? 1000000 : 100000;
  std::mt19937 random(20261206);
  size_t compared = 0, failures = 0, read = 0;
  for (const Pair &pair : kLocales) {
    locale_t l = pltest::open_glibc_locale(pair.glibc, pair.charmap);
    ASSERT_NE(l, nullptr) << "glibc locale " << pair.glibc << "." << pair.charmap << " unavailable";
    PLLocale *h = PLGetLocale(pair.ours, 0, nullptr);
    ASSERT_NE(h, nullptr);
    std::vector<const Directive *> pool;
    for (const Directive &d : kDirectives)
      if (d.count == 0 || same_names(h, l, d)) pool.push_back(&d);
    std::printf("%s: %zu directives\n", pair.ours, pool.size());
    for (size_t i = 0; i < cases / std::size(kLocales); ++i) {
      Case c = make_case(random, h, pool);
      std::tm ours, theirs{};
      int32_t got = PLStringToTime(h, &ours, c.input.c_str(), -1, c.format.c_str(), -1, 0);
      locale_t previous = uselocale(l);
      const char *end = strptime(c.input.c_str(), c.format.c_str(), &theirs);
      uselocale(previous);
      int32_t want = end == nullptr ? -1 : static_cast<int32_t>(end - c.input.c_str());
      bool same = got == want;
      const int o[] = {ours.tm_year, ours.tm_mon, ours.tm_mday, ours.tm_hour, ours.tm_min, ours.tm_sec};
      const int t[] = {theirs.tm_year, theirs.tm_mon, theirs.tm_mday, theirs.tm_hour, theirs.tm_min, theirs.tm_sec};
      for (int f = 0; f < 6 && same && got >= 0; ++f) same = (c.sets & 1u << f) == 0 || o[f] == t[f];
      ++compared;
      read += got >= 0;
      if (!same && ++failures <= 10)
        ADD_FAILURE() << pair.ours << " \"" << c.input << "\" with \"" << c.format << "\": ours " << show(got, ours)
                      << ", glibc " << show(want, theirs);
    }
    EXPECT_EQ(PLReleaseLocale(h), PL_OK);
    freelocale(l);
  }
  EXPECT_EQ(failures, 0u) << "of " << compared << " cases";
  std::printf("%zu cases compared, %zu of them read\n", compared, read);
}

}  // namespace
