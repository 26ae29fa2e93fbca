// Our languages and territories against glibc's compiled locales: names, separators,
// grouping, currency and signs must agree, but for the rewrites the importer
// documents (grouping as text, a thousands separator where glibc has none, U+202F
// written as U+00A0, English keeping the library's own names).
#include <gtest/gtest.h>

#include <langinfo.h>
#include <locale.h>
#include <string>
#include <vector>

#include "frame/utf8.h"
#include "support/glibc_locales.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

struct Pair {
  const char *glibc;
  const char *ours;
};

constexpr Pair kLocales[] = {
    {"de_DE", "German_Germany.UTF-8"},   {"fr_FR", "French_France.UTF-8"},
    {"ja_JP", "Japanese_Japan.UTF-8"},   {"en_GB", "English_UnitedKingdom.UTF-8"},
    {"ar_SA", "Arabic_SaudiArabia.UTF-8"}, {"ru_RU", "Russian_Russia.UTF-8"},
    {"es_MX", "Spanish_Mexico.UTF-8"},   {"pl_PL", "Polish_Poland.UTF-8"},
};

class GlibcLocales : public ::testing::TestWithParam<Pair> {
 protected:
  void SetUp() override {
    glibc = pltest::open_glibc_locale(GetParam().glibc);
    if (glibc == nullptr) GTEST_SKIP() << "localedef failed";
    session = std::make_unique<pltest::Session>(pltest::built_locale_dir());
    int32_t code = -1;
    ours = PLGetLocale(GetParam().ours, 0, &code);
    ASSERT_NE(ours, nullptr) << code;
    english = std::string(GetParam().ours).rfind("English", 0) == 0;
  }
  void TearDown() override {
    if (ours != nullptr) {
      EXPECT_EQ(PLReleaseLocale(ours), PL_OK);
    }
    session.reset();
    if (glibc != nullptr) freelocale(glibc);
  }

  // An item of ours as UTF-8.
  std::string item(int32_t which) {
    PLUChar units[256];
    int32_t n = PLGetLocaleTextInfoU(ours, which, units, 256, 0);
    EXPECT_GT(n, 0) << which;
    char text[3 * 256 + 1];
    pl::utf16_to_utf8(units, n > 0 ? static_cast<size_t>(n - 1) : 0, text, sizeof text);
    return text;
  }
  int32_t number(int32_t which) { return PLGetLocaleNumInfo(ours, which, 0); }

  // glibc's grouping bytes as our text: the last size repeats unless -1 (CHAR_MAX)
  // ends the list; our text repeats only through a final 0, so "3;3" is "3;0".
  static std::string grouping_text(const char *sizes) {
    std::vector<int> list;
    const unsigned char *g = reinterpret_cast<const unsigned char *>(sizes);
    for (; *g != 0 && *g != 0x7F && *g != 0xFF; ++g) list.push_back(*g);
    bool repeats = *g == 0 && !list.empty();
    while (repeats && list.size() >= 2 && list[list.size() - 1] == list[list.size() - 2]) list.pop_back();
    std::string text;
    for (int size : list) text += (text.empty() ? "" : ";") + std::to_string(size);
    return repeats ? text + ";0" : text;
  }

  // A thousands separator agrees when equal, when glibc has none (we then choose one),
  // or where a narrow no-break space became a no-break space.
  static bool same_separator(const std::string &glibc_sep, const std::string &ours_sep) {
    return glibc_sep == ours_sep || glibc_sep.empty() ||
           (glibc_sep == "\u202F" && ours_sep == "\u00A0");
  }

  std::unique_ptr<pltest::Session> session;
  locale_t glibc = nullptr;
  PLLocale *ours = nullptr;
  bool english = false;
};


