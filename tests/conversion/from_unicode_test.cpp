// Unicode to code set through the per-high-byte nodes (types 0 to 4), UTF-8, and
// damaged nodes that must give the replacement byte without a read outside
// sections 3 and 4.
#include "charset/from_unicode.h"

#include <gtest/gtest.h>

#include <vector>

#include "charset/codeset_ids.h"
#include "test_codeset.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint32_t kQuestion = '?';

// One node of each type beside the ASCII node of type 0.
pltest::TestCodeset all_types() {
  pltest::TestCodeset set;
  // Type 1, U+3042..U+3044: mask 0x0F puts them at elements 2..4.
  set.set_unicode_node(0x30, 1, 0x0F, 0x42, 0x44,
                       set.add_low_words({0, 0, 0x82A0, 0x82A2, 0x82A4}));
  // Type 2, U+2010: a byte from the high table over a 16-bit low value.
  set.set_unicode_node(0x20, 2, 0x01, 0x10, 0x10, set.add_low_words({0xA2AF}),
                       set.add_high_bytes({0x8F}));
  // Type 3, U+2100: 16-bit high and low values.
  set.set_unicode_node(0x21, 3, 0x01, 0x00, 0x00, set.add_low_words({0x8131}),
                       set.add_high_words({0x8130}));
  // Type 4, U+2200..U+2201: two bytes, high and low.
  set.set_unicode_node(0x22, 4, 0x01, 0x00, 0x01, set.add_low_bytes({0xA1, 0xA2}),
                       set.add_high_bytes({0xB0, 0xB1}));
  set.set_unicode_node(0x23, 5, 0xFF, 0x00, 0xFF, 0, 0);
  return set;
}

Bytes bytes_of(const pl::ControlEntry &entry, uint32_t value) {
  uint8_t out[4];
  size_t n = pl::to_bytes(entry, value, out);
  return Bytes(out, out + n);
}

TEST(UnicodeNodes, EachTypeBuildsItsPackedCharacter) {
  pltest::TestCodeset set = all_types();
  const pl::ControlEntry &entry = set.entry();
  EXPECT_EQ(pl::to_packed(entry, 'A'), 0x41u);
  EXPECT_EQ(pl::to_packed(entry, 0x3042), 0x82A0u);
  EXPECT_EQ(pl::to_packed(entry, 0x3044), 0x82A4u);
  EXPECT_EQ(pl::to_packed(entry, 0x2010), 0x8FA2AFu);
  EXPECT_EQ(pl::to_packed(entry, 0x2100), 0x81308131u);
  EXPECT_EQ(pl::to_packed(entry, 0x2200), 0xB0A1u);
  EXPECT_EQ(pl::to_packed(entry, 0x2201), 0xB1A2u);
}

TEST(UnicodeNodes, BytesAreWrittenFromTheTopNonZeroByte) {
  pltest::TestCodeset set = all_types();
  const pl::ControlEntry &entry = set.entry();
  EXPECT_EQ(bytes_of(entry, 0x3042), (Bytes{0x82, 0xA0}));
  EXPECT_EQ(bytes_of(entry, 0x2010), (Bytes{0x8F, 0xA2, 0xAF}));
  EXPECT_EQ(bytes_of(entry, 0x2100), (Bytes{0x81, 0x30, 0x81, 0x31}));
  EXPECT_EQ(bytes_of(entry, 0), (Bytes{0x00})) << "a packed 0 is one NUL byte";
}

TEST(UnicodeNodes, UnrepresentableValuesGiveTheReplacementByte) {
  pltest::TestCodeset set = all_types();
  const pl::ControlEntry &entry = set.entry();
  EXPECT_EQ(pl::to_packed(entry, 0x3041), kQuestion) << "below the node's lowest";
  EXPECT_EQ(pl::to_packed(entry, 0x3045), kQuestion) << "above the node's highest";
  EXPECT_EQ(pl::to_packed(entry, 0x80), kQuestion);
  EXPECT_EQ(pl::to_packed(entry, 0x4E00), kQuestion) << "empty node";
  EXPECT_EQ(pl::to_packed(entry, 0x2300), kQuestion) << "unknown node type";
  EXPECT_EQ(pl::to_packed(entry, 0xD83DDE00), kQuestion) << "U+1F600 has no table form";
  EXPECT_EQ(bytes_of(entry, 0xD83DDE00), (Bytes{'?'}));
}

TEST(Utf8Codeset, EncodesAlgorithmically) {
  pltest::TestCodeset set(pl::kUtf8Codeset);
  const pl::ControlEntry &entry = set.entry();
  EXPECT_EQ(pl::to_packed(entry, 0xE9), 0xC3A9u);
  EXPECT_EQ(pl::to_packed(entry, 0xD800DC00), 0xF0908080u);
  EXPECT_EQ(bytes_of(entry, 0xD800DC00), (Bytes{0xF0, 0x90, 0x80, 0x80}));
  EXPECT_EQ(bytes_of(entry, 0x20AC), (Bytes{0xE2, 0x82, 0xAC}));
  EXPECT_EQ(bytes_of(entry, 0), (Bytes{0x00}));
  EXPECT_EQ(pl::to_packed(entry, 0x00110000), kQuestion) << "no unit and no pair";
}

// Damaged nodes. Sections 3 and 4 have their exact size.

TEST(DamagedNodes, LowTableOffsetOutsideSectionThree) {
  pltest::TestCodeset set;
  set.set_unicode_node(0x30, 1, 0xFF, 0x00, 0xFF, 0xFFF0);
  EXPECT_EQ(pl::to_packed(set.entry(), 0x3000), kQuestion);
  EXPECT_EQ(pl::to_packed(set.entry(), 0x30FF), kQuestion);
}

TEST(DamagedNodes, ReadsEndExactlyAtTheSectionEnd) {
  pltest::TestCodeset set;
  uint16_t last = set.add_low_bytes({0xA5});  // the last byte of section 3
  set.set_unicode_node(0x30, 0, 0x00, 0x00, 0x00, last);
  set.set_unicode_node(0x31, 1, 0x00, 0x00, 0x00, last);
  EXPECT_EQ(pl::to_packed(set.entry(), 0x3000), 0xA5u) << "one byte fits";
  EXPECT_EQ(pl::to_packed(set.entry(), 0x3100), kQuestion) << "a word would cross the end";
  set.set_unicode_node(0x32, 0, 0xFF, 0x00, 0xFF, last);
  EXPECT_EQ(pl::to_packed(set.entry(), 0x3201), kQuestion) << "element 1 lies past the end";
}

TEST(DamagedNodes, HighTableOutsideSectionFour) {
  pltest::TestCodeset set;
  uint16_t low = set.add_low_words({0x3031, 0x3233});
  set.set_unicode_node(0x21, 3, 0x01, 0x00, 0x01, low, 0xFFFE);
  set.set_unicode_node(0x22, 4, 0x01, 0x00, 0x01, low, 0);
  set.set_unicode_node(0x20, 2, 0x01, 0x00, 0x01, low, 0);
  EXPECT_EQ(pl::to_packed(set.entry(), 0x2100), kQuestion);
  EXPECT_EQ(pl::to_packed(set.entry(), 0x2200), kQuestion) << "section 4 is absent";
  EXPECT_EQ(pl::to_packed(set.entry(), 0x2001), kQuestion);
}

}  // namespace
