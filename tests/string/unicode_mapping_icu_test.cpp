// The UTF-16 tables against ICU: the special uppercase, digit and width tables. The
// one-to-one case mappings are held against ICU through PLMapStringU
// (mapping_icu_test.cpp).
#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <cstdio>

#include "string/unicode/unicode_mapping.h"

namespace {

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
