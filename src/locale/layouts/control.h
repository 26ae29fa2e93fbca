// The control table: 60-byte entries, one per language, territory, code set and
// collation, sorted by kind and then by number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "frame/endian.h"

namespace pl::layout {

inline constexpr size_t kControlEntrySize = 60;
inline constexpr size_t kEntryNumberAt = 0;  // u16
inline constexpr size_t kEntryKindAt = 2;    // u8
inline constexpr size_t kEntryStateAt = 3;   // u8, 0 in files
inline constexpr size_t kEntryNameAt = 4;    // 36 bytes, NUL-terminated ASCII
inline constexpr size_t kEntryNameSize = 36;
// Bytes 40..59 are run-time fields, zero in files.

enum Kind : uint8_t { kLanguage = 0, kTerritory = 1, kCodeset = 2, kCollation = 3 };
inline constexpr int kKindCount = 4;

// File-name prefix of each kind's data files.
inline constexpr const char *kKindPrefix[kKindCount] = {"la", "te", "cp", "so"};

// Writes one entry as a file holds it: run-time fields zero. `name` must be
// shorter than kEntryNameSize.
inline void encode_control_entry(uint8_t *out, uint16_t number, uint8_t kind, const char *name) {
  std::memset(out, 0, kControlEntrySize);
  write_u16(out + kEntryNumberAt, number);
  out[kEntryKindAt] = kind;
  std::memcpy(out + kEntryNameAt, name, std::strlen(name));
}

}  // namespace pl::layout
