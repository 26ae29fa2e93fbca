// Every locale name of the platform's native locale table resolves to exactly the
// language, territory and code set it names.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "support/locale_dir.h"
#include "support/session.h"

namespace {

struct Row {
  std::string identifier, name;
};

std::vector<Row> native_rows() {
  std::ifstream in(POLYLOC_SOURCE_DIR "/tools/importers/native_locales.txt");
  std::vector<Row> rows;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    Row row;
    if (fields >> row.identifier >> row.name && row.identifier.rfind("0x", 0) == 0) rows.push_back(row);
  }
  return rows;
}

// The part of `name` between the separator `from` (or the start) and the next of `to`.
std::string part(const std::string &name, char from, const char *to) {
  size_t start = 0;
  if (from != 0) {
    start = name.find(from);
    if (start == std::string::npos) return "";
    ++start;
  }
  size_t end = name.find_first_of(to, start);
  return name.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string item(PLLocale *locale, int32_t which) {
  char text[64];
  return PLGetLocaleTextInfo(locale, which, text, sizeof text, 0) > 0 ? text : "<error>";
}

TEST(NativeNames, EveryRowResolvesToTheItemsItNames) {
  pltest::Session session(pltest::built_locale_dir());
  std::vector<Row> rows = native_rows();
  ASSERT_EQ(rows.size(), 152u);
  int with_modifier = 0;
  for (const Row &row : rows) {
    // Collations come with their own data; until then a modifier names nothing.
    std::string name = row.name.substr(0, row.name.find('@'));
    with_modifier += name != row.name;
    int32_t code = -1;
    PLLocale *locale = PLGetLocale(name.c_str(), 0, &code);
    ASSERT_NE(locale, nullptr) << row.identifier << " " << name << " code " << code;
    EXPECT_EQ(item(locale, PL_LANGUAGE_NAME), part(name, 0, "_.@")) << name;
    std::string territory = part(name, '_', ".@"), codeset = part(name, '.', "@");
    if (!territory.empty()) {
      EXPECT_EQ(item(locale, PL_TERRITORY_NAME), territory) << name;
    }
    if (!codeset.empty()) {
      EXPECT_EQ(item(locale, PL_CODESET_NAME), codeset) << name;
    }
    EXPECT_EQ(PLReleaseLocale(locale), PL_OK);
  }
  EXPECT_EQ(with_modifier, 2);
}

TEST(NativeNames, LanguageDefaultsFollowTheirFirstRow) {
  pltest::Session session(pltest::built_locale_dir());
  std::map<std::string, Row> first;
  for (const Row &row : native_rows()) first.emplace(part(row.name, 0, "_.@"), row);
  for (const auto &[language, row] : first) {
    std::string territory = part(row.name, '_', ".@"), codeset = part(row.name, '.', "@");
    PLLocale *locale = PLGetLocale(language.c_str(), 0, nullptr);
    ASSERT_NE(locale, nullptr) << language;
    if (!territory.empty()) {
      EXPECT_EQ(item(locale, PL_TERRITORY_NAME), territory) << language;
    }
    if (!codeset.empty()) {
      EXPECT_EQ(item(locale, PL_CODESET_NAME), codeset) << language;
    }
    EXPECT_EQ(PLReleaseLocale(locale), PL_OK);
  }
}

}  // namespace
