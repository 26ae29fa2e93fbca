// Threads that need the same item load it once and all see the same data.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "support/locale_dir.h"
#include "support/session.h"

namespace {

TEST(ConcurrentLoad, EightThreadsLoadAnItemOnce) {
  for (int round = 0; round < 20; ++round) {
    pltest::Session session(pltest::built_locale_dir());
    long before = session.heap().allocations;
    std::atomic<bool> go{false};
    std::vector<pl::ControlEntry *> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
      threads.emplace_back([&, t] {
        while (!go) std::this_thread::yield();
        pl::Code code = PL_ERR_FILE;
        seen[t] = pl::find_by_name(pl::current_environment(), 2, "US-ASCII", 8, false, &code);
        EXPECT_EQ(code, PL_OK);
      });
    }
    go = true;
    for (std::thread &thread : threads) thread.join();
    for (pl::ControlEntry *entry : seen) {
      ASSERT_NE(entry, nullptr);
      EXPECT_EQ(entry, seen[0]);
      EXPECT_EQ(entry->section[0], seen[0]->section[0]);
    }
    // Loading allocates exactly one block, the file object.
    EXPECT_EQ(session.heap().allocations - before, 1);
  }
}

}  // namespace
