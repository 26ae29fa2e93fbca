// PLRegmatch and its Ex, U and W forms: compile as PLRegcomp does, search the string
// once from the start of a line, release the expression.
#include "regex/compile/compile_regex.h"
#include "charset/shift_rule.h"
#include "regex/match/exec_forms.h"

namespace pl::regex {
namespace {

// Runs search(handle, program) over the compiled `re` and releases it; -1 when the
// compilation failed (its code is in the handle) or `string` is null (code 2).
template <class Search>
int32_t match_once(PLLocale *locale, PLRegex *re, const void *string, Search search) {
  if (re == nullptr) return -1;
  PLLocale *handle = resolve(locale);
  int32_t found = -1;
  if (string == nullptr)
    handle->last_error = PL_ERR_ARGUMENT;
  else
    found = search(handle, *program_of(re));
  free_regex(re);
  return found;
}

}  // namespace
}  // namespace pl::regex

extern "C" {

PL_API int32_t PLRegmatch(PLLocale *locale, const char *string, int32_t length,
                          const char *pattern, int32_t patternLen, int32_t flags) {
  return pl::regex::match_once(
      locale, PLRegcomp(locale, pattern, patternLen, flags), string,
      [&](PLLocale *handle, pl::regex::Program &program) {
        return pl::regex::exec_bytes(handle, program, string, pl::kSingleByteState, length,
                                     false, (flags & PL_COUNT_CHARS) != 0);
      });
}

PL_API int32_t PLRegmatchEx(PLLocale *locale, const char *string, PLState state, int32_t length,
                            const char *pattern, PLState patternState, int32_t patternLen,
                            int32_t flags) {
  return pl::regex::match_once(
      locale, PLRegcompEx(locale, pattern, patternState, patternLen, flags), string,
      [&](PLLocale *handle, pl::regex::Program &program) {
        return pl::regex::exec_bytes(handle, program, string, state, length, false,
                                     (flags & PL_COUNT_CHARS) != 0);
      });
}

PL_API int32_t PLRegmatchU(PLLocale *locale, const PLUChar *string, int32_t length,
                           const PLUChar *pattern, int32_t patternLen, int32_t flags) {
  return pl::regex::match_once(locale, PLRegcompU(locale, pattern, patternLen, flags), string,
                               [&](PLLocale *handle, pl::regex::Program &program) {
                                 return pl::regex::exec_units(handle, program, string, length,
                                                              false);
                               });
}

PL_API int32_t PLRegmatchW(PLLocale *locale, const PLWChar *string, int32_t length,
                           const PLWChar *pattern, int32_t patternLen, int32_t flags) {
  return pl::regex::match_once(locale, PLRegcompW(locale, pattern, patternLen, flags), string,
                               [&](PLLocale *handle, pl::regex::Program &program) {
                                 return pl::regex::exec_packed(handle, program, string, length,
                                                               false);
                               });
}

}  // extern "C"
