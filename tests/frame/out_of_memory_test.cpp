// An allocator that fails at the Nth allocation, for every N from PLInit to PLTerm:
// each failure gives its code, nothing leaks and nothing crashes.
#include <gtest/gtest.h>

#include <cstring>

#include "frame/process.h"
#include "locale/environment.h"
#include "polyloc.h"
#include "support/allocator_hooks.h"
#include "support/locale_dir.h"

namespace {

using pltest::Heap;

enum class Form { narrow, wide };

int32_t init(Form form, const char *dir, Heap &heap, int32_t flags) {
  if (form == Form::narrow) return PLInit(dir, pltest::heap_alloc, pltest::heap_free, &heap, flags);
  std::u16string wide(dir, dir + std::strlen(dir));
  return PLInitU(reinterpret_cast<const PLUChar *>(wide.c_str()), pltest::heap_alloc,
                 pltest::heap_free, &heap, flags);
}

// Runs init, a load of every item, and term with the Nth allocation failing.
// Returns false once a run meets no failure at all.
bool run_with_failure_at(long n, Form form, int32_t flags) {
  Heap heap;
  heap.fail_at = n;
  int32_t code = init(form, pltest::built_locale_dir(), heap, flags);
  if (code == PL_ERR_INIT || code == PL_ERR_NO_MEMORY) {
    EXPECT_EQ(pl::process().init_count, 0) << "N=" << n;
    EXPECT_EQ(pl::process().initialised, 0) << "N=" << n;
    EXPECT_EQ(heap.live, 0) << "N=" << n;
    return true;
  }
  // A failed first allocation of the table can only leave the built-in set (10).
  EXPECT_TRUE(code == PL_OK || code == PL_INIT_BUILTIN) << "N=" << n << " code " << code;
  pl::Environment *env = pl::current_environment();
  for (size_t i = 0; i < env->count(); ++i) {
    pl::Code load_code = PL_OK;
    pl::ControlEntry *entry = pl::load_entry(env, &env->table[i], &load_code);
    if (flags == PL_INIT_STRICT && code == PL_OK) {
      // Strict: a failed load is reported, never substituted.
      EXPECT_TRUE(entry != nullptr ? load_code == PL_OK : load_code == PL_ERR_NO_MEMORY)
          << "N=" << n;
    } else {
      // Substituted when the load failed; a collation has no substitute.
      bool collation = env->table[i].kind == pl::layout::kCollation;
      EXPECT_TRUE(entry != nullptr || (collation && load_code == PL_ERR_NO_MEMORY)) << "N=" << n;
      EXPECT_TRUE(load_code == PL_OK || load_code == PL_ERR_NO_MEMORY) << "N=" << n;
    }
  }
  EXPECT_EQ(PLTerm(), PL_OK) << "N=" << n;
  EXPECT_EQ(heap.live, 0) << "N=" << n;
  return heap.attempts >= n;
}

class OutOfMemory : public ::testing::TestWithParam<std::tuple<Form, int32_t>> {};

TEST_P(OutOfMemory, EveryAllocationFailureIsClean) {
  auto [form, flags] = GetParam();
  long n = 1;
  while (run_with_failure_at(n, form, flags)) ++n;
  EXPECT_GT(n, 4);  // the run really went through several allocations
}

INSTANTIATE_TEST_SUITE_P(AllForms, OutOfMemory,
                         ::testing::Combine(::testing::Values(Form::narrow, Form::wide),
                                            ::testing::Values(0, PL_INIT_STRICT)));

TEST(OutOfMemoryCodes, EnvironmentAndTableFailuresGive11) {
  for (long n : {1, 2, 3}) {
    Heap heap;
    heap.fail_at = n;
    EXPECT_EQ(PLInit(pltest::built_locale_dir(), pltest::heap_alloc, pltest::heap_free, &heap, 0),
              PL_ERR_INIT)
        << "N=" << n;
    EXPECT_EQ(heap.live, 0);
  }
}

}  // namespace
