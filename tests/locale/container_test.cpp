#include <gtest/gtest.h>

#include <cstring>

#include "frame/endian.h"
#include "locale/layouts/container.h"

namespace {

using pl::layout::ContainerHeader;

ContainerHeader sample() {
  ContainerHeader header;
  header.section_count = 3;
  for (int s = 0; s < 4; ++s) {
    header.size[s] = 1000u * (s + 1) + 7;
    header.offset[s] = 80u + 4096u * s;
  }
  std::memcpy(header.description, "thirty-three descriptive bytes!!!", 33);
  return header;
}

TEST(ContainerHeader, RoundTripsTheCurrentLayout) {
  uint8_t bytes[80];
  pl::layout::encode_header(sample(), bytes);
  EXPECT_EQ(pl::read_u32(bytes), 0x476CF462u);
  EXPECT_EQ(pl::read_u32(bytes + 4), 0x30186000u);
  ContainerHeader decoded;
  ASSERT_TRUE(pl::layout::decode_header(bytes, &decoded));
  EXPECT_EQ(decoded.section_count, 3);
  EXPECT_EQ(decoded.used_sections(), 3);
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(decoded.size[s], sample().size[s]);
    EXPECT_EQ(decoded.offset[s], sample().offset[s]);
  }
  EXPECT_EQ(std::memcmp(decoded.description, sample().description, 33), 0);
  EXPECT_EQ(pl::layout::major_version(decoded.file_version), 3u);
  EXPECT_EQ(pl::layout::minor_version(decoded.file_version), 3u);
}

TEST(ContainerHeader, OlderLayoutIsRewrittenAndKeepsItsVersion) {
  for (uint32_t version : {0x10000000u, 0x20100000u}) {
    ContainerHeader old = sample();
    old.file_version = version;
    uint8_t bytes[80];
    pl::layout::encode_old_header(old, bytes);
    // The older layout puts 16-bit sizes before the offsets.
    EXPECT_EQ(pl::read_u16(bytes + 10), 1007);
    EXPECT_EQ(pl::read_u32(bytes + 12), 80u);
    EXPECT_EQ(pl::read_u16(bytes + 16), 2007);
    EXPECT_EQ(pl::read_u32(bytes + 20), 80u + 4096u);
    ContainerHeader decoded;
    ASSERT_TRUE(pl::layout::decode_header(bytes, &decoded));
    EXPECT_EQ(decoded.version, 0x30186000u);
    EXPECT_EQ(decoded.file_version, version);
    for (int s = 0; s < 4; ++s) {
      EXPECT_EQ(decoded.size[s], old.size[s]) << s;
      EXPECT_EQ(decoded.offset[s], old.offset[s]) << s;
    }
    EXPECT_EQ(std::memcmp(decoded.description, old.description, 33), 0);
  }
}

TEST(ContainerHeader, WrongMagicIsRefusedAndMoreThanFourSectionsAreIgnored) {
  uint8_t bytes[80];
  ContainerHeader header = sample();
  header.section_count = 9;
  pl::layout::encode_header(header, bytes);
  ContainerHeader decoded;
  ASSERT_TRUE(pl::layout::decode_header(bytes, &decoded));
  EXPECT_EQ(decoded.used_sections(), 4);
  bytes[0] ^= 1;
  EXPECT_FALSE(pl::layout::decode_header(bytes, &decoded));
}

}  // namespace