TEST_P(GlibcLocales, DayAndMonthNames) {
  if (english) GTEST_SKIP() << "English keeps the library's own names";
  for (int d = 0; d < 7; ++d) {
    EXPECT_EQ(item(PL_DAY_NAME + d), nl_langinfo_l(static_cast<nl_item>(DAY_1 + d), glibc));
    EXPECT_EQ(item(PL_ABBREV_DAY_NAME + d), nl_langinfo_l(static_cast<nl_item>(ABDAY_1 + d), glibc));
  }
  for (int m = 0; m < 12; ++m) {
    EXPECT_EQ(item(PL_MONTH_NAME + m), nl_langinfo_l(static_cast<nl_item>(MON_1 + m), glibc));
    EXPECT_EQ(item(PL_ABBREV_MONTH_NAME + m), nl_langinfo_l(static_cast<nl_item>(ABMON_1 + m), glibc));
  }
  EXPECT_EQ(item(PL_MONTH_NAME + 12), "");
  EXPECT_EQ(item(PL_AM_STRING), nl_langinfo_l(AM_STR, glibc));
  EXPECT_EQ(item(PL_PM_STRING), nl_langinfo_l(PM_STR, glibc));
}

TEST_P(GlibcLocales, NumericAndMonetaryConventions) {
  locale_t previous = uselocale(glibc);
  const lconv *conv = localeconv();
  EXPECT_EQ(item(PL_DECIMAL_POINT), conv->decimal_point);
  EXPECT_PRED2(same_separator, conv->thousands_sep, item(PL_THOUSANDS_SEP));
  EXPECT_EQ(item(PL_GROUPING), grouping_text(conv->grouping));
  EXPECT_EQ(item(PL_CURRENCY_SYMBOL), conv->currency_symbol);
  std::string international = conv->int_curr_symbol;
  EXPECT_EQ(item(PL_INT_CURR_SYMBOL), international.substr(0, international.find_last_not_of(' ') + 1));
  EXPECT_EQ(item(PL_MON_DECIMAL_POINT), conv->mon_decimal_point);
  EXPECT_PRED2(same_separator, conv->mon_thousands_sep, item(PL_MON_THOUSANDS_SEP));
  EXPECT_EQ(item(PL_MON_GROUPING), grouping_text(conv->mon_grouping));
  EXPECT_EQ(item(PL_POSITIVE_SIGN), conv->positive_sign);
  EXPECT_EQ(item(PL_NEGATIVE_SIGN), conv->negative_sign);
  EXPECT_EQ(number(PL_FRAC_DIGITS), conv->frac_digits);
  EXPECT_EQ(number(PL_INT_FRAC_DIGITS), conv->int_frac_digits);
  EXPECT_EQ(number(PL_P_CS_PRECEDES), conv->p_cs_precedes);
  EXPECT_EQ(number(PL_N_CS_PRECEDES), conv->n_cs_precedes);
  // Our spacing is a yes or no: glibc's 2 (a space beside the sign) counts as yes.
  EXPECT_EQ(number(PL_P_SEP_BY_SPACE), conv->p_sep_by_space != 0);
  EXPECT_EQ(number(PL_N_SEP_BY_SPACE), conv->n_sep_by_space != 0);
  EXPECT_EQ(number(PL_P_SIGN_POSN), conv->p_sign_posn);
  EXPECT_EQ(number(PL_N_SIGN_POSN), conv->n_sign_posn);
  uselocale(previous);
}

TEST_P(GlibcLocales, FormatsUseOnlyDirectivesThatDoNotExpandFormats) {
  for (int32_t which : {PL_TIME_FORMAT, PL_DATE_FORMAT, PL_LONG_DATE_FORMAT}) {
    std::string format = item(which);
    EXPECT_FALSE(format.empty()) << which;
    for (const char *expanding : {"%c", "%x", "%X", "%r", "%D", "%T", "%R", "%F", "%+"})
      EXPECT_EQ(format.find(expanding), std::string::npos) << format;
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, GlibcLocales, ::testing::ValuesIn(kLocales),
                         [](const ::testing::TestParamInfo<Pair> &info) { return std::string(info.param.glibc); });

}  // namespace
