#include "charset/navigation/char_walk.h"

namespace pl {
namespace {

PLState normalized(PLState state) { return state == kSingleByteState ? kSingleByteState : kShiftedState; }

// How much of a `rule`-byte character at `s` lies before the NUL.
uint8_t bytes_before_nul(const uint8_t *s, uint8_t rule) {
  if (rule == 0) return 0;
  uint8_t bytes = 1;
  while (bytes < rule && s[bytes] != 0) ++bytes;
  return bytes;
}

}  // namespace

Step step_at(const TextRules &rules, const uint8_t *s, size_t available, PLState state) {
  if (!rules.shift_rule) return {0, normalized(state), char_length(rules.set, s, available)};
  StatefulChar c = stateful_char(rules.set, s, available, state);
  return {c.shift.length, c.shift.state, c.length};
}

ShiftRun terminated_shift_run(const CharsetView &set, const uint8_t *s, PLState state) {
  ShiftRun run{0, normalized(state)};
  // One byte at a time, so that the NUL is never passed whatever the shift bytes are.
  while (s[run.length] != 0) {
    ShiftRun one = skip_shift_run(set, s + run.length, 1, run.state);
    if (one.length == 0) break;
    ++run.length;
    run.state = one.state;
  }
  return run;
}

Step terminated_step(const TextRules &rules, const uint8_t *s, PLState state) {
  if (!rules.shift_rule) {
    // The GB rule looks at the second byte, which exists unless the first is the NUL.
    uint8_t rule = char_length(rules.set, s, s[0] != 0 ? 2 : 1).rule;
    return {0, normalized(state), {rule, bytes_before_nul(s, rule)}};
  }
  ShiftRun run = terminated_shift_run(rules.set, s, state);
  uint8_t rule = state_char_length(rules.set, run.state);
  return {run.length, run.state, {rule, bytes_before_nul(s + run.length, rule)}};
}

WalkEnd walk(const TextRules &rules, const uint8_t *s, size_t extent, size_t limit,
             size_t max_chars, PLState state) {
  WalkEnd end{0, 0, normalized(state)};
  if (limit > extent) limit = extent;
  while (end.chars < max_chars) {
    Step step = step_at(rules, s + end.bytes, extent - end.bytes, end.state);
    size_t start = end.bytes + step.shift_bytes;
    if (start > limit) break;
    end.bytes = start;
    end.state = step.state;
    if (step.length.rule == 0 || !step.length.complete() || start + step.length.rule > limit) break;
    end.bytes += step.length.rule;
    ++end.chars;
  }
  return end;
}

}  // namespace pl
