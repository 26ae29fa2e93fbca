// Creating and releasing locale handles.
#pragma once

#include <cstddef>

#include "frame/codes.h"
#include "frame/handle.h"
#include "locale/environment.h"

namespace pl {

// Flags of the handle-creating functions.
inline constexpr int32_t kNameFromEnvironment = 2;
inline constexpr int32_t kTolerantNames = 4;

// Resolves a locale name (8-bit) into a new handle; null with `code` on failure.
PLLocale *create_locale(Environment *env, const char *name, size_t length, int32_t flags,
                        Code *code);
// The same for a name of 32-bit characters whose low bytes are its characters.
PLLocale *create_locale_wide(Environment *env, const PLWChar *name, size_t length, int32_t flags,
                             Code *code);

// Sets the handle's flags from its items (single-byte, stateful, no collation).
void set_item_flags(PLLocale *handle);

// Releases the handle's strings and the handle: 0, or 1 when the free hook failed.
Code release_locale(PLLocale *handle);

}  // namespace pl
