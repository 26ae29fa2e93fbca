// PLStringToTime and its forms on the cases that tell a parser apart: nested formats
// and their shared day check, %y's centuries, input that runs out, names and empty
// markers, zones against the process's zone, modifiers, shift runs, packed EBCDIC and
// character counts. Each row runs in a fixed zone (TZ=UTC0 unless it names one).
#include <gtest/gtest.h>

#include <cstdlib>
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
  Fields(int y = kAny, int mo = kAny, int d = kAny, int h = kAny, int mi = kAny)
      : year(y), mon(mo), mday(d), hour(h), min(mi) {}
  int year, mon, mday, hour, min;
};

struct Row {
  Row(const char *l, Form fo, const char16_t *i, const char16_t *f, int32_t fl, int32_t r,
      int32_t c, Fields fi = {}, const char *z = "UTC0")
      : locale(l), form(fo), input(i), format(f), flags(fl), result(r), code(c), fields(fi),
        zone(z) {}
  const char *locale;
  Form form;
  const char16_t *input;
  const char16_t *format;
  int32_t flags;
  int32_t result;
  int32_t code;
  Fields fields;
  const char *zone;
};

void set_zone(const char *zone) {
  setenv("TZ", zone, 1);
  pl::platform::time_zone_refresh();
}

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
      int32_t na = PLUnicodeToStringEx(h, a.data(), 0, static_cast<int32_t>(a.size()), units(in),
                                       size(in), 0);
      int32_t nb = PLUnicodeToStringEx(h, b.data(), 0, static_cast<int32_t>(b.size()),
                                       units(format), size(format), 0);
      // Lengths in characters under PL_COUNT_CHARS: the texts are whole and without NUL.
      if ((row.flags & PL_COUNT_CHARS) != 0) na = size(in), nb = size(format);
      if (row.form == kEx) return PLStringToTimeEx(h, t, a.c_str(), 0, na, b.c_str(), 0, nb, row.flags);
      return PLStringToTime(h, t, a.c_str(), na, b.c_str(), nb, row.flags);
    }
  }
}

class TimeParse : public ::testing::TestWithParam<Row> {
 protected:
  pltest::Session session_{pltest::built_locale_dir()};
};

TEST_P(TimeParse, ReadsTheFieldsItsRowExpects) {
  const Row &row = GetParam();
  set_zone(row.zone);
  PLLocale *h = PLGetLocale(row.locale, 0, nullptr);
  ASSERT_NE(h, nullptr) << row.locale;
  std::tm t;
  EXPECT_EQ(call(h, row, &t), row.result);
  EXPECT_EQ(PLGetError(h), row.code);
  const Fields &f = row.fields;
  const int expected[] = {f.year, f.mon, f.mday, f.hour, f.min};
  const int got[] = {t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min};
  for (int i = 0; i < 5; ++i) {
    if (expected[i] != kAny) {
      EXPECT_EQ(got[i], expected[i]) << "field " << i;
    }
  }
  EXPECT_EQ(PLReleaseLocale(h), PL_OK);
}

constexpr const char *kEnglish = "English_UnitedStates.MS1252";
constexpr int32_t kCheck = PL_TIME_CHECK_DAY;

// Centuries of %y and the day check, which a nested %D makes for its caller.
INSTANTIATE_TEST_SUITE_P(Dates, TimeParse, ::testing::Values(
    Row{kEnglish, kBase, u"07/04/99", u"%D", 0, 8, 0, {99, 6, 4}},
    Row{kEnglish, kBase, u"04/07/29", u"%D", 0, 8, 0, {129, 3, 7}},
    Row{kEnglish, kBase, u"04/07/29", u"%D", PL_TIME_CENTURY_1900, 8, 0, {29, 3, 7}},
    Row{kEnglish, kBase, u"04/07/30", u"%D", 0, 8, 0, {30}},
    Row{kEnglish, kBase, u"2024", u"%y", 0, 2, 0, {120}},
    Row{kEnglish, kBase, u"2x", u"%y", 0, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"202", u"%Y", 0, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"19", u"%C", 0, 2, 0, {0}},
    Row{kEnglish, kBase, u"02/29/01", u"%m/%d/%y", kCheck, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"02/29/00", u"%m/%d/%y", kCheck, 8, 0, {100, 1, 29}},
    Row{kEnglish, kBase, u"02/29/01", u"%D", kCheck, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"04/31", u"%m/%d", kCheck, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"02/29/01", u"%m/%d/%y", 0, 8, 0, {101, 2, 1}},
    Row{kEnglish, kBase, u"Sunday, July 04, 1999", u"%#x", 0, 21, 0, {99, 6, 4}},
    Row{kEnglish, kBase, u"Sunday", u"%a", 0, 3, 0},
    Row{kEnglish, kBase, u"Sunday", u"%A", 0, 6, 0},
    Row{kEnglish, kBase, u"sunday", u"%A", 0, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"Sept", u"%b", 0, 3, 0, {kAny, 8}}));

