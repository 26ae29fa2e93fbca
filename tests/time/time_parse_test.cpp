// PLStringToTime and its forms on what neither the glibc differential nor the round trip
// reaches: %y's centuries and the day check, input or format that runs out, empty input
// and markers, zones against the process's zone, modifiers, shift runs, packed EBCDIC
// and character counts. One runner reads the table; a row runs in its own zone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/time_zone.h"
#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::u16string;

enum Form { kBase, kEx, kUnits, kPacked };

// Fields a row expects; kAny leaves one unchecked.
constexpr int kAny = -999;
struct Fields {
  int year = kAny, mon = kAny, mday = kAny, hour = kAny, min = kAny;
};

struct Row {
  const char *locale;
  Form form;
  const char16_t *input, *format;
  int32_t flags, result, code;
  Fields fields = {};
  const char *zone = "UTC0";
};

// Runs `row`'s call in its form, the texts converted into the locale's units.
int32_t call(PLLocale *h, const Row &row, std::tm *t) {
  const u16string in = row.input, format = row.format;
  auto units = [](const u16string &s) { return reinterpret_cast<const PLUChar *>(s.c_str()); };
  auto size = [](const u16string &s) { return static_cast<int32_t>(s.size()); };
  switch (row.form) {
    case kUnits:
      return PLStringToTimeU(h, t, units(in), size(in), units(format), size(format), row.flags);
    case kPacked: {
      std::vector<PLWChar> a(in.size() + 1), b(format.size() + 1);
      int32_t na = PLUnicodeToStringW(h, a.data(), size(in) + 1, units(in), size(in), 0);
      int32_t nb = PLUnicodeToStringW(h, b.data(), size(format) + 1, units(format), size(format), 0);
      return PLStringToTimeW(h, t, a.data(), na, b.data(), nb, row.flags);
    }
    default: {
      std::string a(in.size() * 4 + 4, '\0'), b(format.size() * 4 + 4, '\0');
      auto convert = [&](std::string &to, const u16string &s) {
        return PLUnicodeToStringEx(h, to.data(), 0, static_cast<int32_t>(to.size()), units(s), size(s), 0);
      };
      int32_t na = convert(a, in), nb = convert(b, format);
      // Lengths in characters under PL_COUNT_CHARS: the texts are whole and without NUL.
      if ((row.flags & PL_COUNT_CHARS) != 0) na = size(in), nb = size(format);
      if (row.form == kEx) return PLStringToTimeEx(h, t, a.c_str(), 0, na, b.c_str(), 0, nb, row.flags);
      return PLStringToTime(h, t, a.c_str(), na, b.c_str(), nb, row.flags);
    }
  }
}

constexpr const char *kEnglish = "English_UnitedStates.MS1252";
constexpr const char *kGerman = "German_Germany.MS1252";
constexpr const char *kJapanese930 = "Japanese_Japan.IBM930";
constexpr int32_t kCheck = PL_TIME_CHECK_DAY;
constexpr int kNo = -1, kMissing = PL_ERR_NOT_FOUND, kBadFormat = PL_ERR_FORMAT;

