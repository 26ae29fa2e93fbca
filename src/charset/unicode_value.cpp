#include "charset/unicode_value.h"

#include "frame/utf8.h"

namespace pl {

size_t utf8_encode_value(uint32_t value, uint8_t *out) {
  uint32_t code_point = value;
  if (value > 0xFFFF)
    code_point = is_packed_pair(value) ? pair_code_point(value) : kReplacementCharacter;
  return utf8_encode(code_point, reinterpret_cast<char *>(out));
}

Utf8Decoded utf8_decode_value(const uint8_t *bytes, size_t available) {
  if (available == 0) return {kReplacementCharacter, 0};
  uint8_t lead = bytes[0];
  if (lead < 0x80) return {lead, 1};
  uint8_t length;
  uint32_t code_point;
  // The second byte's range also rules out overlong forms and values above 0x10FFFF.
  uint8_t lowest = 0x80, highest = 0xBF;
  if (lead < 0xC2) {
    return {kReplacementCharacter, 1};
  } else if (lead < 0xE0) {
    length = 2;
    code_point = lead & 0x1F;
  } else if (lead < 0xF0) {
    length = 3;
    code_point = lead & 0x0F;
    if (lead == 0xE0) lowest = 0xA0;
  } else if (lead < 0xF5) {
    length = 4;
    code_point = lead & 0x07;
    if (lead == 0xF0) lowest = 0x90;
    if (lead == 0xF4) highest = 0x8F;
  } else {
    return {kReplacementCharacter, 1};
  }
  for (uint8_t i = 1; i < length; ++i) {
    if (i >= available || bytes[i] < lowest || bytes[i] > highest)
      return {kReplacementCharacter, i};
    code_point = code_point << 6 | (bytes[i] & 0x3F);
    lowest = 0x80;
    highest = 0xBF;
  }
  return {unicode_value_of(code_point), length};
}

}  // namespace pl
