#include "string/collate/collation_view.h"

namespace pl {

namespace c = layout::collation;

Element contraction_element(const uint8_t *entry) {
  uint16_t weight = read_u16(entry + c::kContractionWeight);
  uint16_t flags = read_u16(entry + c::kContractionFlags);
  uint8_t order = c::order_bits(flags);
  if ((flags & c::kRecordSpecial) != 0) return {0, 0, 0, weight, order};
  return {weight, entry[c::kContractionSecondary], entry[c::kContractionTertiary], 0, order};
}

const uint8_t *CollationView::expansion(uint16_t unit, const Record &record) const {
  if (hints_) return expansion_entry(record.weight);
  for (size_t i = 0; i < expansion_count_; ++i) {
    const uint8_t *entry = expansion_entry(i);
    if (read_u16(entry + c::kExpansionUnit) == unit) return entry;
  }
  return nullptr;
}

bool CollationView::contraction(uint16_t first, uint16_t second, Element &element) const {
  uint32_t key = uint32_t{first} << 16 | second;
  if (hints_) {
    // Sorted by (first, second), no repeats: the first match is the only one.
    size_t low = 0, high = contraction_count_;
    while (low < high) {
      size_t mid = (low + high) / 2;
      const uint8_t *entry = contraction_entry(mid);
      uint32_t at = uint32_t{read_u16(entry + c::kContractionFirst)} << 16 |
                    read_u16(entry + c::kContractionSecond);
      if (at == key) {
        element = contraction_element(entry);
        return true;
      }
      if (at < key) low = mid + 1;
      else high = mid;
    }
    return false;
  }
  for (size_t i = 0; i < contraction_count_; ++i) {
    const uint8_t *entry = contraction_entry(i);
    if (read_u16(entry + c::kContractionFirst) == first &&
        read_u16(entry + c::kContractionSecond) == second) {
      element = contraction_element(entry);
      return true;
    }
  }
  return false;
}

}  // namespace pl