// Hours and the afternoon, input or format that runs out, literals, tab, end of line.
INSTANTIATE_TEST_SUITE_P(Times, TimeParse, ::testing::Values(
    Row{kEnglish, kBase, u"12", u"%I", 0, 2, 0, {0, 0, 1, 0}},
    Row{kEnglish, kBase, u"12PM", u"%I%p", 0, 4, 0, {kAny, kAny, kAny, 12}},
    Row{kEnglish, kBase, u"01PM", u"%I%p", 0, 4, 0, {kAny, kAny, kAny, 13}},
    Row{kEnglish, kBase, u"7/4/99 1:05:09 PM", u"%c", 0, 17, 0, {99, 6, 4, 13, 5}},
    Row{kEnglish, kBase, u"7/4/991:05:09 PM", u"%c", 0, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"10:30", u"%H:%M:%S", 0, 5, 0, {kAny, kAny, kAny, 10, 30}},
    Row{kEnglish, kBase, u"10:30:15 and more", u"%H:%M", 0, 5, 0, {kAny, kAny, kAny, 10, 30}},
    Row{kEnglish, kBase, u"", u"%H", 0, 0, 0, {0, 0, 0, 0, 0}},
    Row{kEnglish, kBase, u"10", u"", 0, 0, 0, {0, 0, 0, 0, 0}},
    Row{kEnglish, kBase, u"10-30", u"%H:%M", 0, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"24", u"%H", 0, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u" 9| 9", u"%k|%e", 0, 5, 0, {kAny, kAny, 9, 9}},
    Row{kEnglish, kBase, u"\t%", u"%t%%", 0, 2, 0},
    Row{kEnglish, kBase, u"\r\n1", u"%n%H", 0, 3, 0, {kAny, kAny, kAny, 1}},
    Row{kEnglish, kBase, u"\n1", u"%n%H", 0, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"\n1", u"%n%H", PL_EOL_LF, 2, 0, {kAny, kAny, kAny, 1}},
    Row{"German_Germany.MS1252", kBase, u"10", u"%H%p", 0, 2, 0},
    Row{"German_Germany.MS1252", kBase, u"10x", u"%H%p", 0, -1, PL_ERR_NOT_FOUND}));

// Directives and modifiers read or refused, and flags.
INSTANTIATE_TEST_SUITE_P(Directives, TimeParse, ::testing::Values(
    Row{kEnglish, kBase, u"51", u"%U", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"51", u"%V", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"51", u"%W", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"99", u"%Ey", 0, 2, 0, {99}},
    Row{kEnglish, kBase, u"99", u"%Oy", 0, 2, 0, {99}},
    Row{kEnglish, kBase, u"04", u"%Od", 0, 2, 0, {kAny, kAny, 4}},
    Row{kEnglish, kBase, u"04", u"%#d", 0, 2, 0, {kAny, kAny, 4}},
    Row{kEnglish, kBase, u"04", u"%Ed", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"1999", u"%OY", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"04", u"%EOd", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"04", u"%#", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"04", u"%", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"04", u"%q", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"0", u"%u", 0, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"04", u"%d", 2, -1, PL_ERR_ARGUMENT},
    Row{kEnglish, kBase, u"04", u"%d", kCheck | 0x4F01, 2, 0}));

