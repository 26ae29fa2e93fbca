// PLGetLocaleNumInfo, PLSetLocaleNumInfo, PLGetLocaleTextInfo, PLSetLocaleTextInfo
// and their forms, PLLocaleGetTextItem and PLLocaleGetTextItemU.
#include "frame/handle.h"
#include "locale/info_items.h"
#include "locale/info_numeric.h"
#include "locale/info_text.h"

namespace pl {
namespace {

template <bool Unicode>
const void *text_item(PLLocale *locale, PLLocaleItem item, int32_t use_handle, uint32_t *type) {
  PLLocale *handle = bound_handle(locale);
  if (handle == nullptr) return nullptr;
  TextItem found;
  if (!find_text_item(handle, item, use_handle != 0, &found)) {
    handle->last_error = PL_ERR_UNKNOWN_ITEM;
    return nullptr;
  }
  if (type != nullptr) *type = static_cast<uint32_t>(found.kind);
  return Unicode && found.kind == TextKind::handle ? found.unicode : found.text;
}

}  // namespace
}  // namespace pl

extern "C" {

PL_API int32_t PLGetLocaleNumInfo(PLLocale *locale, PLLocaleItem item, int32_t source) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::get_numeric_item(handle, item, source) : -1;
}

PL_API int32_t PLSetLocaleNumInfo(PLLocale *locale, PLLocaleItem item, int32_t value, int32_t) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::set_numeric_item(handle, item, value) : 0;
}

PL_API int32_t PLGetLocaleTextInfo(PLLocale *locale, PLLocaleItem item, char *buffer, int32_t size,
                                   int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::get_text_item(handle, item, buffer, size, flags) : -1;
}

PL_API int32_t PLGetLocaleTextInfoEx(PLLocale *locale, PLLocaleItem item, char *buffer,
                                     PLState state, int32_t size, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::get_text_item_ex(handle, item, buffer, state, size, flags) : -1;
}

PL_API int32_t PLGetLocaleTextInfoU(PLLocale *locale, PLLocaleItem item, PLUChar *buffer,
                                    int32_t size, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::get_text_item_u(handle, item, buffer, size, flags) : -1;
}

PL_API int32_t PLGetLocaleTextInfoW(PLLocale *locale, PLLocaleItem item, PLWChar *buffer,
                                    int32_t size, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::get_text_item_w(handle, item, buffer, size, flags) : -1;
}

PL_API int32_t PLSetLocaleTextInfo(PLLocale *locale, PLLocaleItem item, const char *text,
                                   int32_t length, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::set_text_item(handle, item, text, length, flags) : 0;
}

PL_API int32_t PLSetLocaleTextInfoEx(PLLocale *locale, PLLocaleItem item, const char *text,
                                     PLState state, int32_t length, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::set_text_item_ex(handle, item, text, state, length, flags) : 0;
}

PL_API int32_t PLSetLocaleTextInfoU(PLLocale *locale, PLLocaleItem item, const PLUChar *text,
                                    int32_t length, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::set_text_item_u(handle, item, text, length, flags) : 0;
}

PL_API int32_t PLSetLocaleTextInfoW(PLLocale *locale, PLLocaleItem item, const PLWChar *text,
                                    int32_t length, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::set_text_item_w(handle, item, text, length, flags) : 0;
}

PL_API const void *PLLocaleGetTextItem(PLLocale *locale, PLLocaleItem item, int32_t useHandle,
                                       uint32_t *type) {
  return pl::text_item<false>(locale, item, useHandle, type);
}

PL_API const void *PLLocaleGetTextItemU(PLLocale *locale, PLLocaleItem item, int32_t useHandle,
                                        uint32_t *type) {
  return pl::text_item<true>(locale, item, useHandle, type);
}

}  // extern "C"
