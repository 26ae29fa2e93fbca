// The locale set the library carries: language 1 "English", territory 1
// "UnitedStates" and code set 1 "US-ASCII". It stands in when no control file can be
// read and replaces a data file that cannot be loaded.
#pragma once

#include <cstddef>
#include <cstdint>

#include "locale/control_entry.h"

namespace pl::builtin {

struct Bytes {
  const uint8_t *data;
  uint32_t size;
};

Bytes language_section();
Bytes territory_section();
Bytes charset_table();          // section 1 of the code set
Bytes unicode_to_byte_table();  // section 3 of the code set

inline constexpr size_t kEntryCount = 3;
// The three control entries, state flag 0 set and sections filled.
const ControlEntry *control_table();

// Gives `entry` the built-in data of its kind (not for collations).
void substitute(ControlEntry &entry);

}  // namespace pl::builtin
