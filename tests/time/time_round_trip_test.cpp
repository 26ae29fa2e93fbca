// What PLTimeToString writes, PLStringToTime reads back, in every form: random times
// from 1930 to 2029 (so that %y's century comes back) under the locales' own %c %x %X, their
// # forms, the fixed formats and formats of names and numbers, in English, German, French,
// Japanese and Russian, each in UTF-8 and a legacy code set (Japanese also in the stateful
// IBM930, English also in EBCDIC 037). The fields the format carries must come back and the
// text must be read to its end. Skipped: formats with markers (%p) the locale leaves empty,
// and the base form of IBM930, which reads code page 037's letters. TZ is UTC, so
// normalization changes nothing that was read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "platform/time_zone.h"
#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::u16string;

enum Form { kBase, kEx, kUnits, kPacked };
enum : unsigned { kYear = 1, kMon = 2, kMday = 4, kHour = 8, kMin = 16, kSec = 32, kTwelve = 64, kMarker = 128 };

const char *const kLocales[] = {
    "English_UnitedStates.UTF-8", "English_UnitedStates.MS1252", "German_Germany.UTF-8",
    "German_Germany.MS1252",      "French_France.UTF-8",         "French_France.MS1252",
    "Japanese_Japan.UTF-8",       "Japanese_Japan.MS932",        "Japanese_Japan.IBM930",
    "Russian_Russia.UTF-8",       "Russian_Russia.MS1251",       "English_UnitedStates.IBM037",
};
const char16_t *const kFormats[] = {u"%c", u"%#c", u"%x", u"%#x", u"%X", u"%r", u"%D", u"%R", u"%T",
                                    u"%Y-%m-%d %H:%M:%S", u"%A %d %B %Y", u"%a %e %b %y %k.%M",
                                    u"%j %C%y %l %p"};

u16string item(PLLocale *h, int32_t n) {
  PLUChar text[64];
  int32_t got = PLGetLocaleTextInfoU(h, n, text, 64, 0);
  return got > 0 ? u16string(reinterpret_cast<const char16_t *>(text)) : u16string();
}

// The fields `format` carries, its nested formats expanded.
unsigned carried(PLLocale *h, const u16string &format, int depth = 0) {
  static const std::pair<const char16_t *, unsigned> kCarries[] = {
      {u"Yy", kYear}, {u"mbBh", kMon}, {u"de", kMday}, {u"Hk", kHour}, {u"Il", kHour | kTwelve},
      {u"p", kMarker}, {u"M", kMin}, {u"S", kSec}, {u"D", kYear | kMon | kMday}, {u"R", kHour | kMin},
      {u"T", kHour | kMin | kSec}};
  unsigned fields = 0;
  for (size_t i = 0; i + 1 < format.size() && depth < 4; ++i) {
    if (format[i] != u'%') continue;
    char16_t c = format[++i];
    while ((c == u'#' || c == u'E' || c == u'O') && i + 1 < format.size()) c = format[++i];
    for (const auto &[letters, bits] : kCarries)
      if (u16string(letters).find(c) != u16string::npos) fields |= bits;
    int32_t date = format[i - 1] == u'#' ? 81 : 80;  // the date format, or its # form
    if (c == u'x' || c == u'c') fields |= carried(h, item(h, date), depth + 1);
    if (c == u'X' || c == u'r' || c == u'c') fields |= carried(h, item(h, 79), depth + 1);
  }
  return fields;
}

// Writes `time` under `format` in `form` and reads it back into `back`; the units
// written and read.
std::pair<int32_t, int32_t> round_trip(PLLocale *h, Form form, const u16string &format,
                                       const std::tm &time, std::tm *back) {
  auto u = [](const u16string &s) { return reinterpret_cast<const PLUChar *>(s.c_str()); };
  int32_t n = static_cast<int32_t>(format.size());
  switch (form) {
    case kUnits: {
      PLUChar out[256];
      int32_t written = PLTimeToStringU(h, &time, out, 256, u(format), n, 0);
      return {written, PLStringToTimeU(h, back, out, written, u(format), n, 0)};
    }
    case kPacked: {
      PLWChar f[64], out[256];
      int32_t fn = PLUnicodeToStringW(h, f, 64, u(format), n, 0);
      int32_t written = PLTimeToStringW(h, &time, out, 256, f, fn, 0);
      return {written, PLStringToTimeW(h, back, out, written, f, fn, 0)};
    }
    default: {
      char f[128], out[512];
      int32_t fn = PLUnicodeToStringEx(h, f, 0, sizeof f, u(format), n, 0);
      if (form == kEx) {
        int32_t written = PLTimeToStringEx(h, &time, out, 0, sizeof out, f, 0, fn, 0);
        return {written, PLStringToTimeEx(h, back, out, 0, written, f, 0, fn, 0)};
      }
      int32_t written = PLTimeToString(h, &time, out, sizeof out, f, fn, 0);
      return {written, PLStringToTime(h, back, out, written, f, fn, 0)};
    }
  }
}

TEST(TimeRoundTrip, ReadsBackWhatTheFormatterWrote) {
  setenv("TZ", "UTC0", 1);
  pl::platform::time_zone_refresh();
  pltest::Session session(pltest::built_locale_dir());
  std::mt19937_64 random(20261206);
  std::uniform_int_distribution<long> seconds(-1262304000L, 1893455999L);  // 1930..2029
  size_t checked = 0;
  for (const char *name : kLocales) {
    PLLocale *h = PLGetLocale(name, 0, nullptr);
    ASSERT_NE(h, nullptr) << name;
    bool markers = !item(h, 56).empty() && !item(h, 57).empty();
    for (const char16_t *text : kFormats) {
      u16string format = text;
      unsigned fields = carried(h, format);
      if ((fields & kMarker) != 0 && !markers) continue;
      for (Form form : {kBase, kEx, kUnits, kPacked}) {
        // The base form knows code page 930's letters as code page 037's.
        if (form == kBase && PLGetLocaleNumInfo(h, PL_CODESET_STATEFUL, 0) == 1) continue;
        for (int i = 0; i < 100; ++i) {
          time_t when = static_cast<time_t>(seconds(random));
          std::tm time, back;
          gmtime_r(&when, &time);
          auto [written, read] = round_trip(h, form, format, time, &back);
          ++checked;
          ASSERT_GT(written, 0) << name << " form " << form;
          ASSERT_EQ(read, written) << name << " form " << form << " code " << PLGetError(h);
          int hour = (fields & kTwelve) != 0 && (fields & kMarker) == 0 ? time.tm_hour % 12 : time.tm_hour;
          const int want[] = {time.tm_year, time.tm_mon, time.tm_mday, hour, time.tm_min, time.tm_sec};
          const int got[] = {back.tm_year, back.tm_mon, back.tm_mday, back.tm_hour, back.tm_min, back.tm_sec};
          for (int f = 0; f < 6; ++f) {
            ASSERT_TRUE((fields & 1u << f) == 0 || got[f] == want[f]) << name << " form " << form << " field " << f;
          }
        }
      }
    }
    EXPECT_EQ(PLReleaseLocale(h), PL_OK);
  }
  std::printf("%zu round trips\n", checked);
}

}  // namespace
