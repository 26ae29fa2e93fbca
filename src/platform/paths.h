// Path conventions of the platform.
#pragma once

namespace pl::platform {

// Separator placed between a directory and a file name.
inline constexpr char kPathSeparator = '/';

// The locale directory searched when neither the caller nor PL_LOCALEDIR names one.
const char *default_locale_directory();

}  // namespace pl::platform
