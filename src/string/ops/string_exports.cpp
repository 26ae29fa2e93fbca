// PLStrcat, PLStrchr, PLStrcpy, PLStrcspn, PLStrspn, PLStrstr, PLStrtok with their Ex
// and U forms, PLStrlenU and the PLWcs family: resolve the handle, check the flags and
// pointers, call the operation.
#include "frame/handle.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_ops.h"
#include "string/string_exports.h"

namespace pl {
namespace {

constexpr Path kPath = Path::fast;

constexpr int32_t kCatFlags = PL_COUNT_CHARS | PL_TERMINATE;
constexpr int32_t kChrFlags = PL_COUNT_CHARS | PL_LAST;
// Span, search and tokens ignore every bit but PL_COUNT_CHARS.
constexpr int32_t kAnyFlags = -1;

bool has_count(int32_t flags) { return (flags & PL_COUNT_CHARS) != 0; }
bool has_last(int32_t flags) { return (flags & PL_LAST) == PL_LAST; }

char *writable(const char *p) { return const_cast<char *>(p); }
template <class T>
T *writable(const T *p) {
  return const_cast<T *>(p);
}

// The match of an Ex search, its mode reported where shift bytes count.
char *reported(const TextRules &rules, Found found, PLState *match_state) {
  if (found.at != nullptr && rules.shift_rule && match_state != nullptr)
    *match_state = found.state;
  return writable(found.at);
}

}  // namespace
}  // namespace pl

using pl::ExCall;
using pl::StringCall;

