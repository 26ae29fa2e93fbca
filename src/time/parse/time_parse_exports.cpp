// PLStringToTime and its Ex, U and W forms: check the call, measure the texts, run the
// parser of the form, report the input consumed.
#include "charset/navigation/char_count.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_walk.h"
#include "time/parse/time_parser.h"

namespace pl::time_parse {
namespace {

constexpr int32_t kFlags = 0xCF01;
constexpr int32_t kCheckDayFlag = 0x1000000;

// Clears `time`, binds the call's handle and runs `parse(handle)`; -1, with the code
// stored, when the call is refused.
template <class Parse>
int32_t time_call(PLLocale *locale, std::tm *time, const void *input, const void *format,
                  int32_t flags, Parse parse) {
  if (time != nullptr) {
    *time = std::tm{};
    time->tm_isdst = -1;
  }
  PLLocale *handle = bound_handle(locale);
  if (handle == nullptr) return -1;
  if (time == nullptr || input == nullptr || format == nullptr ||
      (flags & ~kCheckDayFlag & ~kFlags) != 0) {
    handle->last_error = PL_ERR_ARGUMENT;
    return -1;
  }
  return parse(handle);
}

// Parses `input` (its units and start state) under `format`: the units consumed, or -1
// with the code stored.
template <class Form>
int32_t parse(const Form &form, std::tm *time, InputText<typename Form::Unit> input,
              const typename Form::Unit *format, size_t format_units, PLState format_state,
              int32_t flags) {
  uint16_t mask = (flags & kCheckDayFlag) != 0 ? kCheckDay : 0;
  const typename Form::Unit *start = input.position();
  TimeParser<Form> parser(form, time, &mask, flags & kFlags, &input, 0);
  Code code = parser.run(format, format_units, format_state);
  form.handle->last_error = code;
  return code != PL_OK ? -1 : static_cast<int32_t>(input.position() - start);
}

// The base and Ex forms: lengths and result in characters with PL_COUNT_CHARS.
template <class Form>
int32_t parse_bytes(const Form &form, std::tm *time, const char *input, PLState input_state,
                    int32_t input_length, const char *format, PLState format_state,
                    int32_t format_length, int32_t flags) {
  bool count_chars = (flags & PL_COUNT_CHARS) != 0;
  size_t input_bytes = byte_extent(form.rules, input, input_state, input_length, count_chars, false);
  size_t format_bytes =
      byte_extent(form.rules, format, format_state, format_length, count_chars, false);
  int32_t consumed = parse(form, time, InputText<char>(input, input_bytes, input_state), format,
                           format_bytes, format_state, flags);
  if (consumed <= 0 || !count_chars) return consumed;
  return num_chars(form.rules, input, input_state, consumed);
}

template <class Form>
int32_t parse_elements(const Form &form, std::tm *time, const typename Form::Unit *input,
                       int32_t input_length, const typename Form::Unit *format,
                       int32_t format_length, int32_t flags) {
  InputText<typename Form::Unit> text(input, element_extent(input, input_length, false),
                                      kSingleByteState);
  return parse(form, time, text, format, element_extent(format, format_length, false),
               kSingleByteState, flags);
}

PLState start_state(PLState state) { return state != kSingleByteState ? kShiftedState : state; }

using time_text::encoding_of;

}  // namespace
}  // namespace pl::time_parse

extern "C" {

PL_API int32_t PLStringToTime(PLLocale *locale, struct tm *time, const char *input,
                              int32_t inputLen, const char *format, int32_t formatLen,
                              int32_t flags) {
  using namespace pl::time_parse;
  return time_call(locale, time, input, format, flags, [&](PLLocale *handle) {
    ByteForm form{{handle, encoding_of(*handle, false)}, pl::text_rules(*handle, false)};
    return parse_bytes(form, time, input, 0, inputLen, format, 0, formatLen, flags);
  });
}

// A set without shift states is read as by the base form, whatever the states say.
PL_API int32_t PLStringToTimeEx(PLLocale *locale, struct tm *time, const char *input,
                                PLState inputState, int32_t inputLen, const char *format,
                                PLState formatState, int32_t formatLen, int32_t flags) {
  using namespace pl::time_parse;
  return time_call(locale, time, input, format, flags, [&](PLLocale *handle) {
    if ((handle->flags & pl::kHandleStateful) == 0)
      return PLStringToTime(locale, time, input, inputLen, format, formatLen, flags);
    ShiftForm form{{handle, encoding_of(*handle, true)}, pl::text_rules(*handle, true)};
    return parse_bytes(form, time, input, start_state(inputState), inputLen, format,
                       start_state(formatState), formatLen, flags);
  });
}

PL_API int32_t PLStringToTimeU(PLLocale *locale, struct tm *time, const PLUChar *input,
                               int32_t inputLen, const PLUChar *format, int32_t formatLen,
                               int32_t flags) {
  using namespace pl::time_parse;
  return time_call(locale, time, input, format, flags, [&](PLLocale *handle) {
    return parse_elements(UnitForm{{handle, pl::time_text::kAscii}}, time, input, inputLen,
                          format, formatLen, flags);
  });
}

PL_API int32_t PLStringToTimeW(PLLocale *locale, struct tm *time, const PLWChar *input,
                               int32_t inputLen, const PLWChar *format, int32_t formatLen,
                               int32_t flags) {
  using namespace pl::time_parse;
  return time_call(locale, time, input, format, flags, [&](PLLocale *handle) {
    return parse_elements(PackedForm{{handle, encoding_of(*handle, true)}}, time, input,
                          inputLen, format, formatLen, flags);
  });
}

}  // extern "C"
