// Process-wide state of the library: the initialisation count and the locale
// environment. All of it is zero while the library is not initialised.
#pragma once

#include <cstdint>

#include "polyloc.h"

namespace pl {

struct Environment;

struct Process {
  uint16_t init_count;
  int32_t initialised;        // 1 from the start of the first init until it fails or the last term
  Environment *environment;   // the loaded locale environment
  PLLocale *default_locale;   // the handle a null argument selects
};

Process &process();

// The environment of an initialised library, or null.
inline Environment *current_environment() { return process().environment; }

}  // namespace pl
