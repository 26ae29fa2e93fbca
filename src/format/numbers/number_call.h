// The steps every number export takes around building its text: resolve the handle,
// check the flags and the size, build the text in the work buffer, copy out the whole
// characters that fit, terminate, and count.
#pragma once

#include <cstdint>
#include <cstring>

#include "format/numbers/number_forms.h"
#include "format/numbers/work_text.h"
#include "frame/handle.h"

namespace pl {

struct NumberRequest {
  int32_t flags;
  int32_t family_flags;  // the family's own flag beside the common ones
  bool size_in_chars;    // PL_COUNT_CHARS makes outSize count characters too
  bool ex_form;
  PLState out_state;
};

// Copies `count` elements; the short texts most calls make are moved in at most two
// overlapping words instead of a call to the C library.
template <class T>
void copy_out(T *out, const T *text, size_t count) {
  size_t bytes = count * sizeof(T);
  char *to = reinterpret_cast<char *>(out);
  const char *from = reinterpret_cast<const char *>(text);
  if (bytes >= 8 && bytes <= 16) {
    std::memcpy(to, from, 8);
    std::memcpy(to + bytes - 8, from + bytes - 8, 8);
  } else if (bytes >= 4 && bytes < 8) {
    std::memcpy(to, from, 4);
    std::memcpy(to + bytes - 4, from + bytes - 4, 4);
  } else {
    std::memcpy(to, from, bytes);
  }
}

// `build(form, text)` puts the number's text into the work buffer.
template <class Form, class Build>
int32_t number_call(PLLocale *locale, const NumberRequest &request,
                    typename Form::Element *out, int32_t out_size, Build build) {
  PLLocale *handle = bound_handle(locale);
  if (handle == nullptr) return -1;
  bool count_chars = Form::kCountsChars && (request.flags & PL_COUNT_CHARS) != 0;
  int32_t flags = request.flags & ~PL_COUNT_CHARS;
  if ((flags & ~(PL_FROM_TERRITORY | PL_TERMINATE | request.family_flags)) != 0) {
    handle->last_error = PL_ERR_ARGUMENT;
    return -1;
  }
  if (out_size <= 0) {
    handle->last_error = PL_ERR_BUFFER_TOO_SMALL;
    return 0;
  }
  if (out == nullptr) {
    handle->last_error = PL_ERR_ARGUMENT;
    return -1;
  }
  Form form(*handle, request.ex_form, request.out_state, flags);
  WorkText<typename Form::Element> text;
  build(form, text);
  form.lead_in(text);

  size_t terminator = (flags & PL_TERMINATE) != 0 ? 1 : 0;
  size_t room = static_cast<size_t>(out_size) - terminator;
  // The text is whole characters, so one that fits needs no walk unless it is counted.
  Prefix fit{text.size(), text.size(), true};
  if (count_chars && request.size_in_chars)
    fit = form.prefix(text.data(), text.size(), kUnlimited, room);
  else if (count_chars || text.size() > room)
    fit = form.prefix(text.data(), text.size(), room, kUnlimited);
  if (form.shifted_start() && fit.chars == 0) {
    // Not even the shift-in with one character fits.
    handle->last_error = PL_ERR_BUFFER_TOO_SMALL;
    return 0;
  }
  copy_out(out, text.data(), fit.units);
  if (terminator != 0) out[fit.units] = 0;
  if (!fit.whole) handle->last_error = PL_ERR_BUFFER_TOO_SMALL;
  return static_cast<int32_t>((count_chars ? fit.chars : fit.units) + terminator);
}

}  // namespace pl
