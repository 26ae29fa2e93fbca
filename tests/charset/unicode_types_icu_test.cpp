// The type table against ICU's character properties. Both must be built from the same
// Unicode version (Debian 12: 15.0), or newly assigned characters show up as differences.
#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <cstdio>
#include <functional>

#include "charset/type_fields.h"
#include "charset/unicode/unicode_types.h"

namespace {

using Oracle = std::function<bool(UChar32)>;

// Counts the units where bit `mask` of the type word and the oracle agree; prints the
// figure so that a run shows how close the table is to ICU.
int agreements(const char *name, uint32_t mask, const Oracle &oracle, bool third_field = false) {
  int agree = 0;
  for (UChar32 c = 0; c < 0x10000; ++c) {
    uint32_t word = pl::unicode_type(static_cast<uint16_t>(c));
    uint32_t field = third_field ? type_fields::third(word) : word;
    agree += ((field & mask) != 0) == oracle(c);
  }
  std::printf("%-12s %5d of 65536 units agree with ICU\n", name, agree);
  return agree;
}

bool has(UProperty property, UChar32 c) { return u_hasBinaryProperty(c, property); }

TEST(UnicodeTypesIcu, UnicodeVersionsMatch) {
  UVersionInfo version;
  u_getUnicodeVersion(version);
  std::printf("ICU Unicode version %d.%d\n", version[0], version[1]);
  EXPECT_EQ(agreements("defined", 0x200, [](UChar32 c) { return u_isdefined(c); }), 65536);
}

TEST(UnicodeTypesIcu, ClassBitsFollowTheUnicodeProperties) {
  EXPECT_EQ(agreements("alphabetic", 0x001, [](UChar32 c) { return has(UCHAR_ALPHABETIC, c); }),
            65536);
  EXPECT_EQ(agreements("upper", 0x002,
                       [](UChar32 c) {
                         return has(UCHAR_UPPERCASE, c) || u_charType(c) == U_TITLECASE_LETTER;
                       }),
            65536);
  EXPECT_EQ(agreements("lower", 0x004, [](UChar32 c) { return has(UCHAR_LOWERCASE, c); }), 65536);
  EXPECT_EQ(agreements("digit", 0x008, [](UChar32 c) { return u_isdigit(c); }), 65536);
  EXPECT_EQ(agreements("hex digit", 0x010, [](UChar32 c) { return has(UCHAR_HEX_DIGIT, c); }),
            65536);
  EXPECT_EQ(agreements("white space", 0x040, [](UChar32 c) { return u_isUWhiteSpace(c); }), 65536);
  EXPECT_EQ(agreements("blank", 0x080, [](UChar32 c) { return u_isblank(c); }), 65536);
  EXPECT_EQ(agreements("control", 0x100, [](UChar32 c) { return u_charType(c) == U_CONTROL_CHAR; }),
            65536);
  EXPECT_EQ(agreements("graph", 0x029, [](UChar32 c) { return u_isgraph(c); }), 65536);
}

// ICU's u_isalpha takes letters only and u_ispunct punctuation only; ours are wider
// (Alphabetic adds letter numbers and vowel signs, punct adds symbols, marks and other
// numbers), so only ICU's side must be contained in ours.
TEST(UnicodeTypesIcu, IcuAlphaAndPunctNestInOurs) {
  agreements("u_isalpha", 0x001, [](UChar32 c) { return u_isalpha(c); });
  agreements("u_ispunct", 0x020, [](UChar32 c) { return u_ispunct(c); });
  for (UChar32 c = 0; c < 0x10000; ++c) {
    auto unit = static_cast<uint16_t>(c);
    EXPECT_TRUE(!u_isalpha(c) || pl::unicode_is(pl::UnicodeClass::alpha, unit)) << std::hex << c;
    EXPECT_TRUE(!u_ispunct(c) || pl::unicode_is(pl::UnicodeClass::punct, unit)) << std::hex << c;
  }
}

TEST(UnicodeTypesIcu, CategoryFollowsTheGeneralCategory) {
  auto expected = [](UChar32 c) -> uint32_t {
    if (c == 0x09) return 0x200;
    switch (u_charType(c)) {
      case U_CONTROL_CHAR:
      case U_UNASSIGNED:
        return 0x001;
      case U_UPPERCASE_LETTER:
      case U_LOWERCASE_LETTER:
      case U_TITLECASE_LETTER:
      case U_MODIFIER_LETTER:
      case U_OTHER_LETTER:
        return 0x002;
      case U_NON_SPACING_MARK:
      case U_COMBINING_SPACING_MARK:
      case U_ENCLOSING_MARK:
        return 0x004;
      case U_DECIMAL_DIGIT_NUMBER:
        return 0x008;
      case U_LETTER_NUMBER:
      case U_OTHER_NUMBER:
        return 0x010;
      case U_LINE_SEPARATOR:
      case U_PARAGRAPH_SEPARATOR:
        return 0x020;
      case U_FORMAT_CHAR:
        return 0x040;
      case U_PRIVATE_USE_CHAR:
        return 0x080;
      case U_SURROGATE:
        return 0x100;
      case U_SPACE_SEPARATOR:
        return 0x400;
      default:
        return 0x800;
    }
  };
  int agree = 0;
  for (UChar32 c = 0; c < 0x10000; ++c)
    agree += type_fields::category(pl::unicode_type(static_cast<uint16_t>(c))) == expected(c);
  EXPECT_EQ(agree, 65536);
}

TEST(UnicodeTypesIcu, ThirdFieldFollowsTheUnicodeProperties) {
  EXPECT_EQ(agreements(
                "right-to-left", 0x002,
                [](UChar32 c) {
                  UCharDirection d = u_charDirection(c);
                  return u_isdefined(c) && (d == U_RIGHT_TO_LEFT || d == U_RIGHT_TO_LEFT_ARABIC);
                },
                true),
            65536);
  EXPECT_EQ(agreements(
                "ideographic", 0x004, [](UChar32 c) { return has(UCHAR_IDEOGRAPHIC, c); }, true),
            65536);
  EXPECT_EQ(agreements(
                "wide", 0x008,
                [](UChar32 c) {
                  int width = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
                  return u_isdefined(c) && (width == U_EA_WIDE || width == U_EA_FULLWIDTH);
                },
                true),
            65536);
  EXPECT_EQ(agreements(
                "separator", 0x010,
                [](UChar32 c) {
                  int32_t mask = U_GET_GC_MASK(c);
                  return u_isUWhiteSpace(c) ||
                         ((mask & (U_GC_P_MASK | U_GC_S_MASK)) && !has(UCHAR_ALPHABETIC, c));
                },
                true),
            65536);
  EXPECT_EQ(
      agreements(
          "ignorable", 0x020,
          [](UChar32 c) { return u_isdefined(c) && has(UCHAR_DEFAULT_IGNORABLE_CODE_POINT, c); },
          true),
      65536);
}

}  // namespace
