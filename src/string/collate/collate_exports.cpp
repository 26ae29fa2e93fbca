// PLStrcoll, PLStrxfrm and their Ex, U and W forms: resolve the handle, check the
// flags and arguments, collate or build the key, store the code.
#include "string/collate/collate.h"
#include "string/string_exports.h"

namespace {

constexpr int32_t kAnyFlags = -1;

// The flag word is one that collation accepts; otherwise code 2 is stored.
bool accepted(const pl::ElementCall &call, int32_t flags) {
  if (pl::collation_flags_accepted(flags)) return true;
  call.fail(PL_ERR_ARGUMENT);
  return false;
}

// A key buffer: a size of 0 or more, and memory behind any size above 0.
bool key_room(const pl::ElementCall &call, const char *dst, int32_t dst_size) {
  if (dst_size >= 0 && (dst != nullptr || dst_size == 0)) return true;
  call.fail(PL_ERR_ARGUMENT);
  return false;
}

}  // namespace

extern "C" {

PL_API int32_t PLStrcoll(PLLocale *locale, const char *s1, int32_t len1, const char *s2,
                         int32_t len2, int32_t flags) {
  pl::StringCall call(locale, flags, kAnyFlags, s1, s2);
  if (!call || !accepted(call, flags)) return 0;
  return pl::collate_strings(call.handle(), call.rules(), s1, 0, len1, s2, 0, len2, flags);
}

PL_API int32_t PLStrcollEx(PLLocale *locale, const char *s1, PLState s1State, int32_t len1,
                           const char *s2, PLState s2State, int32_t len2, int32_t flags) {
  pl::ExCall call(locale, flags, kAnyFlags, s1, s2);
  if (!call || !accepted(call, flags)) return 0;
  return pl::collate_strings(call.handle(), call.rules(), s1, call.state(s1State), len1, s2,
                             call.state(s2State), len2, flags);
}

PL_API int32_t PLStrcollU(PLLocale *locale, const PLUChar *s1, int32_t len1, const PLUChar *s2,
                          int32_t len2, int32_t flags) {
  pl::ElementCall call(locale, flags, kAnyFlags, s1, s2);
  if (!call || !accepted(call, flags)) return 0;
  return pl::collate_units(call.handle(), s1, len1, s2, len2, flags);
}

PL_API int32_t PLWcscoll(PLLocale *locale, const PLWChar *s1, int32_t len1, const PLWChar *s2,
                         int32_t len2, int32_t flags) {
  pl::StringCall call(locale, flags, kAnyFlags, s1, s2);
  if (!call || !accepted(call, flags)) return 0;
  return pl::collate_packed(call.handle(), s1, len1, s2, len2, flags);
}

PL_API int32_t PLStrxfrm(PLLocale *locale, char *dst, int32_t dstSize, const char *src,
                         int32_t srcLen, int32_t flags) {
  pl::StringCall call(locale, flags, kAnyFlags, src);
  if (!call || !accepted(call, flags) || !key_room(call, dst, dstSize)) return -1;
  return pl::string_key(call.handle(), call.rules(), dst, dstSize, src, 0, srcLen, flags);
}

PL_API int32_t PLStrxfrmEx(PLLocale *locale, char *dst, int32_t dstSize, const char *src,
                           PLState srcState, int32_t srcLen, int32_t flags) {
  pl::ExCall call(locale, flags, kAnyFlags, src);
  if (!call || !accepted(call, flags) || !key_room(call, dst, dstSize)) return -1;
  return pl::string_key(call.handle(), call.rules(), dst, dstSize, src, call.state(srcState),
                        srcLen, flags);
}

PL_API int32_t PLStrxfrmU(PLLocale *locale, char *dst, int32_t dstSize, const PLUChar *src,
                          int32_t srcLen, int32_t flags) {
  pl::ElementCall call(locale, flags, kAnyFlags, src);
  if (!call || !accepted(call, flags) || !key_room(call, dst, dstSize)) return -1;
  return pl::units_key(call.handle(), dst, dstSize, src, srcLen, flags);
}

PL_API int32_t PLWcsxfrm(PLLocale *locale, char *dst, int32_t dstSize, const PLWChar *src,
                         int32_t srcLen, int32_t flags) {
  pl::StringCall call(locale, flags, kAnyFlags, src);
  if (!call || !accepted(call, flags) || !key_room(call, dst, dstSize)) return -1;
  return pl::packed_key(call.handle(), dst, dstSize, src, srcLen, flags);
}

}  // extern "C"
