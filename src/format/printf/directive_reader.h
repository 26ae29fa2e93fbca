// One walk over a format by the directive state machine, shared by the scans that
// collect the arguments and by the engine that writes the output, so that they agree
// on every directive. The handler receives what each character means:
//   running()                 asked after a directive starts and after a conversion:
//                             false ends the walk
//   literal(c)                a character to copy (multibyte ones included)
//   literals(text, units)     a run of whole characters without a %
//   bad_multibyte()           a multibyte character right after %: ends the walk
//   directive(consumes)       a % that starts a directive; `consumes` unless %% follows
//   flag(a)                   space # + , - 0, and $ (which clears the width)
//   width_star(), width_digit(d), dot(), precision_star(), precision_digit(d)
//   size(s)                   h, l, ll, L (F I N w change nothing)
//   conversion(a)             the type character
#pragma once

#include <cstdint>

#include "format/printf/directive_syntax.h"

namespace pl {

enum class ArgSize : uint8_t { kDefault, kShort, kLong, kInt64, kLongDouble };

template <class Cursor, class Handler>
void read_format(Cursor &cursor, Handler &handler) {
  using namespace printf_syntax;
  State state = kNormal;
  while (cursor.skip_shifts()) {
    if (state == kNormal) {
      if (size_t run = cursor.literals()) {
        handler.literals(cursor.position(), run);
        cursor.skip(run);
        continue;
      }
    }
    auto c = cursor.next();
    if (c.multi) {
      handler.literal(c);
      if (cursor.at_end()) return;
      if (state == kPercent) {
        handler.bad_multibyte();
        return;
      }
      continue;
    }
    uint32_t a = c.ascii;
    state = next_state(state, a);
    // Tests in the order of frequency rather than one jump through a table, whose
    // target changes with nearly every character of a directive.
    if (state == kNormal) {
      handler.literal(c);
    } else if (state == kType) {
      handler.conversion(a);
      if (!handler.running()) return;
    } else if (state == kPercent) {
      handler.directive(cursor.ascii_ahead(0) != '%');
      if (!handler.running()) return;
    } else if (state == kWidth || state == kPrecision) {
      bool width = state == kWidth;
      if (a == '*')
        width ? handler.width_star() : handler.precision_star();
      else
        width ? handler.width_digit(static_cast<int32_t>(a - '0'))
              : handler.precision_digit(static_cast<int32_t>(a - '0'));
    } else if (state == kFlag) {
      handler.flag(a);
    } else if (state == kDot) {
      handler.dot();
    } else if (a == 'h') {  // size
      handler.size(ArgSize::kShort);
    } else if (a == 'l') {
      bool twice = cursor.ascii_ahead(0) == 'l';
      if (twice) cursor.skip_unit();
      handler.size(twice ? ArgSize::kInt64 : ArgSize::kLong);
    } else if (a == 'L') {
      handler.size(ArgSize::kLongDouble);
    }
  }
}

}  // namespace pl
