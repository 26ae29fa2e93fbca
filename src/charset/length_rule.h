// The length rule: how many bytes the character at a position takes, by the table of
// its first byte, with the two-byte exception of the four-byte GB code set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/charset_view.h"

namespace pl {

struct CharLength {
  uint8_t rule;   // the rule's length, 0 to 4 (0 where the table gives 0)
  uint8_t bytes;  // the part of it inside the input: min(rule, available)
  // False when the character's trail bytes run past the end of the input.
  bool complete() const { return bytes == rule; }
};

// The length of the character at `s`, reading only inside `available` bytes: the
// second byte is looked at only when it is there, so a GB lead byte at the end takes
// its table length and reports itself incomplete. With nothing available, {0, 0}.
// Inline: every string walk takes it once a character.
inline CharLength char_length(const CharsetView &set, const uint8_t *s, size_t available) {
  if (available == 0) return {0, 0};
  uint8_t lead = s[0];
  uint8_t rule = set.byte_length(lead);
  if (set.gb_rule() && lead >= 0x81 && lead <= 0x84 && available >= 2 && s[1] >= 0x40) rule = 2;
  return {rule, static_cast<uint8_t>(rule < available ? rule : available)};
}

}  // namespace pl
