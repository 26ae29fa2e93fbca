// The locale handle as the frame sees it, and how exports find the handle they use.
#pragma once

#include "frame/codes.h"

// The last-error field is the one every export touches: exports clear it on entry
// and store their failure code in it. Later layers add the handle's other fields.
struct PLLocale {
  int32_t last_error;
};

namespace pl {

// The handle an export works on: `locale`, or the default handle for null. While no
// default handle is installed, null resolves to a process-wide record that only
// carries the error field, so a caller error never dereferences null.
PLLocale *resolve(PLLocale *locale);

// Resolves and clears the error field, as exports do on entry.
inline PLLocale *enter(PLLocale *locale) {
  PLLocale *handle = resolve(locale);
  handle->last_error = PL_OK;
  return handle;
}

}  // namespace pl
