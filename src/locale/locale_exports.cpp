// PLGetLocale, PLSetLocale, PLReleaseLocale and their U and W forms.
#include <cstring>

#include "charset/from_unicode.h"
#include "frame/handle.h"
#include "frame/process.h"
#include "locale/builtin_set.h"
#include "locale/locale_handle.h"
#include "platform/env.h"

namespace pl {
namespace {

constexpr size_t kNameBuffer = 132;

bool flags_ok(int32_t flags) { return (flags & ~(kNameFromEnvironment | kTolerantNames)) == 0; }

// The name a flag-2 call resolves: PL_LANG, else the name of the user's native locale.
// Native identifiers are not known on this platform yet, which names no locale.
void name_from_environment(char *buffer) {
  if (platform::env_get("PL_LANG", buffer, kNameBuffer) < 0) std::strcpy(buffer, "Unknown");
}

PLLocale *get_locale(const char *name, int32_t flags, int32_t *error) {
  Code code = PL_OK;
  PLLocale *handle = nullptr;
  Environment *env = current_environment();
  if (!flags_ok(flags)) {
    code = PL_ERR_ARGUMENT;
  } else if (env == nullptr) {
    code = PL_ERR_INIT;
  } else {
    char from_environment[kNameBuffer];
    if (flags & kNameFromEnvironment) {
      name_from_environment(from_environment);
      name = from_environment;
    }
    if (name == nullptr) name = "";
    handle = create_locale(env, name, std::strlen(name), flags, &code);
  }
  if (error != nullptr) *error = code;
  return handle;
}

// A UTF-16 name in the encoding of code set 1, which names are written in.
void narrow_name(const PLUChar *name, char *buffer) {
  Code code = PL_OK;
  const ControlEntry *ascii = find_by_number(current_environment(), layout::kCodeset, 1, false, &code);
  if (ascii == nullptr) ascii = &builtin::control_table()[2];
  size_t used = 0;
  for (; name != nullptr && *name != 0; ++name) {
    uint8_t bytes[4];
    size_t count = to_bytes(*ascii, *name, bytes);
    if (used + count >= kNameBuffer) break;  // a longer name is cut at a character
    std::memcpy(buffer + used, bytes, count);
    used += count;
  }
  buffer[used] = '\0';
}

PLLocale *get_locale_u(const PLUChar *name, int32_t flags, int32_t *error) {
  char narrow[kNameBuffer] = "";
  if (flags_ok(flags) && current_environment() != nullptr && !(flags & kNameFromEnvironment))
    narrow_name(name, narrow);
  return get_locale(narrow, flags, error);
}

PLLocale *get_locale_w(const PLWChar *name, int32_t flags, int32_t *error) {
  if (!flags_ok(flags) || current_environment() == nullptr || (flags & kNameFromEnvironment) ||
      name == nullptr)
    return get_locale("", flags, error);
  size_t length = 0;
  while (name[length] != 0) ++length;
  Code code = PL_OK;
  PLLocale *handle = create_locale_wide(current_environment(), name, length, flags, &code);
  if (error != nullptr) *error = code;
  return handle;
}

// Installs a new default handle; the old one is released.
int32_t set_default(PLLocale *handle, int32_t code) {
  if (handle == nullptr) return code;
  PLLocale *old = process().default_locale;
  process().default_locale = handle;
  if (old != nullptr) release_locale(old);
  return PL_OK;
}

}  // namespace
}  // namespace pl

extern "C" {

PL_API PLLocale *PLGetLocale(const char *name, int32_t flags, int32_t *error) {
  return pl::get_locale(name, flags, error);
}

PL_API PLLocale *PLGetLocaleU(const PLUChar *name, int32_t flags, int32_t *error) {
  return pl::get_locale_u(name, flags, error);
}

PL_API PLLocale *PLGetLocaleW(const PLWChar *name, int32_t flags, int32_t *error) {
  return pl::get_locale_w(name, flags, error);
}

PL_API int32_t PLSetLocale(const char *name, int32_t flags) {
  int32_t code = PL_OK;
  PLLocale *handle = pl::get_locale(name, flags, &code);
  return pl::set_default(handle, code);
}

PL_API int32_t PLSetLocaleU(const PLUChar *name, int32_t flags) {
  int32_t code = PL_OK;
  PLLocale *handle = pl::get_locale_u(name, flags, &code);
  return pl::set_default(handle, code);
}

PL_API int32_t PLSetLocaleW(const PLWChar *name, int32_t flags) {
  int32_t code = PL_OK;
  PLLocale *handle = pl::get_locale_w(name, flags, &code);
  return pl::set_default(handle, code);
}

PL_API int32_t PLReleaseLocale(PLLocale *locale) {
  if (locale == nullptr) return PL_ERR_ARGUMENT;
  // Releasing the default handle uninstalls it first.
  if (locale == pl::process().default_locale) pl::process().default_locale = nullptr;
  return pl::release_locale(locale);
}

}  // extern "C"
