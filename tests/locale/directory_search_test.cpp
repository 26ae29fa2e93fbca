// Where the library looks for its locale directory: the argument, PL_LOCALEDIR,
// then the default directory; without any, the built-in set.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "locale/builtin_set.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using pltest::EnvVar;
using pltest::Session;
using pltest::TempDir;

class DirectorySearch : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove_all(pltest::default_locale_dir()); }
  void TearDown() override { std::filesystem::remove_all(pltest::default_locale_dir()); }

  void install_default_dir() {
    std::filesystem::create_directories(pltest::default_locale_dir());
    for (const auto &file : std::filesystem::directory_iterator(pltest::built_locale_dir()))
      std::filesystem::copy_file(file.path(), std::filesystem::path(pltest::default_locale_dir()) /
                                                  file.path().filename());
  }

  TempDir empty;  // a directory without a control file
};

TEST_F(DirectorySearch, WithoutAnyDirectoryTheBuiltinSetStandsIn) {
  EnvVar unset("PL_LOCALEDIR", nullptr);
  Session session(empty.path(), 0, PL_INIT_BUILTIN);
  EXPECT_STREQ(session.env()->directory, "");
  const char *names[] = {"English", "UnitedStates", "US-ASCII"};
  for (int kind = 0; kind < 3; ++kind) {
    pl::Code code = PL_ERR_FILE;
    pl::ControlEntry *entry = session.find(kind, names[kind], &code);
    ASSERT_NE(entry, nullptr) << names[kind];
    EXPECT_EQ(code, PL_OK);
    EXPECT_EQ(entry->state, pl::kStateBuiltin);
  }
  pl::Code code = PL_OK;
  EXPECT_EQ(session.find(3, "General", &code), nullptr);
  EXPECT_EQ(code, PL_ERR_NOT_FOUND);
}

TEST_F(DirectorySearch, NullArgumentSearchesToo) {
  EnvVar unset("PL_LOCALEDIR", nullptr);
  pltest::Heap heap;
  EXPECT_EQ(PLInit(nullptr, pltest::heap_alloc, pltest::heap_free, &heap, 0), PL_INIT_BUILTIN);
  EXPECT_EQ(PLTerm(), PL_OK);
  EXPECT_EQ(heap.live, 0);
}

TEST_F(DirectorySearch, StrictLoadingWithoutADirectoryFails) {
  EnvVar unset("PL_LOCALEDIR", nullptr);
  Session session(empty.path(), PL_INIT_STRICT, PL_ERR_INIT);
  EXPECT_EQ(pl::process().init_count, 0);
  EXPECT_EQ(pl::process().initialised, 0);
  EXPECT_EQ(pl::current_environment(), nullptr);
  EXPECT_EQ(PLTerm(), PL_ERR_ARGUMENT);
  // The library can still be initialised afterwards.
  Session later(pltest::built_locale_dir());
}

TEST_F(DirectorySearch, TheArgumentComesFirst) {
  install_default_dir();
  TempDir other;
  other.copy_from(pltest::built_locale_dir());
  EnvVar set("PL_LOCALEDIR", other.path().c_str());
  Session session(pltest::built_locale_dir());
  EXPECT_EQ(std::string(session.env()->directory), pltest::built_locale_dir());
}

TEST_F(DirectorySearch, AnArgumentWithoutControlFileFallsBackToTheVariable) {
  install_default_dir();
  TempDir other;
  other.copy_from(pltest::built_locale_dir());
  EnvVar set("PL_LOCALEDIR", other.path().c_str());
  Session session(empty.path());
  EXPECT_EQ(std::string(session.env()->directory), other.path());
  // Data files come from the directory that was found.
  pl::Code code = PL_ERR_FILE;
  pl::ControlEntry *entry = session.find(0, "English", &code);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->state, 0);
}

TEST_F(DirectorySearch, AVariableWithoutControlFileFallsBackToTheDefault) {
  install_default_dir();
  EnvVar set("PL_LOCALEDIR", empty.path().c_str());
  Session session(empty.path());
  EXPECT_EQ(std::string(session.env()->directory), pltest::default_locale_dir());
}

TEST_F(DirectorySearch, TheDefaultDirectoryServesANullArgument) {
  install_default_dir();
  EnvVar unset("PL_LOCALEDIR", nullptr);
  pltest::Heap heap;
  ASSERT_EQ(PLInit(nullptr, pltest::heap_alloc, pltest::heap_free, &heap, 0), PL_OK);
  EXPECT_EQ(std::string(pl::current_environment()->directory), pltest::default_locale_dir());
  EXPECT_EQ(PLTerm(), PL_OK);
  EXPECT_EQ(heap.live, 0);
}

TEST_F(DirectorySearch, NamesThatDoNotFitEndTheSearch) {
  install_default_dir();
  std::string too_long(300, 'x');
  {
    EnvVar set("PL_LOCALEDIR", too_long.c_str());
    { Session session(empty.path(), 0, PL_INIT_BUILTIN); }
    { Session strict_fails(empty.path(), PL_INIT_STRICT, PL_ERR_INIT); }
  }
  EnvVar unset("PL_LOCALEDIR", nullptr);
  // The control file's name must fit 260 characters; the default is not tried.
  Session session(std::string(250, 'y'), 0, PL_INIT_BUILTIN);
}

}  // namespace
