// The search over UTF-16 units that every form of PLRegexec runs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "regex/regex_program.h"

namespace pl::regex {

// Searches `length` units of `string` with `program` on a bound handle; `not_bol`: ^
// does not match at the start. 1 on a match, with program.ranges holding nsub + 1
// (start, end) pairs of unit offsets from `string` (null under PL_REG_NOSUB without back
// references); 0 without one (earlier ranges are dropped); -1 with the code stored.
int32_t search_units(PLLocale *handle, Program &program, const PLUChar *string, size_t length,
                     bool not_bol);

// Marks every range of the program's last search unused (what a search without a match
// leaves), for a caller that settles a search without running it.
void drop_ranges(Program &program);

}  // namespace pl::regex
