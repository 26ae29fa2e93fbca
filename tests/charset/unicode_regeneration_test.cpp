// The committed Unicode tables must be exactly what the generator writes today.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path &path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(UnicodeTables, RegeneratingChangesNothing) {
  if (!fs::exists("/usr/share/unicode/UnicodeData.txt")) GTEST_SKIP() << "the UCD is not installed";
  char pattern[] = "/tmp/polyloc-unicode-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  fs::path out = pattern;
  std::string command =
      std::string(POLYLOC_PYTHON " " POLYLOC_SOURCE_DIR
                                 "/tools/unicode/generate_unicode_tables.py --out ") +
      out.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  int files = 0;
  for (const auto &entry : fs::recursive_directory_iterator(out)) {
    if (!entry.is_regular_file()) continue;
    fs::path committed = fs::path(POLYLOC_SOURCE_DIR) / fs::relative(entry.path(), out);
    EXPECT_TRUE(contents(entry.path()) == contents(committed))
        << committed << " differs from the generator's output";
    ++files;
  }
  EXPECT_EQ(files, 4);
  fs::remove_all(out);
}

}  // namespace
