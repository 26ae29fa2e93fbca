// The string operations of the PLStr and PLWcs families on resolved arguments. Flags
// are checked by the exports; `count_chars` is PL_COUNT_CHARS. The byte forms take the
// handle's rules: under the shift rule they are the Ex forms. The `path` selects the
// one-element loops for single-byte code sets (fast) or the character walk that must
// give the same results (reference).
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/conversion/path.h"
#include "charset/navigation/text_rules.h"
#include "polyloc.h"

namespace pl {

struct Found {
  const char *at;  // null: no match
  PLState state;   // the state in force there
};

// Copy and append.
int32_t string_copy(const TextRules &rules, Path path, char *dst, PLState dst_state,
                    int32_t dst_size, const char *src, PLState src_state, int32_t src_len,
                    bool count_chars);
int32_t string_append(const TextRules &rules, Path path, char *dst, PLState dst_state,
                      const char *src, PLState src_state, int32_t count, bool count_chars,
                      bool terminate);
template <class T>
int32_t element_copy(T *dst, int32_t dst_size, const T *src, int32_t src_len);
template <class T>
int32_t element_append(T *dst, const T *src, int32_t count, bool terminate);

// Searches.
Found string_find_char(const TextRules &rules, Path path, const char *str, PLState state,
                       int32_t len, const char *chr, PLState chr_state, bool count_chars,
                       bool last);
Found string_find(const TextRules &rules, Path path, const char *str, PLState state, int32_t len,
                  const char *sub, PLState sub_state, int32_t sub_len, bool count_chars);
template <class T>
const T *element_find_char(const T *str, int32_t len, T chr, bool last);
template <class T>
const T *element_find(const T *str, int32_t len, const T *sub, int32_t sub_len);

// Spans: the prefix made of characters of `set` (`inside`) or of none of them.
int32_t string_span(const TextRules &rules, Path path, const char *str, PLState state,
                    int32_t len, const char *set, PLState set_state, int32_t set_len,
                    bool count_chars, bool inside);
template <class T>
int32_t element_span(const T *str, int32_t len, const T *set, int32_t set_len, bool inside);

// Tokens. `len` and `next` are the caller's position; see PLStrtok.
char *string_token(const TextRules &rules, Path path, char *str, int32_t *len,
                   const char *delims, int32_t delim_len, char **next, bool count_chars);
template <class T>
T *element_token(T *str, int32_t *len, const T *delims, int32_t delim_len, T **next);

// The token of a stateful string, copied to `dst`; see PLStrtokEx.
struct TokenCursor {
  const char *next;
  PLState state;
};
int32_t shifted_token(const TextRules &rules, char *dst, PLState dst_state, int32_t dst_size,
                      const char *str, PLState str_state, int32_t *len, const char *delims,
                      PLState delim_state, int32_t delim_len, TokenCursor *next,
                      bool count_chars);

}  // namespace pl
