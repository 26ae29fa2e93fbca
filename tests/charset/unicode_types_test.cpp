#include "charset/unicode/unicode_types.h"

#include <gtest/gtest.h>


#include "charset/type_fields.h"
#include "charset/unicode/unicode_type_table.h"
#include "frame/endian.h"
#include "locale/builtin_set.h"
#include "locale/layouts/charset_table.h"

namespace {

using type_fields::category;
using type_fields::classes;
using type_fields::third;

struct Expected {
  uint16_t unit;
  uint32_t classes, category, third;
};

void expect_fields(const Expected &e) {
  uint32_t word = pl::unicode_type(e.unit);
  SCOPED_TRACE(testing::Message() << "U+" << std::hex << e.unit << " word 0x" << word);
  EXPECT_EQ(classes(word), e.classes);
  EXPECT_EQ(category(word), e.category);
  EXPECT_EQ(third(word), e.third);
}

TEST(UnicodeTypes, AsciiExamples) {
  for (const Expected &e :
       {Expected{'A', 0x213, 0x002, 0x081}, Expected{'a', 0x215, 0x002, 0x081},
        Expected{'0', 0x218, 0x008, 0x080}, Expected{' ', 0x2C0, 0x400, 0x090},
        Expected{'!', 0x220, 0x800, 0x090}, Expected{'\t', 0x3C0, 0x200, 0x090},
        Expected{'\n', 0x340, 0x001, 0x090}, Expected{0x00, 0x300, 0x001, 0x080},
        Expected{0x7F, 0x300, 0x001, 0x080}})
    expect_fields(e);
}

TEST(UnicodeTypes, AsciiEqualsTheBuiltinCodeSet) {
  // The code-set compiler takes single-byte type words from this table; the built-in
  // US-ASCII set must come out the same.
  const uint8_t *table = pl::builtin::charset_table().data;
  for (int b = 0; b < 0x80; ++b)
    EXPECT_EQ(pl::unicode_type(static_cast<uint16_t>(b)),
              pl::read_u32(table + pl::layout::charset::kByteTypes + 4 * b))
        << b;
}

TEST(UnicodeTypes, NonAsciiExamples) {
  for (const Expected &e : {
           Expected{0x00E9, 0x205, 0x002, 0x081},  // e acute
           Expected{0x00A0, 0x2C0, 0x400, 0x090},  // no-break space
           Expected{0x00B2, 0x220, 0x010, 0x080},  // superscript two: not a decimal digit
           Expected{0x0301, 0x220, 0x004, 0x080},  // combining acute: a mark, graphic
           Expected{0x05D0, 0x201, 0x002, 0x083},  // Hebrew alef, right-to-left
           Expected{0x0660, 0x208, 0x008, 0x080},  // Arabic-Indic zero: digit, not hex
           Expected{0x2028, 0x240, 0x020, 0x090},  // line separator
           Expected{0x2160, 0x203, 0x010, 0x081},  // Roman numeral one: alphabetic
           Expected{0x3000, 0x2C0, 0x400, 0x098},  // ideographic space, wide
           Expected{0x4E00, 0x201, 0x002, 0x08D},  // CJK ideograph, wide
           Expected{0xD800, 0x200, 0x100, 0x080},  // surrogate
           Expected{0xE000, 0x220, 0x080, 0x080},  // private use
           Expected{0xFEFF, 0x200, 0x040, 0x0A0},  // byte order mark: format, ignorable
           Expected{0xFF21, 0x213, 0x002, 0x089},  // full-width A: hex digit, wide
       })
    expect_fields(e);
}

TEST(UnicodeTypes, UnassignedUnitsReadAs1024) {
  for (uint16_t unit : {0x0378, 0x0530, 0xFDD0, 0xFFFE, 0xFFFF})
    EXPECT_EQ(pl::unicode_type(unit), 1024u);
}

TEST(UnicodeTypes, RangesAreSortedDisjointAndMerged) {
  const pl::UnicodeTypeRange *previous = nullptr;
  for (const pl::UnicodeTypeRange &range : pl::kUnicodeTypeRanges) {
    EXPECT_LE(range.first, range.last);
    EXPECT_NE(range.type, 1024u);
    if (previous) {
      EXPECT_LT(previous->last, range.first);
      EXPECT_FALSE(previous->last + 1 == range.first && previous->type == range.type)
          << "unmerged at U+" << std::hex << range.first;
    }
    previous = &range;
  }
  EXPECT_LE(std::size(pl::kUnicodeTypeRanges), 4095u) << "more than 12 halvings";
}

TEST(UnicodeTypes, SearchAgreesWithALinearScan) {
  uint32_t reference[65536];
  std::fill(std::begin(reference), std::end(reference), 1024u);
  for (const pl::UnicodeTypeRange &range : pl::kUnicodeTypeRanges)
    for (uint32_t unit = range.first; unit <= range.last; ++unit) reference[unit] = range.type;
  for (uint32_t unit = 0; unit < 65536; ++unit)
    ASSERT_EQ(pl::unicode_type(static_cast<uint16_t>(unit)), reference[unit])
        << "U+" << std::hex << unit;
}

}  // namespace
