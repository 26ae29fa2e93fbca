// PLTimeToString and its Ex, U and W forms.
#include "time/format/time_call.h"

using pl::time_format::ByteTimeForm;
using pl::time_format::PackedTimeForm;
using pl::time_format::ShiftTimeForm;
using pl::time_format::time_call;
using pl::time_format::TimeStates;
using pl::time_format::UnitTimeForm;

extern "C" {

PL_API int32_t PLTimeToString(PLLocale *locale, const struct tm *time, char *out, int32_t outSize,
                              const char *format, int32_t formatLen, int32_t flags) {
  return time_call<ByteTimeForm>(locale, time, out, outSize, format, formatLen, flags, {0, 0});
}

// A set without states is formatted as by the base form, whatever the states say.
PL_API int32_t PLTimeToStringEx(PLLocale *locale, const struct tm *time, char *out,
                                PLState outState, int32_t outSize, const char *format,
                                PLState formatState, int32_t formatLen, int32_t flags) {
  PLLocale *handle = pl::resolve(locale);
  if (!pl::is_unbound(handle) && (handle->flags & pl::kHandleStateful) != 0)
    return time_call<ShiftTimeForm>(locale, time, out, outSize, format, formatLen, flags,
                                    TimeStates{outState != 0, formatState != 0});
  return time_call<ByteTimeForm>(locale, time, out, outSize, format, formatLen, flags, {0, 0});
}

PL_API int32_t PLTimeToStringU(PLLocale *locale, const struct tm *time, PLUChar *out,
                               int32_t outSize, const PLUChar *format, int32_t formatLen,
                               int32_t flags) {
  return time_call<UnitTimeForm>(locale, time, out, outSize, format, formatLen, flags, {0, 0});
}

PL_API int32_t PLTimeToStringW(PLLocale *locale, const struct tm *time, PLWChar *out,
                               int32_t outSize, const PLWChar *format, int32_t formatLen,
                               int32_t flags) {
  return time_call<PackedTimeForm>(locale, time, out, outSize, format, formatLen, flags, {0, 0});
}

}  // extern "C"