extern "C" {

PL_API int32_t PLStrcat(PLLocale *locale, char *dst, const char *src, int32_t count,
                        int32_t flags) {
  StringCall call(locale, flags, pl::kCatFlags, dst, src);
  if (!call) return -1;
  return pl::string_append(call.rules(), pl::kPath, dst, 0, src, 0, count, pl::has_count(flags),
                           flags & PL_TERMINATE);
}

PL_API int32_t PLStrcatEx(PLLocale *locale, char *dst, PLState dstState, const char *src,
                          PLState srcState, int32_t count, int32_t flags) {
  ExCall call(locale, flags, pl::kCatFlags, dst, src);
  if (!call) return -1;
  return pl::string_append(call.rules(), pl::kPath, dst, call.state(dstState), src,
                           call.state(srcState), count, pl::has_count(flags),
                           flags & PL_TERMINATE);
}

PL_API int32_t PLStrcatU(PLLocale *locale, PLUChar *dst, const PLUChar *src, int32_t count,
                         int32_t flags) {
  pl::ElementCall call(locale, flags, pl::kCatFlags, dst, src);
  return call ? pl::element_append(dst, src, count, flags & PL_TERMINATE) : -1;
}

PL_API int32_t PLWcscat(PLLocale *locale, PLWChar *dst, const PLWChar *src, int32_t count,
                        int32_t flags) {
  pl::ElementCall call(locale, flags, pl::kCatFlags, dst, src);
  return call ? pl::element_append(dst, src, count, flags & PL_TERMINATE) : -1;
}

PL_API char *PLStrchr(PLLocale *locale, const char *str, int32_t len, const char *chr,
                      int32_t flags) {
  StringCall call(locale, flags, pl::kChrFlags, str, chr);
  if (!call) return nullptr;
  return pl::writable(pl::string_find_char(call.rules(), pl::kPath, str, 0, len, chr, 0,
                                           pl::has_count(flags), pl::has_last(flags))
                          .at);
}

PL_API char *PLStrchrEx(PLLocale *locale, const char *str, PLState strState, int32_t len,
                        const char *chr, PLState chrState, PLState *matchState, int32_t flags) {
  ExCall call(locale, flags, pl::kChrFlags, str, chr);
  if (!call) return nullptr;
  pl::Found found = pl::string_find_char(call.rules(), pl::kPath, str, call.state(strState), len,
                                         chr, call.state(chrState), pl::has_count(flags),
                                         pl::has_last(flags));
  return pl::reported(call.rules(), found, matchState);
}

PL_API PLUChar *PLStrchrU(PLLocale *locale, const PLUChar *str, int32_t len, PLUChar chr,
                          int32_t flags) {
  pl::ElementCall call(locale, flags, pl::kChrFlags, str);
  return call ? pl::writable(pl::element_find_char(str, len, chr, pl::has_last(flags))) : nullptr;
}

PL_API PLWChar *PLWcschr(PLLocale *locale, const PLWChar *str, int32_t len, PLWChar chr,
                         int32_t flags) {
  pl::ElementCall call(locale, flags, pl::kChrFlags, str);
  return call ? pl::writable(pl::element_find_char(str, len, chr, pl::has_last(flags))) : nullptr;
}

PL_API int32_t PLStrcpy(PLLocale *locale, char *dst, int32_t dstSize, const char *src,
                        int32_t srcLen, int32_t flags) {
  StringCall call(locale, flags, PL_COUNT_CHARS, dst, src);
  if (!call) return -1;
  return pl::string_copy(call.rules(), pl::kPath, dst, 0, dstSize, src, 0, srcLen,
                         pl::has_count(flags));
}

PL_API int32_t PLStrcpyEx(PLLocale *locale, char *dst, PLState dstState, int32_t dstSize,
                          const char *src, PLState srcState, int32_t srcLen, int32_t flags) {
  ExCall call(locale, flags, PL_COUNT_CHARS, dst, src);
  if (!call) return -1;
  return pl::string_copy(call.rules(), pl::kPath, dst, call.state(dstState), dstSize, src,
                         call.state(srcState), srcLen, pl::has_count(flags));
}

PL_API int32_t PLStrcpyU(PLLocale *locale, PLUChar *dst, int32_t dstSize, const PLUChar *src,
                         int32_t srcLen) {
  pl::ElementCall call(locale, 0, 0, dst, src);
  return call ? pl::element_copy(dst, dstSize, src, srcLen) : -1;
}

PL_API int32_t PLWcscpy(PLLocale *locale, PLWChar *dst, int32_t dstSize, const PLWChar *src,
                        int32_t srcLen) {
  pl::ElementCall call(locale, 0, 0, dst, src);
  return call ? pl::element_copy(dst, dstSize, src, srcLen) : -1;
}

PL_API int32_t PLStrcspn(PLLocale *locale, const char *str, int32_t len, const char *set,
                         int32_t setLen, int32_t flags) {
  StringCall call(locale, flags, pl::kAnyFlags, str, set);
  if (!call) return -1;
  return pl::string_span(call.rules(), pl::kPath, str, 0, len, set, 0, setLen,
                         pl::has_count(flags), false);
}

PL_API int32_t PLStrcspnEx(PLLocale *locale, const char *str, PLState strState, int32_t len,
                           const char *set, PLState setState, int32_t setLen, int32_t flags) {
  ExCall call(locale, flags, pl::kAnyFlags, str, set);
  if (!call) return -1;
  return pl::string_span(call.rules(), pl::kPath, str, call.state(strState), len, set,
                         call.state(setState), setLen, pl::has_count(flags), false);
}

PL_API int32_t PLStrcspnU(PLLocale *locale, const PLUChar *str, int32_t len, const PLUChar *set,
                          int32_t setLen) {
  pl::ElementCall call(locale, 0, 0, str, set);
  return call ? pl::element_span(str, len, set, setLen, false) : -1;
}

PL_API int32_t PLWcscspn(PLLocale *locale, const PLWChar *str, int32_t len, const PLWChar *set,
                         int32_t setLen) {
  pl::ElementCall call(locale, 0, 0, str, set);
  return call ? pl::element_span(str, len, set, setLen, false) : -1;
}

PL_API int32_t PLStrspn(PLLocale *locale, const char *str, int32_t len, const char *set,
                        int32_t setLen, int32_t flags) {
  StringCall call(locale, flags, pl::kAnyFlags, str, set);
  if (!call) return -1;
  return pl::string_span(call.rules(), pl::kPath, str, 0, len, set, 0, setLen,
                         pl::has_count(flags), true);
}

PL_API int32_t PLStrspnEx(PLLocale *locale, const char *str, PLState strState, int32_t len,
                          const char *set, PLState setState, int32_t setLen, int32_t flags) {
  ExCall call(locale, flags, pl::kAnyFlags, str, set);
  if (!call) return -1;
  return pl::string_span(call.rules(), pl::kPath, str, call.state(strState), len, set,
                         call.state(setState), setLen, pl::has_count(flags), true);
}

PL_API int32_t PLStrspnU(PLLocale *locale, const PLUChar *str, int32_t len, const PLUChar *set,
                         int32_t setLen) {
  pl::ElementCall call(locale, 0, 0, str, set);
  return call ? pl::element_span(str, len, set, setLen, true) : -1;
}

PL_API int32_t PLWcsspn(PLLocale *locale, const PLWChar *str, int32_t len, const PLWChar *set,
                        int32_t setLen) {
  pl::ElementCall call(locale, 0, 0, str, set);
  return call ? pl::element_span(str, len, set, setLen, true) : -1;
}

PL_API char *PLStrstr(PLLocale *locale, const char *str, int32_t len, const char *sub,
                      int32_t subLen, int32_t flags) {
  StringCall call(locale, flags, pl::kAnyFlags, str, sub);
  if (!call) return nullptr;
  return pl::writable(
      pl::string_find(call.rules(), pl::kPath, str, 0, len, sub, 0, subLen, pl::has_count(flags))
          .at);
}

PL_API char *PLStrstrEx(PLLocale *locale, const char *str, PLState strState, int32_t len,
                        const char *sub, PLState subState, int32_t subLen, PLState *matchState,
                        int32_t flags) {
  ExCall call(locale, flags, pl::kAnyFlags, str, sub);
  if (!call) return nullptr;
  pl::Found found = pl::string_find(call.rules(), pl::kPath, str, call.state(strState), len, sub,
                                    call.state(subState), subLen, pl::has_count(flags));
  return pl::reported(call.rules(), found, matchState);
}

PL_API PLUChar *PLStrstrU(PLLocale *locale, const PLUChar *str, int32_t len, const PLUChar *sub,
                          int32_t subLen) {
  pl::ElementCall call(locale, 0, 0, str, sub);
  return call ? pl::writable(pl::element_find(str, len, sub, subLen)) : nullptr;
}

PL_API PLWChar *PLWcsstr(PLLocale *locale, const PLWChar *str, int32_t len, const PLWChar *sub,
                         int32_t subLen) {
  pl::ElementCall call(locale, 0, 0, str, sub);
  return call ? pl::writable(pl::element_find(str, len, sub, subLen)) : nullptr;
}

PL_API char *PLStrtok(PLLocale *locale, char *str, int32_t *len, const char *delims,
                      int32_t delimLen, char **next, int32_t flags) {
  StringCall call(locale, flags, pl::kAnyFlags, len, delims, next);
  if (!call) return nullptr;
  return pl::string_token(call.rules(), pl::kPath, str, len, delims, delimLen, next,
                          pl::has_count(flags));
}

PL_API int32_t PLStrtokEx(PLLocale *locale, char *dst, PLState dstState, int32_t dstSize,
                          const char *str, PLState strState, int32_t *len, const char *delims,
                          PLState delimState, int32_t delimLen, const char **next,
                          PLState *nextState, int32_t flags) {
  ExCall call(locale, flags, pl::kAnyFlags, str, len, delims, next);
  if (!call) return -1;
  if (dst == nullptr && dstSize > 0) {
    call.fail(PL_ERR_ARGUMENT);
    return -1;
  }
  pl::TokenCursor cursor{};
  int32_t written = pl::shifted_token(call.rules(), dst, call.state(dstState), dstSize, str,
                                      call.state(strState), len, delims, call.state(delimState),
                                      delimLen, &cursor, pl::has_count(flags));
  *next = cursor.next;
  if (nextState != nullptr && call.rules().shift_rule) *nextState = cursor.state;
  return written;
}

PL_API PLUChar *PLStrtokU(PLLocale *locale, PLUChar *str, int32_t *len, const PLUChar *delims,
                          int32_t delimLen, PLUChar **next) {
  pl::ElementCall call(locale, 0, 0, len, delims, next);
  return call ? pl::element_token(str, len, delims, delimLen, next) : nullptr;
}

PL_API PLWChar *PLWcstok(PLLocale *locale, PLWChar *str, int32_t *len, const PLWChar *delims,
                         int32_t delimLen, PLWChar **next) {
  pl::ElementCall call(locale, 0, 0, len, delims, next);
  return call ? pl::element_token(str, len, delims, delimLen, next) : nullptr;
}

PL_API int32_t PLStrlenU(PLLocale *locale, const PLUChar *str) {
  pl::ElementCall call(locale, 0, 0, str);
  return call ? static_cast<int32_t>(pl::element_length(str)) : -1;
}

PL_API int32_t PLWcslen(PLLocale *locale, const PLWChar *str) {
  pl::ElementCall call(locale, 0, 0, str);
  return call ? static_cast<int32_t>(pl::element_length(str)) : -1;
}

}  // extern "C"
