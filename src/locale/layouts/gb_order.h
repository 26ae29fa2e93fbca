// The order of the four-byte GB codes, in which the sources count runs of them: the
// last byte runs 0x30..0x39, the third 0x81..0xFE, the second 0x30..0x39, the first
// 0x81..0xFE.
#pragma once

#include <cstdint>

namespace pl::layout {

constexpr uint32_t next_gb_code(uint32_t code) {
  uint32_t b[4] = {code >> 24, (code >> 16) & 0xFF, (code >> 8) & 0xFF, code & 0xFF};
  if (++b[3] > 0x39) {
    b[3] = 0x30;
    if (++b[2] > 0xFE) {
      b[2] = 0x81;
      if (++b[1] > 0x39) {
        b[1] = 0x30;
        ++b[0];
      }
    }
  }
  return (b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
}

}  // namespace pl::layout
