// The printf family: PLSprintf, PLVsprintf and PLSnprintf in the base, Ex, U and W
// forms. The Ex forms of a code set without shift states are the base forms.
#include <cstdarg>

#include "format/printf/printf_call.h"

namespace pl {
namespace {

template <class Form, class From>
int32_t call(PLLocale *locale, typename Form::Element *out, int32_t out_size,
             const typename Form::Element *format, int32_t format_length, int32_t flags,
             const From &from, PrintfStates states = {0, 0}) {
  return printf_call<Form>(locale, out, out_size, format, format_length, flags, states, from);
}

template <class From>
int32_t call_ex(PLLocale *locale, char *out, PLState out_state, int32_t out_size,
                const char *format, PLState format_state, int32_t format_length, int32_t flags,
                const From &from) {
  PLLocale *handle = resolve(locale);
  if (!is_unbound(handle) && (handle->flags & kHandleStateful) != 0)
    return call<ShiftEngineForm>(locale, out, out_size, format, format_length, flags, from,
                                 {out_state, format_state});
  return call<ByteEngineForm>(locale, out, out_size, format, format_length, flags, from);
}

template <class Form>
int32_t call_list(PLLocale *locale, typename Form::Element *out, int32_t out_size,
                  const typename Form::Element *format, int32_t format_length, int32_t flags,
                  va_list args) {
  va_list copy;
  va_copy(copy, args);
  int32_t result = call<Form>(locale, out, out_size, format, format_length, flags, ListArguments{&copy});
  va_end(copy);
  return result;
}

}  // namespace
}  // namespace pl

using pl::ByteEngineForm;
using pl::ListArguments;
using pl::PackedEngineForm;
using pl::SourceArguments;
using pl::UnitEngineForm;

extern "C" {

PL_API int32_t PLVsprintf(PLLocale *locale, char *out, int32_t outSize, const char *format,
                          int32_t formatLen, int32_t flags, va_list args) {
  return pl::call_list<ByteEngineForm>(locale, out, outSize, format, formatLen, flags, args);
}

PL_API int32_t PLSprintf(PLLocale *locale, char *out, int32_t outSize, const char *format,
                         int32_t formatLen, int32_t flags, ...) {
  va_list args;
  va_start(args, flags);
  int32_t result = pl::call<ByteEngineForm>(locale, out, outSize, format, formatLen, flags,
                                            ListArguments{&args});
  va_end(args);
  return result;
}

PL_API int32_t PLSnprintf(PLLocale *locale, char *out, int32_t outSize, const char *format,
                          int32_t formatLen, int32_t flags, const PLArgSource *source) {
  return pl::call<ByteEngineForm>(locale, out, outSize, format, formatLen, flags,
                                  SourceArguments{source});
}

PL_API int32_t PLVsprintfEx(PLLocale *locale, char *out, PLState outState, int32_t outSize,
                            const char *format, PLState formatState, int32_t formatLen,
                            int32_t flags, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int32_t result = pl::call_ex(locale, out, outState, outSize, format, formatState, formatLen,
                               flags, ListArguments{&copy});
  va_end(copy);
  return result;
}

PL_API int32_t PLSprintfEx(PLLocale *locale, char *out, PLState outState, int32_t outSize,
                           const char *format, PLState formatState, int32_t formatLen,
                           int32_t flags, ...) {
  va_list args;
  va_start(args, flags);
  int32_t result = pl::call_ex(locale, out, outState, outSize, format, formatState, formatLen,
                               flags, ListArguments{&args});
  va_end(args);
  return result;
}

PL_API int32_t PLSnprintfEx(PLLocale *locale, char *out, PLState outState, int32_t outSize,
                            const char *format, PLState formatState, int32_t formatLen,
                            int32_t flags, const PLArgSource *source) {
  return pl::call_ex(locale, out, outState, outSize, format, formatState, formatLen, flags,
                     SourceArguments{source});
}

PL_API int32_t PLVsprintfU(PLLocale *locale, PLUChar *out, int32_t outSize,
                           const PLUChar *format, int32_t formatLen, int32_t flags,
                           va_list args) {
  return pl::call_list<UnitEngineForm>(locale, out, outSize, format, formatLen, flags, args);
}

PL_API int32_t PLSprintfU(PLLocale *locale, PLUChar *out, int32_t outSize,
                          const PLUChar *format, int32_t formatLen, int32_t flags, ...) {
  va_list args;
  va_start(args, flags);
  int32_t result = pl::call<UnitEngineForm>(locale, out, outSize, format, formatLen, flags,
                                            ListArguments{&args});
  va_end(args);
  return result;
}

PL_API int32_t PLSnprintfU(PLLocale *locale, PLUChar *out, int32_t outSize,
                           const PLUChar *format, int32_t formatLen, int32_t flags,
                           const PLArgSource *source) {
  return pl::call<UnitEngineForm>(locale, out, outSize, format, formatLen, flags,
                                  SourceArguments{source});
}

PL_API int32_t PLWvsprintf(PLLocale *locale, PLWChar *out, int32_t outSize,
                           const PLWChar *format, int32_t formatLen, int32_t flags,
                           va_list args) {
  return pl::call_list<PackedEngineForm>(locale, out, outSize, format, formatLen, flags, args);
}

PL_API int32_t PLWsprintf(PLLocale *locale, PLWChar *out, int32_t outSize,
                          const PLWChar *format, int32_t formatLen, int32_t flags, ...) {
  va_list args;
  va_start(args, flags);
  int32_t result = pl::call<PackedEngineForm>(locale, out, outSize, format, formatLen, flags,
                                              ListArguments{&args});
  va_end(args);
  return result;
}

PL_API int32_t PLWsnprintf(PLLocale *locale, PLWChar *out, int32_t outSize,
                           const PLWChar *format, int32_t formatLen, int32_t flags,
                           const PLArgSource *source) {
  return pl::call<PackedEngineForm>(locale, out, outSize, format, formatLen, flags,
                                    SourceArguments{source});
}

}  // extern "C"
