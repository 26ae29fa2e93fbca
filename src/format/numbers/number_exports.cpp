// PLLongToString, PLDoubleToString, PLCurrencyToString and their Ex, U and W forms.
#include "format/numbers/currency_text.h"
#include "format/numbers/double_text.h"
#include "format/numbers/long_text.h"
#include "format/numbers/number_call.h"
#include "format/numbers/number_forms.h"

namespace pl {
namespace {

NumberRequest long_request(int32_t flags, bool ex_form = false, PLState out_state = 0) {
  return {flags, PL_NUM_UNSIGNED, false, ex_form, out_state};
}
NumberRequest double_request(int32_t flags, bool ex_form = false, PLState out_state = 0) {
  return {flags, PL_NUM_SIX_DECIMALS, false, ex_form, out_state};
}
NumberRequest currency_request(int32_t flags, bool ex_form = false, PLState out_state = 0) {
  return {flags, PL_NUM_INTL, true, ex_form, out_state};
}

template <class Form>
int32_t long_to_string(PLLocale *locale, int32_t value, typename Form::Element *out,
                       int32_t out_size, const NumberRequest &request) {
  return number_call<Form>(locale, request, out, out_size, [&](const Form &form, auto &text) {
    long_text(form, value, (request.flags & PL_NUM_UNSIGNED) != 0, text);
  });
}

template <class Form>
int32_t double_to_string(PLLocale *locale, double value, typename Form::Element *out,
                         int32_t out_size, const NumberRequest &request) {
  return number_call<Form>(locale, request, out, out_size, [&](const Form &form, auto &text) {
    double_text(form, value, (request.flags & PL_NUM_SIX_DECIMALS) != 0, text);
  });
}

template <class Form>
int32_t currency_to_string(PLLocale *locale, double value, typename Form::Element *out,
                           int32_t out_size, const NumberRequest &request) {
  return number_call<Form>(locale, request, out, out_size, [&](const Form &form, auto &text) {
    currency_text(form, value, (request.flags & PL_NUM_INTL) != 0, text);
  });
}

}  // namespace
}  // namespace pl

using pl::ByteForm;
using pl::PackedForm;
using pl::UnitForm;

extern "C" {

PL_API int32_t PLLongToString(PLLocale *locale, int32_t value, char *out, int32_t outSize,
                              int32_t flags) {
  return pl::long_to_string<ByteForm>(locale, value, out, outSize, pl::long_request(flags));
}

PL_API int32_t PLLongToStringEx(PLLocale *locale, int32_t value, char *out, PLState outState,
                                int32_t outSize, int32_t flags) {
  return pl::long_to_string<ByteForm>(locale, value, out, outSize,
                                      pl::long_request(flags, true, outState));
}

PL_API int32_t PLLongToStringU(PLLocale *locale, int32_t value, PLUChar *out, int32_t outSize,
                               int32_t flags) {
  return pl::long_to_string<UnitForm>(locale, value, out, outSize, pl::long_request(flags));
}

PL_API int32_t PLLongToStringW(PLLocale *locale, int32_t value, PLWChar *out, int32_t outSize,
                               int32_t flags) {
  return pl::long_to_string<PackedForm>(locale, value, out, outSize, pl::long_request(flags));
}

PL_API int32_t PLDoubleToString(PLLocale *locale, double value, char *out, int32_t outSize,
                                int32_t flags) {
  return pl::double_to_string<ByteForm>(locale, value, out, outSize, pl::double_request(flags));
}

PL_API int32_t PLDoubleToStringEx(PLLocale *locale, double value, char *out, PLState outState,
                                  int32_t outSize, int32_t flags) {
  return pl::double_to_string<ByteForm>(locale, value, out, outSize,
                                        pl::double_request(flags, true, outState));
}

PL_API int32_t PLDoubleToStringU(PLLocale *locale, double value, PLUChar *out, int32_t outSize,
                                 int32_t flags) {
  return pl::double_to_string<UnitForm>(locale, value, out, outSize, pl::double_request(flags));
}

PL_API int32_t PLDoubleToStringW(PLLocale *locale, double value, PLWChar *out, int32_t outSize,
                                 int32_t flags) {
  return pl::double_to_string<PackedForm>(locale, value, out, outSize,
                                          pl::double_request(flags));
}

PL_API int32_t PLCurrencyToString(PLLocale *locale, double value, char *out, int32_t outSize,
                                  int32_t flags) {
  return pl::currency_to_string<ByteForm>(locale, value, out, outSize,
                                          pl::currency_request(flags));
}

PL_API int32_t PLCurrencyToStringEx(PLLocale *locale, double value, char *out,
                                    PLState outState, int32_t outSize, int32_t flags) {
  return pl::currency_to_string<ByteForm>(locale, value, out, outSize,
                                          pl::currency_request(flags, true, outState));
}

PL_API int32_t PLCurrencyToStringU(PLLocale *locale, double value, PLUChar *out,
                                   int32_t outSize, int32_t flags) {
  return pl::currency_to_string<UnitForm>(locale, value, out, outSize,
                                          pl::currency_request(flags));
}

PL_API int32_t PLCurrencyToStringW(PLLocale *locale, double value, PLWChar *out,
                                   int32_t outSize, int32_t flags) {
  return pl::currency_to_string<PackedForm>(locale, value, out, outSize,
                                            pl::currency_request(flags));
}

}  // extern "C"
