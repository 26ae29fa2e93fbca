// Initialisation and termination: counting, hooks, the wide directory form.
#include <gtest/gtest.h>

#include <filesystem>

#include "frame/handle.h"
#include "frame/process.h"
#include "locale/environment.h"
#include "polyloc.h"
#include "support/allocator_hooks.h"
#include "support/locale_dir.h"

namespace {

using pltest::Heap;

// Loads every item, so that termination has files and mappings to release.
void load_everything() {
  pl::Environment *env = pl::current_environment();
  ASSERT_NE(env, nullptr);
  for (size_t i = 0; i < env->count(); ++i) {
    pl::Code code = PL_OK;
    ASSERT_NE(pl::load_entry(env, &env->table[i], &code), nullptr);
    EXPECT_EQ(code, PL_OK) << env->table[i].name;
  }
}

TEST(InitTerm, NestedCallsAreCountedAndOnlyTheLastTermReleases) {
  Heap heap;
  ASSERT_EQ(PLInit(pltest::built_locale_dir(), pltest::heap_alloc, pltest::heap_free, &heap, 0), PL_OK);
  load_everything();
  long live = heap.live;
  EXPECT_GT(live, 0);
  // A nested init ignores its arguments, even a directory that does not exist.
  EXPECT_EQ(PLInit("/nonexistent", nullptr, nullptr, nullptr, PL_INIT_STRICT), PL_OK);
  EXPECT_EQ(heap.live, live);
  EXPECT_EQ(PLTerm(), PL_OK);
  EXPECT_EQ(heap.live, live);
  EXPECT_NE(pl::current_environment(), nullptr);
  EXPECT_EQ(PLTerm(), PL_OK);
  EXPECT_EQ(heap.live, 0);
  EXPECT_EQ(pl::current_environment(), nullptr);
  EXPECT_EQ(pl::process().initialised, 0);
}

TEST(InitTerm, TermWithoutInitIsRefusedAndDoesNotWrap) {
  EXPECT_EQ(PLTerm(), PL_ERR_ARGUMENT);
  EXPECT_EQ(pl::process().init_count, 0);
  ASSERT_EQ(PLInit(pltest::built_locale_dir(), nullptr, nullptr, nullptr, 0), PL_OK);
  EXPECT_EQ(PLTerm(), PL_OK);
  EXPECT_EQ(PLTerm(), PL_ERR_ARGUMENT);
}

TEST(InitTerm, FailingFreeHookMakesTermReturn1) {
  Heap heap;
  ASSERT_EQ(PLInit(pltest::built_locale_dir(), pltest::heap_alloc, pltest::heap_free, &heap, 0), PL_OK);
  heap.fail_frees = true;
  EXPECT_EQ(PLTerm(), PL_ERR_FILE);
  EXPECT_EQ(heap.live, 0);  // the blocks were still returned
}

TEST(InitTerm, CanInitialiseAgainAfterTheLastTerm) {
  for (int round = 0; round < 3; ++round) {
    Heap heap;
    ASSERT_EQ(PLInit(pltest::built_locale_dir(), pltest::heap_alloc, pltest::heap_free, &heap, 0), PL_OK);
    load_everything();
    EXPECT_EQ(PLTerm(), PL_OK);
    EXPECT_EQ(heap.live, 0);
  }
}

TEST(InitTerm, WideDirectoryIsConvertedToUtf8) {
  pltest::TempDir parent;
  // A directory whose name needs two-, three- and four-byte UTF-8 sequences.
  std::string name = parent.path() + "/loc\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  std::filesystem::create_directory(name);
  for (const auto &file : std::filesystem::directory_iterator(pltest::built_locale_dir()))
    std::filesystem::copy_file(file.path(), name + "/" + file.path().filename().string());

  std::u16string wide;
  for (char c : parent.path() + "/loc") wide.push_back(static_cast<unsigned char>(c));
  wide += u"\u00E9\u20AC\U0001F600";
  Heap heap;
  ASSERT_EQ(PLInitU(reinterpret_cast<const PLUChar *>(wide.c_str()), pltest::heap_alloc,
                    pltest::heap_free, &heap, 0),
            PL_OK);
  EXPECT_EQ(std::string(pl::current_environment()->directory), name);
  load_everything();
  EXPECT_EQ(PLTerm(), PL_OK);
  EXPECT_EQ(heap.live, 0);
}

TEST(InitTerm, WideInitOutOfMemoryForTheNameGives20) {
  Heap heap;
  heap.fail_at = 1;  // the UTF-8 copy of the directory is the first block
  const PLUChar dir[] = {u'/', u'x', 0};
  EXPECT_EQ(PLInitU(dir, pltest::heap_alloc, pltest::heap_free, &heap, 0), PL_ERR_NO_MEMORY);
  EXPECT_EQ(pl::process().init_count, 0);
  EXPECT_EQ(pl::process().initialised, 0);
  EXPECT_EQ(heap.live, 0);
}

TEST(ErrorField, GetErrorReadsAndInitStateClears) {
  ASSERT_EQ(PLInit(pltest::built_locale_dir(), nullptr, nullptr, nullptr, 0), PL_OK);
  PLLocale handle{};
  handle.last_error = PL_ERR_NOT_FOUND;
  EXPECT_EQ(PLGetError(&handle), PL_ERR_NOT_FOUND);
  EXPECT_EQ(PLGetError(&handle), PL_ERR_NOT_FOUND);  // reading does not clear
  PLState state = 1;
  PLInitState(&handle, &state);
  EXPECT_EQ(state, 0u);
  EXPECT_EQ(PLGetError(&handle), PL_OK);

  // A null handle resolves without crashing, and its field is cleared the same way.
  state = 1;
  PLInitState(nullptr, &state);
  EXPECT_EQ(state, 0u);
  EXPECT_EQ(PLGetError(nullptr), PL_OK);
  EXPECT_EQ(PLTerm(), PL_OK);
}

}  // namespace
