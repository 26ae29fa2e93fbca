// PLEnumLocales, PLEnumLocalesU and PLEnumLocalesW: walk the control table.
#include "frame/endian.h"
#include "frame/process.h"
#include "locale/builtin_set.h"
#include "locale/environment.h"
#include "locale/layouts/charset_table.h"

namespace pl {
namespace {

// Calls `visit(kind, name)` for each entry until it returns 0. The entries are not
// loaded. Returns 0, or 2 for a null callback or an uninitialised library.
template <class Visit>
int32_t enumerate(bool have_callback, Visit visit) {
  Environment *env = current_environment();
  if (!have_callback || env == nullptr) return PL_ERR_ARGUMENT;
  for (size_t i = 0; i < env->count(); ++i) {
    const ControlEntry &entry = env->table[i];
    if (visit(static_cast<int32_t>(entry.kind), entry.name) == 0) break;
  }
  return PL_OK;
}

// The byte-to-Unicode table of code set 1, which names are written in.
const uint8_t *name_code_table(Environment *env) {
  Code code = PL_OK;
  ControlEntry *ascii = find_by_number(env, layout::kCodeset, 1, false, &code);
  const uint8_t *table = ascii != nullptr ? ascii->section[0] : builtin::charset_table().data;
  return table + layout::charset::kByteToUnicode;
}

}  // namespace
}  // namespace pl

extern "C" {

PL_API int32_t PLEnumLocales(PLEnumCallback callback, void *user) {
  return pl::enumerate(callback != nullptr, [&](int32_t kind, const char *name) {
    return callback(user, kind, name);
  });
}

PL_API int32_t PLEnumLocalesU(PLEnumCallbackU callback, void *user) {
  const uint8_t *to_unicode = nullptr;
  return pl::enumerate(callback != nullptr, [&](int32_t kind, const char *name) {
    if (to_unicode == nullptr) to_unicode = pl::name_code_table(pl::current_environment());
    PLUChar wide[pl::layout::kEntryNameSize];
    size_t i = 0;
    for (; name[i] != '\0'; ++i)
      wide[i] = pl::read_u16(to_unicode + 2 * static_cast<unsigned char>(name[i]));
    wide[i] = 0;
    return callback(user, kind, wide);
  });
}

PL_API int32_t PLEnumLocalesW(PLEnumCallbackW callback, void *user) {
  return pl::enumerate(callback != nullptr, [&](int32_t kind, const char *name) {
    PLWChar wide[pl::layout::kEntryNameSize];
    size_t i = 0;
    for (; name[i] != '\0'; ++i) wide[i] = static_cast<unsigned char>(name[i]);
    wide[i] = 0;
    return callback(user, kind, wide);
  });
}

}  // extern "C"
