// Lookups in the control table and lazy loading of items.
#include <gtest/gtest.h>

#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using pltest::EntrySpec;
using pltest::Session;
using pltest::TempDir;

// A directory with languages 1, 7 and 12345, one territory, one code set and one
// collation, so that lookups meet several entries of a kind and five-digit names.
class Lookups : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.copy_from(pltest::built_locale_dir());
    std::vector<uint8_t> english = pltest::read_bytes(dir.file("la_0001.nls"));
    pltest::write_bytes(dir.file("la_0007.nls"), english);
    pltest::write_bytes(dir.file("la_12345.nls"), english);
    std::vector<EntrySpec> entries = {
        {0, 1, "English"}, {0, 7, "Seven"},   {0, 12345, "Big"},
        {1, 1, "UnitedStates"}, {2, 1, "US-ASCII"}, {3, 1, "General"}};
    pltest::write_bytes(dir.file("control.nls"),
                        pltest::container_bytes({pltest::control_table_bytes(entries)}));
  }
  TempDir dir;
};

TEST_F(Lookups, KindsStartWhereTheTableSaysAndEnumerateInOrder) {
  Session session(dir.path());
  pl::Environment *env = session.env();
  EXPECT_EQ(env->count(), 6);
  EXPECT_EQ(env->start[0], 0);
  EXPECT_EQ(env->start[1], 3);
  EXPECT_EQ(env->start[2], 4);
  EXPECT_EQ(env->start[3], 5);
  EXPECT_EQ(std::string(env->directory), dir.path());
}

TEST_F(Lookups, NamesMatchWithoutRegardToCaseAndMayCountTheirNul) {
  Session session(dir.path());
  pl::Code code = PL_ERR_FILE;
  pl::ControlEntry *entry = session.find(0, "sEVEN", &code);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(code, PL_OK);
  EXPECT_EQ(entry->number, 7);
  EXPECT_TRUE(pl::is_loaded(*entry));
  EXPECT_EQ(pl::find_by_name(session.env(), 0, "seven", 6, false, &code), entry);  // with its NUL
  EXPECT_EQ(pl::find_by_name(session.env(), 0, "sevenX", 6, false, &code), nullptr);
  EXPECT_EQ(code, PL_ERR_NOT_FOUND);
  EXPECT_EQ(pl::find_by_name(session.env(), 0, "seve", 4, false, &code), nullptr);
  // Names are looked up only among their own kind.
  EXPECT_EQ(session.find(1, "English", &code), nullptr);
  EXPECT_EQ(code, PL_ERR_NOT_FOUND);
}

TEST_F(Lookups, NoLoadLeavesTheEntryUnloaded) {
  Session session(dir.path());
  pl::Code code = PL_ERR_FILE;
  pl::ControlEntry *entry = session.find(0, "Big", &code, true);
  ASSERT_NE(entry, nullptr);
  EXPECT_FALSE(pl::is_loaded(*entry));
  EXPECT_EQ(session.find(0, "Big", &code), entry);
  EXPECT_TRUE(pl::is_loaded(*entry));
  EXPECT_EQ(entry->state, 0);  // loaded from its file, not substituted
}

TEST_F(Lookups, NumbersAreFoundByHalvingAndNameTheirFiles) {
  Session session(dir.path());
  pl::Code code = PL_ERR_FILE;
  for (unsigned number : {1u, 7u, 12345u}) {
    pl::ControlEntry *entry = pl::find_by_number(session.env(), 0, number, false, &code);
    ASSERT_NE(entry, nullptr) << number;
    EXPECT_EQ(code, PL_OK);
    EXPECT_EQ(entry->number, number);
    EXPECT_EQ(entry->state, 0) << "la_12345.nls and la_0007.nls must be found";
  }
  for (unsigned missing : {0u, 2u, 8u, 12344u, 65535u}) {
    EXPECT_EQ(pl::find_by_number(session.env(), 0, missing, false, &code), nullptr);
    EXPECT_EQ(code, PL_ERR_NOT_FOUND);
  }
  EXPECT_NE(pl::find_by_number(session.env(), 3, 1, false, &code), nullptr);
  EXPECT_EQ(pl::find_by_number(session.env(), 3, 0, false, &code), nullptr);
  EXPECT_EQ(code, PL_OK);  // collation 0 is no collation, not a failure
}

TEST_F(Lookups, BinaryNamesNoCollationInAnyCase) {
  Session session(dir.path());
  pl::Code code = PL_ERR_FILE;
  for (const char *name : {"BINARY", "binary", "Binary"}) {
    EXPECT_EQ(session.find(3, name, &code), nullptr);
    EXPECT_EQ(code, PL_OK);
  }
  EXPECT_EQ(pl::find_by_name(session.env(), 3, "binary", 7, false, &code), nullptr);
  EXPECT_EQ(code, PL_OK);
  // Only collations have that name.
  EXPECT_EQ(session.find(0, "Binary", &code), nullptr);
  EXPECT_EQ(code, PL_ERR_NOT_FOUND);
}

TEST_F(Lookups, WideNamesUseTheLowByteOfEachElement) {
  Session session(dir.path());
  pl::Code code = PL_ERR_FILE;
  const PLWChar name[] = {0x4100 | 'u', 's', '-', 'a', 's', 'c', 'i', 'i'};
  pl::ControlEntry *entry = pl::find_by_wide_name(session.env(), 2, name, 8, false, &code);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(code, PL_OK);
  EXPECT_STREQ(entry->name, "US-ASCII");
  const PLWChar binary[] = {'b', 'i', 'n', 'a', 'r', 'y', 0};
  EXPECT_EQ(pl::find_by_wide_name(session.env(), 3, binary, 7, false, &code), nullptr);
  EXPECT_EQ(code, PL_OK);
}

TEST_F(Lookups, ASectionCountOfTwoLoadsTwoSections) {
  std::vector<uint8_t> english = pltest::read_bytes(pltest::built_locale_dir() + std::string("/la_0001.nls"));
  std::vector<uint8_t> record(english.begin() + 80, english.end());
  pltest::write_bytes(dir.file("la_0007.nls"), pltest::container_bytes({record, {5, 6, 7, 8}}));
  Session session(dir.path());
  pl::Code code = PL_ERR_FILE;
  pl::ControlEntry *entry = pl::find_by_number(session.env(), 0, 7, false, &code);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->state, 0);
  EXPECT_EQ(entry->size[0], record.size());
  ASSERT_NE(entry->section[1], nullptr);
  EXPECT_EQ(entry->section[1][3], 8);
  EXPECT_EQ(entry->section[2], nullptr);
  EXPECT_EQ(entry->section[3], nullptr);
}

}  // namespace
