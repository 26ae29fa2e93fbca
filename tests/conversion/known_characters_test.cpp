// The edge cases of the engine on the compiled code sets themselves; a test is
// skipped while its code set is not in the build-tree locale directory.
#include <gtest/gtest.h>

#include <vector>

#include "charset/charset_view.h"
#include "charset/from_unicode.h"
#include "charset/length_rule.h"
#include "charset/shift_rule.h"
#include "charset/to_unicode.h"
#include "charset/utf16_to_bytes.h"
#include "iconv_oracle.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using Bytes = std::vector<uint8_t>;

class KnownCharacters : public testing::Test {
 protected:
  KnownCharacters() : session_(pltest::built_locale_dir()) {}

  const pl::ControlEntry *codeset(const char *name) {
    pl::Code code = PL_OK;
    return session_.find(pl::layout::kCodeset, name, &code);
  }

  pltest::Session session_;
};

TEST_F(KnownCharacters, GbFourByteAndTwoByteCodes) {
  const pl::ControlEntry *gb = codeset("GB18030");
  if (gb == nullptr) GTEST_SKIP() << "GB18030 is not compiled yet";
  pl::CharsetView set(*gb);
  Bytes four = {0x81, 0x30, 0x81, 0x30}, two = {0x81, 0x40};
  EXPECT_EQ(pl::char_length(set, four.data(), four.size()).rule, 4);
  EXPECT_EQ(pl::char_length(set, two.data(), two.size()).rule, 2);
  EXPECT_EQ(pl::to_unicode(*gb, four.data(), four.size()), 0x0080u);
  EXPECT_EQ(pl::to_unicode(*gb, two.data(), two.size()), 0x4E02u);
  EXPECT_EQ(pl::to_packed(*gb, 0x0080), 0x81308130u);
  EXPECT_EQ(pl::to_packed(*gb, 0x4E02), 0x8140u);
  Bytes cut = {0x81, 0x30, 0x81};
  EXPECT_FALSE(pl::char_length(set, cut.data(), cut.size()).complete());
  EXPECT_EQ(pl::to_unicode(*gb, cut.data(), cut.size()), 0xFFFDu);
}

TEST_F(KnownCharacters, SupplementaryCharacterInATableDrivenSetIsTheReplacementByte) {
  const pl::ControlEntry *gb = codeset("GB18030");
  if (gb == nullptr) GTEST_SKIP() << "GB18030 is not compiled yet";
  uint8_t replacement = pl::CharsetView(*gb).replacement_byte();
  EXPECT_EQ(pl::to_packed(*gb, 0xD83DDE00), replacement);
  PLUChar units[] = {0xD83D, 0xDE00};
  uint8_t out[8];
  pl::EncodedText text = pl::utf16_to_bytes(*gb, units, 2, 0, out, sizeof out);
  EXPECT_EQ(Bytes(out, out + text.written), Bytes{replacement});
}

TEST_F(KnownCharacters, StatefulDoubleByteCharacterBetweenSingleBytes) {
  const pl::ControlEntry *ibm930 = codeset("IBM930");
  if (ibm930 == nullptr) GTEST_SKIP() << "IBM930 is not compiled yet";
  pl::CharsetView set(*ibm930);
  PLUChar units[] = {u'A', 0x3042, u'B'};
  uint8_t out[16];
  pl::EncodedText text =
      pl::utf16_to_bytes(*ibm930, units, 3, pl::kSingleByteState, out, sizeof out);
  Bytes ours(out, out + text.written);
  ASSERT_EQ(ours.size(), 6u);
  EXPECT_EQ(ours[1], set.shift_out_byte());
  EXPECT_EQ(ours[4], set.shift_in_byte());
  pltest::Iconv iconv("IBM930", "UTF-16LE");
  ASSERT_TRUE(iconv.ok());
  EXPECT_EQ(ours, iconv.convert(pltest::utf16le_of({u'A', 0x3042, u'B'})).bytes);
  EXPECT_EQ(pl::to_unicode(*ibm930, ours.data() + 2, 2), 0x3042u);
}

TEST_F(KnownCharacters, Utf8BothWays) {
  const pl::ControlEntry *utf8 = codeset("UTF-8");
  if (utf8 == nullptr) GTEST_SKIP() << "UTF-8 is not compiled yet";
  Bytes e_acute = {0xC3, 0xA9}, supplementary = {0xF0, 0x90, 0x80, 0x80};
  EXPECT_EQ(pl::to_unicode(*utf8, e_acute.data(), 2), 0xE9u);
  EXPECT_EQ(pl::to_packed(*utf8, 0xE9), 0xC3A9u);
  EXPECT_EQ(pl::to_unicode(*utf8, supplementary.data(), 4), 0xD800DC00u);
  EXPECT_EQ(pl::to_packed(*utf8, 0xD800DC00), 0xF0908080u);
  pl::CharsetView set(*utf8);
  EXPECT_EQ(pl::char_length(set, supplementary.data(), 4).rule, 4);
  EXPECT_EQ(pl::char_length(set, e_acute.data(), 2).rule, 2);
}

}  // namespace
