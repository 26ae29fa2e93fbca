// Unicode values: one UTF-16 unit, or a surrogate pair packed as high * 65536 + low.
// Their UTF-8 form, independent of any locale.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pl {

inline constexpr uint32_t kReplacementCharacter = 0xFFFD;

constexpr bool is_high_surrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool is_low_surrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

constexpr uint32_t pack_surrogates(uint32_t high, uint32_t low) { return high << 16 | low; }

// A value above 0xFFFF is meaningful only as a packed pair.
constexpr bool is_packed_pair(uint32_t value) {
  return is_high_surrogate(value >> 16) && is_low_surrogate(value & 0xFFFF);
}

// The code point of a packed pair.
constexpr uint32_t pair_code_point(uint32_t value) {
  return 0x10000 + (((value >> 16) - 0xD800) << 10) + ((value & 0xFFFF) - 0xDC00);
}

// The Unicode value of a code point: the unit itself, or the packed pair above 0xFFFF.
constexpr uint32_t unicode_value_of(uint32_t code_point) {
  if (code_point < 0x10000) return code_point;
  uint32_t offset = code_point - 0x10000;
  return pack_surrogates(0xD800 + (offset >> 10), 0xDC00 + (offset & 0x3FF));
}

// Writes the UTF-8 form of `value` to `out` (room for 4 bytes); returns 1 to 4. A unit,
// lone surrogates included, takes 1 to 3 bytes and a packed pair 4. A value above
// 0xFFFF that is no packed pair is written as U+FFFD.
size_t utf8_encode_value(uint32_t value, uint8_t *out);

struct Utf8Decoded {
  uint32_t value;  // a Unicode value, or U+FFFD for malformed input
  uint8_t length;  // bytes taken: the whole sequence, or its longest valid prefix (at least 1)
};

// Decodes the sequence at `bytes`, reading at most `available` bytes (at least 1).
// Malformed input (a byte that cannot start a sequence, a missing or wrong
// continuation byte, an overlong form, a code point above 0x10FFFF, or a sequence cut
// by `available`) gives U+FFFD. Three-byte forms of surrogates decode to that unit, so
// that a lone surrogate written by the encoder reads back.
Utf8Decoded utf8_decode_value(const uint8_t *bytes, size_t available);

}  // namespace pl
