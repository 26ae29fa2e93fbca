// Packed characters: a character's bytes in one integer, first byte most significant.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pl {

struct PackedBytes {
  uint8_t bytes[4];
  uint8_t count;  // 1 to 4
};

// The bytes of `packed` from its most significant non-zero byte; 0 is one NUL byte.
constexpr PackedBytes unpack_char(uint32_t packed) {
  PackedBytes out{};
  out.count = packed > 0xFFFFFF ? 4 : packed > 0xFFFF ? 3 : packed > 0xFF ? 2 : 1;
  for (uint8_t i = 0; i < out.count; ++i)
    out.bytes[i] = static_cast<uint8_t>(packed >> (8 * (out.count - 1 - i)));
  return out;
}

// Writes the bytes of `packed` to `out` (room for 4); returns their number.
constexpr size_t write_packed_char(uint32_t packed, uint8_t *out) {
  PackedBytes unpacked = unpack_char(packed);
  for (uint8_t i = 0; i < unpacked.count; ++i) out[i] = unpacked.bytes[i];
  return unpacked.count;
}

// The packed form of `count` (at most 4) bytes.
constexpr uint32_t pack_char(const uint8_t *bytes, size_t count) {
  uint32_t packed = 0;
  for (size_t i = 0; i < count; ++i) packed = packed << 8 | bytes[i];
  return packed;
}

}  // namespace pl