const Row kRows[] = {
    // %y's centuries (cut at 30, or all in 1900), also through a nested %D.
    {kEnglish, kBase, u"07/04/99", u"%D", 0, 8, 0, {99, 6, 4}},
    {kEnglish, kBase, u"04/07/29", u"%D", 0, 8, 0, {129, 3, 7}},
    {kEnglish, kBase, u"04/07/29", u"%D", PL_TIME_CENTURY_1900, 8, 0, {29, 3, 7}},
    {kEnglish, kBase, u"04/07/30", u"%D", 0, 8, 0, {30}},
    {kEnglish, kBase, u"2024", u"%y", 0, 2, 0, {120}},
    {kEnglish, kBase, u"2x", u"%y", 0, kNo, kMissing},
    {kEnglish, kBase, u"202", u"%Y", 0, kNo, kMissing},
    {kEnglish, kBase, u"19", u"%C", 0, 2, 0, {0}},
    // The day check, which a nested %D makes for its caller; without it, normalization.
    {kEnglish, kBase, u"02/29/01", u"%m/%d/%y", kCheck, kNo, kMissing},
    {kEnglish, kBase, u"02/29/00", u"%m/%d/%y", kCheck, 8, 0, {100, 1, 29}},
    {kEnglish, kBase, u"02/29/01", u"%D", kCheck, kNo, kMissing},
    {kEnglish, kBase, u"04/31", u"%m/%d", kCheck, kNo, kMissing},
    {kEnglish, kBase, u"02/29/01", u"%m/%d/%y", 0, 8, 0, {101, 2, 1}},
    // Names: the abbreviation only, case as the locale writes it, a longer name's prefix.
    {kEnglish, kBase, u"Sunday", u"%a", 0, 3, 0},
    {kEnglish, kBase, u"sunday", u"%A", 0, kNo, kMissing},
    {kEnglish, kBase, u"Sept", u"%b", 0, 3, 0, {kAny, 8}},
    // Twelve o'clock, input or format that runs out, empty input (cleared, not normalized).
    {kEnglish, kBase, u"12", u"%I", 0, 2, 0, {0, 0, 1, 0}},
    {kEnglish, kBase, u"12PM", u"%I%p", 0, 4, 0, {kAny, kAny, kAny, 12}},
    {kEnglish, kBase, u"10:30", u"%H:%M:%S", 0, 5, 0, {kAny, kAny, kAny, 10, 30}},
    {kEnglish, kBase, u"10:30:15 and more", u"%H:%M", 0, 5, 0, {kAny, kAny, kAny, 10, 30}},
    {kEnglish, kBase, u"", u"%H", 0, 0, 0, {0, 0, 0, 0, 0}},
    {kEnglish, kBase, u"10", u"", 0, 0, 0, {0, 0, 0, 0, 0}},
    // Tab, percent, end of line (CR LF unless the flags name LF); markers German leaves empty.
    {kEnglish, kBase, u"\t%", u"%t%%", 0, 2, 0},
    {kEnglish, kBase, u"\r\n1", u"%n%H", 0, 3, 0, {kAny, kAny, kAny, 1}},
    {kEnglish, kBase, u"\n1", u"%n%H", 0, kNo, kMissing},
    {kEnglish, kBase, u"\n1", u"%n%H", PL_EOL_LF, 2, 0, {kAny, kAny, kAny, 1}},
    {kGerman, kBase, u"10", u"%H%p", 0, 2, 0},
    {kGerman, kBase, u"10x", u"%H%p", 0, kNo, kMissing},
    // Directives and modifiers read or refused; flags.
    {kEnglish, kBase, u"51", u"%U", 0, kNo, kBadFormat},
    {kEnglish, kBase, u"99", u"%Ey", 0, 2, 0, {99}},
    {kEnglish, kBase, u"04", u"%Od", 0, 2, 0, {kAny, kAny, 4}},
    {kEnglish, kBase, u"04", u"%#d", 0, 2, 0, {kAny, kAny, 4}},
    {kEnglish, kBase, u"04", u"%Ed", 0, kNo, kBadFormat}, {kEnglish, kBase, u"1999", u"%OY", 0, kNo, kBadFormat},
    {kEnglish, kBase, u"04", u"%EOd", 0, kNo, kBadFormat}, {kEnglish, kBase, u"04", u"%#", 0, kNo, kBadFormat},
    {kEnglish, kBase, u"04", u"%", 0, kNo, kBadFormat}, {kEnglish, kBase, u"04", u"%q", 0, kNo, kBadFormat},
    {kEnglish, kBase, u"0", u"%u", 0, kNo, kMissing},
    {kEnglish, kBase, u"04", u"%d", 2, kNo, PL_ERR_ARGUMENT},
    {kEnglish, kBase, u"04", u"%d", kCheck | 0x4F01, 2, 0},
    // Zones: the zone's offset, the explicit one, then the process's standard offset.
    {kEnglish, kBase, u"10:00 EST", u"%H:%M %Z", 0, 9, 0, {kAny, kAny, kAny, 15, 0}},
    {kEnglish, kBase, u"10:00 EDT", u"%H:%M %Z", 0, 9, 0, {kAny, kAny, kAny, 14, 0}},
    {kEnglish, kBase, u"10:00 est-0130", u"%H:%M %z", 0, 14, 0, {kAny, kAny, kAny, 13, 30}},
    {kEnglish, kBase, u"10:00   z", u"%H:%M %Z", 0, 9, 0, {kAny, kAny, kAny, 10, 0}},
    {kEnglish, kBase, u"10:00 est+2460", u"%H:%M %Z", 0, kNo, kMissing},
    {kEnglish, kBase, u"10:00 j", u"%H:%M %Z", 0, kNo, kBadFormat},
    {kEnglish, kBase, u"01/01/00 10:00 UTC", u"%D %H:%M %Z", 0, 18, 0, {100, 0, 1, 19, 0}, "JST-9"},
    {kEnglish, kUnits, u"10:00 EDT", u"%H:%M %Z", 0, 9, 0, {kAny, kAny, kAny, 14, 0}},
    {kEnglish, kPacked, u"10:00 EDT", u"%H:%M %Z", 0, kNo, kBadFormat},
    // Shift runs in code page 930's Ex form (the input's closing shift-in is not read once
    // the format has ended), packed EBCDIC, characters counted in multibyte sets.
    {kJapanese930, kEx, u"2024年07月04日", u"%Y年%m月%d日", 0, 19, 0, {124, 6, 4}},
    {kJapanese930, kEx, u"2024-07", u"%Y年%m", 0, 4, 0, {124}},
    {kJapanese930, kEx, u"10 EST", u"%H %Z", 0, kNo, kBadFormat},
    {"English_UnitedStates.IBM037", kPacked, u"07/04/99\t", u"%D%t", 0, 9, 0, {99, 6, 4}},
    {"Japanese_Japan.UTF-8", kBase, u"12時34分", u"%H時%M分", PL_COUNT_CHARS, 6, 0, {kAny, kAny, kAny, 12, 34}},
    {"Japanese_Japan.MS932", kBase, u"12時34分x", u"%H時%M分", PL_COUNT_CHARS, 6, 0},
    {"Japanese_Japan.UTF-8", kUnits, u"12時34分", u"%H時%M分", PL_COUNT_CHARS, 6, 0},
};

