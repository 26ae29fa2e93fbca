#include <gtest/gtest.h>

#include "charset/unicode/unicode_types.h"

namespace {

using pl::UnicodeClass;

// The class bits that admit a unit to each test: the reference the bitmaps must follow.
struct Rule {
  UnicodeClass test;
  const char *name;
  uint32_t bits;
};

constexpr Rule kRules[] = {
    {UnicodeClass::alnum, "alnum", 0x001 | 0x008},
    {UnicodeClass::alpha, "alpha", 0x001},
    {UnicodeClass::cntrl, "cntrl", 0x100},
    {UnicodeClass::digit, "digit", 0x008},
    {UnicodeClass::graph, "graph", 0x001 | 0x008 | 0x020},
    {UnicodeClass::lower, "lower", 0x004},
    {UnicodeClass::print, "print", 0x001 | 0x008 | 0x020 | 0x080},
    {UnicodeClass::punct, "punct", 0x020},
    {UnicodeClass::space, "space", 0x040},
    {UnicodeClass::upper, "upper", 0x002},
    {UnicodeClass::xdigit, "xdigit", 0x010},
};

TEST(UnicodeClasses, EveryBitmapFollowsTheTypeWords) {
  static_assert(std::size(kRules) == pl::kUnicodeClassCount);
  for (const Rule &rule : kRules) {
    int members = 0;
    for (uint32_t unit = 0; unit < 65536; ++unit) {
      auto u = static_cast<uint16_t>(unit);
      bool expected = (pl::unicode_type(u) & rule.bits) != 0;
      ASSERT_EQ(pl::unicode_is(rule.test, u), expected) << rule.name << " U+" << std::hex << unit;
      members += expected;
    }
    EXPECT_GT(members, 0) << rule.name;
  }
}

TEST(UnicodeClasses, TabIsPrintableSpaceButNotGraphic) {
  EXPECT_TRUE(pl::unicode_is(UnicodeClass::print, u'\t'));
  EXPECT_TRUE(pl::unicode_is(UnicodeClass::space, u'\t'));
  EXPECT_TRUE(pl::unicode_is(UnicodeClass::cntrl, u'\t'));
  EXPECT_FALSE(pl::unicode_is(UnicodeClass::graph, u'\t'));
}

TEST(UnicodeClasses, AsciiFollowsPosix) {
  for (char16_t c = 0; c < 128; ++c) {
    bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    bool digit = c >= u'0' && c <= u'9';
    bool graphic = c > 0x20 && c < 0x7F;
    EXPECT_EQ(pl::unicode_is(UnicodeClass::alpha, c), letter) << int(c);
    EXPECT_EQ(pl::unicode_is(UnicodeClass::digit, c), digit) << int(c);
    EXPECT_EQ(pl::unicode_is(UnicodeClass::punct, c), graphic && !letter && !digit) << int(c);
    EXPECT_EQ(pl::unicode_is(UnicodeClass::graph, c), graphic) << int(c);
    EXPECT_EQ(pl::unicode_is(UnicodeClass::print, c), graphic || c == u' ' || c == u'\t') << int(c);
    EXPECT_EQ(pl::unicode_is(UnicodeClass::cntrl, c), c < 0x20 || c == 0x7F) << int(c);
  }
}

TEST(UnicodeClasses, UnassignedUnitsBelongToNoClass) {
  for (const Rule &rule : kRules) EXPECT_FALSE(pl::unicode_is(rule.test, 0x0378)) << rule.name;
}

}  // namespace
