// Names of the files in a locale directory.
#pragma once

#include <cstdint>

#include "locale/data_file.h"

namespace pl {

// "<dir>/control.nls". False when it does not fit kMaxPath with its NUL.
bool control_file_path(const char *directory, char *out);

// "<dir>/<prefix>_<number, at least four digits>.nls", for example la_0007.nls.
bool data_file_path(const char *directory, int kind, unsigned number, char *out);
// The same in UTF-16, from a UTF-16 directory.
bool data_file_path_wide(const PLUChar *directory, int kind, unsigned number, PLUChar *out);

}  // namespace pl
