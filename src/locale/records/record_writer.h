// Helpers shared by the record builders: they run at compile time for the built-in
// locale set and at run time in the data compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frame/endian.h"

namespace pl::records {

// Bytes a UTF-16 string takes with its terminating NUL.
constexpr size_t utf16_bytes(std::u16string_view text) { return (text.size() + 1) * 2; }

// Writes `text` and a NUL at `at`; returns the offset after it.
constexpr size_t put_utf16(uint8_t *out, size_t at, std::u16string_view text) {
  for (char16_t unit : text) {
    write_u16(out + at, static_cast<uint16_t>(unit));
    at += 2;
  }
  write_u16(out + at, 0);
  return at + 2;
}

constexpr void put_word(uint8_t *out, int word, uint16_t value) {
  write_u16(out + 2 * static_cast<size_t>(word), value);
}

// Largest record the 16-bit offsets can address.
inline constexpr size_t kMaxRecordSize = 0xFFFF;

}  // namespace pl::records
