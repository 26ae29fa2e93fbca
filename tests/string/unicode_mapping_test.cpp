#include "string/unicode/unicode_mapping.h"

#include <gtest/gtest.h>

namespace {

TEST(UnicodeCase, ArithmeticRangesAndSingles) {
  EXPECT_EQ(pl::unicode_upper(u'a'), u'A');
  EXPECT_EQ(pl::unicode_upper(0x00F7), 0x00F7);  // division sign sits inside the Latin-1 run
  EXPECT_EQ(pl::unicode_upper(0x00FF), 0x0178);
  EXPECT_EQ(pl::unicode_upper(0x0586), 0x0556);
  EXPECT_EQ(pl::unicode_upper(0xFF5A), 0xFF3A);
  EXPECT_EQ(pl::unicode_lower(0x00D7), 0x00D7);
  EXPECT_EQ(pl::unicode_lower(0x2126), 0x03C9);  // ohm sign
  EXPECT_EQ(pl::unicode_lower(0x212B), 0x00E5);  // angstrom sign
  EXPECT_EQ(pl::unicode_lower(0x0400), 0x0450);
  EXPECT_EQ(pl::unicode_lower(0x24CF), 0x24E9);
}

TEST(UnicodeCase, TablesAndWhatLiesOutside) {
  EXPECT_EQ(pl::unicode_upper(0x017F), u'S');    // long s
  EXPECT_EQ(pl::unicode_upper(0x03C2), 0x03A3);  // final sigma
  EXPECT_EQ(pl::unicode_lower(0x0130), u'i');
  EXPECT_EQ(pl::unicode_upper(0x00B5), 0x00B5);  // micro sign: outside the mapped ranges
  EXPECT_EQ(pl::unicode_lower(0x1E9E), 0x00DF);
  EXPECT_EQ(pl::unicode_upper(0x0293), 0x0293);  // just past a table
  EXPECT_EQ(pl::unicode_upper(0xFFFF), 0xFFFF);
}

TEST(UnicodeSpecialUpper, ExpandsToOneToThreeUnits) {
  uint16_t out[3] = {};
  ASSERT_EQ(pl::special_upper(0x00DF, out), 2);
  EXPECT_EQ(out[0], u'S');
  EXPECT_EQ(out[1], u'S');
  ASSERT_EQ(pl::special_upper(0x0390, out), 3);
  EXPECT_EQ(out[2], 0x0301);
  ASSERT_EQ(pl::special_upper(0x03A3, out), 1);
  EXPECT_EQ(out[0], 0x03A3);
  ASSERT_EQ(pl::special_upper(0xFB17, out), 2);
  EXPECT_EQ(out[0], 0x0544);
  EXPECT_EQ(out[1], 0x053D);
  EXPECT_EQ(pl::special_upper(u'a', out), 0);
}

TEST(UnicodeSpecialUpper, HasSeventySixEntries) {
  uint16_t out[3];
  int entries = 0;
  for (uint32_t unit = 0; unit < 65536; ++unit)
    entries += pl::special_upper(static_cast<uint16_t>(unit), out) > 0;
  EXPECT_EQ(entries, 76);
}

TEST(UnicodeWidth, Examples) {
  EXPECT_EQ(pl::unicode_halfwidth(0xFF21), u'A');
  EXPECT_EQ(pl::unicode_fullwidth(u' '), 0x3000);
  EXPECT_EQ(pl::unicode_fullwidth(u'~'), 0xFF5E);
  EXPECT_EQ(pl::unicode_fullwidth(0x20A9), 0xFFE6);  // won sign
  EXPECT_EQ(pl::unicode_fullwidth(0xFF76), 0x30AB);  // half-width katakana ka
  EXPECT_EQ(pl::unicode_halfwidth(0x2191), 0xFFEA);
  EXPECT_EQ(pl::unicode_halfwidth(0x3131), 0xFFA1);  // Hangul kiyeok
  EXPECT_EQ(pl::unicode_halfwidth(0x30F4), 0x30F4);  // no half-width form
  EXPECT_EQ(pl::unicode_fullwidth(u'\t'), u'\t');
}

TEST(UnicodeWidth, TheTwoMappingsAreInverse) {
  int mapped = 0;
  for (uint32_t unit = 0; unit < 65536; ++unit) {
    auto u = static_cast<uint16_t>(unit);
    if (uint16_t full = pl::unicode_fullwidth(u); full != u) {
      EXPECT_EQ(pl::unicode_halfwidth(full), u) << std::hex << unit;
      ++mapped;
    }
    if (uint16_t narrow = pl::unicode_halfwidth(u); narrow != u) {
      EXPECT_EQ(pl::unicode_fullwidth(narrow), u) << std::hex << unit;
    }
  }
  EXPECT_GT(mapped, 0);
}

TEST(UnicodeDigits, ScriptsFoldToAscii) {
  for (uint16_t i = 0; i < 10; ++i) {
    EXPECT_EQ(pl::unicode_digit(0x0660 + i), u'0' + i);
    EXPECT_EQ(pl::unicode_digit(0xFF10 + i), u'0' + i);
  }
  EXPECT_EQ(pl::unicode_digit(0x00B9), u'1');
  EXPECT_EQ(pl::unicode_digit(0x0BE6), 0);  // Tamil zero is not folded
  EXPECT_EQ(pl::unicode_digit(0x2070), u'0');
  EXPECT_EQ(pl::unicode_digit(u'a'), 0);
}

TEST(UnicodeDigits, HasTwoHundredEighteenPairs) {
  int pairs = 0;
  for (uint32_t unit = 0; unit < 65536; ++unit)
    pairs += pl::unicode_digit(static_cast<uint16_t>(unit)) != 0;
  EXPECT_EQ(pairs, 218);
}

}  // namespace
