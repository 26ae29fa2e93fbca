// Missing, truncated and corrupt control and data files: each gives its code, is
// replaced by built-in data in normal mode, fails in strict mode, and never crashes.
#include <gtest/gtest.h>

#include <cstdio>

#include <random>

#include "frame/endian.h"
#include "locale/builtin_set.h"
#include "locale/layouts/container.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using pltest::Session;
using pltest::TempDir;

class CorruptFiles : public ::testing::Test {
 protected:
  void SetUp() override { dir.copy_from(pltest::built_locale_dir()); }

  std::vector<uint8_t> bytes(const char *name) { return pltest::read_bytes(dir.file(name)); }
  void put(const char *name, const std::vector<uint8_t> &content) {
    pltest::write_bytes(dir.file(name), content);
  }

  // Loads territory 1 in both modes and checks the outcome.
  void expect_territory_failure(pl::Code expected) {
    {
      Session session(dir.path());
      pl::Code code = PL_OK;
      pl::ControlEntry *entry = session.find(1, "UnitedStates", &code);
      ASSERT_NE(entry, nullptr);
      EXPECT_EQ(code, expected);
      EXPECT_EQ(entry->state & pl::kStateBuiltin, pl::kStateBuiltin);
      EXPECT_EQ(entry->section[0], pl::builtin::territory_section().data);
      EXPECT_EQ(entry->file, nullptr);
      // A later lookup sees the substitute as loaded.
      EXPECT_EQ(session.find(1, "UnitedStates", &code), entry);
      EXPECT_EQ(code, PL_OK);
    }
    {
      Session session(dir.path(), PL_INIT_STRICT);
      pl::Code code = PL_OK;
      EXPECT_EQ(session.find(1, "UnitedStates", &code), nullptr);
      EXPECT_EQ(code, expected);
    }
  }

  TempDir dir;
};

TEST_F(CorruptFiles, MissingDataFile) {
  std::remove(dir.file("te_0001.nls").c_str());
  expect_territory_failure(PL_ERR_FILE_NOT_FOUND);
}

TEST_F(CorruptFiles, WrongMagicNumber) {
  std::vector<uint8_t> file = bytes("te_0001.nls");
  file[3] ^= 0x80;
  put("te_0001.nls", file);
  expect_territory_failure(PL_ERR_NOT_DATA_FILE);
}

TEST_F(CorruptFiles, TruncatedHeaderOrSection) {
  std::vector<uint8_t> file = bytes("te_0001.nls");
  put("te_0001.nls", std::vector<uint8_t>(file.begin(), file.begin() + 40));
  expect_territory_failure(PL_ERR_FILE_READ);
  put("te_0001.nls", std::vector<uint8_t>(file.begin(), file.end() - 1));
  expect_territory_failure(PL_ERR_FILE_READ);
}

TEST_F(CorruptFiles, SectionOutsideTheFile) {
  std::vector<uint8_t> file = bytes("te_0001.nls");
  pl::write_u32(file.data() + 16, 0xFFFFFF00u);  // section 1's offset
  put("te_0001.nls", file);
  expect_territory_failure(PL_ERR_FILE_READ);
}

TEST_F(CorruptFiles, RecordWhoseStringsLeaveTheSection) {
  std::vector<uint8_t> file = bytes("te_0001.nls");
  pl::write_u16(file.data() + 80 + 2 * 15, 0x7FFF);  // the currency symbol's offset
  put("te_0001.nls", file);
  expect_territory_failure(PL_ERR_FILE_READ);
}

TEST_F(CorruptFiles, OlderCodeSetFormatIsRefused) {
  std::vector<uint8_t> file = bytes("cp_0001.nls");
  pl::write_u32(file.data() + 4, 0x30100000u);  // major 3, minor 2
  put("cp_0001.nls", file);
  Session session(dir.path());
  pl::Code code = PL_OK;
  pl::ControlEntry *entry = session.find(2, "US-ASCII", &code);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(code, PL_ERR_NOT_DATA_FILE);
  EXPECT_EQ(entry->section[0], pl::builtin::charset_table().data);
  EXPECT_EQ(entry->section[2], pl::builtin::unicode_to_byte_table().data);
}

TEST_F(CorruptFiles, CollationsHaveNoSubstitute) {
  std::vector<pltest::EntrySpec> entries = {
      {0, 1, "English"}, {1, 1, "UnitedStates"}, {2, 1, "US-ASCII"}, {3, 1, "General"}};
  put("control.nls", pltest::container_bytes({pltest::control_table_bytes(entries)}));
  std::remove(dir.file("so_0001.nls").c_str());
  Session session(dir.path());
  pl::Code code = PL_OK;
  EXPECT_EQ(session.find(3, "General", &code), nullptr);
  EXPECT_EQ(code, PL_ERR_FILE_NOT_FOUND);
}

