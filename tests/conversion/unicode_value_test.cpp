// The locale-independent UTF-8 codec on Unicode values (units and packed pairs).
#include "charset/unicode_value.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes encode(uint32_t value) {
  uint8_t out[4];
  size_t n = pl::utf8_encode_value(value, out);
  return Bytes(out, out + n);
}

pl::Utf8Decoded decode(const Bytes &bytes) {
  return pl::utf8_decode_value(bytes.data(), bytes.size());
}

TEST(Utf8Value, PackedPairAndItsFourBytes) {
  EXPECT_EQ(encode(0xD800DC00), (Bytes{0xF0, 0x90, 0x80, 0x80}));
  pl::Utf8Decoded d = decode({0xF0, 0x90, 0x80, 0x80});
  EXPECT_EQ(d.value, 0xD800DC00u);
  EXPECT_EQ(d.length, 4);
  EXPECT_EQ(decode({0xF4, 0x8F, 0xBF, 0xBF}).value, 0xDBFFDFFFu);
}

TEST(Utf8Value, TwoAndThreeByteUnits) {
  EXPECT_EQ(encode(0xE9), (Bytes{0xC3, 0xA9}));
  EXPECT_EQ(decode({0xC3, 0xA9}).value, 0xE9u);
  EXPECT_EQ(encode(0x7FF), (Bytes{0xDF, 0xBF}));
  EXPECT_EQ(encode(0x800), (Bytes{0xE0, 0xA0, 0x80}));
  EXPECT_EQ(encode(0xFFFF), (Bytes{0xEF, 0xBF, 0xBF}));
  EXPECT_EQ(encode(0), (Bytes{0x00}));
}

TEST(Utf8Value, EveryCodePointRoundTrips) {
  for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    uint32_t value = pl::unicode_value_of(cp);
    uint8_t out[4];
    size_t n = pl::utf8_encode_value(value, out);
    pl::Utf8Decoded d = pl::utf8_decode_value(out, n);
    ASSERT_EQ(d.value, value) << std::hex << cp;
    ASSERT_EQ(d.length, n) << std::hex << cp;
  }
}

TEST(Utf8Value, LoneSurrogatesKeepTheirThreeByteForm) {
  EXPECT_EQ(encode(0xD800), (Bytes{0xED, 0xA0, 0x80}));
  EXPECT_EQ(decode({0xED, 0xA0, 0x80}).value, 0xD800u);
}

TEST(Utf8Value, ValueAboveFfffThatIsNoPairIsWrittenAsReplacement) {
  const Bytes fffd = {0xEF, 0xBF, 0xBD};
  EXPECT_EQ(encode(0x00110000), fffd);
  EXPECT_EQ(encode(0xDC00D800), fffd) << "low and high swapped";
  EXPECT_EQ(encode(0xD8000041), fffd);
}

struct Malformed {
  Bytes bytes;
  uint8_t length;  // the prefix taken
};

TEST(Utf8Value, MalformedInputGivesReplacementAndTakesItsValidPrefix) {
  const Malformed cases[] = {
      {{0x80}, 1},                    // continuation byte first
      {{0xC0, 0x80}, 1},              // overlong lead
      {{0xC1, 0xBF}, 1},              // overlong lead
      {{0xE0, 0x9F, 0xBF}, 1},        // overlong three-byte form
      {{0xF0, 0x8F, 0xBF, 0xBF}, 1},  // overlong four-byte form
      {{0xF4, 0x90, 0x80, 0x80}, 1},  // above 0x10FFFF
      {{0xF5, 0x80, 0x80, 0x80}, 1},
      {{0xFF}, 1},
      {{0xC3, 0x41}, 1},  // missing continuation
      {{0xE3, 0x81, 0x41}, 2},
      {{0xF0, 0x9F, 0x98, 0xC0}, 3},
  };
  for (const Malformed &m : cases) {
    pl::Utf8Decoded d = decode(m.bytes);
    EXPECT_EQ(d.value, pl::kReplacementCharacter) << testing::PrintToString(m.bytes);
    EXPECT_EQ(d.length, m.length) << testing::PrintToString(m.bytes);
  }
}

TEST(Utf8Value, SequenceCutByTheAvailableLengthIsNotReadPast) {
  // Exact-size buffers: the sanitizer build faults on any read beyond them.
  for (const Bytes &cut : {Bytes{0xC3}, Bytes{0xE3, 0x81}, Bytes{0xF0, 0x90, 0x80}}) {
    pl::Utf8Decoded d = decode(cut);
    EXPECT_EQ(d.value, pl::kReplacementCharacter);
    EXPECT_EQ(d.length, cut.size());
  }
  Bytes whole = {0xE3, 0x81, 0x82};
  EXPECT_EQ(pl::utf8_decode_value(whole.data(), 2).value, pl::kReplacementCharacter);
  EXPECT_EQ(pl::utf8_decode_value(whole.data(), 0).length, 0);
}

}  // namespace
