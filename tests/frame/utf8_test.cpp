#include <gtest/gtest.h>

#include <string>

#include "frame/utf8.h"

namespace {

std::string convert(const std::u16string &text, size_t capacity = 64) {
  std::string out(capacity, '\xFF');
  size_t n = pl::utf16_to_utf8(reinterpret_cast<const PLUChar *>(text.data()), text.size(),
                               out.data(), capacity);
  EXPECT_EQ(out[n], '\0');
  return out.substr(0, n);
}

TEST(Utf8, EncodesEveryLengthAndPairsSurrogates) {
  EXPECT_EQ(convert(u"A"), "A");
  EXPECT_EQ(convert(u"\u00E9"), "\xC3\xA9");
  EXPECT_EQ(convert(u"\u20AC"), "\xE2\x82\xAC");
  EXPECT_EQ(convert(u"\U00010000"), "\xF0\x90\x80\x80");
  EXPECT_EQ(convert(u"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
}

TEST(Utf8, LoneSurrogatesKeepTheirOwnThreeBytes) {
  std::u16string lone = {0xD800, u'x', 0xDC00};
  EXPECT_EQ(convert(lone), "\xED\xA0\x80x\xED\xB0\x80");
}

TEST(Utf8, StopsBeforeACharacterThatDoesNotFit) {
  EXPECT_EQ(convert(u"ab\u20AC", 5), "ab");  // the euro sign needs 3 + NUL
  EXPECT_EQ(convert(u"ab\u20AC", 6), "ab\xE2\x82\xAC");
  EXPECT_EQ(convert(u"abc", 1), "");
}

TEST(Utf8, ThreeBytesAUnitAlwaysSuffice) {
  // The wide init sizes its buffer as 3 bytes a unit plus the NUL.
  std::u16string worst = {0xFFFF, 0xD83D, 0xDE00, 0x0800, 0xDBFF};
  std::string out = convert(worst, 3 * worst.size() + 1);
  EXPECT_EQ(out.size(), 3u + 4u + 3u + 3u);
}

}  // namespace
