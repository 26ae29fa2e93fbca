// A library session over a test locale directory, with a counting allocator that
// proves at the end that every block came back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "frame/process.h"
#include "locale/environment.h"
#include "polyloc.h"
#include "support/allocator_hooks.h"

namespace pltest {

class Session {
 public:
  explicit Session(const std::string &dir, int32_t flags = 0, int32_t expected = PL_OK) {
    code_ = PLInit(dir.c_str(), heap_alloc, heap_free, &heap_, flags);
    EXPECT_EQ(code_, expected);
  }
  ~Session() {
    if (code_ == PL_OK || code_ == PL_INIT_BUILTIN) {
      EXPECT_EQ(PLTerm(), PL_OK);
    }
    EXPECT_EQ(heap_.live, 0);
  }
  Session(const Session &) = delete;
  Session &operator=(const Session &) = delete;

  pl::Environment *env() const { return pl::current_environment(); }
  Heap &heap() { return heap_; }

  pl::ControlEntry *find(int kind, const std::string &name, pl::Code *code, bool no_load = false) {
    return pl::find_by_name(env(), kind, name.c_str(), name.size(), no_load, code);
  }

 private:
  Heap heap_;
  int32_t code_;
};

}  // namespace pltest
