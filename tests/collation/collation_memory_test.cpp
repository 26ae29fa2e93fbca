// Texts longer than the work space kept on the stack (64 units): with the Nth
// allocation failing, for every N a call needs, each entry point stores
// PL_ERR_NO_MEMORY and gives 0 or -1, and every block comes back.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "collation/synthetic_collation.h"
#include "collation/test_collations.h"
#include "frame/handle.h"
#include "support/session.h"

namespace {

using namespace pltest;
constexpr int32_t F = PL_IGNORE_CASE, W = PL_IGNORE_WIDTH;

struct EntryPoint {
  const char *name;
  std::function<int32_t(PLLocale *, int32_t flags)> call;
  int32_t failure;
};

std::vector<EntryPoint> entry_points() {
  // Equal primaries, different from the first unit on: no primary decides early and no
  // common prefix can be left out.
  static const std::u16string u1 = u"b" + std::u16string(100, u'a'), u2 = u"B" + std::u16string(100, u'a');
  static const std::string s1(u1.begin(), u1.end()), s2(u2.begin(), u2.end());
  static const std::vector<PLWChar> w1(u1.begin(), u1.end()), w2(u2.begin(), u2.end());
  static char dst[4];
  auto u = [](const std::u16string &s) { return reinterpret_cast<const PLUChar *>(s.data()); };
  return {
      {"PLStrcoll", [](PLLocale *l, int32_t f) { return PLStrcoll(l, s1.data(), 101, s2.data(), 101, f); }, 0},
      {"PLStrcollEx", [](PLLocale *l, int32_t f) { return PLStrcollEx(l, s1.data(), 0, 101, s2.data(), 0, 101, f); }, 0},
      {"PLStrcollU", [=](PLLocale *l, int32_t f) { return PLStrcollU(l, u(u1), 101, u(u2), 101, f); }, 0},
      {"PLWcscoll", [](PLLocale *l, int32_t f) { return PLWcscoll(l, w1.data(), 101, w2.data(), 101, f); }, 0},
      {"PLStrxfrm", [](PLLocale *l, int32_t f) { return PLStrxfrm(l, dst, 4, s1.data(), 101, f); }, -1},
      {"PLStrxfrmEx", [](PLLocale *l, int32_t f) { return PLStrxfrmEx(l, dst, 4, s1.data(), 0, 101, f); }, -1},
      {"PLStrxfrmU", [=](PLLocale *l, int32_t f) { return PLStrxfrmU(l, dst, 4, u(u1), 101, f); }, -1},
      {"PLWcsxfrm", [](PLLocale *l, int32_t f) { return PLWcsxfrm(l, dst, 4, w1.data(), 101, f); }, -1},
  };
}

TEST(CollationOutOfMemory, EveryFailedAllocationGivesTheCodeAndLeaksNothing) {
  SyntheticLocaleDir dir(test_collations());
  Session session(dir.path());
  for (const char *name : {"English_UnitedStates.MS1252@Test", "English_UnitedStates.MS1252@TestP",
                           "English_UnitedStates.MS1252@Binary"}) {
    PLLocale *l = PLGetLocale(name, 0, nullptr);
    ASSERT_NE(l, nullptr) << name;
    for (const EntryPoint &e : entry_points())
      for (int32_t flags : {0, F, W}) {
        std::string what = std::string(name) + " " + e.name + " flags " + std::to_string(flags);
        Heap &heap = session.heap();
        long live = heap.live;
        int32_t expected = e.call(l, flags);
        long failed = 0;
        for (long n = 1;; ++n) {
          heap.fail_at = heap.attempts + n;
          int32_t got = e.call(l, flags);
          bool reached = heap.attempts >= heap.fail_at;
          heap.fail_at = -1;
          EXPECT_EQ(heap.live, live) << what << " N=" << n;
          if (!reached) {
            EXPECT_EQ(got, expected) << what;
            break;
          }
          ++failed;
          EXPECT_EQ(got, e.failure) << what << " N=" << n;
          EXPECT_EQ(PLGetError(l), PL_ERR_NO_MEMORY) << what << " N=" << n;
        }
        // Binary comparison and keys need work space only to fold case.
        if (l->collation != nullptr || flags == F) {
          EXPECT_GT(failed, 0) << what << " allocates nothing";
        }
      }
    EXPECT_EQ(PLReleaseLocale(l), PL_OK);
  }
}

}  // namespace
