// A language's own case mappings: entries of one or two units mapping to one or two
// units, searched in order. A one-unit lookup (second unit 0) matches only entries of
// one unit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/endian.h"
#include "locale/control_entry.h"
#include "locale/layouts/language.h"
#include "locale/records/record_view.h"

namespace pl {

class CasePairs {
 public:
  // The upper or lower pairs of a language entry (none without a loaded record).
  CasePairs(const ControlEntry *language, bool upper) {
    namespace lang = layout::language;
    if (language == nullptr || language->section[0] == nullptr) return;
    records::RecordView record(*language);
    count_ = record.word(upper ? lang::kUpperPairCount : lang::kLowerPairCount);
    pairs_ = language->section[0] + record.word(upper ? lang::kUpperPairOffset : lang::kLowerPairOffset);
  }

  bool empty() const { return count_ == 0; }

  // The results of (first, second) in `out`; their number, 0 when no entry matches.
  int find(uint16_t first, uint16_t second, uint16_t out[2]) const {
    for (size_t i = 0; i < count_; ++i) {
      const uint8_t *entry = pairs_ + i * layout::language::kCasePairSize;
      if (read_u16(entry) != first || read_u16(entry + 2) != second) continue;
      out[0] = read_u16(entry + 4);
      out[1] = read_u16(entry + 6);
      return out[1] != 0 ? 2 : 1;
    }
    return 0;
  }

 private:
  const uint8_t *pairs_ = nullptr;
  size_t count_ = 0;
};

}  // namespace pl
