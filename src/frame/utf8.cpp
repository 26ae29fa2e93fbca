#include "frame/utf8.h"

namespace pl {

size_t utf8_encode(uint32_t cp, char *out) {
  auto byte = [](uint32_t v) { return static_cast<char>(static_cast<uint8_t>(v)); };
  if (cp < 0x80) {
    out[0] = byte(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = byte(0xC0 | (cp >> 6));
    out[1] = byte(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = byte(0xE0 | (cp >> 12));
    out[1] = byte(0x80 | ((cp >> 6) & 0x3F));
    out[2] = byte(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = byte(0xF0 | (cp >> 18));
  out[1] = byte(0x80 | ((cp >> 12) & 0x3F));
  out[2] = byte(0x80 | ((cp >> 6) & 0x3F));
  out[3] = byte(0x80 | (cp & 0x3F));
  return 4;
}

size_t utf16_to_utf8(const PLUChar *units, size_t count, char *out, size_t capacity) {
  if (capacity == 0) return 0;
  size_t written = 0;
  for (size_t i = 0; i < count; ++i) {
    uint32_t cp = units[i];
    size_t consumed = 1;
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      consumed = 2;
    }
    char bytes[4];
    size_t length = utf8_encode(cp, bytes);
    if (written + length + 1 > capacity) break;
    for (size_t k = 0; k < length; ++k) out[written++] = bytes[k];
    i += consumed - 1;
  }
  out[written] = '\0';
  return written;
}

size_t utf16_length(const PLUChar *units) {
  size_t n = 0;
  while (units[n] != 0) ++n;
  return n;
}

}  // namespace pl
