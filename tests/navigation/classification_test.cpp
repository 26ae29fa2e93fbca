// Character classification: the query fields, the UTF-16 class tests, and a
// differential check of every code set's type words against the Unicode type table
// that the code-set compiler took them from.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "charset/from_unicode.h"
#include "charset/navigation/char_types.h"
#include "charset/to_unicode.h"
#include "charset/unicode/unicode_types.h"
#include "charset/unicode_value.h"
#include "navigation/handles.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using navtest::Handle;

struct Fields {
  uint32_t classes, category, third;
};

Fields fields_of(PLLocale *h, const char *s) {
  return {PLGetCharType(h, s, PL_CHAR_CLASS), PLGetCharType(h, s, PL_CHAR_CATEGORY),
          PLGetCharType(h, s, PL_CHAR_THIRD)};
}

// The type word put back together from its three fields.
uint32_t word_of(uint32_t classes, uint32_t category, uint32_t third) {
  return classes | category << 10 | (third & ~uint32_t{1}) << 21;
}

TEST(Classification, BuiltinSetExamples) {
  pltest::TempDir empty;
  pltest::Session session(empty.path(), 0, PL_INIT_BUILTIN);
  Handle ascii("English_UnitedStates.US-ASCII");
  PLLocale *h = ascii.locale;
  ASSERT_NE(h, nullptr);
  struct Case {
    const char *s;
    Fields expected;
  };
  for (const Case &c : {Case{"A", {0x213, 0x002, 0x081}}, Case{"a", {0x215, 0x002, 0x081}},
                        Case{"0", {0x218, 0x008, 0x080}}, Case{" ", {0x2C0, 0x400, 0x090}},
                        Case{"!", {0x220, 0x800, 0x090}}, Case{"\t", {0x3C0, 0x200, 0x090}},
                        Case{"\n", {0x340, 0x001, 0x090}}, Case{"", {0x300, 0x001, 0x080}},
                        Case{"\x7F", {0x300, 0x001, 0x080}}, Case{"\x80", {0, 0, 0}},
                        Case{"\xFF", {0, 0, 0}}}) {
    Fields got = fields_of(h, c.s);
    EXPECT_EQ(got.classes, c.expected.classes) << c.s;
    EXPECT_EQ(got.category, c.expected.category) << c.s;
    EXPECT_EQ(got.third, c.expected.third) << c.s;
    EXPECT_EQ(PLGetError(h), PL_OK);
  }
  EXPECT_EQ(PLGetCharTypeW(h, 'a', PL_CHAR_CLASS), 0x215u);
  EXPECT_EQ(PLGetCharTypeEx(h, "a", 1, PL_CHAR_CLASS), 0x215u);
}

TEST(Classification, UnknownQueriesGiveTheClassBitsAndCode2) {
  pltest::Session session(pltest::built_locale_dir());
  Handle h("English.ISO-8859-1");
  EXPECT_EQ(PLGetCharType(h.locale, "a", 0), 0x215u);
  EXPECT_EQ(PLGetError(h.locale), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLGetCharType(h.locale, "a", PL_CHAR_CLASS), 0x215u);
  EXPECT_EQ(PLGetError(h.locale), PL_OK);
  EXPECT_EQ(PLGetCharTypeU(h.locale, 'a', 0x80000013), 0x215u);
  EXPECT_EQ(PLGetError(h.locale), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLGetCharTypeW(h.locale, 'a', 0x10), 0x215u);
  EXPECT_EQ(PLGetError(h.locale), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLGetCharTypeEx(h.locale, "a", 0, -1), 0x215u);
  EXPECT_EQ(PLGetError(h.locale), PL_ERR_ARGUMENT);
}

TEST(Classification, UnitTests) {
  EXPECT_EQ(PLIsPrintU(nullptr, 0x0009), 1);
  EXPECT_EQ(PLIsGraphU(nullptr, 0x0009), 0);
  EXPECT_EQ(PLIsSpaceU(nullptr, 0x0009), 1);
  EXPECT_EQ(PLIsAlnumU(nullptr, 'z'), 1);
  EXPECT_EQ(PLIsXdigitU(nullptr, 'f'), 1);
  EXPECT_EQ(PLIsXdigitU(nullptr, 'g'), 0);
  EXPECT_EQ(PLIsUpperU(nullptr, 0x00C9), 1);
  EXPECT_EQ(PLIsLowerU(nullptr, 0x00E9), 1);
  EXPECT_EQ(PLIsDigitU(nullptr, 0x0660), 1);
  EXPECT_EQ(PLIsPunctU(nullptr, '!'), 1);
  EXPECT_EQ(PLIsCntrlU(nullptr, 0x001F), 1);
  EXPECT_EQ(PLIsAlphaU(nullptr, 0x4E00), 1);
}

