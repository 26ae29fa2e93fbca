// The locale environment: the control table of the locale directory in use, and
// the lazily loaded data of its items.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/codes.h"
#include "locale/control_entry.h"
#include "locale/data_file.h"

namespace pl {

struct Environment {
  ControlEntry *table;
  // Index of the first entry of each kind; start[4] is the entry count.
  uint16_t start[layout::kKindCount + 1];
  bool strict;                // never substitute built-in data
  char directory[kMaxPath];   // empty for the built-in set

  uint16_t count() const { return start[layout::kKindCount]; }
};

// Finds the locale directory (`directory`, else PL_LOCALEDIR, else the default
// directory) and reads its control table. Without one, unless strict loading was
// asked for (init flags 0x80000001), the built-in set stands in and `code` keeps the
// failure. Returns null on failure.
Environment *load_environment(const char *directory, int32_t init_flags, Code *code);

// Releases every loaded section, open file, the table and the environment.
// Returns 0, or the code of the last release that failed.
Code unload_environment(Environment *environment);

// The entry of `kind` named `name` (`length` characters, which may count a final
// NUL; case is ignored), loaded unless `no_load`. Collation "BINARY" gives null with
// code 0. Not found: null, code 37.
ControlEntry *find_by_name(Environment *environment, int kind, const char *name, size_t length,
                           bool no_load, Code *code);
// The same, each name character taken from the low byte of a 32-bit element.
ControlEntry *find_by_wide_name(Environment *environment, int kind, const PLWChar *name,
                                size_t length, bool no_load, Code *code);
// The entry of `kind` with `number`; collation 0 gives null with code 0.
ControlEntry *find_by_number(Environment *environment, int kind, unsigned number, bool no_load,
                             Code *code);

// Loads the entry's data file under the library lock, once. On failure a strict
// environment gives null and the code; otherwise the built-in data of the kind stands
// in (code keeps the failure), except for collations, which give null.
ControlEntry *load_entry(Environment *environment, ControlEntry *entry, Code *code);

}  // namespace pl
