// The built-in locale set: its values, and its equality with the same items
// compiled from data/ and loaded from files.
#include <gtest/gtest.h>

#include <string>

#include "frame/endian.h"
#include "locale/builtin_set.h"
#include "locale/layouts/charset_table.h"
#include "locale/layouts/language.h"
#include "locale/layouts/territory.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

namespace cs = pl::layout::charset;
namespace lang = pl::layout::language;
namespace terr = pl::layout::territory;

std::u16string record_string(const uint8_t *record, int word) {
  std::u16string text;
  for (uint32_t at = pl::read_u16(record + 2 * word); pl::read_u16(record + at) != 0; at += 2)
    text.push_back(static_cast<char16_t>(pl::read_u16(record + at)));
  return text;
}

uint32_t type_of(char c) {
  return pl::read_u32(pl::builtin::charset_table().data + cs::kByteTypes + 4 * static_cast<uint8_t>(c));
}
// The three fields of a type word as the classification reads them.
uint32_t classes(uint32_t word) { return word & 0x3FF; }
uint32_t category(uint32_t word) { return (word >> 10) & 0xFFF; }
uint32_t third(uint32_t word) { return ((word >> 21) & 0x7FE) | (word & 1); }

TEST(BuiltinSet, FilesCompiledFromDataAreByteIdentical) {
  pltest::Session session(pltest::built_locale_dir());
  struct Item {
    int kind;
    const char *name;
    pl::builtin::Bytes section1, section3;
  };
  const Item items[] = {
      {0, "English", pl::builtin::language_section(), {}},
      {1, "UnitedStates", pl::builtin::territory_section(), {}},
      {2, "US-ASCII", pl::builtin::charset_table(), pl::builtin::unicode_to_byte_table()},
  };
  for (const Item &item : items) {
    pl::Code code = PL_ERR_FILE;
    pl::ControlEntry *entry = session.find(item.kind, item.name, &code);
    ASSERT_NE(entry, nullptr);
    ASSERT_EQ(entry->state, 0) << item.name << " was not loaded from its file";
    ASSERT_EQ(entry->size[0], item.section1.size) << item.name;
    std::basic_string<uint8_t> loaded(entry->section[0], entry->size[0]);
    if (item.kind == 0) {
      // English's default code set and collation follow the installation's table;
      // the built-in set only has US-ASCII.
      loaded.replace(2 * lang::kDefaultCodeset, 4, item.section1.data + 2 * lang::kDefaultCodeset, 4);
    }
    EXPECT_EQ(loaded, std::basic_string<uint8_t>(item.section1.data, item.section1.size)) << item.name;
    ASSERT_EQ(entry->size[2], item.section3.size) << item.name;
    if (item.section3.size != 0) {
      EXPECT_EQ(std::basic_string<uint8_t>(entry->section[2], entry->size[2]),
                std::basic_string<uint8_t>(item.section3.data, item.section3.size));
    }
    EXPECT_EQ(entry->section[1], nullptr);
    EXPECT_EQ(entry->section[3], nullptr);
  }
}

TEST(BuiltinSet, ControlEntriesAreMarkedBuiltinAndFilled) {
  const pl::ControlEntry *table = pl::builtin::control_table();
  const char *names[] = {"English", "UnitedStates", "US-ASCII"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(table[i].kind, i);
    EXPECT_EQ(table[i].number, 1);
    EXPECT_STREQ(table[i].name, names[i]);
    EXPECT_EQ(table[i].state, pl::kStateBuiltin);
    EXPECT_NE(table[i].section[0], nullptr);
  }
}

TEST(BuiltinSet, EnglishLanguageRecord) {
  const uint8_t *record = pl::builtin::language_section().data;
  EXPECT_EQ(pl::read_u16(record + 2 * lang::kDefaultTerritory), 1);
  EXPECT_EQ(pl::read_u16(record + 2 * lang::kDefaultCodeset), 1);
  EXPECT_EQ(pl::read_u16(record + 2 * lang::kDefaultCollation), 0);
  EXPECT_EQ(record_string(record, lang::kCodeString), u"EN");
  EXPECT_EQ(record_string(record, lang::kDisplayNameString), u"English");
  EXPECT_EQ(record_string(record, lang::kDayNameString), u"Sunday");
  EXPECT_EQ(record_string(record, lang::kDayNameString + 6), u"Saturday");
  EXPECT_EQ(record_string(record, lang::kAbbrevDayNameString + 3), u"Wed");
  EXPECT_EQ(record_string(record, lang::kMonthNameString + 11), u"December");
  EXPECT_EQ(record_string(record, lang::kMonthNameString + 12), u"");
  EXPECT_EQ(record_string(record, lang::kAbbrevMonthNameString + 8), u"Sep");
  EXPECT_EQ(record_string(record, lang::kAmString), u"AM");
  EXPECT_EQ(record_string(record, lang::kPmString), u"PM");
  EXPECT_EQ(pl::read_u16(record + 2 * lang::kUpperPairCount), 0);
  EXPECT_EQ(pl::read_u16(record + 2 * lang::kLowerPairCount), 0);
}

