// The library initialised over the build's locale directory for the lifetime of a
// fuzz target, released at exit so that the leak check sees every block come back.
#pragma once

#include <cstdlib>

#include "polyloc.h"

class FuzzLibrary {
 public:
  FuzzLibrary() {
    if (PLInit(POLYLOC_LOCALE_DIR, nullptr, nullptr, nullptr, 0) != PL_OK) std::abort();
  }
  ~FuzzLibrary() { PLTerm(); }
  FuzzLibrary(const FuzzLibrary &) = delete;
  FuzzLibrary &operator=(const FuzzLibrary &) = delete;
};
