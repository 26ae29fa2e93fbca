#include "support/glibc_locales.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

// glibc keeps the search path of LOCPATH for the life of the process; the leak
// checker of the sanitizer build must not count it.
extern "C" const char *__lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }

namespace pltest {
namespace {

// Compiles a glibc locale once into the build tree; parallel test processes each
// build into a private name and the first rename wins.
bool compile_glibc_locale(const std::string &name, const std::string &charmap) {
  std::string cache = POLYLOC_GLIBC_LOCALE_CACHE, target = cache + "/" + name + "." + charmap;
  if (std::filesystem::exists(target)) return true;
  std::filesystem::create_directories(cache);
  std::string scratch = target + ".tmp" + std::to_string(getpid());
  std::string command = "localedef -i " + name + " -f " + charmap + " " + scratch + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  if (status == -1 || WEXITSTATUS(status) > 1) return false;  // 1: warnings only
  std::error_code ignored;
  std::filesystem::rename(scratch, target, ignored);
  std::filesystem::remove_all(scratch, ignored);
  return std::filesystem::exists(target);
}

}  // namespace

locale_t open_glibc_locale(const std::string &name, const std::string &charmap) {
  if (!compile_glibc_locale(name, charmap)) return nullptr;
  setenv("LOCPATH", POLYLOC_GLIBC_LOCALE_CACHE, 1);
  return newlocale(LC_ALL_MASK, (name + "." + charmap).c_str(), nullptr);
}

}  // namespace pltest
