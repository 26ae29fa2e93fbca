// PLMapStringU against ICU over the whole BMP: the one-to-one case mappings are ICU's
// simple mappings inside the ranges the library maps and nothing outside them; the
// full uppercase is ICU's root-locale u_strToUpper except where the library's rules
// say otherwise, which are counted by kind; the language pairs agree with ICU's
// Turkish and Lithuanian uppercase.
#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/locale_dir.h"
#include "support/session.h"

namespace {

struct Range {
  UChar32 first, last;
};

bool inside(std::initializer_list<Range> ranges, UChar32 c) {
  for (const Range &r : ranges)
    if (c >= r.first && c <= r.last) return true;
  return false;
}

class MappingIcu : public ::testing::Test {
 protected:
  void SetUp() override {
    int32_t code = -1;
    english_ = PLGetLocale("English_UnitedStates.UTF-8", 0, &code);
    ASSERT_EQ(code, PL_OK);
  }
  void TearDown() override { PLReleaseLocale(english_); }

  // Every BMP unit mapped in one call; the output has one unit per input unit.
  std::vector<PLUChar> map_all(int32_t selector) {
    std::vector<PLUChar> units(0x10000), out(0x10000);
    for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<PLUChar>(i);
    EXPECT_EQ(PLMapStringU(english_, out.data(), 0x10000, units.data(), 0x10000, selector), 0x10000);
    return out;
  }

  // The simple mapping of `selector` is ICU's inside `ranges` and the identity outside.
  void expect_simple(int32_t selector, UChar32 (*icu)(UChar32), std::initializer_list<Range> ranges) {
    std::vector<PLUChar> out = map_all(selector);
    int mapped = 0;
    for (UChar32 c = 0; c < 0x10000; ++c) {
      UChar32 expected = inside(ranges, c) ? icu(c) : c;
      EXPECT_EQ(out[c], expected) << std::hex << "U+" << c;
      mapped += out[c] != c;
    }
    std::printf("selector %#x: %d units mapped, each as ICU maps it\n", selector, mapped);
  }

  pltest::Session session_{pltest::built_locale_dir()};
  PLLocale *english_ = nullptr;
};

TEST_F(MappingIcu, SimpleUpperAndLowerAreIcusInsideTheRanges) {
  expect_simple(PL_MAP_UPPER_SIMPLE, u_toupper,
                {{0x0061, 0x007A}, {0x00E0, 0x00FF}, {0x0101, 0x0292}, {0x03AC, 0x03F2},
                 {0x0430, 0x04F9}, {0x0561, 0x0586}, {0x1E01, 0x1EF9}, {0x1F00, 0x1FF3},
                 {0x2170, 0x217F}, {0x24D0, 0x24E9}, {0xFF41, 0xFF5A}});
  expect_simple(PL_MAP_LOWER_SIMPLE, u_tolower,
                {{0x0041, 0x005A}, {0x00C0, 0x00DE}, {0x0100, 0x01FE}, {0x0200, 0x0275},
                 {0x0386, 0x03EE}, {0x0400, 0x04F8}, {0x0531, 0x0556}, {0x1E00, 0x1EF8},
                 {0x1F08, 0x1FFC}, {0x2126, 0x2126}, {0x212A, 0x212B}, {0x2160, 0x216F},
                 {0x24B6, 0x24CF}, {0xFF21, 0xFF3A}});
}

// Where the full uppercase of one unit differs from ICU's, the reason is one of the
// library's own rules; each kind is counted so that a change in the tables shows.
TEST_F(MappingIcu, FullUpperIsIcuRootUpperButForTheLibrarysRules) {
  int same = 0, outside_ranges = 0, titlecase_expansions = 0, other = 0;
  for (UChar32 c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    PLUChar source[1] = {static_cast<PLUChar>(c)}, ours[4];
    int32_t n = PLMapStringU(english_, ours, 4, source, 1, PL_MAP_UPPER);
    UChar icu[4];
    UErrorCode status = U_ZERO_ERROR;
    int32_t m = u_strToUpper(icu, 4, reinterpret_cast<const UChar *>(source), 1, "", &status);
    ASSERT_TRUE(U_SUCCESS(status));
    if (n == m && std::equal(ours, ours + n, icu)) {
      ++same;
    } else if (m == 1 && n == 1 && ours[0] == c) {
      ++outside_ranges;  // a one-to-one mapping outside the ranges the library maps
    } else if (m > 1 && u_charType(c) == U_TITLECASE_LETTER) {
      ++titlecase_expansions;  // the special table is for lowercase input
    } else {
      ++other;
      ADD_FAILURE() << std::hex << "U+" << c << ": " << n << " units, ICU " << m;
    }
  }
  std::printf("full upper: %d units as ICU; %d one-to-one outside the ranges; %d titlecase "
              "expansions left to the one-to-one mapping; %d other\n",
              same, outside_ranges, titlecase_expansions, other);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(titlecase_expansions, 27);
}

// Each language pair gives what ICU's uppercase or lowercase gives in that language.
TEST_F(MappingIcu, LanguagePairsAgreeWithIcuInTheirLanguage) {
  struct Case {
    const char *locale, *icu_locale;
    std::u16string text;
    bool upper;
  } cases[] = {
      {"Turkish_Turkey.UTF-8", "tr", u"istanbul", true},
      {"Turkish_Turkey.UTF-8", "tr", u"IRMAK", false},
      {"Azeri_Azerbaijan.UTF-8", "az", u"bir iki", true},
      {"Lithuanian_Lithuania.UTF-8", "lt", u"i\u0307 j\u0307 \u012F\u0307 i", true},
  };
  for (const Case &c : cases) {
    int32_t code = -1;
    PLLocale *locale = PLGetLocale(c.locale, 0, &code);
    ASSERT_EQ(code, PL_OK) << c.locale;
    PLUChar ours[64];
    int32_t n = PLMapStringU(locale, ours, 64, reinterpret_cast<const PLUChar *>(c.text.data()),
                             static_cast<int32_t>(c.text.size()), c.upper ? PL_MAP_UPPER : PL_MAP_LOWER);
    UChar icu[64];
    UErrorCode status = U_ZERO_ERROR;
    auto icu_map = c.upper ? u_strToUpper : u_strToLower;
    int32_t m = icu_map(icu, 64, reinterpret_cast<const UChar *>(c.text.data()),
                        static_cast<int32_t>(c.text.size()), c.icu_locale, &status);
    ASSERT_TRUE(U_SUCCESS(status));
    EXPECT_EQ(std::u16string(reinterpret_cast<char16_t *>(ours), n),
              std::u16string(reinterpret_cast<char16_t *>(icu), m))
        << c.locale;
    PLReleaseLocale(locale);
  }
}

}  // namespace
