// The control table: 60-byte entries, one per language, territory, code set and
// collation, sorted by kind and then by number.
#pragma once

#include <cstddef>
#include <cstdint>

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

}  // namespace pl::layout
