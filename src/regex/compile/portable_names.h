// The names of the POSIX portable character set that [.name.] and [=name=] accept.
#pragma once

#include <cstddef>

#include "polyloc.h"

namespace pl::regex {

// Whether the `length` units at `units` spell the ASCII text `name`.
bool names_equal(const char *name, const PLUChar *units, size_t length);

// The unit named by the `length` units at `name` (exact match), or -1.
int32_t portable_character(const PLUChar *name, size_t length);

}  // namespace pl::regex
