// Locale handles for the navigation tests: one by name, and the names of every code
// set of the environment.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/handle.h"
#include "locale/environment.h"
#include "polyloc.h"

namespace navtest {

struct Handle {
  explicit Handle(const std::string &name) {
    int32_t code = -1;
    locale = PLGetLocale(name.c_str(), 0, &code);
    EXPECT_EQ(code, PL_OK) << name;
  }
  ~Handle() {
    if (locale) {
      EXPECT_EQ(PLReleaseLocale(locale), PL_OK);
    }
  }
  Handle(const Handle &) = delete;
  Handle &operator=(const Handle &) = delete;

  PLLocale *locale = nullptr;
};

// The code-set entries of the control table, in table order.
inline std::vector<std::string> codeset_names(const pl::Environment *env) {
  std::vector<std::string> names;
  for (unsigned i = env->start[pl::layout::kCodeset]; i < env->start[pl::layout::kCodeset + 1]; ++i)
    names.emplace_back(env->table[i].name);
  return names;
}

}  // namespace navtest
