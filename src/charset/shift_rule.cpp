#include "charset/shift_rule.h"

namespace pl {

ShiftRun skip_shift_run(const CharsetView &set, const uint8_t *s, size_t available, PLState state) {
  ShiftRun run{0, state == kSingleByteState ? kSingleByteState : kShiftedState};
  if (!set.stateful()) return run;
  uint8_t shift_out = set.shift_out_byte(), shift_in = set.shift_in_byte();
  for (; run.length < available; ++run.length) {
    uint8_t b = s[run.length];
    if (b == shift_out)
      run.state = kShiftedState;
    else if (b == shift_in)
      run.state = kSingleByteState;
    else
      break;
  }
  return run;
}

uint8_t state_char_length(const CharsetView &set, PLState state) {
  return state == kSingleByteState ? 1 : set.max_length();
}

StatefulChar stateful_char(const CharsetView &set, const uint8_t *s, size_t available,
                           PLState state) {
  ShiftRun run = skip_shift_run(set, s, available, state);
  size_t left = available - run.length;
  uint8_t rule = state_char_length(set, run.state);
  return {run, {rule, static_cast<uint8_t>(rule < left ? rule : left)}};
}

}  // namespace pl
