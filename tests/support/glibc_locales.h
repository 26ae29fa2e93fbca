// glibc's own locales as test oracles and benchmark peers: compiled with localedef
// into the build tree (POLYLOC_GLIBC_LOCALE_CACHE) on first use, then opened with
// newlocale.
#pragma once

#include <locale.h>

#include <string>

namespace pltest {

// Opens glibc locale `name` (such as "de_DE") in `charmap` (such as "CP1252"),
// compiling it first if needed; null when localedef or newlocale fails. Release with
// freelocale.
locale_t open_glibc_locale(const std::string &name, const std::string &charmap = "UTF-8");

}  // namespace pltest
