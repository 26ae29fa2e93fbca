#include "locale/handle_items.h"

#include "frame/memory.h"
#include "locale/conventions.h"
#include "locale/locale_handle.h"
#include "locale/text_codec.h"

namespace pl {

Code select_territory(PLLocale *handle, ControlEntry *territory) {
  ControlEntry *previous = handle->territory;
  handle->territory = territory;
  Code code = derive_conventions(handle);
  if (code != PL_OK) handle->territory = previous;
  return code;
}

Code select_codeset(PLLocale *handle, ControlEntry *codeset) {
  if (codeset == handle->codeset) return PL_OK;
  ControlEntry *previous = handle->codeset;
  handle->codeset = codeset;
  char *strings[kStringCount] = {};
  for (int s = 0; s < kStringCount; ++s) {
    size_t count = 0, length = 0;
    while (handle->strings_unicode[s][count] != 0) ++count;
    strings[s] = encode_units(handle, handle->strings_unicode[s], count, &length);
    if (strings[s] == nullptr) {
      for (char *text : strings) release(text);
      handle->codeset = previous;
      return PL_ERR_NO_MEMORY;
    }
  }
  for (int s = 0; s < kStringCount; ++s) {
    release(handle->strings[s]);
    handle->strings[s] = strings[s];
  }
  for (int c = 0; c < kSeparatorCount; ++c) {
    // A separator without a one-byte code in the new set keeps its previous form.
    int code = one_byte_code(handle, handle->separators_unicode[c][0]);
    if (code >= 0) handle->separators[c][0] = static_cast<char>(code);
  }
  set_item_flags(handle);
  return PL_OK;
}

void select_collation(PLLocale *handle, ControlEntry *collation) {
  handle->collation = collation;
  set_item_flags(handle);
}

}  // namespace pl
