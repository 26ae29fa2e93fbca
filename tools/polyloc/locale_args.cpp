#include "locale_args.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

PLLocale *open_locale(const char *name, const char *command) {
  int32_t error = PL_OK;
  PLLocale *locale = PLGetLocale(name, 0, &error);
  if (locale == nullptr && error == PL_ERR_UNKNOWN_LANGUAGE && std::strlen(name) < 200) {
    char dotted[256];
    std::snprintf(dotted, sizeof dotted, ".%s", name);
    locale = PLGetLocale(dotted, 0, &error);
  }
  if (locale == nullptr)
    std::fprintf(stderr, "%s: unknown locale \"%s\" (code %d)\n", command, name, error);
  return locale;
}

int with_locale(const char *directory, const char *name, const char *command,
                const std::function<int(PLLocale *)> &body) {
  int32_t code = PLInit(directory, nullptr, nullptr, nullptr, 0);
  if (code != PL_OK && code != PL_INIT_BUILTIN) {
    std::fprintf(stderr, "%s: the library could not be initialised (code %d)\n", command, code);
    return 1;
  }
  int status = 1;
  if (PLLocale *locale = open_locale(name, command)) {
    status = body(locale);
    PLReleaseLocale(locale);
  }
  PLTerm();
  return status;
}

char line_feed(PLLocale *locale) {
  const PLUChar unit = 0x0A;
  char bytes[8];
  return PLUnicodeToString(locale, bytes, sizeof bytes, &unit, 1, 0) == 1 ? bytes[0] : '\n';
}

ShiftBytes shift_bytes(PLLocale *locale) {
  ShiftBytes shifts;
  if (PLGetLocaleNumInfo(locale, PL_CODESET_STATEFUL, 0) != 1) return shifts;
  char byte[4];
  int out = -1, in = -1;
  if (PLGetLocaleTextInfoEx(locale, PL_SHIFT_OUT_BYTE, byte, 0, sizeof byte, 0) > 1)
    out = static_cast<unsigned char>(byte[0]);
  if (PLGetLocaleTextInfoEx(locale, PL_SHIFT_IN_BYTE, byte, 0, sizeof byte, 0) > 1)
    in = static_cast<unsigned char>(byte[0]);
  if (out >= 0 && in >= 0) shifts = {out, in};
  return shifts;
}

int read_inputs(const std::vector<const char *> &files, const char *command,
                const std::function<bool(FILE *)> &read) {
  std::vector<const char *> names = files;
  if (names.empty()) names.push_back("-");
  int status = 0;
  for (const char *name : names) {
    bool is_stdin = std::strcmp(name, "-") == 0;
    FILE *file = is_stdin ? stdin : std::fopen(name, "rb");
    if (file == nullptr) {
      std::fprintf(stderr, "%s: %s: %s\n", command, name, std::strerror(errno));
      status = 1;
      continue;
    }
    bool go_on = read(file);
    if (go_on && std::ferror(file)) {
      std::fprintf(stderr, "%s: %s: %s\n", command, name, std::strerror(errno));
      status = 1;
    }
    if (!is_stdin) std::fclose(file);
    if (!go_on) return -1;
  }
  return status;
}
