// PLStringToLong, PLStringToDouble and their Ex, U and W forms: check the call, pick
// the form of the text, run the one algorithm over its tokens, report where it ended.
#include "charset/conversion/path.h"
#include "charset/navigation/text_rules.h"
#include "format/parse/byte_tokens.h"
#include "format/parse/byte_walk.h"
#include "format/parse/parse_bytes.h"
#include "format/parse/parse_double.h"
#include "format/parse/parse_long.h"
#include "frame/handle.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_walk.h"

namespace pl {
namespace {

constexpr int32_t kSharedFlags =
    PL_FROM_TERRITORY | PL_NUM_MAP_DIGITS | PL_NUM_MONETARY | PL_COUNT_CHARS;

// The two algorithms as the calls run them, with what sets their calls apart.
struct LongReader {
  using Result = LongParse;
  static constexpr int32_t kFlags = kSharedFlags | PL_NUM_UNSIGNED | PL_NUM_NO_THOUSANDS;
  int32_t base;
  int32_t flags;

  NumberMode mode() const {
    return {(flags & PL_NUM_MONETARY) != 0, (flags & PL_FROM_TERRITORY) != 0,
            (flags & PL_NUM_NO_THOUSANDS) == 0, false};
  }
  template <class Tokens>
  Result operator()(Tokens &tokens) const {
    return parse_long(tokens, base, (flags & PL_NUM_UNSIGNED) != 0);
  }
  bool operator()(const ByteWalk &walk, Result *out) const {
    return walk.read_long(base, (flags & PL_NUM_UNSIGNED) != 0, out);
  }
};

struct DoubleReader {
  using Result = DoubleParse;
  static constexpr int32_t kFlags = kSharedFlags;
  static constexpr int32_t base = 10;  // nothing to refuse
  int32_t flags;

  NumberMode mode() const {
    return {(flags & PL_NUM_MONETARY) != 0, (flags & PL_FROM_TERRITORY) != 0, true, true};
  }
  template <class Tokens>
  Result operator()(Tokens &tokens) const {
    return parse_double(tokens);
  }
  bool operator()(const ByteWalk &walk, Result *out) const { return walk.read_double(out); }
};

// The handle a call reads with; null, with the code stored, when there is no handle or
// text, the base is outside 0 and 2..36 or a flag outside `allowed` is set.
PLLocale *number_handle(PLLocale *locale, const void *text, int32_t base, int32_t flags,
                        int32_t allowed) {
  PLLocale *handle = bound_handle(locale);
  if (handle == nullptr) return nullptr;
  Code code = text == nullptr                      ? PL_ERR_ARGUMENT
              : base < 0 || base == 1 || base > 36 ? PL_ERR_BASE
              : (flags & ~allowed) != 0            ? PL_ERR_ARGUMENT
                                                   : PL_OK;
  if (code == PL_OK) return handle;
  handle->last_error = code;
  return nullptr;
}

// The state text starts in: the caller's under the shift rule, else single-byte.
PLState start_state(const PLLocale *handle, bool ex_form, PLState state) {
  bool shifts = ex_form && handle != nullptr && (handle->flags & kHandleStateful) != 0;
  return shifts && state != kSingleByteState ? kShiftedState : kSingleByteState;
}

bool map_digits(int32_t flags) { return (flags & PL_NUM_MAP_DIGITS) != 0; }

template <class Element>
void report_end(const Element *text, TextCursor end, Element **end_out, PLState *state_out) {
  if (end_out != nullptr)
    *end_out = text == nullptr ? nullptr : const_cast<Element *>(text) + end.at;
  if (state_out != nullptr) *state_out = end.state;
}

// Plain-mode code-set text by the length rule in an ASCII-based set, walked byte by
// byte: the common shapes in one pass, the rest by ByteTokens; false, with `result` untouched, where the walk does not apply or hands over.
template <class Reader>
bool walk_bytes(const PLLocale &handle, const TextRules &rules, const char *text,
                int32_t length, Reader reader, typename Reader::Result *result) {
  constexpr int32_t kTokenizerOnly = PL_NUM_MONETARY | PL_FROM_TERRITORY | PL_NUM_MAP_DIGITS;
  if ((reader.flags & kTokenizerOnly) != 0 || rules.shift_rule || !rules.set.ascii_based())
    return false;
  // A length in characters needs the tokenizer's count; NUL-terminated text has none.
  if (length >= 0 && (reader.flags & PL_COUNT_CHARS) != 0) return false;
  NumberMode mode = reader.mode();
  int32_t separator = mode.separator ? handle_character(handle, PL_THOUSANDS_SEP) : -1;
  int32_t point = mode.point ? handle_character(handle, PL_DECIMAL_POINT) : -1;
  if (!walkable_item(separator, rules.single_byte) || !walkable_item(point, rules.single_byte))
    return false;
  size_t n = length < 0 ? ByteTokens::kUnbounded : static_cast<size_t>(length);
  if (reader(ByteWalk(as_bytes(text), n, separator, point), result)) return true;
  bool handed_over = false;
  ByteTokens tokens(rules.set, as_bytes(text), n, separator, point, &handed_over);
  typename Reader::Result walked = reader(tokens);
  if (handed_over) return false;
  *result = walked;
  return true;
}

// Code-set text through the tokenizer: by the shift rule for an Ex call on a stateful
// set, else by the length rule.
template <class Reader>
typename Reader::Result tokenize_bytes(PLLocale &handle, const TextRules &rules,
                                       const char *text, int32_t length, TextCursor start,
                                       Reader reader) {
  bool count_chars = (reader.flags & PL_COUNT_CHARS) != 0;
  size_t n = byte_extent(rules, text, start.state, length, count_chars, false);
  NumberItems<uint8_t> items;
  load_number_items(handle, reader.mode(), rules.shift_rule, &items);
  const DigitValues &values = digit_values(items.ascii_based);
  if (rules.shift_rule) {
    ShiftRuleText form(handle, rules, values, as_bytes(text), n);
    NumberTokenizer<ShiftRuleText> tokens(form, items, map_digits(reader.flags), start);
    return reader(tokens);
  }
  LengthRuleText form(handle, rules, values, as_bytes(text), n);
  NumberTokenizer<LengthRuleText> tokens(form, items, map_digits(reader.flags), start);
  return reader(tokens);
}

// Code-set text, walked where the walk applies on the fast path. A refused call reads
// nothing.
template <class Reader>
auto read_bytes(PLLocale *locale, const char *text, PLState state, int32_t length, char **end,
                PLState *end_state, bool ex_form, Reader reader, Path path) {
  PLLocale *handle = number_handle(locale, text, reader.base, reader.flags, Reader::kFlags);
  typename Reader::Result result{0, {0, start_state(handle, ex_form, state)}};
  if (handle != nullptr) {
    TextRules rules = text_rules(*handle, ex_form);
    if (path != Path::fast || !walk_bytes(*handle, rules, text, length, reader, &result))
      result = tokenize_bytes(*handle, rules, text, length, result.end, reader);
  }
  report_end(text, result.end, end, end_state);
  return result.value;
}

// UTF-16 units or packed characters.
template <class Text, class Reader>
auto read_elements(PLLocale *locale, const typename Text::Unit *text, int32_t length,
                   typename Text::Unit **end, Reader reader) {
  PLLocale *handle = number_handle(locale, text, reader.base, reader.flags, Reader::kFlags);
  typename Reader::Result result{0, {0, kSingleByteState}};
  if (handle != nullptr) {
    NumberItems<typename Text::Unit> items;
    load_number_items(*handle, reader.mode(), &items);
    const DigitValues &values = digit_values(Text::kUnicode || items.ascii_based);
    Text form(*handle, values, text, element_extent(text, length, false));
    NumberTokenizer<Text> tokens(form, items, map_digits(reader.flags), result.end);
    result = reader(tokens);
  }
  report_end(text, result.end, end, static_cast<PLState *>(nullptr));
  return result.value;
}

}  // namespace

int32_t string_to_long(PLLocale *locale, const char *text, PLState state, int32_t length,
                       char **end, PLState *end_state, bool ex_form, int32_t base,
                       int32_t flags, Path path) {
  return static_cast<int32_t>(
      read_bytes(locale, text, state, length, end, end_state, ex_form, LongReader{base, flags}, path));
}

double string_to_double(PLLocale *locale, const char *text, PLState state, int32_t length,
                        char **end, PLState *end_state, bool ex_form, int32_t flags, Path path) {
  return read_bytes(locale, text, state, length, end, end_state, ex_form, DoubleReader{flags},
                    path);
}

}  // namespace pl

