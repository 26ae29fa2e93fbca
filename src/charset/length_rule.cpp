#include "charset/length_rule.h"

namespace pl {

CharLength char_length(const CharsetView &set, const uint8_t *s, size_t available) {
  if (available == 0) return {0, 0};
  uint8_t lead = s[0];
  uint8_t rule = set.byte_length(lead);
  if (set.gb_rule() && lead >= 0x81 && lead <= 0x84 && available >= 2 && s[1] >= 0x40) rule = 2;
  return {rule, static_cast<uint8_t>(rule < available ? rule : available)};
}

}  // namespace pl
