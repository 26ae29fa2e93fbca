// Finding control entries by name or number.
#include <cstring>

#include "locale/environment.h"

namespace pl {
namespace {

char ascii_lower(unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); }

// `name` (`length` characters, read through `at`) equals `stored` without regard to
// ASCII case; the given length may count a final NUL.
template <class CharAt>
bool same_name(const char *stored, CharAt at, size_t length) {
  size_t stored_length = std::strlen(stored);
  if (length == stored_length + 1 && at(stored_length) == 0) length = stored_length;
  if (length != stored_length) return false;
  for (size_t i = 0; i < length; ++i)
    if (ascii_lower(static_cast<unsigned char>(stored[i])) != ascii_lower(at(i))) return false;
  return true;
}

ControlEntry *found(Environment *env, ControlEntry *entry, bool no_load, Code *code) {
  *code = PL_OK;
  if (no_load || is_loaded(*entry)) return entry;
  return load_entry(env, entry, code);
}

template <class CharAt>
ControlEntry *find(Environment *env, int kind, CharAt at, size_t length, bool no_load, Code *code) {
  // "BINARY" names no collation: strings then compare by code values.
  if (kind == layout::kCollation && same_name("BINARY", at, length)) {
    *code = PL_OK;
    return nullptr;
  }
  for (size_t i = env->start[kind]; i < env->start[kind + 1]; ++i)
    if (same_name(env->table[i].name, at, length)) return found(env, &env->table[i], no_load, code);
  *code = PL_ERR_NOT_FOUND;
  return nullptr;
}

}  // namespace

ControlEntry *find_by_name(Environment *env, int kind, const char *name, size_t length,
                           bool no_load, Code *code) {
  auto at = [name](size_t i) { return static_cast<unsigned char>(name[i]); };
  return find(env, kind, at, length, no_load, code);
}

ControlEntry *find_by_wide_name(Environment *env, int kind, const PLWChar *name, size_t length,
                                bool no_load, Code *code) {
  auto at = [name](size_t i) { return static_cast<unsigned char>(name[i] & 0xFF); };
  return find(env, kind, at, length, no_load, code);
}

ControlEntry *find_by_number(Environment *env, int kind, unsigned number, bool no_load,
                             Code *code) {
  if (kind == layout::kCollation && number == 0) {
    *code = PL_OK;
    return nullptr;
  }
  size_t low = env->start[kind], high = env->start[kind + 1];
  while (low < high) {
    size_t middle = low + (high - low) / 2;
    unsigned candidate = env->table[middle].number;
    if (candidate == number) return found(env, &env->table[middle], no_load, code);
    if (candidate < number)
      low = middle + 1;
    else
      high = middle;
  }
  *code = PL_ERR_NOT_FOUND;
  return nullptr;
}

}  // namespace pl