extern "C" {

PL_API int32_t PLStringToLong(PLLocale *locale, const char *text, int32_t length, char **end,
                              int32_t base, int32_t flags) {
  return pl::string_to_long(locale, text, 0, length, end, nullptr, false, base, flags,
                            pl::Path::fast);
}

PL_API int32_t PLStringToLongEx(PLLocale *locale, const char *text, PLState textState,
                                int32_t length, char **end, PLState *endState, int32_t base,
                                int32_t flags) {
  return pl::string_to_long(locale, text, textState, length, end, endState, true, base, flags,
                            pl::Path::fast);
}

PL_API int32_t PLStringToLongU(PLLocale *locale, const PLUChar *text, int32_t length,
                               PLUChar **end, int32_t base, int32_t flags) {
  return static_cast<int32_t>(pl::read_elements<pl::UnitNumberText>(
      locale, text, length, end, pl::LongReader{base, flags}));
}

PL_API int32_t PLStringToLongW(PLLocale *locale, const PLWChar *text, int32_t length,
                               PLWChar **end, int32_t base, int32_t flags) {
  return static_cast<int32_t>(pl::read_elements<pl::PackedNumberText>(
      locale, text, length, end, pl::LongReader{base, flags}));
}

PL_API double PLStringToDouble(PLLocale *locale, const char *text, int32_t length, char **end,
                               int32_t flags) {
  return pl::string_to_double(locale, text, 0, length, end, nullptr, false, flags,
                              pl::Path::fast);
}

PL_API double PLStringToDoubleEx(PLLocale *locale, const char *text, PLState textState,
                                 int32_t length, char **end, PLState *endState, int32_t flags) {
  return pl::string_to_double(locale, text, textState, length, end, endState, true, flags,
                              pl::Path::fast);
}

PL_API double PLStringToDoubleU(PLLocale *locale, const PLUChar *text, int32_t length,
                                PLUChar **end, int32_t flags) {
  return pl::read_elements<pl::UnitNumberText>(locale, text, length, end, pl::DoubleReader{flags});
}

PL_API double PLStringToDoubleW(PLLocale *locale, const PLWChar *text, int32_t length,
                                PLWChar **end, int32_t flags) {
  return pl::read_elements<pl::PackedNumberText>(locale, text, length, end,
                                                 pl::DoubleReader{flags});
}

}  // extern "C"
