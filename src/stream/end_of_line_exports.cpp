// PLGetEol, PLPutEol and their forms.
#include "charset/navigation/char_count.h"
#include "charset/navigation/char_walk.h"
#include "frame/handle.h"
#include "stream/end_of_line.h"

namespace pl {
namespace {

struct Found {
  const void *at;  // null: none
  eol::Match match;
  PLState state;
};

// The kinds a search accepts (PL_COUNT_CHARS taken off): 0 means the pair. False, with
// the refusal reported, when a bit outside the four kinds is set.
bool accepted_kinds(PLLocale *handle, int32_t &flags, int32_t *kind, int32_t *length) {
  flags &= ~PL_COUNT_CHARS;
  if (flags == 0) flags = PL_EOL_CRLF;
  if ((flags & ~eol::kKinds) == 0) return true;
  handle->last_error = PL_ERR_ARGUMENT;
  if (kind) *kind = PL_EOL_BAD_FLAGS;
  if (length) *length = 0;
  return false;
}

template <class T>
T *reported(const Found &found, int32_t *kind, int32_t *length) {
  if (kind) *kind = found.at ? found.match.kind : PL_EOL_NONE;
  if (length) *length = found.at ? found.match.length : 0;
  return static_cast<T *>(const_cast<void *>(found.at));
}

template <class T>
size_t terminated_length(const T *text, int32_t length) {
  if (length >= 0) return static_cast<size_t>(length);
  size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

// One unit is one character: UTF-16 (the end-of-line units are never surrogates) and
// packed characters.
template <class T>
Found find_units(const T *text, size_t length, const eol::Units<T> &units, int32_t accepted) {
  const T *end = text + length;
  for (const T *at = text; at != end; ++at) {
    eol::Match match = eol::match_at(at, end, units, accepted);
    if (match.kind) return {at, match, kSingleByteState};
  }
  return {nullptr, {}, kSingleByteState};
}

// Bytes, character by character: an end of line is a single-byte character, never a
// byte inside a longer one nor a double-byte character of a shifted run.
Found find_bytes(const TextRules &rules, const char *text, size_t length, PLState state,
                 int32_t accepted) {
  eol::Units<char> units = eol::units_of<char>(rules.set);
  if (rules.shortcut()) return find_units(text, length, units, accepted);
  const char *end = text + length;
  const char *at = text;
  while (at != end) {
    Step step = step_at(rules, reinterpret_cast<const uint8_t *>(at),
                        static_cast<size_t>(end - at), state);
    at += step.shift_bytes;
    state = step.state;
    if (at == end) break;
    if (state == kSingleByteState && step.length.rule <= 1) {
      eol::Match match = eol::match_at(at, end, units, accepted);
      if (match.kind) return {at, match, state};
    }
    at += step.length.bytes > 0 ? step.length.bytes : 1;
  }
  return {nullptr, {}, state};
}

char *get_eol_bytes(PLLocale *locale, const char *text, PLState state, int32_t length,
                    int32_t *kind, int32_t *eol_length, PLState *state_out, int32_t flags,
                    bool ex_form) {
  PLLocale *handle = bound_handle(locale);
  bool count_chars = (flags & PL_COUNT_CHARS) != 0;
  if (handle == nullptr || !accepted_kinds(handle, flags, kind, eol_length)) return nullptr;
  TextRules rules = text_rules(*handle, ex_form);
  if (!rules.shift_rule) state = kSingleByteState;
  size_t bytes = terminated_length(text, length);
  if (count_chars && length >= 0)
    bytes = static_cast<size_t>(move_pointer(rules, text, state, length, true).at - text);
  Found found = find_bytes(rules, text, bytes, state, flags);
  if (state_out) *state_out = found.state;
  return reported<char>(found, kind, eol_length);
}

// A writer's flags: 0 means the platform's line end; others beyond the five kinds are
// refused.
bool writable_kinds(PLLocale *handle, int32_t &flags) {
  if (flags == 0) flags = PL_EOL_DEFAULT;
  if ((flags & ~eol::kWritable) == 0) return true;
  handle->last_error = PL_ERR_ARGUMENT;
  return false;
}

}  // namespace
}  // namespace pl

PL_API char *PLGetEol(PLLocale *locale, const char *text, int32_t length, int32_t *kind,
                      int32_t *eolLength, int32_t flags) {
  return pl::get_eol_bytes(locale, text, pl::kSingleByteState, length, kind, eolLength, nullptr,
                           flags, false);
}

PL_API char *PLGetEolEx(PLLocale *locale, const char *text, PLState state, int32_t length,
                        int32_t *kind, int32_t *eolLength, PLState *stateOut, int32_t flags) {
  return pl::get_eol_bytes(locale, text, state, length, kind, eolLength, stateOut, flags, true);
}

PL_API PLUChar *PLGetEolU(PLLocale *locale, const PLUChar *text, int32_t length, int32_t *kind,
                          int32_t *eolLength, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::accepted_kinds(handle, flags, kind, eolLength)) return nullptr;
  pl::Found found = pl::find_units(text, pl::terminated_length(text, length),
                                   pl::eol::kUnicodeUnits, flags);
  return pl::reported<PLUChar>(found, kind, eolLength);
}

PL_API PLWChar *PLGetEolW(PLLocale *locale, const PLWChar *text, int32_t length, int32_t *kind,
                          int32_t *eolLength, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::accepted_kinds(handle, flags, kind, eolLength)) return nullptr;
  pl::Found found = pl::find_units(text, pl::terminated_length(text, length),
                                   pl::eol::units_of<PLWChar>(pl::CharsetView(*handle->codeset)),
                                   flags);
  return pl::reported<PLWChar>(found, kind, eolLength);
}

PL_API char *PLPutEol(PLLocale *locale, char *buffer, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::writable_kinds(handle, flags)) return nullptr;
  return buffer + pl::eol::put(buffer, pl::eol::units_of<char>(pl::CharsetView(*handle->codeset)),
                               flags);
}

PL_API char *PLPutEolEx(PLLocale *locale, char *buffer, PLState state, PLState *stateOut,
                        int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::writable_kinds(handle, flags)) return nullptr;
  pl::CharsetView set(*handle->codeset);
  char *at = buffer;
  if ((handle->flags & pl::kHandleStateful) && state != pl::kSingleByteState)
    *at++ = static_cast<char>(set.shift_in_byte());
  if (stateOut) *stateOut = pl::kSingleByteState;
  return at + pl::eol::put(at, pl::eol::units_of<char>(set), flags);
}

PL_API PLUChar *PLPutEolU(PLLocale *locale, PLUChar *buffer, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::writable_kinds(handle, flags)) return nullptr;
  return buffer + pl::eol::put_unicode(buffer, flags);
}

PL_API PLWChar *PLPutEolW(PLLocale *locale, PLWChar *buffer, int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr || !pl::writable_kinds(handle, flags)) return nullptr;
  return buffer +
         pl::eol::put(buffer, pl::eol::units_of<PLWChar>(pl::CharsetView(*handle->codeset)), flags);
}
