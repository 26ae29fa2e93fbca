// PLMapString and its forms: resolve the handle, read the selector, map.
#include "string/mapping/map_string.h"
#include "string/string_exports.h"

namespace pl {
namespace {

// The mapping a flag word selects; PL_COUNT_CHARS may be added to any selector.
bool selected(ElementCall &call, int32_t flags, Mapping *mapping) {
  if (mapping_of(flags & ~PL_COUNT_CHARS, mapping)) return true;
  call.fail(PL_ERR_ARGUMENT);
  return false;
}

}  // namespace
}  // namespace pl

extern "C" {

PL_API int32_t PLMapString(PLLocale *locale, char *dst, int32_t dstSize, const char *src,
                           int32_t srcLen, int32_t flags) {
  pl::StringCall call(locale, 0, 0, dst, src);
  pl::Mapping mapping;
  if (!call || !pl::selected(call, flags, &mapping)) return -1;
  return pl::map_string(call.handle(), call.rules(), mapping, dst, 0, dstSize, src, 0, srcLen,
                        flags & PL_COUNT_CHARS);
}

PL_API int32_t PLMapStringEx(PLLocale *locale, char *dst, PLState dstState, int32_t dstSize,
                             const char *src, PLState srcState, int32_t srcLen, int32_t flags) {
  pl::ExCall call(locale, 0, 0, dst, src);
  pl::Mapping mapping;
  if (!call || !pl::selected(call, flags, &mapping)) return -1;
  return pl::map_string(call.handle(), call.rules(), mapping, dst, call.state(dstState), dstSize,
                        src, call.state(srcState), srcLen, flags & PL_COUNT_CHARS);
}

PL_API int32_t PLMapStringU(PLLocale *locale, PLUChar *dst, int32_t dstSize, const PLUChar *src,
                            int32_t srcLen, int32_t flags) {
  pl::ElementCall call(locale, 0, 0, dst, src);
  pl::Mapping mapping;
  if (!call || !pl::selected(call, flags, &mapping)) return -1;
  return pl::map_units(call.handle(), mapping, dst, dstSize, src, srcLen);
}

PL_API int32_t PLMapStringW(PLLocale *locale, PLWChar *dst, int32_t dstSize, const PLWChar *src,
                            int32_t srcLen, int32_t flags) {
  pl::StringCall call(locale, 0, 0, dst, src);
  pl::Mapping mapping;
  if (!call || !pl::selected(call, flags, &mapping)) return -1;
  return pl::map_packed(call.handle(), mapping, dst, dstSize, src, srcLen);
}

}  // extern "C"
