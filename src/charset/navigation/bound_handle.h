// The handle a navigation or classification export works on.
#pragma once

#include "frame/handle.h"

namespace pl {

// Resolves an export's handle and clears its error field; null, with code 2 stored,
// when a null handle meets no default handle.
inline PLLocale *bound_handle(PLLocale *locale) {
  PLLocale *handle = enter(locale);
  if (!is_unbound(handle)) return handle;
  handle->last_error = PL_ERR_ARGUMENT;
  return nullptr;
}

}  // namespace pl
