// PLStrcmp, PLStrcmpEx, PLStrcmpU and PLWcscmp: resolve the handle, check the flags,
// compare, store the code.
#include "string/compare/compare.h"
#include "string/string_exports.h"

extern "C" {

PL_API int32_t PLStrcmp(PLLocale *locale, const char *s1, int32_t len1, const char *s2,
                        int32_t len2, int32_t flags) {
  pl::StringCall call(locale, flags, pl::kCompareFlags, s1, s2);
  if (!call) return 0;
  return pl::compare_strings(call.handle(), call.rules(), s1, 0, len1, s2, 0, len2,
                                flags);
}

PL_API int32_t PLStrcmpEx(PLLocale *locale, const char *s1, PLState s1State, int32_t len1,
                          const char *s2, PLState s2State, int32_t len2, int32_t flags) {
  pl::ExCall call(locale, flags, pl::kCompareFlags, s1, s2);
  if (!call) return 0;
  return pl::compare_strings(call.handle(), call.rules(), s1, call.state(s1State), len1,
                                s2, call.state(s2State), len2, flags);
}

PL_API int32_t PLStrcmpU(PLLocale *locale, const PLUChar *s1, int32_t len1, const PLUChar *s2,
                         int32_t len2, int32_t flags) {
  pl::ElementCall call(locale, flags, pl::kCompareFlags, s1, s2);
  if (!call) return 0;
  return pl::compare_units(call.handle(), s1, len1, s2, len2, flags);
}

PL_API int32_t PLWcscmp(PLLocale *locale, const PLWChar *s1, int32_t len1, const PLWChar *s2,
                        int32_t len2, int32_t flags) {
  pl::StringCall call(locale, flags, pl::kCompareFlags, s1, s2);
  if (!call) return 0;
  return pl::compare_packed(call.handle(), s1, len1, s2, len2, flags);
}

}  // extern "C"
