#include "charset/utf16_to_bytes.h"

#include "charset/charset_view.h"
#include "charset/from_unicode.h"
#include "charset/packed_char.h"
#include "charset/shift_rule.h"
#include "charset/unicode_value.h"

namespace pl {
namespace {

EncodedText plain_text(const ControlEntry &entry, const PLUChar *units, size_t count, uint8_t *out,
                       size_t capacity) {
  EncodedText text{0, 0, kSingleByteState};
  while (text.consumed < count) {
    uint32_t unit = units[text.consumed];
    size_t take = 1;
    uint32_t packed;
    if (!is_high_surrogate(unit)) {
      packed = to_packed(entry, unit);
    } else if (text.consumed + 1 < count && is_low_surrogate(units[text.consumed + 1])) {
      packed = to_packed(entry, pack_surrogates(unit, units[text.consumed + 1]));
      take = 2;
    } else {
      packed = CharsetView(entry).replacement_byte();
    }
    PackedBytes bytes = unpack_char(packed);
    if (bytes.count > capacity - text.written) break;
    for (uint8_t i = 0; i < bytes.count; ++i) out[text.written++] = bytes.bytes[i];
    text.consumed += take;
  }
  return text;
}

EncodedText shifted_text(const ControlEntry &entry, const PLUChar *units, size_t count,
                         PLState state, uint8_t *out, size_t capacity) {
  CharsetView set(entry);
  uint8_t shift_out = set.shift_out_byte(), shift_in = set.shift_in_byte();
  EncodedText text{0, 0, state == kSingleByteState ? kSingleByteState : kShiftedState};
  for (; text.consumed < count; ++text.consumed) {
    PackedBytes bytes = unpack_char(to_packed(entry, units[text.consumed]));
    PLState after = bytes.count == 1 ? kSingleByteState : kShiftedState;
    size_t shift = after != text.state ? 1 : 0;
    size_t closing = after == kShiftedState ? 1 : 0;
    if (shift + bytes.count + closing > capacity - text.written) break;
    if (shift != 0) out[text.written++] = after == kShiftedState ? shift_out : shift_in;
    for (uint8_t i = 0; i < bytes.count; ++i) out[text.written++] = bytes.bytes[i];
    text.state = after;
  }
  if (text.state == kShiftedState) {
    if (text.written > 0 && out[text.written - 1] == shift_out) {
      --text.written;
      text.state = kSingleByteState;
    } else if (text.written < capacity) {
      out[text.written++] = shift_in;
      text.state = kSingleByteState;
    }
  }
  return text;
}

}  // namespace

EncodedText utf16_to_bytes(const ControlEntry &entry, const PLUChar *units, size_t count,
                           PLState state, uint8_t *out, size_t capacity) {
  if (CharsetView(entry).stateful()) return shifted_text(entry, units, count, state, out, capacity);
  return plain_text(entry, units, count, out, capacity);
}

}  // namespace pl
