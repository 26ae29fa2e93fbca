#include "platform/paths.h"

namespace pl::platform {

// Fixed at configure time: the installed data directory.
const char *default_locale_directory() { return POLYLOC_DEFAULT_LOCALEDIR; }

}  // namespace pl::platform
