// PLRegexec and its Ex, U and W forms: check the call and search in the caller's form.
#include <functional>

#include "charset/shift_rule.h"
#include "regex/match/exec_forms.h"

namespace pl::regex {
namespace {

// The program of a call, or null with code 2 stored: the expression must be valid, the
// string given, and PL_COUNT_CHARS the only flag.
Program *exec_program(PLLocale *handle, PLRegex *re, const void *string, int32_t flags) {
  Program *program = program_of(re);
  if (program == nullptr || string == nullptr || (flags & ~PL_COUNT_CHARS) != 0) {
    handle->last_error = PL_ERR_ARGUMENT;
    return nullptr;
  }
  return program;
}

// The text goes on before `string` when `base` lies before it: ^ does not match there.
bool not_bol(const void *base, const void *string) {
  return base != nullptr && std::less<const void *>()(base, string);
}

int32_t exec_bytes_call(PLLocale *locale, PLRegex *re, const char *string, PLState state,
                        int32_t length, const char *base, int32_t flags) {
  PLLocale *handle = bound_handle(locale);
  if (handle == nullptr) return -1;
  Program *program = exec_program(handle, re, string, flags);
  if (program == nullptr) return -1;
  return exec_bytes(handle, *program, string, state, length, not_bol(base, string),
                    (flags & PL_COUNT_CHARS) != 0);
}

}  // namespace
}  // namespace pl::regex

extern "C" {

PL_API int32_t PLRegexec(PLLocale *locale, PLRegex *re, const char *string, int32_t length,
                         const char *base, int32_t flags) {
  return pl::regex::exec_bytes_call(locale, re, string, pl::kSingleByteState, length, base,
                                    flags);
}

PL_API int32_t PLRegexecEx(PLLocale *locale, PLRegex *re, const char *string, PLState state,
                           int32_t length, const char *base, int32_t flags) {
  return pl::regex::exec_bytes_call(locale, re, string, state, length, base, flags);
}

PL_API int32_t PLRegexecU(PLLocale *locale, PLRegex *re, const PLUChar *string, int32_t length,
                          const PLUChar *base, int32_t flags) {
  PLLocale *handle = pl::enter(locale);
  pl::regex::Program *program = pl::regex::exec_program(handle, re, string, flags);
  if (program == nullptr) return -1;
  return pl::regex::exec_units(handle, *program, string, length,
                               pl::regex::not_bol(base, string));
}

PL_API int32_t PLRegexecW(PLLocale *locale, PLRegex *re, const PLWChar *string, int32_t length,
                          const PLWChar *base, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr) return -1;
  pl::regex::Program *program = pl::regex::exec_program(handle, re, string, flags);
  if (program == nullptr) return -1;
  return pl::regex::exec_packed(handle, *program, string, length,
                                pl::regex::not_bol(base, string));
}

}  // extern "C"
