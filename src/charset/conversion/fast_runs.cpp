#include "charset/conversion/fast_runs.h"

#include "charset/unicode_value.h"

namespace pl::fast {

namespace {

size_t single_bytes(const Decoder &decoder, const uint8_t *s, size_t n, PLUChar *out) {
  const uint8_t *lengths = decoder.length_table();
  const uint8_t *units = decoder.unicode_table();
  bool gb = decoder.gb_lead(0x81);
  size_t k = 0;
  for (; k < n; ++k) {
    uint8_t b = s[k];
    if (lengths[b] > 1 || (gb && static_cast<uint8_t>(b - 0x81) < 4)) break;
    out[k] = read_u16(units + 2u * b);
  }
  return k;
}

}  // namespace

DecodedRun decode_chars(Decoder &decoder, const uint8_t *s, size_t n, PLUChar *out, size_t room,
                        size_t chars) {
  size_t i = 0, written = 0, count = 0;
  bool ascii = decoder.ascii_identity();
  while (count < chars && written < room) {
    if (ascii && n - i >= 8 && room - written >= 8 && chars - count >= 8 && ascii8(s + i)) {
      for (size_t k = 0; k < 8; ++k) out[written + k] = s[i + k];
      i += 8;
      written += 8;
      count += 8;
      continue;
    }
    if (i == n) break;
    // One-byte characters, with the tables in locals.
    size_t limit = smallest(n - i, smallest(room - written, chars - count));
    size_t k = single_bytes(decoder, s + i, limit, out + written);
    i += k;
    written += k;
    count += k;
    if (k != 0) continue;
    Measured m = decoder.measure(s + i, n - i, 0);
    if (m.cut || m.length > 3) break;
    uint32_t value = decoder.unicode(s + i, m.length, 0);
    if (value > 0xFFFF) break;
    out[written++] = static_cast<PLUChar>(value);
    i += m.length;
    ++count;
  }
  return {i, written, count};
}

size_t encode_units(const Encoder &encoder, const PLUChar *s, size_t n, uint8_t *out, size_t room,
                    size_t *units) {
  size_t i = 0, written = 0;
  bool ascii = encoder.ascii_identity();
  while (i < n) {
    if (ascii && n - i >= 4 && room - written >= 4 && ascii4(s + i)) {
      for (size_t k = 0; k < 4; ++k) out[written + k] = static_cast<uint8_t>(s[i + k]);
      i += 4;
      written += 4;
      continue;
    }
    uint32_t unit = s[i];
    if (is_high_surrogate(unit)) break;
    uint32_t packed = encoder.packed(unit);
    size_t count = packed > 0xFFFFFF ? 4 : packed > 0xFFFF ? 3 : packed > 0xFF ? 2 : 1;
    if (count > room - written) break;
    for (size_t k = count; k-- > 0;) out[written++] = static_cast<uint8_t>(packed >> (8 * k));
    ++i;
  }
  *units = i;
  return written;
}

size_t copy_ascii(const uint8_t *s, size_t n, uint8_t *out) {
  size_t i = 0;
  while (n - i >= 8 && ascii8(s + i)) {
    std::memcpy(out + i, s + i, 8);
    i += 8;
  }
  while (i < n && s[i] < 0x80) {
    out[i] = s[i];
    ++i;
  }
  return i;
}

}  // namespace pl::fast
