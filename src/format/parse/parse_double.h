// Reading a double over the tokens of any form of text: a state machine decides what
// is read, DecimalDigits what it is worth.
#pragma once

#include <cstdint>

#include "format/parse/decimal_digits.h"
#include "format/parse/number_tokens.h"

namespace pl {

struct DoubleParse {
  double value;
  TextCursor end;  // behind the last token accepted
};

inline bool is_exponent_marker(int32_t token) { return token == 13 || token == 14; }  // d, e
inline bool is_sign_token(int32_t token) { return token == kTokenPlus || token == kTokenMinus; }

// The state that `state` goes to on token `t`, or -1 where it refuses the token.
// States: 0 start, 1 after the sign, 2 a point before any digit, 3 integer digits,
// 4 after a thousands separator, 5 fraction digits, 6 after the exponent marker,
// 7 after the exponent's sign, 8 exponent digits.
inline int next_number_state(int state, int32_t t) {
  bool digit = is_digit_token(t, 10);
  switch (state) {
    case 0:
      return digit ? 3 : is_sign_token(t) ? 1 : t == kTokenPoint ? 2 : t == kTokenSpace ? 0 : -1;
    case 1: return digit ? 3 : t == kTokenPoint ? 2 : -1;
    case 2: return digit ? 5 : -1;
    case 3:
      return digit                   ? 3
             : t == kTokenSeparator  ? 4
             : t == kTokenPoint      ? 5
             : is_exponent_marker(t) ? 6
                                     : -1;
    case 4: return digit ? 3 : -1;
    case 5: return digit ? 5 : is_exponent_marker(t) ? 6 : -1;
    case 6: return digit ? 8 : is_sign_token(t) ? 7 : -1;
    case 7:
    case 8: return digit ? 8 : -1;
    default: return -1;
  }
}

// Every token accepted moves the end behind it, except that a thousands separator is
// accepted only together with the digit behind it. Without mantissa digits the value
// is 0.
template <class Tokens>
DoubleParse parse_double(Tokens &tokens) {
  DecimalDigits digits;
  bool negative = false;
  for (int state = 0;;) {
    int32_t t = tokens.peek();
    int next = next_number_state(state, t);
    if (next < 0) break;
    if (next == 4) {
      Tokens ahead = tokens;
      ahead.take();
      if (!is_digit_token(ahead.peek(), 10)) break;
      tokens = ahead;
      state = next;
      continue;
    }
    if (is_digit_token(t, 10)) {
      // A digit and the digits behind it, in the state it leads to.
      auto take = [&](auto add) {
        tokens.take_digits(10, [&](int32_t d) {
          add(d);
          return true;
        });
      };
      if (next == 3) take([&](int32_t d) { digits.integer_digit(d); });
      if (next == 5) take([&](int32_t d) { digits.fraction_digit(d); });
      if (next == 8) take([&](int32_t d) { digits.exponent_digit(d); });
      state = next;
      continue;
    }
    if (t == kTokenMinus && state == 0) negative = true;
    if (t == kTokenMinus && state == 6) digits.negative_exponent();
    tokens.take();
    // The exponent's sign is + or -, never a monetary sign text.
    if (next == 6) tokens.plain_signs();
    state = next;
  }
  return {digits.any() ? digits.value(negative) : 0.0, tokens.cursor()};
}

}  // namespace pl
