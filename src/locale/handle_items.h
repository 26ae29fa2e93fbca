// Changing the items a handle is bound to.
#pragma once

#include "frame/codes.h"
#include "frame/handle.h"
#include "locale/control_entry.h"

namespace pl {

// A new territory: the conventions not set explicitly are taken from it again.
// Without memory the handle stays as it was and the result is 20.
Code select_territory(PLLocale *handle, ControlEntry *territory);

// A new code set: the handle's strings and separators are written in it again from
// their UTF-16 copies. Selecting the current code set changes nothing. Without memory
// the handle stays as it was and the result is 20.
Code select_codeset(PLLocale *handle, ControlEntry *codeset);

// A new collation, or none.
void select_collation(PLLocale *handle, ControlEntry *collation);

}  // namespace pl
