#include "time/time_text.h"

#include <array>

namespace pl::time_text {

namespace {

using Inverse = std::array<uint8_t, 128>;

Inverse invert(const uint8_t *table) {
  Inverse inverse{};
  for (uint32_t unit = 256; unit-- > 0;)
    if (table[unit] < 128) inverse[table[unit]] = static_cast<uint8_t>(unit);
  return inverse;
}

}  // namespace

uint8_t encode_ascii(const Encoding &encoding, char c) {
  auto ascii = static_cast<uint8_t>(c);
  if (encoding.table == nullptr || ascii >= 128) return ascii;
  static const Inverse ebcdic = invert(printf_syntax::kEbcdic037ToAscii);
  static const Inverse own_930 = invert(printf_syntax::kCodePage930ToAscii);
  return (encoding.table == printf_syntax::kCodePage930ToAscii ? own_930 : ebcdic)[ascii];
}

}  // namespace pl::time_text
