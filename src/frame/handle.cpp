#include "frame/handle.h"

#include "frame/process.h"

namespace pl {
namespace {
PLLocale g_unbound{};
}

PLLocale *resolve(PLLocale *locale) {
  if (locale != nullptr) return locale;
  PLLocale *fallback = process().default_locale;
  return fallback != nullptr ? fallback : &g_unbound;
}

}  // namespace pl
