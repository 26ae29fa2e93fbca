// The conversion exports: resolve the handles, clear the error field, call the
// conversion, return. A null handle without a default handle gets code 2.
#include "charset/conversion/conversion_object.h"
#include "charset/conversion/string_conversions.h"
#include "frame/handle.h"

namespace pl {
namespace {

// Both handles of a conversion between code sets; codes go to the target.
bool bound_pair(PLLocale *target, PLLocale *source, PLLocale **t, PLLocale **s) {
  *t = enter(target);
  *s = enter(source);
  if (is_unbound(*t) || is_unbound(*s)) {
    (*t)->last_error = PL_ERR_ARGUMENT;
    return false;
  }
  return true;
}

constexpr Path kPath = Path::fast;

}  // namespace
}  // namespace pl

extern "C" {

PL_API PLConversion *PLOpenConversion(PLLocale *target, PLLocale *source) {
  PLLocale *t, *s;
  if (!pl::bound_pair(target, source, &t, &s)) return nullptr;
  PLConversion *conversion = pl::open_conversion(target, source);
  if (conversion == nullptr) t->last_error = PL_ERR_NO_MEMORY;
  return conversion;
}

PL_API int32_t PLCloseConversion(PLConversion *conversion) {
  return conversion ? pl::close_conversion(conversion) : PL_ERR_ARGUMENT;
}

PL_API int32_t PLConversionRatio(PLLocale *target, PLLocale *source) {
  PLLocale *t, *s;
  return pl::bound_pair(target, source, &t, &s) ? pl::conversion_ratio(t, s) : -1;
}

PL_API int32_t PLConvertBuffer(PLConversion *conversion, char **out, int32_t *outLeft,
                               const char **in, int32_t *inLeft) {
  if (conversion == nullptr || out == nullptr || outLeft == nullptr || in == nullptr ||
      inLeft == nullptr || *outLeft < 0 || *inLeft < 0 || (*out == nullptr && *outLeft > 0) ||
      (*in == nullptr && *inLeft > 0))
    return PL_ERR_ARGUMENT;
  PLLocale *t, *s;
  if (!pl::bound_pair(conversion->target, conversion->source, &t, &s)) return PL_ERR_ARGUMENT;
  uint8_t *out_at = reinterpret_cast<uint8_t *>(*out);
  const uint8_t *in_at = reinterpret_cast<const uint8_t *>(*in);
  size_t out_left = static_cast<size_t>(*outLeft), in_left = static_cast<size_t>(*inLeft);
  pl::BufferResult result =
      pl::convert_buffer(conversion, t, s, &out_at, &out_left, &in_at, &in_left, pl::kPath);
  *out = reinterpret_cast<char *>(out_at);
  *in = reinterpret_cast<const char *>(in_at);
  *outLeft = static_cast<int32_t>(out_left);
  *inLeft = static_cast<int32_t>(in_left);
  if (result.replaced) t->last_error = PL_WARN_REPLACED;
  return result.code;
}

PL_API int32_t PLConvertString(PLLocale *target, char *dst, int32_t dstSize, PLLocale *source,
                               const char *src, int32_t srcLength, int32_t flags) {
  PLLocale *t, *s;
  if (!pl::bound_pair(target, source, &t, &s)) return -1;
  return pl::convert_string(t, dst, 0, dstSize, s, src, 0, srcLength, flags, pl::kPath);
}

PL_API int32_t PLConvertStringEx(PLLocale *target, char *dst, PLState targetState,
                                 int32_t dstSize, PLLocale *source, const char *src,
                                 PLState sourceState, int32_t srcLength, int32_t flags) {
  PLLocale *t, *s;
  if (!pl::bound_pair(target, source, &t, &s)) return -1;
  return pl::convert_string(t, dst, targetState, dstSize, s, src, sourceState, srcLength, flags,
                            pl::kPath);
}

PL_API int32_t PLConvertStringW(PLLocale *target, PLWChar *dst, int32_t dstCount,
                                PLLocale *source, const PLWChar *src, int32_t srcCount,
                                int32_t flags) {
  PLLocale *t, *s;
  if (!pl::bound_pair(target, source, &t, &s)) return -1;
  return pl::convert_string_w(t, dst, dstCount, s, src, srcCount, flags, pl::kPath);
}

PL_API int32_t PLMbToWide(PLLocale *locale, PLWChar *dst, int32_t dstCount, const char *src,
                          int32_t srcLength, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::mb_to_wide(handle, dst, dstCount, src, 0, srcLength, flags, pl::kPath) : -1;
}

PL_API int32_t PLMbToWideEx(PLLocale *locale, PLWChar *dst, int32_t dstCount, const char *src,
                            PLState state, int32_t srcLength, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::mb_to_wide(handle, dst, dstCount, src, state, srcLength, flags, pl::kPath)
                : -1;
}

PL_API int32_t PLWideToMb(PLLocale *locale, char *dst, int32_t dstSize, const PLWChar *src,
                          int32_t srcCount, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::wide_to_mb(handle, dst, 0, dstSize, src, srcCount, flags) : -1;
}

PL_API int32_t PLWideToMbEx(PLLocale *locale, char *dst, PLState state, int32_t dstSize,
                            const PLWChar *src, int32_t srcCount, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::wide_to_mb(handle, dst, state, dstSize, src, srcCount, flags)
                : -1;
}

PL_API int32_t PLStringToUnicode(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                 const char *src, int32_t srcLength, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::string_to_unicode(handle, dst, dstUnits, src, 0, srcLength, flags, pl::kPath)
                : -1;
}

PL_API int32_t PLStringToUnicodeEx(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                   const char *src, PLState state, int32_t srcLength,
                                   int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::string_to_unicode(handle, dst, dstUnits, src, state, srcLength, flags,
                                        pl::kPath)
                : -1;
}

PL_API int32_t PLStringToUnicodeW(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                  const PLWChar *src, int32_t srcCount, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::string_to_unicode_w(handle, dst, dstUnits, src, srcCount, flags, pl::kPath)
                : -1;
}

PL_API int32_t PLStringToUnicodeEnhanced(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                         const char *src, int32_t srcBytes, int32_t srcChars,
                                         int32_t *bytesRead, int32_t *charsRead, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::string_to_unicode_enhanced(handle, dst, dstUnits, src, 0,
                                                 {srcBytes, srcChars},
                                                 {bytesRead, charsRead, nullptr}, flags, pl::kPath)
                : -1;
}

PL_API int32_t PLStringToUnicodeEnhancedEx(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                           const char *src, PLState state, int32_t srcBytes,
                                           int32_t srcChars, int32_t *bytesRead,
                                           int32_t *charsRead, PLState *stateOut,
                                           int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::string_to_unicode_enhanced(handle, dst, dstUnits, src, state,
                                                 {srcBytes, srcChars},
                                                 {bytesRead, charsRead, stateOut}, flags, pl::kPath)
                : -1;
}

PL_API int32_t PLStringToUnicodeEnhancedW(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                          const PLWChar *src, int32_t srcCount,
                                          int32_t *charsRead, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::string_to_unicode_enhanced_w(handle, dst, dstUnits, src, srcCount,
                                                   charsRead, flags, pl::kPath)
                : -1;
}

PL_API int32_t PLUnicodeToString(PLLocale *locale, char *dst, int32_t dstSize, const PLUChar *src,
                                 int32_t srcUnits, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::unicode_to_string(handle, dst, 0, dstSize, src, srcUnits, flags, pl::kPath)
                : -1;
}

PL_API int32_t PLUnicodeToStringEx(PLLocale *locale, char *dst, PLState state, int32_t dstSize,
                                   const PLUChar *src, int32_t srcUnits, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::unicode_to_string(handle, dst, state, dstSize, src, srcUnits, flags,
                                        pl::kPath)
                : -1;
}

PL_API int32_t PLUnicodeToStringW(PLLocale *locale, PLWChar *dst, int32_t dstCount,
                                  const PLUChar *src, int32_t srcUnits, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::unicode_to_string_w(handle, dst, dstCount, src, srcUnits, flags, pl::kPath)
                : -1;
}

PL_API int32_t PLUnicodeToStringEnhanced(PLLocale *locale, char *dst, int32_t dstBytes,
                                         int32_t dstChars, const PLUChar *src, int32_t srcUnits,
                                         int32_t *unitsRead, int32_t *charsWritten,
                                         int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::unicode_to_string_enhanced(handle, dst, 0, {dstBytes, dstChars}, src,
                                                 srcUnits, {unitsRead, charsWritten, nullptr},
                                                 flags, pl::kPath)
                : -1;
}

PL_API int32_t PLUnicodeToStringEnhancedEx(PLLocale *locale, char *dst, PLState state,
                                           int32_t dstBytes, int32_t dstChars,
                                           const PLUChar *src, int32_t srcUnits,
                                           int32_t *unitsRead, int32_t *charsWritten,
                                           PLState *stateOut, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::unicode_to_string_enhanced(handle, dst, state, {dstBytes, dstChars}, src,
                                                 srcUnits, {unitsRead, charsWritten, stateOut},
                                                 flags, pl::kPath)
                : -1;
}

PL_API int32_t PLUnicodeToStringEnhancedW(PLLocale *locale, PLWChar *dst, int32_t dstCount,
                                          const PLUChar *src, int32_t srcUnits,
                                          int32_t *unitsRead, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::unicode_to_string_enhanced_w(handle, dst, dstCount, src, srcUnits,
                                                   unitsRead, flags, pl::kPath)
                : -1;
}

}  // extern "C"
