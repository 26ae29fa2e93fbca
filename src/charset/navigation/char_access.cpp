#include "charset/navigation/char_access.h"

#include "charset/navigation/char_walk.h"
#include "charset/packed_char.h"

namespace pl {
namespace {

const uint8_t *bytes(const char *s) { return reinterpret_cast<const uint8_t *>(s); }

bool is_shift_byte(const CharsetView &set, uint8_t b) {
  return b == set.shift_out_byte() || b == set.shift_in_byte();
}

}  // namespace

int32_t byte_length(const TextRules &rules, const char *s, PLState state) {
  if (!rules.shift_rule) return terminated_step(rules, bytes(s), state).length.rule;
  uint8_t b = bytes(s)[0];
  if (b == rules.set.shift_in_byte()) return 1;
  if (b == rules.set.shift_out_byte() || state != kSingleByteState) return rules.set.max_length();
  return 1;
}

int32_t packed_length(PLWChar c) { return unpack_char(c).count; }

PLWChar get_char(const TextRules &rules, const char *s, PLState state) {
  Step step = terminated_step(rules, bytes(s), state);
  return pack_char(bytes(s) + step.shift_bytes, step.length.bytes);
}

int32_t put_char(const TextRules &rules, char *buffer, PLState state, PLWChar c) {
  uint8_t *out = reinterpret_cast<uint8_t *>(buffer);
  if (rules.shift_rule) {
    if (c > 0xFF && state == kSingleByteState)
      *out++ = rules.set.shift_out_byte();
    else if (c <= 0xFF && state != kSingleByteState)
      *out++ = rules.set.shift_in_byte();
  }
  return static_cast<int32_t>(write_packed_char(c, out));
}

Position next_char(const TextRules &rules, const char *s, PLState state) {
  Step step = terminated_step(rules, bytes(s), state);
  const char *c = s + step.shift_bytes;
  const char *after = c + step.length.bytes;
  // Behind a NUL taken as a character there is nothing more to read.
  if (!rules.shift_rule || c[0] == 0) return {after, step.state};
  ShiftRun run = terminated_shift_run(rules.set, bytes(after), step.state);
  return {after + run.length, run.state};
}

Position prev_char(const TextRules &rules, const char *start, const char *position,
                   PLState state) {
  if (position <= start) return {start, state};
  if (rules.shortcut()) return {position - 1, state};
  size_t span = static_cast<size_t>(position - start);
  if (!rules.shift_rule) {
    // The last character from the start whose end reaches `position`.
    WalkEnd end = walk(rules, bytes(start), span, span - 1, kNoCharLimit, state);
    return {start + end.bytes, state};
  }
  const CharsetView &set = rules.set;
  const char *p = position;
  PLState at = state == kSingleByteState ? kSingleByteState : kShiftedState;
  for (; p > start && is_shift_byte(set, static_cast<uint8_t>(p[-1])); --p)
    at = static_cast<uint8_t>(p[-1]) == set.shift_in_byte() ? kShiftedState : kSingleByteState;
  size_t back = state_char_length(set, at);
  p = static_cast<size_t>(p - start) > back ? p - back : start;
  return {p, at};
}

}  // namespace pl
