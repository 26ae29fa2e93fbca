// Numbers written by a locale read back by the same locale, for every shipped
// territory, in UTF-8 and in a code set of each family, in the base, U and W forms: a
// long gives itself, a double gives the value rounded to the locale's number of
// fractional digits (exactly the double that strtod makes of the C library's text with
// as many digits).
#include "format/number_calls.h"

namespace {

using namespace numtest;

class RoundTrip : public NumberTest {};

TEST_F(RoundTrip, EveryTerritoryReadsItsOwnNumbersBack) {
  std::vector<std::string> names = names_of(PL_KIND_TERRITORY);
  ASSERT_GT(names.size(), 100u);
  std::mt19937_64 random(7);
  for (const char *codeset : {"UTF-8", "MS1252", "IBM037"})
    for (const std::string &territory : names) {
      PLLocale *h = open("English_" + territory + "." + codeset);
      ASSERT_NE(h, nullptr);
      int32_t digits = PLGetLocaleNumInfo(h, PL_NUM_DIGITS, 0);
      for (size_t i = 0; i < sweep(100, 2000); ++i) {
        int32_t n = i < 2 ? (i ? INT32_MIN : INT32_MAX) : random_long(random);
        double x = random_amount(random, -6, 15);
        char c_text[512];
        std::snprintf(c_text, sizeof c_text, "%.*f", digits, x);
        for (Form form : {B, UF, WF}) {
          SCOPED_TRACE(territory + "." + codeset + " " + kFormNames[form] + " " + c_text);
          u32string text = call(Long, form, h, n, 0, 512).text;
          Read got = read(h, form, text, static_cast<int32_t>(text.size()));
          ASSERT_EQ(got.value, n);
          ASSERT_EQ(got.end, static_cast<int32_t>(text.size()));
          text = call(Double, form, h, x, 0, 512).text;
          got = read(h, form, text, static_cast<int32_t>(text.size()), kDouble);
          ASSERT_TRUE(same(got.value, std::strtod(c_text, nullptr))) << got.value;
          ASSERT_EQ(got.end, static_cast<int32_t>(text.size()));
        }
      }
    }
}

}  // namespace