TEST(Classification, UnitInNoRange) {
  uint16_t unassigned = 0;
  for (uint32_t u = 0x370; u <= 0xFFFF && unassigned == 0; ++u)
    if (pl::unicode_type(static_cast<uint16_t>(u)) == 1024) unassigned = static_cast<uint16_t>(u);
  ASSERT_NE(unassigned, 0);
  EXPECT_EQ(PLGetCharTypeU(nullptr, unassigned, PL_CHAR_CLASS), 0u);
  EXPECT_EQ(PLGetCharTypeU(nullptr, unassigned, PL_CHAR_CATEGORY), 1u);
}

// The class bits that admit a unit to each test, in the order of the functions below.
struct ClassTest {
  int32_t (*function)(PLLocale *, PLUChar);
  uint32_t bits;
};

TEST(Classification, EveryUnitAgreesWithTheBitmaps) {
  const ClassTest tests[] = {{PLIsAlnumU, 0x009}, {PLIsAlphaU, 0x001}, {PLIsCntrlU, 0x100},
                             {PLIsDigitU, 0x008}, {PLIsGraphU, 0x029}, {PLIsLowerU, 0x004},
                             {PLIsPrintU, 0x0A9}, {PLIsPunctU, 0x020}, {PLIsSpaceU, 0x040},
                             {PLIsUpperU, 0x002}, {PLIsXdigitU, 0x010}};
  long checks = 0;
  for (uint32_t u = 0; u <= 0xFFFF; ++u) {
    PLUChar unit = static_cast<PLUChar>(u);
    uint32_t word = pl::unicode_type(unit);
    uint32_t classes = PLGetCharTypeU(nullptr, unit, PL_CHAR_CLASS);
    ASSERT_EQ(classes, word & 0x3FF) << u;
    ASSERT_EQ(word_of(classes, PLGetCharTypeU(nullptr, unit, PL_CHAR_CATEGORY),
                      PLGetCharTypeU(nullptr, unit, PL_CHAR_THIRD)),
              word)
        << u;
    for (const ClassTest &test : tests) {
      ASSERT_EQ(test.function(nullptr, unit), (classes & test.bits) != 0 ? 1 : 0) << u;
      ++checks;
    }
  }
  std::printf("class tests: %ld unit checks\n", checks);
}

// Every character of every shipped code set carries the type word of its Unicode
// value: single bytes from the byte table, longer characters through the type trie,
// read as bytes and as packed characters.
TEST(Classification, CodeSetTypesMatchTheUnicodeTable) {
  pltest::Session session(pltest::built_locale_dir());
  long characters = 0;
  for (const std::string &name : navtest::codeset_names(session.env())) {
    SCOPED_TRACE(name);
    Handle handle("English." + name);
    PLLocale *h = handle.locale;
    ASSERT_NE(h, nullptr);
    const pl::ControlEntry &entry = *h->codeset;
    pl::CharsetView set(entry);
    bool stateful = set.stateful();
    for (int b = 1; b < 256; ++b) {
      uint8_t byte = static_cast<uint8_t>(b);
      uint16_t unit = set.byte_unicode(byte);
      bool single = stateful || set.byte_length(byte) == 1;
      if (!single || unit == pl::kReplacementCharacter) continue;
      const char text[2] = {static_cast<char>(b), 0};
      ASSERT_EQ(word_of(PLGetCharType(h, text, PL_CHAR_CLASS), PLGetCharType(h, text, PL_CHAR_CATEGORY),
                        PLGetCharType(h, text, PL_CHAR_THIRD)),
                pl::unicode_type(unit))
          << b;
      ASSERT_EQ(pl::packed_type(entry, byte), pl::unicode_type(unit)) << b;
      ++characters;
    }
    pl::TextRules rules = pl::text_rules(*h, true);
    for (uint32_t u = 1; u <= 0xFFFF; ++u) {
      if (pl::is_high_surrogate(u) || pl::is_low_surrogate(u)) continue;
      uint32_t packed = pl::to_packed(entry, u);
      if (packed <= 0xFF || pl::packed_to_unicode(entry, packed) != u) continue;
      uint32_t expected = pl::unicode_type(static_cast<uint16_t>(u));
      ASSERT_EQ(pl::packed_type(entry, packed), expected) << std::hex << u;
      ASSERT_EQ(PLGetCharTypeW(h, packed, PL_CHAR_CLASS), expected & 0x3FF) << std::hex << u;
      char text[6] = {};
      uint8_t bytes[4];
      size_t count = pl::to_bytes(entry, u, bytes);
      for (size_t i = 0; i < count; ++i) text[i] = static_cast<char>(bytes[i]);
      // In a stateful set the text is taken in the shifted state.
      ASSERT_EQ(pl::char_type(rules, text, stateful ? 1 : 0), expected) << std::hex << u;
      if (!stateful) {
        ASSERT_EQ(PLGetCharType(h, text, PL_CHAR_CATEGORY), (expected >> 10) & 0xFFF) << std::hex << u;
      }
      ++characters;
    }
  }
  std::printf("code-set types: %ld characters\n", characters);
}

}  // namespace
