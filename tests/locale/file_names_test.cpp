#include <gtest/gtest.h>

#include <string>

#include "locale/file_names.h"

namespace {

TEST(FileNames, NumbersHaveAtLeastFourDigits) {
  char path[pl::kMaxPath];
  ASSERT_TRUE(pl::data_file_path("/d", 0, 7, path));
  EXPECT_STREQ(path, "/d/la_0007.nls");
  ASSERT_TRUE(pl::data_file_path("/d", 1, 12345, path));
  EXPECT_STREQ(path, "/d/te_12345.nls");
  ASSERT_TRUE(pl::data_file_path("/d", 2, 1252 + 1000, path));
  EXPECT_STREQ(path, "/d/cp_2252.nls");
  ASSERT_TRUE(pl::data_file_path("/d", 3, 1, path));
  EXPECT_STREQ(path, "/d/so_0001.nls");
  ASSERT_TRUE(pl::control_file_path("/d", path));
  EXPECT_STREQ(path, "/d/control.nls");
}

TEST(FileNames, WideNamesWidenTheSameText) {
  const PLUChar dir[] = {u'/', 0x00E9, 0};
  PLUChar path[pl::kMaxPath];
  ASSERT_TRUE(pl::data_file_path_wide(dir, 0, 7, path));
  std::u16string expected = u"/\u00E9/la_0007.nls";
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t *>(path)), expected);
}

TEST(FileNames, NamesMustFit260CharactersWithTheirNul) {
  char path[pl::kMaxPath];
  // "/la_0007.nls" is 12 characters: a directory of 247 leaves room for the NUL.
  std::string dir(247, 'd');
  EXPECT_TRUE(pl::data_file_path(dir.c_str(), 0, 7, path));
  EXPECT_EQ(std::string(path).size(), 259u);
  dir.push_back('d');
  EXPECT_FALSE(pl::data_file_path(dir.c_str(), 0, 7, path));
  EXPECT_FALSE(pl::data_file_path(std::string(247, 'd').c_str(), 0, 12345, path));
  EXPECT_FALSE(pl::control_file_path(std::string(248, 'd').c_str(), path));

  std::u16string wide(248, u'd');
  PLUChar wide_path[pl::kMaxPath];
  EXPECT_FALSE(pl::data_file_path_wide(reinterpret_cast<const PLUChar *>(wide.c_str()), 0, 7, wide_path));
}

}  // namespace
