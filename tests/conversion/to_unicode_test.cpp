// Code set to Unicode: the trie walk, the GB two-byte rule, UTF-8, and damaged tables
// that must give U+FFFD without a read outside section 2.
#include "charset/to_unicode.h"

#include <gtest/gtest.h>

#include <vector>

#include "charset/codeset_ids.h"
#include "charset/unicode_value.h"
#include "locale/layouts/charset_table.h"
#include "test_codeset.h"

namespace {

namespace cs = pl::layout::charset;
using Bytes = std::vector<uint8_t>;
using pltest::TrieSpec;
constexpr uint32_t kFffd = pl::kReplacementCharacter;

// Root: 0x81 -> node 1 (inner), 0x82 -> node 2 (leaf for 0x40..0x41).
// Node 1: second byte 0x30 -> node 3 (four-byte path); its slot of 0x40 is node 67,
// the two-byte leaf of the GB rule. Node 3: third byte 0x81 -> node 4, the leaf for
// fourth bytes 0x30..0x39.
pltest::TestCodeset gb_like(uint16_t number) {
  pltest::TestCodeset set(number);
  set.set_flags(cs::kAsciiBased | cs::kGbRule);
  set.set_max_length(4);
  set.set_byte_length(0x81, 0x84, 4);
  std::vector<TrieSpec> nodes(68, TrieSpec{0, 0, 1, 0, 0});
  nodes[0] = {0, 0x03, 0x81, 0x82, 0};
  nodes[1] = {0, 0x4F, 0x30, 0x30, 3};
  nodes[2] = {1, 0x0F, 0x40, 0x41, 10};
  nodes[3] = {0, 0x00, 0x81, 0x81, 4};
  nodes[4] = {1, 0x0F, 0x30, 0x39, 0};
  nodes[67] = {1, 0x0F, 0x40, 0x41, 12};
  std::vector<uint16_t> results = {0x80, 0x81, 0x82, 0x83,   0x84,   0x85,   0x86,
                                   0x87, 0x88, 0x89, 0x1111, 0x2222, 0x4E02, 0x4E04};
  set.set_trie(nodes, results);
  return set;
}

uint32_t decode(pltest::TestCodeset &set, const Bytes &bytes) {
  return pl::to_unicode(set.entry(), bytes.data(), bytes.size());
}

TEST(TrieWalk, OneStepPerByteToTheLeaf) {
  pltest::TestCodeset set = gb_like(900);
  EXPECT_EQ(decode(set, {0x82, 0x40}), 0x1111u);
  EXPECT_EQ(decode(set, {0x82, 0x41}), 0x2222u);
  EXPECT_EQ(decode(set, {0x81, 0x30, 0x81, 0x30}), 0x80u);
  EXPECT_EQ(decode(set, {0x81, 0x30, 0x81, 0x39}), 0x89u);
}

TEST(TrieWalk, ByteOutsideANodesRangeGivesReplacement) {
  pltest::TestCodeset set = gb_like(900);
  EXPECT_EQ(decode(set, {0x82, 0x3F}), kFffd) << "below the leaf's lowest byte";
  EXPECT_EQ(decode(set, {0x82, 0x42}), kFffd) << "above the leaf's highest byte";
  EXPECT_EQ(decode(set, {0x81, 0x30, 0x81, 0x2F}), kFffd);
  EXPECT_EQ(decode(set, {0x80, 0x40}), kFffd) << "outside the root's range";
  EXPECT_EQ(decode(set, {0x81, 0x31, 0x81, 0x30}), kFffd) << "outside an inner node's range";
}

TEST(TrieWalk, CharacterCutShortGivesReplacement) {
  pltest::TestCodeset set = gb_like(900);
  for (const Bytes &cut : {Bytes{0x81}, Bytes{0x81, 0x30}, Bytes{0x81, 0x30, 0x81}, Bytes{0x82}})
    EXPECT_EQ(decode(set, cut), kFffd) << testing::PrintToString(cut);
  Bytes whole = {0x81, 0x30, 0x81, 0x30};
  EXPECT_EQ(pl::to_unicode(gb_like(900).entry(), whole.data(), 3), kFffd);
}

TEST(TrieWalk, PackedCharacterTakesItsBytesFromTheTopNonZeroByte) {
  pltest::TestCodeset set = gb_like(900);
  EXPECT_EQ(pl::packed_to_unicode(set.entry(), 0x81308135), 0x85u);
  EXPECT_EQ(pl::packed_to_unicode(set.entry(), 0x8241), 0x2222u);
  EXPECT_EQ(pl::packed_to_unicode(set.entry(), 0x41), 0x41u) << "single bytes use the byte table";
  EXPECT_EQ(pl::packed_to_unicode(set.entry(), 0xC1), kFffd);
  EXPECT_EQ(pl::packed_to_unicode(set.entry(), 0), 0u);
}

TEST(GbRule, TwoByteCodeUnderAFourByteLead) {
  pltest::TestCodeset set = gb_like(pl::kGbCodeset);
  EXPECT_EQ(decode(set, {0x81, 0x40}), 0x4E02u);
  EXPECT_EQ(decode(set, {0x81, 0x41}), 0x4E04u);
  EXPECT_EQ(decode(set, {0x81, 0x42}), kFffd);
  EXPECT_EQ(decode(set, {0x81, 0x30, 0x81, 0x30}), 0x80u) << "four-byte codes walk as usual";
  EXPECT_EQ(pl::packed_to_unicode(set.entry(), 0x8141), 0x4E04u);
}

TEST(GbRule, LeadWhoseRootChildIsALeafGivesReplacement) {
  pltest::TestCodeset gb = gb_like(pl::kGbCodeset);
  EXPECT_EQ(decode(gb, {0x82, 0x40}), kFffd);
  pltest::TestCodeset other = gb_like(900);
  EXPECT_EQ(decode(other, {0x82, 0x40}), 0x1111u) << "only code set 938 has the rule";
}

TEST(GbRule, AppliesWithoutTheFlagWhenTheLeadIsTwoBytesLong) {
  pltest::TestCodeset set = gb_like(pl::kGbCodeset);
  set.set_flags(cs::kAsciiBased);
  EXPECT_EQ(decode(set, {0x81, 0x40}), kFffd) << "ordinary walk: 0x40 is outside node 1";
  set.set_byte_length(0x81, 0x81, 2);
  EXPECT_EQ(decode(set, {0x81, 0x40}), 0x4E02u);
}

TEST(Utf8Codeset, DecodesAlgorithmically) {
  pltest::TestCodeset set(pl::kUtf8Codeset);
  EXPECT_EQ(decode(set, {0xC3, 0xA9}), 0xE9u);
  EXPECT_EQ(decode(set, {0xF0, 0x90, 0x80, 0x80}), 0xD800DC00u);
  EXPECT_EQ(decode(set, {0xE3, 0x81}), kFffd);
  EXPECT_EQ(pl::packed_to_unicode(set.entry(), 0xC3A9), 0xE9u);
  EXPECT_EQ(pl::packed_to_unicode(set.entry(), 0xF0908080), 0xD800DC00u);
}

// Damaged tables. Sections are allocated at their exact size, so under the sanitizer
// any unchecked read fails the test.

TEST(DamagedTrie, ChildIndexBeyondTheNodes) {
  pltest::TestCodeset set;
  set.set_trie({{0, 0xFF, 0x00, 0xFF, 500}}, {0x1234});
  EXPECT_EQ(decode(set, {0x81, 0x40}), kFffd);
  set.set_trie({{0, 0xFF, 0x00, 0xFF, 0xFFFF}}, {0x1234});
  EXPECT_EQ(decode(set, {0xFF, 0x40}), kFffd);
}

TEST(DamagedTrie, ResultIndexBeyondTheResultTable) {
  pltest::TestCodeset set;
  set.set_trie({{0, 0x00, 0x81, 0x81, 1}, {1, 0xFF, 0x00, 0xFF, 0}}, {0x1234, 0x5678});
  EXPECT_EQ(decode(set, {0x81, 0x00}), 0x1234u);
  EXPECT_EQ(decode(set, {0x81, 0x01}), 0x5678u) << "the last result is still inside";
  EXPECT_EQ(decode(set, {0x81, 0x02}), kFffd);
  EXPECT_EQ(decode(set, {0x81, 0xFF}), kFffd);
}

TEST(DamagedTrie, ResultTableOffsetOutsideTheSection) {
  pltest::TestCodeset set;
  set.set_trie({{0, 0x00, 0x81, 0x81, 1}, {1, 0xFF, 0x00, 0xFF, 0}}, {0x1234});
  set.set_result_offset(0x7FFFFFFF);
  EXPECT_EQ(decode(set, {0x81, 0x00}), kFffd);
  set.set_result_offset(0);  // no room left for any node
  EXPECT_EQ(decode(set, {0x81, 0x00}), kFffd);
  set.set_result_offset(13);  // odd: the table's last element would be cut
  EXPECT_EQ(decode(set, {0x81, 0x00}), kFffd);
}

TEST(DamagedTrie, MissingSection) {
  pltest::TestCodeset set = gb_like(pl::kGbCodeset);
  set.drop_trie();
  EXPECT_EQ(decode(set, {0x81, 0x40}), kFffd);
  EXPECT_EQ(decode(set, {0x81, 0x30, 0x81, 0x30}), kFffd);
}

TEST(DamagedTrie, CycleEndsWithTheCharacter) {
  pltest::TestCodeset set;
  set.set_trie({{0, 0x00, 0x00, 0xFF, 0}}, {0x1234});
  EXPECT_EQ(decode(set, {0x81, 0x81, 0x81, 0x81}), kFffd);
  // Even with more bytes available no character is longer than four bytes.
  EXPECT_EQ(decode(set, {0x81, 0x81, 0x81, 0x81, 0x81, 0x81}), kFffd);
}

TEST(DamagedTrie, GbRuleStepsAreCheckedToo) {
  pltest::TestCodeset root = gb_like(pl::kGbCodeset);
  std::vector<TrieSpec> nodes(68, TrieSpec{0, 0, 1, 0, 0});
  nodes[0] = {0, 0x03, 0x81, 0x82, 400};
  root.set_trie(nodes, {0x4E02});
  EXPECT_EQ(decode(root, {0x81, 0x40}), kFffd);
  nodes[0] = {0, 0x03, 0x81, 0x82, 0};
  nodes[1] = {0, 0x4F, 0x30, 0x30, 0xFFF0};
  root.set_trie(nodes, {0x4E02});
  EXPECT_EQ(decode(root, {0x81, 0x40}), kFffd);
  nodes[1] = {0, 0x4F, 0x30, 0x30, 3};
  nodes[67] = {1, 0xFF, 0x40, 0x41, 0xFF00};
  root.set_trie(nodes, {0x4E02});
  EXPECT_EQ(decode(root, {0x81, 0x40}), kFffd);
}

}  // namespace
