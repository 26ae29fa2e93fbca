// glibc's own locales as test oracles: compiled with localedef into the build tree on
// first use, then opened with newlocale.
#pragma once

#include <locale.h>

#include <string>

namespace pltest {

// Opens glibc locale `name` (such as "de_DE") in UTF-8, compiling it first if needed;
// null when localedef or newlocale fails. Release with freelocale.
locale_t open_glibc_locale(const std::string &name);

}  // namespace pltest
