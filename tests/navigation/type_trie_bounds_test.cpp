// The type trie on damaged tables: every read stays inside the section (the sanitizer
// build checks), and what cannot be read gives type 0.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "charset/navigation/type_trie.h"
#include "frame/endian.h"
#include "locale/layouts/charset_table.h"
#include "navigation/handles.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

namespace cs = pl::layout::charset;

// A copy of a loaded code set's table in a block of exactly its size.
class TableCopy {
 public:
  explicit TableCopy(const pl::ControlEntry &from)
      : bytes_(from.section[0], from.section[0] + from.size[0]) {
    entry_.number = from.number;
    entry_.kind = from.kind;
  }
  std::vector<uint8_t> &bytes() { return bytes_; }
  const pl::ControlEntry &entry() {
    entry_.section[0] = bytes_.data();
    entry_.size[0] = static_cast<uint32_t>(bytes_.size());
    return entry_;
  }

 private:
  std::vector<uint8_t> bytes_;
  pl::ControlEntry entry_{};
};

const uint8_t kHiragana[2] = {0x82, 0xA0};  // MS932 U+3042

class TypeTrieBounds : public ::testing::Test {
 protected:
  pltest::Session session{pltest::built_locale_dir()};
  navtest::Handle sjis{"English.MS932"};
  navtest::Handle gb{"English.GB18030"};
};

TEST_F(TypeTrieBounds, IntactTableGivesTheType) {
  TableCopy copy(*sjis.locale->codeset);
  EXPECT_NE(pl::TypeTrie(copy.entry()).type_of(kHiragana, 2), 0u);
  EXPECT_EQ(pl::TypeTrie(copy.entry()).type_of(kHiragana, 1), 0u);  // runs out of bytes
  EXPECT_EQ(pl::TypeTrie(copy.entry()).type_of(kHiragana, 0), 0u);
}

TEST_F(TypeTrieBounds, OffsetsOutsideTheSectionGiveZero) {
  TableCopy copy(*sjis.locale->codeset);
  uint32_t size = static_cast<uint32_t>(copy.bytes().size());
  for (uint32_t trie : {size, size - 2, size + 100, 0xFFFFFFFFu}) {
    TableCopy damaged(*sjis.locale->codeset);
    pl::write_u32(damaged.bytes().data() + cs::kTypeTrieOffset, trie);
    EXPECT_EQ(pl::TypeTrie(damaged.entry()).type_of(kHiragana, 2), 0u) << trie;
  }
  for (uint32_t records : {size, size - 4, 0xFFFFFFF0u}) {
    TableCopy damaged(*sjis.locale->codeset);
    pl::write_u32(damaged.bytes().data() + cs::kTypeRecordsOffset, records);
    EXPECT_EQ(pl::TypeTrie(damaged.entry()).type_of(kHiragana, 2), 0u) << records;
  }
}

TEST_F(TypeTrieBounds, GarbageNodesNeverReadOutside) {
  std::mt19937 random(7);
  for (const navtest::Handle *handle : {&sjis, &gb}) {
    const pl::ControlEntry &source = *handle->locale->codeset;
    for (int round = 0; round < 300; ++round) {
      TableCopy damaged(source);
      std::vector<uint8_t> &bytes = damaged.bytes();
      for (size_t at = cs::kFixedSize + cs::kFullwidthTableSize; at < bytes.size(); ++at)
        if (random() % 16 == 0) bytes[at] = static_cast<uint8_t>(random());
      uint32_t size = static_cast<uint32_t>(bytes.size());
      pl::write_u32(bytes.data() + cs::kTypeTrieOffset, static_cast<uint32_t>(random() % (size + 8)));
      pl::write_u32(bytes.data() + cs::kTypeRecordsOffset, static_cast<uint32_t>(random() % (size + 8)));
      pl::TypeTrie trie(damaged.entry());
      for (int i = 0; i < 50; ++i) {
        uint8_t key[4] = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                          static_cast<uint8_t>(random()), static_cast<uint8_t>(random())};
        trie.type_of(key, 1 + random() % 4);
      }
    }
  }
}

TEST_F(TypeTrieBounds, GbTwoByteCharactersHaveTheirOwnLeaf) {
  const pl::ControlEntry &entry = *gb.locale->codeset;
  const uint8_t two[2] = {0x81, 0x40};             // U+4E02
  const uint8_t four[4] = {0x81, 0x30, 0x81, 0x30};  // U+0080
  EXPECT_EQ(pl::TypeTrie(entry).type_of(two, 2) & 0x3FF, 0x201u);
  EXPECT_EQ(pl::TypeTrie(entry).type_of(four, 4) & 0x3FF, 0x300u);
  EXPECT_EQ(PLGetCharType(gb.locale, "\x81\x40", PL_CHAR_CLASS), 0x201u);
  EXPECT_EQ(PLGetCharTypeW(gb.locale, 0x81308130, PL_CHAR_CLASS), 0x300u);
}

}  // namespace
