#include "stream/stream_input.h"

#include "charset/shift_rule.h"

namespace pl {
namespace {

constexpr size_t kLongestChar = 4;

struct Fetched {
  bool got;
  uint8_t byte;
  Code code;  // without a byte: PL_OK at the end of the data, or 61
};

// Calls the callback with the whole read buffer. PL_OK with the buffer refilled or,
// at the end of the data, left empty; 61 on a callback error.
Code refill(PLStream &stream) {
  stream.read_position = stream.data_end = stream.read_buffer;
  int32_t delivered = stream.callback(stream.context, stream.read_buffer, stream.read_buffer_size);
  if (delivered < 0) return PL_ERR_STREAM_READ;
  // A callback that claims more than the buffer holds delivered only the buffer.
  if (delivered > stream.read_buffer_size) delivered = stream.read_buffer_size;
  stream.data_end = stream.read_buffer + delivered;
  return PL_OK;
}

Fetched fetch_byte(PLStream &stream) {
  if (stream.held_count > 0) {
    uint8_t b = stream.held[0];
    drop_held(stream, 1);
    return {true, b, PL_OK};
  }
  if (stream.read_position == stream.data_end) {
    Code code = refill(stream);
    if (stream.read_position == stream.data_end) return {false, 0, code};
  }
  return {true, *stream.read_position++, PL_OK};
}

// The bytes taken for a character that could not be finished go back in front; they
// came from the held bytes or, once those ran out, from the read buffer, so they fit.
StreamChar cut_short(PLStream &stream, const uint8_t *bytes, size_t count, Code code) {
  hold_in_front(stream, bytes, count);
  return {0, 0, stream.input_state, code == PL_OK ? PL_ERR_STREAM_PARTIAL : code};
}

// The length of a character from its first `count` bytes: the length rule (the GB
// exception looks at the second byte), or the state's length under the shift rule.
// A byte the table gives no length is a character of its own.
size_t rule_length(const TextRules &rules, const uint8_t *bytes, size_t count, PLState state) {
  size_t rule = rules.shift_rule ? state_char_length(rules.set, state)
                                 : char_length(rules.set, bytes, count).rule;
  if (rule == 0) return 1;
  return rule < kLongestChar ? rule : kLongestChar;
}

}  // namespace

StreamChar read_char_slowly(PLStream &stream, const TextRules &rules) {
  uint8_t bytes[kLongestChar];
  Fetched f = fetch_byte(stream);
  if (rules.shift_rule) {
    // Shift runs only change the state; the end of the data behind one is still the
    // end at a character boundary.
    for (; f.got; f = fetch_byte(stream)) {
      ShiftRun run = skip_shift_run(rules.set, &f.byte, 1, stream.input_state);
      if (run.length == 0) break;
      stream.input_state = static_cast<uint8_t>(run.state);
    }
  }
  if (!f.got) return {0, 0, stream.input_state, f.code};
  bytes[0] = f.byte;
  size_t count = 1;
  size_t rule = rule_length(rules, bytes, count, stream.input_state);
  while (count < rule) {
    f = fetch_byte(stream);
    if (!f.got) return cut_short(stream, bytes, count, f.code);
    bytes[count++] = f.byte;
    rule = rule_length(rules, bytes, count, stream.input_state);
  }
  return {pack_char(bytes, count), static_cast<uint8_t>(count), stream.input_state, PL_OK};
}

StreamChar read_unit(PLStream &stream) {
  Fetched low = fetch_byte(stream);
  if (!low.got) return {0, 0, 0, low.code == PL_OK ? PL_ERR_END_OF_STREAM : low.code};
  Fetched high = fetch_byte(stream);
  if (!high.got) return cut_short(stream, &low.byte, 1, high.code);
  return {static_cast<uint32_t>(high.byte << 8 | low.byte), 2, 0, PL_OK};
}

Code push_back(PLStream &stream, const TextRules &rules, const uint8_t *bytes, size_t count) {
  if (!rules.shift_rule) return hold_in_front(stream, bytes, count) ? PL_OK : PL_ERR_BUFFER_TOO_SMALL;
  uint8_t pushed[kLongestChar + 1];
  size_t total = count < kLongestChar ? count : kLongestChar;
  std::memcpy(pushed, bytes, total);
  uint8_t state = count > 1 ? kShiftedState : kSingleByteState;
  // Whatever follows, held or still to come from the callback, is in the current
  // input state: a change of state is undone right behind the character.
  if (state != stream.input_state)
    pushed[total++] = stream.input_state == kSingleByteState ? rules.set.shift_in_byte()
                                                             : rules.set.shift_out_byte();
  if (!hold_in_front(stream, pushed, total)) return PL_ERR_BUFFER_TOO_SMALL;
  stream.input_state = state;
  return PL_OK;
}

}  // namespace pl
