// Reading a stream: whole characters of the code set (held bytes first, then the read
// buffer, refilled by the callback), raw UTF-16 units, and pushing characters back.
// The common case, a character that lies whole in the read buffer of a stateless code
// set, is inline: it is taken once a character.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/length_rule.h"
#include "charset/navigation/text_rules.h"
#include "charset/packed_char.h"
#include "stream/stream_object.h"

namespace pl {

// One character read, or why there is none.
struct StreamChar {
  uint32_t packed;  // the character's bytes, first byte most significant
  uint8_t length;   // its bytes; 0 when nothing was read
  uint8_t state;    // the input state it was read in
  Code code;        // PL_OK, or 61 or 63 when nothing was read; PL_OK with length 0: the end
};

// Writes the `length` bytes of a character read (a first byte 0 included, which its
// packed form does not show) to `out`.
inline void copy_char_bytes(const StreamChar &c, uint8_t *out) {
  for (uint8_t i = 0; i < c.length; ++i) out[i] = static_cast<uint8_t>(c.packed >> (8 * (c.length - 1 - i)));
}

// The slow path of read_char: held bytes, refills, shift runs, characters that straddle
// the end of the read buffer. A character cut short by the end of the data or a
// callback error stays held, whole, for the next read.
StreamChar read_char_slowly(PLStream &stream, const TextRules &rules);

// The next character. `rules` are the Ex rules of the handle: shift bytes switch the
// input state wherever the code set is stateful; they are never returned.
inline StreamChar read_char(PLStream &stream, const TextRules &rules) {
  uint8_t *p = stream.read_position;
  if (stream.held_count == 0 && !rules.shift_rule && p != stream.data_end) {
    uint8_t lead = *p;
    if (rules.set.byte_length(lead) <= 1) {
      stream.read_position = p + 1;
      return {lead, 1, 0, PL_OK};
    }
    CharLength length = char_length(rules.set, p, static_cast<size_t>(stream.data_end - p));
    if (length.complete()) {
      stream.read_position = p + length.rule;
      return {pack_char(p, length.rule), length.rule, 0, PL_OK};
    }
  }
  return read_char_slowly(stream, rules);
}

// The next two bytes as a UTF-16 unit, first byte low: length 2, or 0 with code 64 at
// the end of the data, 63 for a single byte left (held for the next call), or 61.
StreamChar read_unit(PLStream &stream);

// Puts a character's bytes in front of the unread ones. In a stateful code set the
// input state follows the character (shifted when it is longer than one byte), and a
// shift byte behind it restores the state of the bytes after it. PL_OK, or 40 when
// the held bytes would pass 80.
Code push_back(PLStream &stream, const TextRules &rules, const uint8_t *bytes, size_t count);

}  // namespace pl
