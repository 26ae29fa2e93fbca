// Tokens between delimiters, re-entrant: the caller keeps the position. The base, U
// and W forms cut the string in place; a stateful string is never cut (a NUL inside
// the shifted mode would end it wrongly), so its tokens are copied out instead.
#include "string/ops/char_copy.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_ops.h"
#include "string/ops/string_walk.h"

namespace pl {
namespace {

// The tokenizer over any text. `spans` gives the complement span and the span of the
// delimiters at a position and the length of the character there.
template <class T, class Spans>
T *next_token(T *str, size_t left, const Spans &spans, int32_t *len, T **next) {
  T *token = str;
  size_t n = spans.outside(token, left);
  if (n >= left) {
    *len = 0;
    return str;
  }
  if (n == 0) {
    size_t skipped = spans.inside(token, left);
    left -= skipped;
    if (left == 0) {
      *len = 0;
      return nullptr;
    }
    token += skipped;
    n = spans.outside(token, left);
  }
  if (n < left) {
    size_t delimiter = spans.char_length(token + n, left - n);
    for (size_t i = 0; i < delimiter; ++i) token[n + i] = 0;
    left -= n + delimiter;
    *next = left != 0 ? token + n + delimiter : nullptr;
    *len = static_cast<int32_t>(left);
  } else {
    *len = 0;
  }
  return token;
}

template <class T>
struct ElementSpans {
  ElementSet<T> delims;

  size_t outside(const T *s, size_t left) const { return span_of(s, left, delims, false); }
  size_t inside(const T *s, size_t left) const { return span_of(s, left, delims, true); }
  // The delimiter a span stopped at: one element or a surrogate pair.
  size_t char_length(const T *s, size_t left) const { return delims.match(s, left); }
};

struct ByteSpans {
  const TextRules &rules;
  Path path;
  const char *delims;
  int32_t delim_len;
  PLState state = 0;
  PLState delim_state = 0;

  size_t outside(const char *s, size_t left) const { return span(s, left, false); }
  size_t inside(const char *s, size_t left) const { return span(s, left, true); }
  size_t span(const char *s, size_t left, bool inside) const {
    return static_cast<size_t>(string_span(rules, path, s, state, static_cast<int32_t>(left),
                                           delims, delim_state, delim_len, false, inside));
  }
  size_t char_length(const char *s, size_t left) const {
    size_t length = Stepper(rules)(as_bytes(s), left, state).length.bytes;
    return length != 0 ? length : 1;
  }
};

}  // namespace

template <class T>
T *element_token(T *str, int32_t *len, const T *delims, int32_t delim_len, T **next) {
  *next = nullptr;
  if (str == nullptr) {
    *len = 0;
    return nullptr;
  }
  size_t left = element_extent(str, *len, false);
  ElementSpans<T> spans{ElementSet<T>(delims, element_extent(delims, delim_len, false))};
  return next_token(str, left, spans, len, next);
}
template PLUChar *element_token(PLUChar *, int32_t *, const PLUChar *, int32_t, PLUChar **);
template PLWChar *element_token(PLWChar *, int32_t *, const PLWChar *, int32_t, PLWChar **);

char *string_token(const TextRules &rules, Path path, char *str, int32_t *len,
                   const char *delims, int32_t delim_len, char **next, bool count_chars) {
  *next = nullptr;
  if (str == nullptr) {
    *len = 0;
    return nullptr;
  }
  size_t left = byte_extent(rules, str, 0, *len, count_chars, false);
  size_t delim_bytes = byte_extent(rules, delims, 0, delim_len, count_chars, false);
  ByteSpans spans{rules, path, delims, static_cast<int32_t>(delim_bytes)};
  char *token = next_token(str, left, spans, len, next);
  if (count_chars && *next != nullptr)
    *len = static_cast<int32_t>(bytes_to_chars(rules, *next, 0, static_cast<size_t>(*len)));
  return token;
}

int32_t shifted_token(const TextRules &rules, char *dst, PLState dst_state, int32_t dst_size,
                      const char *str, PLState str_state, int32_t *len, const char *delims,
                      PLState delim_state, int32_t delim_len, TokenCursor *next,
                      bool count_chars) {
  const uint8_t *text = as_bytes(str);
  size_t extent = byte_extent(rules, str, str_state, *len, count_chars, false);
  size_t delim_bytes = byte_extent(rules, delims, delim_state, delim_len, count_chars, false);
  ShiftRun run = leading_run(rules, text, extent, str_state);
  ByteSpans spans{rules, Path::fast, delims, static_cast<int32_t>(delim_bytes), run.state,
                  delim_state};
  size_t at = run.length;
  size_t skipped = spans.inside(str + at, extent - at);
  PLState mode = walk(rules, text + at, skipped, skipped, kNoCharLimit, run.state).state;
  at += skipped;
  spans.state = mode;
  size_t token = spans.outside(str + at, extent - at);

  // The token, closed with a shift-in byte; in a full buffer its last character makes
  // room for that byte.
  uint8_t *out = as_bytes(dst);
  size_t room = dst_size > 0 ? static_cast<size_t>(dst_size) - 1 : 0;
  Copied copied = copy_chars(rules, out, dst_state, room, kNoLimit, text + at, token, mode);
  size_t written = copied.bytes;
  if (rules.shift_rule && copied.state == kShiftedState) {
    PLState end_state = copied.state;
    if (written == room && copied.chars != 0) {
      written = copied.last.at;
      end_state = copied.last.before;
    }
    if (end_state == kShiftedState && written < room) out[written++] = rules.set.shift_in_byte();
  }
  if (dst_size > 0) out[written++] = 0;

  size_t token_end = at + token;
  if (token == 0 || token_end >= extent) {
    *len = 0;
    *next = {nullptr, kSingleByteState};
  } else {
    PLState end_mode = walk(rules, text + at, token, token, kNoCharLimit, mode).state;
    size_t left = extent - token_end;
    *len = static_cast<int32_t>(count_chars ? bytes_to_chars(rules, str + token_end, end_mode, left)
                                            : left);
    *next = {str + token_end, end_mode};
  }
  return static_cast<int32_t>(count_chars ? bytes_to_chars(rules, dst, dst_state, written)
                                          : written);
}

}  // namespace pl
