// PLGetCharType and its forms; PLIsAlnumU to PLIsXdigitU.
#include "frame/handle.h"
#include "charset/navigation/char_types.h"
#include "charset/unicode/unicode_types.h"

namespace pl {
namespace {

uint32_t answer(PLLocale *handle, uint32_t word, int32_t query) {
  uint32_t field = 0;
  if (!type_field(word, query, &field)) handle->last_error = PL_ERR_ARGUMENT;
  return field;
}

int32_t is(UnicodeClass test, PLUChar unit) { return unicode_is(test, unit) ? 1 : 0; }

}  // namespace
}  // namespace pl

extern "C" {

PL_API uint32_t PLGetCharType(PLLocale *locale, const char *s, int32_t query) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr) return 0;
  return pl::answer(handle, pl::char_type(pl::text_rules(*handle, false), s, 0), query);
}

PL_API uint32_t PLGetCharTypeEx(PLLocale *locale, const char *s, PLState state, int32_t query) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr) return 0;
  return pl::answer(handle, pl::char_type(pl::text_rules(*handle, true), s, state), query);
}

PL_API uint32_t PLGetCharTypeU(PLLocale *locale, PLUChar unit, int32_t query) {
  return pl::answer(pl::enter(locale), pl::unicode_type(unit), query);
}

PL_API uint32_t PLGetCharTypeW(PLLocale *locale, PLWChar c, int32_t query) {
  PLLocale *handle = pl::bound_handle(locale);
  if (handle == nullptr) return 0;
  return pl::answer(handle, pl::packed_type(*handle->codeset, c), query);
}

PL_API int32_t PLIsAlnumU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::alnum, unit); }
PL_API int32_t PLIsAlphaU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::alpha, unit); }
PL_API int32_t PLIsCntrlU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::cntrl, unit); }
PL_API int32_t PLIsDigitU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::digit, unit); }
PL_API int32_t PLIsGraphU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::graph, unit); }
PL_API int32_t PLIsLowerU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::lower, unit); }
PL_API int32_t PLIsPrintU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::print, unit); }
PL_API int32_t PLIsPunctU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::punct, unit); }
PL_API int32_t PLIsSpaceU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::space, unit); }
PL_API int32_t PLIsUpperU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::upper, unit); }
PL_API int32_t PLIsXdigitU(PLLocale *, PLUChar unit) { return pl::is(pl::UnicodeClass::xdigit, unit); }

}  // extern "C"
