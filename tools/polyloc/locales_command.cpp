// polyloc locales [--dir DIR]: the control table of the locale directory in use.
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "frame/process.h"
#include "locale/environment.h"
#include "polyloc.h"

namespace {

constexpr const char *kKindNames[] = {"language", "territory", "codeset", "collation"};

}  // namespace

int locales_command(int argc, char **argv) {
  const char *directory = nullptr;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc && directory == nullptr) {
      directory = argv[++i];
    } else {
      std::fprintf(stderr, "usage: polyloc locales [--dir DIR]\n");
      return 2;
    }
  }
  int32_t code = PLInit(directory, nullptr, nullptr, nullptr, 0);
  if (code != PL_OK && code != PL_INIT_BUILTIN) {
    std::fprintf(stderr, "polyloc: the library could not be initialised (code %d)\n", code);
    return 1;
  }
  const pl::Environment *env = pl::current_environment();
  if (code == PL_INIT_BUILTIN)
    std::printf("No usable control file was found: the built-in locale set stands in.\n");
  else
    std::printf("Locale directory: %s\n", env->directory);
  std::printf("\n%-10s %6s  %s\n", "kind", "number", "name");
  for (size_t i = 0; i < env->count(); ++i) {
    const pl::ControlEntry &entry = env->table[i];
    std::printf("%-10s %6u  %s\n", kKindNames[entry.kind], entry.number, entry.name);
  }
  std::printf("\n%u items: %u languages, %u territories, %u code sets, %u collations\n",
              env->count(), env->start[1] - env->start[0], env->start[2] - env->start[1],
              env->start[3] - env->start[2], env->start[4] - env->start[3]);
  return PLTerm() == PL_OK ? 0 : 1;
}
