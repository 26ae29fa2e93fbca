// Reading a 32-bit integer over the tokens of any form of text.
#pragma once

#include <cstdint>

#include "format/parse/number_tokens.h"

namespace pl {

struct LongParse {
  uint32_t value;
  TextCursor end;  // behind the last token read
};

inline constexpr int32_t kTokenX = 33;  // the letter x of a 0x prefix

// The largest magnitude a long reaches before it overflows.
inline uint64_t long_limit(bool is_unsigned) { return is_unsigned ? 0xFFFFFFFFu : 0x7FFFFFFFu; }

// The result of a long read: the magnitude with its sign, or the extreme value it
// overflowed towards.
inline uint32_t long_value(uint64_t magnitude, bool overflow, bool negative, bool is_unsigned) {
  if (overflow) return is_unsigned ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
  uint32_t value = static_cast<uint32_t>(magnitude);
  return negative ? 0u - value : value;
}

// White space once, a sign, the base's prefix, then digits below `base` (0: by the
// prefix) with thousands separators between them. A signed value stops behind the
// digit that takes it above 0x7FFFFFFF; an unsigned one behind the digit that would
// take it above 0xFFFFFFFF. A sign without digits leaves the cursor behind the sign.
template <class Tokens>
LongParse parse_long(Tokens &tokens, int32_t base, bool is_unsigned) {
  int32_t t = tokens.peek();
  if (t == kTokenSpace) {
    tokens.take();
    t = tokens.peek();
  }
  bool negative = t == kTokenMinus;
  // A minus sign cannot start an unsigned number: the number ends at it with 0.
  if (negative && is_unsigned) return {0, tokens.cursor()};
  if (t == kTokenPlus || t == kTokenMinus) {
    tokens.take();
    t = tokens.peek();
  }
  // A leading 0 is read at once: the start of a 0x prefix, or in base 0 the first digit
  // of an octal number.
  bool zero_read = false;
  if ((base == 0 || base == 16) && t == 0) {
    tokens.take();
    t = tokens.peek();
    if (t == kTokenX) {
      tokens.take();
      t = tokens.peek();
      base = 16;
    } else if (base == 0) {
      base = 8;
      zero_read = true;
    }
  }
  if (base == 0) base = 10;

  const uint64_t limit = long_limit(is_unsigned);
  uint64_t value = 0;
  bool overflow = false;
  auto add = [&](int32_t d) {
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    overflow = value > limit;
    return !overflow;
  };
  if (!zero_read && !is_digit_token(t, base)) return {0, tokens.cursor()};
  for (;;) {
    tokens.take_digits(base, add);
    if (overflow || tokens.peek() != kTokenSeparator) break;
    // A separator counts only with a digit behind it.
    Tokens ahead = tokens;
    ahead.take();
    if (!is_digit_token(ahead.peek(), base)) break;
    tokens = ahead;
  }
  return {long_value(value, overflow, negative, is_unsigned), tokens.cursor()};
}

}  // namespace pl
