// Compilation of a UTF-16 pattern into a program, and the release of the result.
#pragma once

#include <cstddef>
#include <cstdint>

#include "regex/regex_program.h"

namespace pl::regex {

// Compiles `length` units of `pattern` on a bound handle under `flags` (the public flags,
// already checked, plus kCodeOrderRanges for the base, Ex and W forms). Null on failure
// with the code in the handle's error field; on success the field is 0.
PLRegex *compile_regex(PLLocale *handle, const PLUChar *pattern, size_t length, int32_t flags);

// Releases `re` and everything it owns; false when it is not a valid compiled
// expression (nothing changes then) or when a release reported failure.
bool free_regex(PLRegex *re);

}  // namespace pl::regex
