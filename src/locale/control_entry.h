// A control-table entry in memory: the 40 bytes of the file's entry, then the
// run-time fields (open file, sections) in pointer-sized slots.
#pragma once

#include <atomic>
#include <cstdint>

#include "locale/layouts/container.h"
#include "locale/layouts/control.h"

namespace pl {

struct DataFile;

// State flag bits.
inline constexpr uint8_t kStateBuiltin = 1u << 0;  // built-in data, never released
// A collation table's lookup hints (record flags and expansion indexes) were found
// consistent when it was loaded, so the reader may follow them instead of searching.
inline constexpr uint8_t kStateCollationHints = 1u << 5;
// Every element of a collation table places all its weights forward, so an identical
// start of two strings can be left out of their comparison.
inline constexpr uint8_t kStateCollationForward = 1u << 6;

struct ControlEntry {
  uint16_t number;
  uint8_t kind;
  uint8_t state;
  char name[layout::kEntryNameSize];
  DataFile *file;
  const uint8_t *section[layout::kMaxSections];
  uint32_t size[layout::kMaxSections];
};

// Section 1 being present is the published sign of a loaded entry: lookups read it
// without the lock, the loader stores it last.
inline bool is_loaded(ControlEntry &entry) {
  return std::atomic_ref<const uint8_t *>(entry.section[0]).load(std::memory_order_acquire) !=
         nullptr;
}

inline void publish_section1(ControlEntry &entry, const uint8_t *section1) {
  std::atomic_ref<const uint8_t *>(entry.section[0]).store(section1, std::memory_order_release);
}

}  // namespace pl