// Zones: the zone's offset, the explicit one, then the process's standard offset.
INSTANTIATE_TEST_SUITE_P(Zones, TimeParse, ::testing::Values(
    Row{kEnglish, kBase, u"10:00 EST", u"%H:%M %Z", 0, 9, 0, {kAny, kAny, kAny, 15, 0}},
    Row{kEnglish, kBase, u"10:00 EDT", u"%H:%M %Z", 0, 9, 0, {kAny, kAny, kAny, 14, 0}},
    Row{kEnglish, kBase, u"10:00 est-0130", u"%H:%M %z", 0, 14, 0, {kAny, kAny, kAny, 13, 30}},
    Row{kEnglish, kBase, u"10:00   z", u"%H:%M %Z", 0, 9, 0, {kAny, kAny, kAny, 10, 0}},
    Row{kEnglish, kBase, u"10:00 est+2460", u"%H:%M %Z", 0, -1, PL_ERR_NOT_FOUND},
    Row{kEnglish, kBase, u"10:00 j", u"%H:%M %Z", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"10:00 5", u"%H:%M %Z", 0, -1, PL_ERR_FORMAT},
    Row{kEnglish, kBase, u"01/01/00 10:00 UTC", u"%D %H:%M %Z", 0, 18, 0, {100, 0, 1, 19, 0},
        "JST-9"},
    Row{kEnglish, kUnits, u"10:00 EDT", u"%H:%M %Z", 0, 9, 0, {kAny, kAny, kAny, 14, 0}},
    Row{kEnglish, kPacked, u"10:00 EDT", u"%H:%M %Z", 0, -1, PL_ERR_FORMAT}));

// Shift runs and code page 930's letters in the Ex form (the input's closing shift-in is
// not read once the format has ended), packed EBCDIC, and characters counted in a
// multibyte set.
INSTANTIATE_TEST_SUITE_P(Forms, TimeParse, ::testing::Values(
    Row{"Japanese_Japan.IBM930", kEx, u"2024年07月04日", u"%Y年%m月%d日", 0, 19, 0, {124, 6, 4}},
    Row{"Japanese_Japan.IBM930", kEx, u"12時34分56秒", u"%X", 0, 17, 0, {kAny, kAny, kAny, 12, 34}},
    Row{"Japanese_Japan.IBM930", kEx, u"2024-07", u"%Y年%m", 0, 4, 0, {124}},
    Row{"Japanese_Japan.IBM930", kEx, u"10 EST", u"%H %Z", 0, -1, PL_ERR_FORMAT},
    Row{"English_UnitedStates.IBM037", kPacked, u"07/04/99", u"%m/%d/%y", 0, 8, 0, {99, 6, 4}},
    Row{"English_UnitedStates.IBM037", kPacked, u"07/04/99\t", u"%D%t", 0, 9, 0, {99}},
    Row{"English_UnitedStates.IBM037", kBase, u"7/4/99", u"%x", 0, 6, 0, {99, 6, 4}},
    Row{"Japanese_Japan.UTF-8", kBase, u"12時34分", u"%H時%M分", PL_COUNT_CHARS, 6, 0,
        {kAny, kAny, kAny, 12, 34}},
    Row{"Japanese_Japan.MS932", kBase, u"12時34分x", u"%H時%M分", PL_COUNT_CHARS, 6, 0},
    Row{"Japanese_Japan.UTF-8", kUnits, u"12時34分", u"%H時%M分", PL_COUNT_CHARS, 6, 0}));

TEST(TimeParseNesting, ALocaleFormatThatNamesItselfStopsAtTheDepthLimit) {
  pltest::Session session(pltest::built_locale_dir());
  PLLocale *h = PLGetLocale(kEnglish, 0, nullptr);
  ASSERT_EQ(PLSetLocaleTextInfo(h, PL_DATE_FORMAT, "%x", -1, 0), 1);
  std::tm t;
  EXPECT_EQ(PLStringToTime(h, &t, "7/4/99", -1, "%x", -1, 0), -1);
  EXPECT_EQ(PLGetError(h), PL_ERR_FORMAT);
  EXPECT_EQ(PLReleaseLocale(h), PL_OK);
}

}  // namespace
