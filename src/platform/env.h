// Environment variables.
#pragma once

#include <cstddef>

namespace pl::platform {

// Copies the value of `name` into `buffer` (capacity `capacity`, NUL-terminated and
// cut to fit). Returns the value's full length, or -1 when the variable is not set.
long env_get(const char *name, char *buffer, size_t capacity);

}  // namespace pl::platform
