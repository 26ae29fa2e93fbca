// The file layer: open codes, reads, seeks, bounded mappings, safe writes.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "locale/data_file.h"
#include "support/locale_dir.h"

namespace {

using pltest::read_bytes;
using pltest::TempDir;
using pltest::write_bytes;

std::vector<uint8_t> pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

TEST(DataFile, OpenReportsWhyItFailed) {
  TempDir dir;
  pl::Code code = PL_OK;
  EXPECT_EQ(pl::open_file(dir.file("missing").c_str(), pl::FileMode::read, false, &code), nullptr);
  EXPECT_EQ(code, PL_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(pl::open_file(dir.file("no/such/dir").c_str(), pl::FileMode::write, false, &code), nullptr);
  EXPECT_EQ(code, PL_ERR_FILE_NOT_FOUND);
  // A directory is not a file to read.
  EXPECT_EQ(pl::open_file(dir.path().c_str(), pl::FileMode::read, false, &code), nullptr);
  EXPECT_EQ(code, PL_ERR_FILE);
  if (geteuid() != 0) {
    write_bytes(dir.file("locked"), {1, 2, 3});
    chmod(dir.file("locked").c_str(), 0);
    EXPECT_EQ(pl::open_file(dir.file("locked").c_str(), pl::FileMode::read, false, &code), nullptr);
    EXPECT_EQ(code, PL_ERR_ACCESS_DENIED);
  }
}

TEST(DataFile, ReadSetsTheEndMarkAndSeekClearsIt) {
  TempDir dir;
  write_bytes(dir.file("f"), {1, 2, 3, 4, 5});
  pl::Code code = PL_OK;
  pl::DataFile *file = pl::open_file(dir.file("f").c_str(), pl::FileMode::read, false, &code);
  ASSERT_NE(file, nullptr);
  uint8_t buffer[8] = {};
  EXPECT_EQ(pl::read_file(file, buffer, 3, &code), 3u);
  EXPECT_FALSE(pl::at_end(file));
  EXPECT_EQ(pl::read_file(file, buffer, 8, &code), 2u);
  EXPECT_EQ(buffer[1], 5);
  EXPECT_EQ(pl::read_file(file, buffer, 8, &code), 0u);
  EXPECT_TRUE(pl::at_end(file));
  EXPECT_EQ(pl::seek_file(file, -4, pl::kSeekEnd), PL_OK);
  EXPECT_FALSE(pl::at_end(file));
  EXPECT_EQ(pl::seek_file(file, 1, pl::kSeekCurrent), PL_OK);
  EXPECT_EQ(pl::read_file(file, buffer, 1, &code), 1u);
  EXPECT_EQ(buffer[0], 3);
  EXPECT_EQ(pl::seek_file(file, 0, 99), PL_ERR_FILE);
  EXPECT_EQ(pl::close_file(file, false), PL_OK);
}

TEST(DataFile, MappingsAreBoundedByTheFileAndOffsetIntoTheView) {
  TempDir dir;
  std::vector<uint8_t> bytes = pattern(3 * 4096 + 123);
  write_bytes(dir.file("f"), bytes);
  pl::Code code = PL_OK;
  pl::DataFile *file = pl::open_file(dir.file("f").c_str(), pl::FileMode::read, false, &code);
  ASSERT_NE(file, nullptr);
  for (uint32_t offset : {0u, 1u, 80u, 4095u, 4096u, 8191u, 12000u}) {
    uint32_t size = static_cast<uint32_t>(bytes.size()) - offset;
    const uint8_t *view = pl::map_file(file, offset, size, &code);
    ASSERT_NE(view, nullptr) << offset;
    EXPECT_EQ(code, PL_OK);
    EXPECT_EQ(std::vector<uint8_t>(view, view + size),
              std::vector<uint8_t>(bytes.begin() + offset, bytes.end()));
    EXPECT_EQ(pl::unmap_file(view, size), PL_OK);
  }
  EXPECT_EQ(pl::map_file(file, 10, 0, &code), nullptr);
  EXPECT_EQ(code, PL_OK);
  EXPECT_EQ(pl::map_file(file, 0, static_cast<uint32_t>(bytes.size()) + 1, &code), nullptr);
  EXPECT_EQ(code, PL_ERR_FILE_READ);
  EXPECT_EQ(pl::map_file(file, 0xFFFFFFF0u, 0x20, &code), nullptr);
  EXPECT_EQ(code, PL_ERR_FILE_READ);
  EXPECT_EQ(pl::close_file(file, false), PL_OK);
}

TEST(DataFile, WritingAnExistingFileGoesThroughATemporaryName) {
  TempDir dir;
  std::string target = dir.file("data.nls");
  write_bytes(target, {9, 9, 9});
  pl::Code code = PL_OK;

  pl::DataFile *file = pl::open_file(target.c_str(), pl::FileMode::write, false, &code);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(pl::at_end(file));
  ASSERT_TRUE(pl::write_file(file, "new!", 4, &code));
  EXPECT_EQ(read_bytes(target), (std::vector<uint8_t>{9, 9, 9}));  // untouched until close
  EXPECT_EQ(read_bytes(dir.file("data.tmp")).size(), 4u);
  EXPECT_EQ(pl::map_file(file, 0, 4, &code), nullptr);
  EXPECT_EQ(code, PL_ERR_WRITE_ONLY);
  uint8_t byte;
  EXPECT_EQ(pl::read_file(file, &byte, 1, &code), 0u);
  EXPECT_EQ(code, PL_ERR_WRITE_ONLY);
  EXPECT_EQ(pl::close_file(file, false), PL_OK);
  EXPECT_EQ(read_bytes(target), (std::vector<uint8_t>{'n', 'e', 'w', '!'}));
  EXPECT_TRUE(read_bytes(dir.file("data.tmp")).empty());

  file = pl::open_file(target.c_str(), pl::FileMode::write, false, &code);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(pl::write_file(file, "x", 1, &code));
  EXPECT_EQ(pl::close_file(file, true), PL_OK);
  EXPECT_EQ(read_bytes(target), (std::vector<uint8_t>{'n', 'e', 'w', '!'}));
  EXPECT_EQ(access(dir.file("data.tmp").c_str(), F_OK), -1);
}

TEST(DataFile, TemporaryNamesAndDirectWrites) {
  TempDir dir;
  pl::Code code = PL_OK;
  // A name without an extension gets ".tmp" appended.
  write_bytes(dir.file("plain"), {1});
  pl::DataFile *file = pl::open_file(dir.file("plain").c_str(), pl::FileMode::write, false, &code);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(read_bytes(dir.file("plain.tmp")).size(), 0u);
  EXPECT_EQ(access(dir.file("plain.tmp").c_str(), F_OK), 0);
  EXPECT_EQ(pl::close_file(file, true), PL_OK);

  // With the keep-target flag, and for a new file, the target is written directly.
  file = pl::open_file(dir.file("plain").c_str(), pl::FileMode::write, true, &code);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(access(dir.file("plain.tmp").c_str(), F_OK), -1);
  ASSERT_TRUE(pl::write_file(file, "ab", 2, &code));
  EXPECT_EQ(pl::close_file(file, false), PL_OK);
  EXPECT_EQ(read_bytes(dir.file("plain")).size(), 2u);

  file = pl::open_file(dir.file("fresh.bin").c_str(), pl::FileMode::write, false, &code);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(pl::close_file(file, false), PL_OK);
  EXPECT_EQ(access(dir.file("fresh.bin").c_str(), F_OK), 0);

  // Update mode reads and writes the file in place.
  file = pl::open_file(dir.file("plain").c_str(), pl::FileMode::update, false, &code);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(pl::write_file(file, "Z", 1, &code));
  EXPECT_EQ(pl::close_file(file, false), PL_OK);
  EXPECT_EQ(read_bytes(dir.file("plain")), (std::vector<uint8_t>{'Z', 'b'}));
}

TEST(DataFile, WidePathsOpenTheSameFiles) {
  TempDir dir;
  write_bytes(dir.file("\xC3\xA9t\xC3\xA9"), {42});
  std::u16string wide;
  for (char c : dir.path() + "/") wide.push_back(static_cast<unsigned char>(c));
  wide += u"\u00E9t\u00E9";
  pl::Code code = PL_OK;
  pl::DataFile *file = pl::open_file_wide(reinterpret_cast<const PLUChar *>(wide.c_str()),
                                          pl::FileMode::read, false, &code);
  ASSERT_NE(file, nullptr);
  uint8_t byte = 0;
  EXPECT_EQ(pl::read_file(file, &byte, 1, &code), 1u);
  EXPECT_EQ(byte, 42);
  EXPECT_EQ(pl::close_file(file, false), PL_OK);
}

}  // namespace