TEST(TimeParse, ReadsWhatEachRowExpects) {
  pltest::Session session(pltest::built_locale_dir());
  for (size_t i = 0; i < std::size(kRows); ++i) {
    const Row &row = kRows[i];
    SCOPED_TRACE(testing::Message() << "row " << i << ", " << row.locale << ", form " << row.form);
    setenv("TZ", row.zone, 1);
    pl::platform::time_zone_refresh();
    PLLocale *h = PLGetLocale(row.locale, 0, nullptr);
    ASSERT_NE(h, nullptr);
    std::tm t;
    std::memset(&t, 0x5a, sizeof t);  // so that a field left unwritten shows
    EXPECT_EQ(call(h, row, &t), row.result);
    EXPECT_EQ(PLGetError(h), row.code);
    const Fields &f = row.fields;
    const int expected[] = {f.year, f.mon, f.mday, f.hour, f.min};
    const int got[] = {t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min};
    for (int k = 0; k < 5; ++k) EXPECT_TRUE(expected[k] == kAny || got[k] == expected[k]) << "field " << k << ": " << got[k] << " for " << expected[k];
    EXPECT_EQ(PLReleaseLocale(h), PL_OK);
  }
}

TEST(TimeParse, ALocaleFormatThatNamesItselfStopsAtTheDepthLimit) {
  pltest::Session session(pltest::built_locale_dir());
  PLLocale *h = PLGetLocale(kEnglish, 0, nullptr);
  ASSERT_EQ(PLSetLocaleTextInfo(h, PL_DATE_FORMAT, "%x", -1, 0), 1);
  std::tm t;
  EXPECT_EQ(PLStringToTime(h, &t, "7/4/99", -1, "%x", -1, 0), -1);
  EXPECT_EQ(PLGetError(h), PL_ERR_FORMAT);
  EXPECT_EQ(PLReleaseLocale(h), PL_OK);
}

}  // namespace

