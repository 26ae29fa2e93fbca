// The one tokenizer of the number parsers, over any form of text (number_text.h).
// Tokenizers are copied only to look ahead; the parsers take them by reference.
// A token is a digit or letter value 0..35, a sign text, the thousands separator, the
// decimal point or a run of white space; anything else, the end of the text and a
// character cut by it are kTokenNone.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/parse/number_items.h"
#include "format/parse/number_text.h"

namespace pl {

inline constexpr int32_t kTokenNone = -1;
inline constexpr int32_t kTokenPlus = 40;
inline constexpr int32_t kTokenMinus = 41;
inline constexpr int32_t kTokenSeparator = 42;
inline constexpr int32_t kTokenPoint = 43;
inline constexpr int32_t kTokenSpace = 44;

inline bool is_digit_token(int32_t token, int32_t base) { return token >= 0 && token < base; }

// A place in the text: the unit where the next token starts (in front of its shift
// run) and the state there.
struct TextCursor {
  size_t at;
  PLState state;
};

template <class Text>
class NumberTokenizer {
 public:
  using Unit = typename Text::Unit;

  NumberTokenizer(const Text &text, const NumberItems<Unit> &items, bool map_digits,
                  TextCursor start)
      : text_(&text),
        items_(&items),
        plus_(&items.mode_plus()),
        minus_(&items.mode_minus()),
        plain_{items.separator, items.point, lead(plus_), lead(minus_), map_digits},
        at_(start.at),
        state_(start.state) {}

  // The token at the cursor; a character is looked at once however often it is asked.
  int32_t peek() {
    if (!peeked_) keep(scan(text_->at(at_, state_)));
    return token_;
  }

  // Moves the cursor behind the token peeked.
  void take() {
    at_ = next_at_;
    state_ = next_state_;
    peeked_ = false;
  }

  TextCursor cursor() const { return {at_, state_}; }

  // Takes the digit tokens below `base` at the cursor, calling digit(value) for each
  // until it returns false; the first other token is left peeked. Plain digits, the
  // run of a number, are taken in a loop of their own with the cursor in locals, since
  // digit() may store through any pointer.
  template <class Digit>
  void take_digits(int32_t base, Digit digit) {
    for (;;) {
      if (!peeked_) {
        size_t at = at_;
        PLState state = state_;
        NumberChar c;
        bool more = true;
        for (;;) {
          c = text_->at(at, state);
          uint32_t unit;
          if (c.length == 0 || !text_->single(c, &unit) || !plain(c, unit)) break;
          int32_t value = text_->value(unit);
          if (!is_digit_token(value, base)) break;
          at = c.start + c.length;
          state = c.state;
          if (!(more = digit(value))) break;
        }
        at_ = at;
        state_ = state;
        if (!more) return;
        keep(scan(c));
      }
      if (!is_digit_token(token_, base)) return;
      take();
      if (!digit(token_)) return;
    }
  }

  // From here on the signs are + and -, whatever the mode's sign texts are.
  void plain_signs() {
    plus_ = &items_->plain_plus;
    minus_ = &items_->plain_minus;
    plain_.plus_lead = lead(plus_);
    plain_.minus_lead = lead(minus_);
    peeked_ = false;
  }

 private:
  // A separator or point never counts as white space, even where it is.
  bool blank(const NumberChar &c) const {
    if (c.length == 0) return false;
    int32_t first = static_cast<int32_t>(text_->first(c));
    return first != plain_.separator && first != plain_.point && text_->space(c);
  }

  // A token and the place behind it; small enough to come back in registers.
  struct Scanned {
    size_t next;
    int32_t token;
    PLState state;
  };

  void keep(const Scanned &scanned) {
    token_ = scanned.token;
    next_at_ = scanned.next;
    next_state_ = scanned.state;
    peeked_ = true;
  }

  // The token of the character `c` at the cursor.
  Scanned scan(const NumberChar &c) const {
    if (c.length == 0) return {at_, kTokenNone, state_};
    uint32_t unit;
    if (text_->single(c, &unit) && plain(c, unit))
      return {c.start + c.length, text_->value(unit), c.state};
    return scan_rule(c);
  }

  bool plain(const NumberChar &c, uint32_t unit) const { return plain_.holds(*text_, c, unit); }

  // The tests in their order: white space, the signs, then the character's one unit
  // (mapped first where asked) as separator, point, digit or letter.
  Scanned scan_rule(const NumberChar &c) const {
    if (blank(c)) {
      NumberChar last = c;
      for (;;) {
        NumberChar d = text_->at(last.start + last.length, last.state);
        if (!blank(d)) break;
        last = d;
      }
      return {last.start + last.length, kTokenSpace, last.state};
    }
    PLState after;
    if (size_t n = text_->sign(c, *plus_, &after)) return {c.start + n, kTokenPlus, after};
    if (size_t n = text_->sign(c, *minus_, &after)) return {c.start + n, kTokenMinus, after};
    Scanned one{c.start + c.length, kTokenNone, c.state};
    uint32_t unit;
    bool single = text_->single(c, &unit);
    // Mapping leaves digits and letters as they are: only the others pay for it.
    if (plain_.map_digits && !(single && text_->value(unit) >= 0)) single = text_->mapped(c, &unit);
    if (!single) return one;
    int32_t u = static_cast<int32_t>(unit);
    one.token = u == plain_.separator ? kTokenSeparator
                : u == plain_.point   ? kTokenPoint
                                      : text_->value(unit);
    return one;
  }

  // The first unit of a sign text, -1 for an empty one.
  static int32_t lead(const SignText<Unit> *sign) {
    return sign->length != 0 ? static_cast<int32_t>(sign->units[0]) : -1;
  }

  // Whether the single unit `unit` of a character takes its value from the table
  // whatever the order of the tests: no sign starts with it, it is no separator, point
  // or white space, and mapping would not change it. Most characters of a number are
  // plain.
  struct PlainTest {
    int32_t separator, point, plus_lead, minus_lead;
    bool map_digits;

    bool holds(const Text &text, const NumberChar &c, uint32_t unit) const {
      int32_t u = static_cast<int32_t>(unit);
      return u != separator && u != point && u != plus_lead && u != minus_lead &&
             !(map_digits && text.value(unit) < 0) && !text.space(c);
    }
  };

  const Text *text_;
  const NumberItems<Unit> *items_;
  const SignText<Unit> *plus_, *minus_;
  PlainTest plain_;
  // The cursor and the token peeked there with the place behind it, as scalars: the
  // loops copy them on every character.
  size_t at_, next_at_ = 0;
  PLState state_, next_state_ = 0;
  int32_t token_ = kTokenNone;
  bool peeked_ = false;
};

}  // namespace pl
