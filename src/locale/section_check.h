// Structural checks of a loaded item's sections, so that every later read of a
// record stays inside its mapping.
#pragma once

#include "locale/control_entry.h"

namespace pl {

// True when the sections of `entry` (of its kind) are well formed. For a collation it
// also sets or clears kStateCollationHints in entry.state.
bool sections_are_valid(ControlEntry &entry);

}  // namespace pl
