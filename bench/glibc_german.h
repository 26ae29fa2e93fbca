// glibc's de_DE, the peer of the grouped rows: compiled into the build tree on first
// use; null, with a message, when it cannot be had.
#pragma once

#include <locale.h>

#include <cstdio>

#include "support/glibc_locales.h"

inline locale_t glibc_german() {
  static locale_t l = [] {
    locale_t loaded = pltest::open_glibc_locale("de_DE");
    if (loaded == nullptr) std::fprintf(stderr, "glibc locale de_DE unavailable\n");
    return loaded;
  }();
  return l;
}
