// PLByteLength, PLGetChar, PLPutChar, PLNextChar, PLPrevChar, PLNumChars,
// PLMoveStringPointer, PLTruncateString, PLTerminateStringEx and their forms.
#include "frame/handle.h"
#include "charset/navigation/char_access.h"
#include "charset/navigation/char_count.h"
#include "charset/navigation/truncation.h"

namespace pl {
namespace {

// Refuses flag bits outside `allowed` with code 2.
bool flags_accepted(PLLocale *handle, int32_t flags, int32_t allowed) {
  if ((flags & ~allowed) == 0) return true;
  handle->last_error = PL_ERR_ARGUMENT;
  return false;
}

char *writable(const char *p) { return const_cast<char *>(p); }

// The Ex forms report a state only where shift bytes count.
char *reported(const TextRules &rules, Position position, PLState *new_state) {
  if (rules.shift_rule && new_state != nullptr) *new_state = position.state;
  return writable(position.at);
}

}  // namespace
}  // namespace pl

extern "C" {

PL_API int32_t PLByteLength(PLLocale *locale, const char *s) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::byte_length(pl::text_rules(*handle, false), s, 0) : -1;
}

PL_API int32_t PLByteLengthEx(PLLocale *locale, const char *s, PLState state) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::byte_length(pl::text_rules(*handle, true), s, state) : -1;
}

PL_API int32_t PLByteLengthW(PLLocale *locale, PLWChar c) {
  pl::enter(locale);
  return pl::packed_length(c);
}

PL_API PLWChar PLGetChar(PLLocale *locale, const char *s) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::get_char(pl::text_rules(*handle, false), s, 0) : 0;
}

PL_API PLWChar PLGetCharEx(PLLocale *locale, const char *s, PLState state) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::get_char(pl::text_rules(*handle, true), s, state) : 0;
}

PL_API int32_t PLPutChar(PLLocale *locale, char *buffer, PLWChar c) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::put_char(pl::text_rules(*handle, false), buffer, 0, c) : -1;
}

PL_API int32_t PLPutCharEx(PLLocale *locale, char *buffer, PLState state, PLWChar c) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::put_char(pl::text_rules(*handle, true), buffer, state, c) : -1;
}

PL_API char *PLNextChar(PLLocale *locale, const char *s) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr) return nullptr;
  return pl::writable(pl::next_char(pl::text_rules(*handle, false), s, 0).at);
}

PL_API char *PLNextCharEx(PLLocale *locale, const char *s, PLState state, PLState *newState) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr) return nullptr;
  pl::TextRules rules = pl::text_rules(*handle, true);
  return pl::reported(rules, pl::next_char(rules, s, state), newState);
}

PL_API char *PLPrevChar(PLLocale *locale, const char *start, const char *position) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr) return nullptr;
  return pl::writable(pl::prev_char(pl::text_rules(*handle, false), start, position, 0).at);
}

PL_API char *PLPrevCharEx(PLLocale *locale, const char *start, const char *position,
                          PLState state, PLState *newState) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr) return nullptr;
  pl::TextRules rules = pl::text_rules(*handle, true);
  return pl::reported(rules, pl::prev_char(rules, start, position, state), newState);
}

PL_API int32_t PLNumChars(PLLocale *locale, const char *s, int32_t length) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::num_chars(pl::text_rules(*handle, false), s, 0, length) : -1;
}

PL_API int32_t PLNumCharsEx(PLLocale *locale, const char *s, PLState state, int32_t length) {
  PLLocale *handle = pl::bound_handle(locale);
  return handle ? pl::num_chars(pl::text_rules(*handle, true), s, state, length) : -1;
}

PL_API char *PLMoveStringPointer(PLLocale *locale, const char *s, int32_t n, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::flags_accepted(handle, flags, PL_COUNT_CHARS)) return nullptr;
  pl::TextRules rules = pl::text_rules(*handle, false);
  return pl::writable(pl::move_pointer(rules, s, 0, n, flags & PL_COUNT_CHARS).at);
}

PL_API char *PLMoveStringPointerEx(PLLocale *locale, const char *s, PLState state, int32_t n,
                                   PLState *newState, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::flags_accepted(handle, flags, PL_COUNT_CHARS)) return nullptr;
  pl::TextRules rules = pl::text_rules(*handle, true);
  return pl::reported(rules, pl::move_pointer(rules, s, state, n, flags & PL_COUNT_CHARS),
                      newState);
}

PL_API int32_t PLTruncateString(PLLocale *locale, char *s, int32_t size, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::flags_accepted(handle, flags, PL_COUNT_CHARS)) return -1;
  return pl::truncate_string(pl::text_rules(*handle, false), s, 0, size, flags & PL_COUNT_CHARS);
}

PL_API int32_t PLTruncateStringEx(PLLocale *locale, char *s, PLState state, int32_t size,
                                  int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::flags_accepted(handle, flags, PL_COUNT_CHARS)) return -1;
  return pl::truncate_string(pl::text_rules(*handle, true), s, state, size,
                             flags & PL_COUNT_CHARS);
}

PL_API int32_t PLTerminateStringEx(PLLocale *locale, char *buffer, PLState state, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::flags_accepted(handle, flags, PL_TERMINATE)) return -1;
  return pl::terminate_string(pl::text_rules(*handle, true), buffer, state, flags & PL_TERMINATE);
}

}  // extern "C"
