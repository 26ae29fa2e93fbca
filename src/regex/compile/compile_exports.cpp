// PLRegcomp and its Ex, U and W forms: check the call, bring the pattern to UTF-16 and
// compile it; PLRegfree.
#include <climits>

#include "charset/conversion/string_conversions.h"
#include "charset/navigation/char_count.h"
#include "charset/shift_rule.h"
#include "frame/memory.h"
#include "regex/compile/compile_regex.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_walk.h"

namespace pl::regex {
namespace {

constexpr int32_t kCompileFlags = PL_COUNT_CHARS | PL_REG_EXTENDED | PL_REG_LITERAL |
                                  PL_REG_ICASE | PL_REG_NOSUB | PL_REG_NEWLINE;
// Patterns of up to this many characters are converted on the stack.
constexpr size_t kStackUnits = 1024;

// The bound handle of a call, or null with the code stored. A null pattern is only
// accepted with length 0 (an empty pattern).
PLLocale *compile_handle(PLLocale *locale, const void *pattern, int32_t length, int32_t flags) {
  PLLocale *handle = bound_handle(locale);
  if (handle != nullptr &&
      ((pattern == nullptr && length != 0) || (flags & ~kCompileFlags) != 0)) {
    handle->last_error = PL_ERR_ARGUMENT;
    return nullptr;
  }
  return handle;
}

// Converts the pattern of `chars` characters with convert(units, room) (the units
// written, or -1) and compiles it with ranges in code order. A buffer that turns out
// too small for surrogate pairs is replaced by one of two units per character.
template <class Convert>
PLRegex *compile_converted(PLLocale *handle, size_t chars, int32_t flags, Convert convert) {
  int32_t code_flags = flags | kCodeOrderRanges;
  if (chars == 0) return compile_regex(handle, nullptr, 0, code_flags);
  if (chars <= kStackUnits) {
    PLUChar stack[kStackUnits] = {};
    int32_t units = convert(stack, static_cast<int32_t>(kStackUnits));
    if (units < 0) return nullptr;
    if (handle->last_error != PL_ERR_BUFFER_TOO_SMALL)
      return compile_regex(handle, stack, static_cast<size_t>(units), code_flags);
  }
  size_t room = chars * 2;
  HeapArray<PLUChar> heap(room <= INT32_MAX ? room : 0);
  if (heap.data() == nullptr) {
    handle->last_error = PL_ERR_NO_MEMORY;
    return nullptr;
  }
  int32_t units = convert(heap.data(), static_cast<int32_t>(room));
  if (units < 0) return nullptr;
  return compile_regex(handle, heap.data(), static_cast<size_t>(units), code_flags);
}

// The base and Ex forms: `length` in bytes, or in characters with PL_COUNT_CHARS.
PLRegex *compile_bytes(PLLocale *handle, const char *pattern, PLState state, bool ex_form,
                       int32_t length, int32_t flags) {
  TextRules rules = text_rules(*handle, ex_form);
  bool count_chars = (flags & PL_COUNT_CHARS) != 0;
  size_t bytes = length == 0 ? 0 : byte_extent(rules, pattern, state, length, count_chars, false);
  size_t chars = 0;
  if (count_chars && length > 0)
    chars = static_cast<size_t>(length);
  else if (bytes != 0)
    chars = static_cast<size_t>(num_chars(rules, pattern, state, static_cast<int32_t>(bytes)));
  return compile_converted(handle, chars, flags, [&](PLUChar *units, int32_t room) {
    return string_to_unicode(handle, units, room, pattern, state, static_cast<int32_t>(bytes), 0,
                             Path::fast);
  });
}

}  // namespace
}  // namespace pl::regex

extern "C" {

PL_API PLRegex *PLRegcomp(PLLocale *locale, const char *pattern, int32_t patternLen,
                          int32_t flags) {
  PLLocale *handle = pl::regex::compile_handle(locale, pattern, patternLen, flags);
  if (handle == nullptr) return nullptr;
  return pl::regex::compile_bytes(handle, pattern, pl::kSingleByteState, false, patternLen, flags);
}

// A set without shift states is read as by the base form, whatever the state says.
PL_API PLRegex *PLRegcompEx(PLLocale *locale, const char *pattern, PLState state,
                            int32_t patternLen, int32_t flags) {
  PLLocale *handle = pl::regex::compile_handle(locale, pattern, patternLen, flags);
  if (handle == nullptr) return nullptr;
  if ((handle->flags & pl::kHandleStateful) == 0)
    return pl::regex::compile_bytes(handle, pattern, pl::kSingleByteState, false, patternLen,
                                    flags);
  PLState start = state != pl::kSingleByteState ? pl::kShiftedState : state;
  return pl::regex::compile_bytes(handle, pattern, start, true, patternLen, flags);
}

PL_API PLRegex *PLRegcompU(PLLocale *locale, const PLUChar *pattern, int32_t patternLen,
                           int32_t flags) {
  PLLocale *handle = pl::regex::compile_handle(locale, pattern, patternLen, flags);
  if (handle == nullptr) return nullptr;
  return pl::regex::compile_regex(handle, pattern, pl::element_extent(pattern, patternLen, false),
                                  flags);
}

PL_API PLRegex *PLRegcompW(PLLocale *locale, const PLWChar *pattern, int32_t patternLen,
                           int32_t flags) {
  PLLocale *handle = pl::regex::compile_handle(locale, pattern, patternLen, flags);
  if (handle == nullptr) return nullptr;
  size_t chars = pl::element_extent(pattern, patternLen, false);
  return pl::regex::compile_converted(handle, chars, flags, [&](PLUChar *units, int32_t room) {
    return pl::string_to_unicode_w(handle, units, room, pattern, static_cast<int32_t>(chars), 0,
                                   pl::Path::fast);
  });
}

PL_API int32_t PLRegfree(PLLocale *, PLRegex *re) { return pl::regex::free_regex(re) ? 0 : 1; }

}  // extern "C"
