// The UTF-16 mappings against ICU: inside the ranges the library maps, the one-to-one
// case mappings are ICU's simple mappings; outside them every unit stays as it is.
#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <initializer_list>

#include "string/unicode/unicode_mapping.h"

namespace {

struct Range {
  UChar32 first, last;
};

bool inside(std::initializer_list<Range> ranges, UChar32 c) {
  for (const Range &r : ranges)
    if (c >= r.first && c <= r.last) return true;
  return false;
}

// Returns the number of units the library maps; fails on any unit that disagrees.
int compare_case(const char *name, uint16_t (*mapping)(uint16_t), UChar32 (*icu)(UChar32),
                 std::initializer_list<Range> ranges) {
  int mapped = 0, icu_only = 0;
  for (UChar32 c = 0; c < 0x10000; ++c) {
    uint16_t ours = mapping(static_cast<uint16_t>(c));
    UChar32 expected = inside(ranges, c) ? icu(c) : c;
    EXPECT_EQ(ours, expected) << name << " U+" << std::hex << c;
    mapped += ours != c;
    icu_only += ours == c && icu(c) != c && icu(c) < 0x10000;
  }
  std::printf(
      "%s: %d units mapped as ICU maps them; %d more that ICU maps lie outside the ranges\n", name,
      mapped, icu_only);
  return mapped;
}

TEST(UnicodeCaseIcu, UpperCaseIsIcuSimpleUpperInsideTheRanges) {
  EXPECT_GT(compare_case("upper", pl::unicode_upper, u_toupper,
                         {{0x0061, 0x007A},
                          {0x00E0, 0x00FF},
                          {0x0101, 0x0292},
                          {0x03AC, 0x03F2},
                          {0x0430, 0x04F9},
                          {0x0561, 0x0586},
                          {0x1E01, 0x1EF9},
                          {0x1F00, 0x1FF3},
                          {0x2170, 0x217F},
                          {0x24D0, 0x24E9},
                          {0xFF41, 0xFF5A}}),
            0);
}

TEST(UnicodeCaseIcu, LowerCaseIsIcuSimpleLowerInsideTheRanges) {
  EXPECT_GT(compare_case("lower", pl::unicode_lower, u_tolower,
                         {{0x0041, 0x005A},
                          {0x00C0, 0x00DE},
                          {0x0100, 0x01FE},
                          {0x0200, 0x0275},
                          {0x0386, 0x03EE},
                          {0x0400, 0x04F8},
                          {0x0531, 0x0556},
                          {0x1E00, 0x1EF8},
                          {0x1F08, 0x1FFC},
                          {0x2126, 0x2126},
                          {0x212A, 0x212B},
                          {0x2160, 0x216F},
                          {0x24B6, 0x24CF},
                          {0xFF21, 0xFF3A}}),
            0);
}

// Every BMP lowercase letter whose full uppercase takes several units is in the special
// table with ICU's expansion.
TEST(UnicodeCaseIcu, SpecialUppercaseIsIcuFullUppercase) {
  int matched = 0;
  for (UChar32 c = 0; c < 0x10000; ++c) {
    UChar source[1] = {static_cast<UChar>(c)}, full[4];
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = u_strToUpper(full, 4, source, 1, "", &status);
    uint16_t ours[3];
    int count = pl::special_upper(static_cast<uint16_t>(c), ours);
    if (u_charType(c) != U_LOWERCASE_LETTER || length < 2) {
      EXPECT_TRUE(count == 0 || c == 0x03A3) << std::hex << c;
      continue;
    }
    ASSERT_TRUE(U_SUCCESS(status));
    ASSERT_EQ(count, length) << std::hex << c;
    for (int i = 0; i < count; ++i) EXPECT_EQ(ours[i], full[i]) << std::hex << c;
    ++matched;
  }
  std::printf("special uppercase: %d entries equal ICU's full uppercase\n", matched);
  EXPECT_EQ(matched, 75);
}

TEST(UnicodeDigitsIcu, EveryFoldedDigitHasIcusValue) {
  int folded = 0, unfolded = 0;
  for (UChar32 c = 0; c < 0x10000; ++c) {
    uint16_t ascii = pl::unicode_digit(static_cast<uint16_t>(c));
    if (ascii == 0) {
      unfolded += u_charDigitValue(c) >= 0;
      continue;
    }
    double value = u_isdigit(c) ? u_charDigitValue(c) : u_getNumericValue(c);
    EXPECT_EQ(ascii - u'0', value) << std::hex << c;
    ++folded;
  }
  std::printf("digits: %d folded as ICU values them; %d other decimal digits are left alone\n",
              folded, unfolded);
  EXPECT_EQ(folded, 218);
}

// Each width pair is a <wide> or <narrow> compatibility decomposition in ICU.
TEST(UnicodeWidthIcu, PairsAreIcuWidthDecompositions) {
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2 *nfkc = unorm2_getNFKCInstance(&status);
  ASSERT_TRUE(U_SUCCESS(status));
  auto decomposes_to = [&](UChar32 from, UChar32 to, int type) {
    UChar raw[4];
    UErrorCode error = U_ZERO_ERROR;
    int32_t length = unorm2_getRawDecomposition(nfkc, from, raw, 4, &error);
    return u_getIntPropertyValue(from, UCHAR_DECOMPOSITION_TYPE) == type && length == 1 &&
           raw[0] == to;
  };
  int pairs = 0;
  for (UChar32 c = 0; c < 0x10000; ++c) {
    UChar32 full = pl::unicode_fullwidth(static_cast<uint16_t>(c));
    if (full == c) continue;
    EXPECT_TRUE(decomposes_to(full, c, U_DT_WIDE) || decomposes_to(c, full, U_DT_NARROW))
        << std::hex << c;
    ++pairs;
  }
  std::printf("width: %d full-width pairs are ICU decompositions\n", pairs);
  EXPECT_GT(pairs, 0);
}

}  // namespace