class CorruptControl : public CorruptFiles {
 protected:
  // A bad control file leaves the built-in set in normal mode and fails in strict mode.
  void expect_builtin_set() {
    {
      Session session(dir.path(), 0, PL_INIT_BUILTIN);
      EXPECT_EQ(session.env()->count(), 3);
      EXPECT_STREQ(session.env()->directory, "");
      pl::Code code = PL_ERR_FILE;
      EXPECT_NE(session.find(0, "English", &code), nullptr);
      EXPECT_EQ(code, PL_OK);
    }
    Session session(dir.path(), PL_INIT_STRICT, PL_ERR_INIT);
    EXPECT_EQ(pl::process().init_count, 0);
    EXPECT_EQ(pl::process().initialised, 0);
  }
};

TEST_F(CorruptControl, WrongMagicNumber) {
  std::vector<uint8_t> file = bytes("control.nls");
  file[0] ^= 1;
  put("control.nls", file);
  expect_builtin_set();
}

TEST_F(CorruptControl, TruncatedHeaderOrTable) {
  std::vector<uint8_t> file = bytes("control.nls");
  put("control.nls", std::vector<uint8_t>(file.begin(), file.begin() + 79));
  expect_builtin_set();
  put("control.nls", std::vector<uint8_t>(file.begin(), file.end() - 30));
  expect_builtin_set();
}

TEST_F(CorruptControl, EntriesOutOfOrderOrMalformed) {
  std::vector<pltest::EntrySpec> unsorted = {{1, 1, "UnitedStates"}, {0, 1, "English"}};
  put("control.nls", pltest::container_bytes({pltest::control_table_bytes(unsorted)}));
  expect_builtin_set();
  std::vector<pltest::EntrySpec> bad_kind = {{0, 1, "English"}, {4, 1, "Other"}};
  put("control.nls", pltest::container_bytes({pltest::control_table_bytes(bad_kind)}));
  expect_builtin_set();
  std::vector<uint8_t> table = pltest::control_table_bytes({{0, 1, "English"}});
  std::fill(table.begin() + 4, table.begin() + 40, 'x');  // a name without its NUL
  put("control.nls", pltest::container_bytes({table}));
  expect_builtin_set();
}

TEST_F(CorruptControl, OlderHeaderIsAcceptedAndRewritten) {
  std::vector<uint8_t> file = bytes("control.nls");
  pl::layout::ContainerHeader header;
  ASSERT_TRUE(pl::layout::decode_header(file.data(), &header));
  header.file_version = 0x20000000u;
  pl::layout::encode_old_header(header, file.data());
  put("control.nls", file);
  Session session(dir.path());
  EXPECT_EQ(session.env()->count(), header.size[0] / 60);
  pl::Code code = PL_ERR_FILE;
  pl::ControlEntry *entry = session.find(2, "us-ascii", &code);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->state, 0);
}

TEST_F(CorruptControl, AnEmptyTableIsValid) {
  put("control.nls", pltest::container_bytes({{}}));
  Session session(dir.path());
  EXPECT_EQ(session.env()->count(), 0);
  pl::Code code = PL_OK;
  EXPECT_EQ(session.find(0, "English", &code), nullptr);
  EXPECT_EQ(code, PL_ERR_NOT_FOUND);
}

// Random damage to any file never crashes and never leaks, in either mode.
TEST_F(CorruptFiles, RandomDamageIsSurvived) {
  std::mt19937 random(20261205);
  const char *names[] = {"control.nls", "la_0001.nls", "te_0001.nls", "cp_0001.nls"};
  for (int round = 0; round < 400; ++round) {
    const char *name = names[round % 4];
    std::vector<uint8_t> original = pltest::read_bytes(pltest::built_locale_dir() + std::string("/") + name);
    std::vector<uint8_t> damaged = original;
    int flips = 1 + static_cast<int>(random() % 8);
    for (int f = 0; f < flips; ++f) {
      // Headers and fixed fields are where damage matters most: favour them.
      size_t at = random() % 2 ? random() % 128 : random() % damaged.size();
      if (at < damaged.size()) damaged[at] = static_cast<uint8_t>(random());
    }
    if (random() % 5 == 0) damaged.resize(random() % damaged.size());
    put(name, damaged);
    for (int32_t flags : {0, PL_INIT_STRICT}) {
      pltest::Heap heap;
      int32_t code = PLInit(dir.path().c_str(), pltest::heap_alloc, pltest::heap_free, &heap, flags);
      if (code == PL_OK || code == PL_INIT_BUILTIN) {
        pl::Environment *env = pl::current_environment();
        for (size_t i = 0; i < env->count(); ++i) {
          pl::Code load_code = PL_OK;
          pl::load_entry(env, &env->table[i], &load_code);
        }
        EXPECT_EQ(PLTerm(), PL_OK);
      } else {
        EXPECT_EQ(code, PL_ERR_INIT);
      }
      EXPECT_EQ(heap.live, 0);
    }
    put(name, original);
  }
}

}  // namespace