TEST(BuiltinSet, UnitedStatesTerritoryRecord) {
  const uint8_t *record = pl::builtin::territory_section().data;
  auto word = [&](int w) { return pl::read_u16(record + 2 * w); };
  EXPECT_EQ(word(terr::kDecimalPoint), u'.');
  EXPECT_EQ(word(terr::kThousandsSep), u',');
  EXPECT_EQ(word(terr::kListSep), u',');
  EXPECT_EQ(word(terr::kMonDecimalPoint), u'.');
  EXPECT_EQ(word(terr::kMonThousandsSep), u',');
  EXPECT_EQ(word(terr::kNumDigits), 2);
  EXPECT_EQ(word(terr::kFracDigits), 2);
  EXPECT_EQ(word(terr::kIntFracDigits), 2);
  EXPECT_EQ(record[terr::kPositiveSignPositionAt], 3);
  EXPECT_EQ(record[terr::kNegativeSignPositionAt], 0);
  EXPECT_EQ(word(terr::kValue), 0);
  // Items 58, 73..76, 82, 83: 1, 1, 0, 1, 0, 1, 1.
  EXPECT_EQ(word(terr::kFlags), 0x6B);
  const std::u16string strings[] = {u"USA", u"United States", u"3;0", u"3;0", u"$", u"USD", u"",
                                    u"-", u"%#I:%M:%S %p", u"%#m/%#d/%y", u"%A, %B %d, %Y"};
  for (int s = 0; s < terr::kStringCount; ++s)
    EXPECT_EQ(record_string(record, terr::kFirstString + s), strings[s]) << s;
  EXPECT_EQ(word(terr::kStringsEnd), pl::builtin::territory_section().size);
}

TEST(BuiltinSet, UsAsciiCharacterSetTable) {
  const uint8_t *table = pl::builtin::charset_table().data;
  EXPECT_EQ(table[cs::kReplacementByte], '?');
  EXPECT_EQ(table[cs::kLineFeedByte], 0x0A);
  EXPECT_EQ(table[cs::kCarriageReturnByte], 0x0D);
  EXPECT_EQ(table[cs::kLineSeparatorByte], 0x0A);
  EXPECT_EQ(table[cs::kParagraphSeparatorByte], 0x0A);
  EXPECT_EQ(table[cs::kMaxCharLength], 1);
  EXPECT_EQ(table[cs::kShiftOutByte], 0);
  EXPECT_EQ(table[cs::kShiftInByte], 0);
  EXPECT_EQ(pl::read_u16(table + cs::kFlags), cs::kAsciiBased);
  EXPECT_EQ(pl::read_u32(table + cs::kFullwidthTableOffset), 4388u);
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(table[cs::kByteLengths + b], 1) << b;
    uint16_t unicode = pl::read_u16(table + cs::kByteToUnicode + 2 * b);
    EXPECT_EQ(unicode, b < 0x80 ? b : 0xFFFD) << b;
    EXPECT_EQ(table[cs::kUpperTable + b], b >= 'a' && b <= 'z' ? b - 32 : b);
    EXPECT_EQ(table[cs::kLowerTable + b], b >= 'A' && b <= 'Z' ? b + 32 : b);
  }
}

TEST(BuiltinSet, UsAsciiTypeWords) {
  struct Expected {
    char c;
    uint32_t classes, category, third;
  };
  const Expected expected[] = {
      {'A', 0x213, 0x002, 0x081}, {'a', 0x215, 0x002, 0x081}, {'0', 0x218, 0x008, 0x080},
      {' ', 0x2C0, 0x400, 0x090}, {'!', 0x220, 0x800, 0x090}, {'\t', 0x3C0, 0x200, 0x090},
      {'\n', 0x340, 0x001, 0x090}, {'\0', 0x300, 0x001, 0x080}, {'\x7F', 0x300, 0x001, 0x080},
  };
  for (const Expected &e : expected) {
    uint32_t word = type_of(e.c);
    EXPECT_EQ(classes(word), e.classes) << int(e.c);
    EXPECT_EQ(category(word), e.category) << int(e.c);
    EXPECT_EQ(third(word), e.third) << int(e.c);
  }
  for (int b = 0x80; b < 0x100; ++b) EXPECT_EQ(type_of(static_cast<char>(b)), 0u);
}

TEST(BuiltinSet, UnicodeNodesMapAsciiBackAndRefuseTheRest) {
  const uint8_t *table = pl::builtin::charset_table().data;
  const uint8_t *low = pl::builtin::unicode_to_byte_table().data;
  // What a conversion to the code set reads: node of the high byte, then its low table.
  auto to_byte = [&](uint16_t unit) -> int {
    const uint8_t *node = table + cs::kUnicodeNodes + cs::kNodeSize * (unit >> 8);
    uint8_t lo = unit & 0xFF;
    if (lo < node[cs::kNodeLowest] || lo > node[cs::kNodeHighest]) return -1;
    return low[pl::read_u16(node + cs::kNodeLowTable) + (node[cs::kNodeMask] & lo)];
  };
  for (int u = 0; u < 0x80; ++u) EXPECT_EQ(to_byte(static_cast<uint16_t>(u)), u);
  for (uint16_t u : {0x80, 0xFF, 0x100, 0x141, 0x20AC, 0xFFFD, 0xFFFF}) EXPECT_EQ(to_byte(u), -1) << u;
}

}  // namespace
