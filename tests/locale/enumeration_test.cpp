#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/locale_dir.h"
#include "support/session.h"

namespace {

struct Seen {
  std::vector<std::pair<int32_t, std::string>> items;
  int stop_after = -1;
};

template <class Char>
int32_t record(void *user, int32_t kind, const Char *name) {
  Seen *seen = static_cast<Seen *>(user);
  std::string text;
  for (; *name != 0; ++name) text.push_back(static_cast<char>(*name));
  seen->items.emplace_back(kind, text);
  return seen->stop_after < 0 || static_cast<int>(seen->items.size()) < seen->stop_after;
}

const std::vector<std::pair<int32_t, std::string>> kFirst = {
    {PL_KIND_LANGUAGE, "English"}, {PL_KIND_TERRITORY, "UnitedStates"}, {PL_KIND_CODESET, "US-ASCII"}};

TEST(Enumeration, EveryFormWalksTheTableInOrder) {
  pltest::Session session(pltest::built_locale_dir());
  Seen narrow, wide16, wide32;
  EXPECT_EQ(PLEnumLocales(record<char>, &narrow), PL_OK);
  EXPECT_EQ(PLEnumLocalesU(record<PLUChar>, &wide16), PL_OK);
  EXPECT_EQ(PLEnumLocalesW(record<PLWChar>, &wide32), PL_OK);
  ASSERT_EQ(narrow.items.size(), session.env()->count());
  EXPECT_EQ(narrow.items.front(), kFirst.front());
  for (const auto &item : kFirst)
    EXPECT_NE(std::find(narrow.items.begin(), narrow.items.end(), item), narrow.items.end());
  EXPECT_TRUE(std::is_sorted(narrow.items.begin(), narrow.items.end(),
                             [](const auto &a, const auto &b) { return a.first < b.first; }));
  for (size_t i = 0; i < narrow.items.size(); ++i)
    EXPECT_EQ(narrow.items[i].second, session.env()->table[i].name);
  EXPECT_EQ(wide16.items, narrow.items);
  EXPECT_EQ(wide32.items, narrow.items);
  // Enumeration does not load the items it names (the U form reads code set 1).
  pl::Code code = PL_OK;
  EXPECT_FALSE(pl::is_loaded(*session.find(0, "English", &code, true)));
}

TEST(Enumeration, ACallbackReturning0StopsTheWalk) {
  pltest::Session session(pltest::built_locale_dir());
  Seen once;
  once.stop_after = 1;
  EXPECT_EQ(PLEnumLocales(record<char>, &once), PL_OK);
  EXPECT_EQ(once.items.size(), 1u);
  Seen twice;
  twice.stop_after = 2;
  EXPECT_EQ(PLEnumLocalesW(record<PLWChar>, &twice), PL_OK);
  EXPECT_EQ(twice.items.size(), 2u);
}

TEST(Enumeration, CallerErrorsAreRefused) {
  Seen seen;
  EXPECT_EQ(PLEnumLocales(record<char>, &seen), PL_ERR_ARGUMENT);  // not initialised
  pltest::Session session(pltest::built_locale_dir());
  EXPECT_EQ(PLEnumLocales(nullptr, &seen), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLEnumLocalesU(nullptr, &seen), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLEnumLocalesW(nullptr, &seen), PL_ERR_ARGUMENT);
  EXPECT_TRUE(seen.items.empty());
}

}  // namespace
