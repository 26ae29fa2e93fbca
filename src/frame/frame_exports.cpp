// PLInit, PLInitU, PLTerm, PLInitState and PLGetError.
#include "frame/handle.h"
#include "frame/memory.h"
#include "frame/process.h"
#include "frame/utf8.h"
#include "locale/environment.h"
#include "locale/locale_handle.h"
#include "platform/lock.h"

namespace pl {
namespace {

// Loads the environment from the caller's directory argument into `env`, with the
// loader's code in `code`. Returns the code of a preparation step that failed
// before the loader could run, else 0.
using Loader = Code (*)(const void *directory, int32_t flags, Environment **env, Code *code);

Code load_narrow(const void *directory, int32_t flags, Environment **env, Code *code) {
  *env = load_environment(static_cast<const char *>(directory), flags, code);
  return PL_OK;
}

// The file layer names files in UTF-8: the UTF-16 directory is converted first, into
// a block of 3 bytes a unit (a surrogate pair becomes one 4-byte sequence).
Code load_wide(const void *directory, int32_t flags, Environment **env, Code *code) {
  if (directory == nullptr) return load_narrow(nullptr, flags, env, code);
  const PLUChar *units = static_cast<const PLUChar *>(directory);
  size_t count = utf16_length(units) % 65536;
  size_t capacity = 3 * count + 1;
  char *narrow = static_cast<char *>(allocate(capacity));
  if (narrow == nullptr) return PL_ERR_NO_MEMORY;
  utf16_to_utf8(units, count, narrow, capacity);
  *env = load_environment(narrow, flags, code);
  release(narrow);
  return PL_OK;
}

int32_t initialise(Loader loader, const void *directory, PLAllocHook alloc, PLFreeHook free_hook,
                   void *context, int32_t flags) {
  Process &state = process();
  if (state.init_count != 0) {
    platform::lock_acquire();
    bool room = state.init_count != UINT16_MAX;
    if (room) ++state.init_count;
    platform::lock_release();
    return room ? PL_OK : PL_ERR_ARGUMENT;
  }
  if (!platform::lock_create()) return PL_ERR_NO_MEMORY;
  platform::lock_acquire();
  set_allocator(alloc, free_hook, context);
  state.initialised = 1;
  Code code = PL_OK;
  Environment *env = nullptr;
  Code prepared = loader(directory, flags, &env, &code);
  if (env == nullptr) {
    state.initialised = 0;
    platform::lock_release();
    platform::lock_close();
    return prepared != PL_OK ? prepared : PL_ERR_INIT;
  }
  state.init_count = 1;
  state.environment = env;
  platform::lock_release();
  return code != PL_OK ? PL_INIT_BUILTIN : PL_OK;
}

}  // namespace
}  // namespace pl

extern "C" {

PL_API int32_t PLInit(const char *localeDir, PLAllocHook allocHook, PLFreeHook freeHook,
                      void *allocContext, int32_t initFlags) {
  return pl::initialise(pl::load_narrow, localeDir, allocHook, freeHook, allocContext, initFlags);
}

PL_API int32_t PLInitU(const PLUChar *localeDir, PLAllocHook allocHook, PLFreeHook freeHook,
                       void *allocContext, int32_t initFlags) {
  return pl::initialise(pl::load_wide, localeDir, allocHook, freeHook, allocContext, initFlags);
}

PL_API int32_t PLTerm(void) {
  pl::Process &state = pl::process();
  if (state.init_count == 0) return PL_ERR_ARGUMENT;  // not initialised
  pl::platform::lock_acquire();
  uint16_t before = state.init_count--;
  pl::platform::lock_release();
  if (before != 1) return PL_OK;
  pl::Code released = PL_OK;
  if (PLLocale *default_locale = state.default_locale) {
    state.default_locale = nullptr;
    released = pl::release_locale(default_locale);
  }
  pl::Environment *env = state.environment;
  state.environment = nullptr;
  pl::Code unloaded = pl::unload_environment(env);
  state.initialised = 0;
  pl::platform::lock_close();
  return released != PL_OK ? released : unloaded;
}

PL_API void PLInitState(PLLocale *locale, PLState *state) {
  pl::enter(locale);
  if (state != nullptr) *state = 0;
}

PL_API int32_t PLGetError(PLLocale *locale) { return pl::resolve(locale)->last_error; }

}  // extern "C"
