#include "locale/section_check.h"

#include "frame/endian.h"
#include "locale/layouts/charset_table.h"
#include "locale/layouts/collation_table.h"
#include "locale/layouts/language.h"
#include "locale/layouts/territory.h"

namespace pl {
namespace {

uint16_t word(const uint8_t *record, int index) { return read_u16(record + 2 * index); }

// A NUL-terminated UTF-16 string starts at `offset` and ends inside `size`. Strings
// start at even offsets, so that callers may read them as arrays of units.
bool string_fits(const uint8_t *record, uint32_t size, uint32_t offset) {
  if (offset % 2 != 0) return false;
  for (uint32_t at = offset; at + 2 <= size; at += 2)
    if (read_u16(record + at) == 0) return true;
  return false;
}

bool language_is_valid(const uint8_t *record, uint32_t size) {
  namespace lang = layout::language;
  if (size < lang::kFixedSize) return false;
  for (int s = lang::kFirstString; s <= lang::kLastString; ++s)
    if (!string_fits(record, size, word(record, s))) return false;
  auto pairs_fit = [&](int count_word, int offset_word) {
    return word(record, offset_word) + uint32_t{word(record, count_word)} * lang::kCasePairSize <=
           size;
  };
  return pairs_fit(lang::kUpperPairCount, lang::kUpperPairOffset) &&
         pairs_fit(lang::kLowerPairCount, lang::kLowerPairOffset);
}

// Each string spans from its offset to the next one and ends with its NUL.
bool territory_is_valid(const uint8_t *record, uint32_t size) {
  namespace terr = layout::territory;
  if (size < terr::kFixedSize) return false;
  for (int s = terr::kFirstString; s <= terr::kLastString; ++s) {
    uint32_t begin = word(record, s), end = word(record, s + 1);
    if (begin < terr::kFixedSize || end > size || end < begin + 2 || begin % 2 != 0 || end % 2 != 0 ||
        read_u16(record + end - 2) != 0)
      return false;
  }
  return true;
}

// Element widths of the low and high tables for each node type.
constexpr uint32_t kLowWidth[5] = {1, 2, 2, 2, 1};
constexpr uint32_t kHighWidth[5] = {0, 0, 1, 2, 1};

bool node_is_valid(const uint8_t *node, uint32_t low_size, uint32_t high_size) {
  namespace cs = layout::charset;
  uint8_t type = node[cs::kNodeType], mask = node[cs::kNodeMask];
  uint8_t lowest = node[cs::kNodeLowest], highest = node[cs::kNodeHighest];
  if (lowest > highest) return true;  // accepts nothing
  if (type > 4) return false;
  uint32_t last = 0;
  for (uint32_t low = lowest; low <= highest; ++low)
    if ((mask & low) > last) last = mask & low;
  uint32_t elements = last + 1;
  if (read_u16(node + cs::kNodeLowTable) + elements * kLowWidth[type] > low_size) return false;
  return kHighWidth[type] == 0 ||
         read_u16(node + cs::kNodeHighTable) + elements * kHighWidth[type] <= high_size;
}

bool charset_is_valid(const ControlEntry &entry) {
  namespace cs = layout::charset;
  const uint8_t *table = entry.section[0];
  uint32_t size = entry.size[0];
  if (size < cs::kFixedSize) return false;
  uint8_t max_length = table[cs::kMaxCharLength];
  if (max_length < 1 || max_length > 4) return false;
  for (int b = 0; b < 256; ++b)
    if (table[cs::kByteLengths + b] > 4) return false;
  uint32_t fullwidth = read_u32(table + cs::kFullwidthTableOffset);
  uint32_t pairs = read_u32(table + cs::kMappingPairsOffset);
  uint32_t pair_count = read_u16(table + cs::kMappingPairCount);
  if (fullwidth > size || size - fullwidth < cs::kFullwidthTableSize) return false;
  if (pairs > size || (size - pairs) / cs::kMappingPairSize < pair_count) return false;
  if (read_u32(table + cs::kTypeTrieOffset) > size || read_u32(table + cs::kTypeRecordsOffset) > size)
    return false;
  for (int k = 0; k < 256; ++k)
    if (!node_is_valid(table + cs::kUnicodeNodes + cs::kNodeSize * k, entry.size[2], entry.size[3]))
      return false;
  return true;
}

namespace coll = layout::collation;

// `count` items of `item_size` bytes from `offset` end inside `size`.
bool span_fits(uint32_t size, uint32_t offset, uint64_t count, uint32_t item_size) {
  return offset <= size && count * item_size <= size - offset;
}

const uint8_t *page_entry(const uint8_t *table, uint32_t page) {
  return table + coll::kPageTable + page * coll::kPageSize;
}

bool is_table_page(const uint8_t *page) {
  constexpr uint8_t kNotTable =
      coll::kPageIgnored | coll::kPageAlgorithmicPrimary | coll::kPageAlgorithmicSpecial;
  return (page[coll::kPageFlags] & kNotTable) == 0;
}

// The fixed part, the records of every table page, the expansions and the
// contractions all lie inside the section.
bool collation_fits(const uint8_t *table, uint32_t size) {
  if (size < coll::kFixedSize) return false;
  uint32_t records = read_u32(table + coll::kRecordsOffset);
  if (!span_fits(size, records, 0, coll::kRecordSize)) return false;
  for (uint32_t page = 0; page < 256; ++page) {
    const uint8_t *entry = page_entry(table, page);
    if (is_table_page(entry) &&
        !span_fits(size, records, uint64_t{read_u32(entry + coll::kPageValue)} + 256, coll::kRecordSize))
      return false;
  }
  return span_fits(size, read_u32(table + coll::kExpansionsOffset),
                   read_u16(table + coll::kExpansionCount), coll::kExpansionSize) &&
         span_fits(size, read_u32(table + coll::kContractionsOffset),
                   read_u16(table + coll::kContractionCount), coll::kContractionSize);
}

// A collation table that collation_fits() accepted, read through its offsets.
struct CollationTable {
  explicit CollationTable(const uint8_t *t)
      : table(t),
        expansion_count(read_u16(t + coll::kExpansionCount)),
        contraction_count(read_u16(t + coll::kContractionCount)) {}

  const uint8_t *table;
  uint32_t expansion_count, contraction_count;

  const uint8_t *record(uint32_t page, uint32_t low) const {
    return table + read_u32(table + coll::kRecordsOffset) +
           (read_u32(page_entry(table, page) + coll::kPageValue) + low) * coll::kRecordSize;
  }
  const uint8_t *expansion(uint32_t i) const {
    return table + read_u32(table + coll::kExpansionsOffset) + i * coll::kExpansionSize;
  }
  const uint8_t *contraction(uint32_t i) const {
    return table + read_u32(table + coll::kContractionsOffset) + i * coll::kContractionSize;
  }
  uint32_t contraction_key(uint32_t i) const {
    return uint32_t{read_u16(contraction(i) + coll::kContractionFirst)} << 16 |
           read_u16(contraction(i) + coll::kContractionSecond);
  }
  // Whether a contraction begins with `unit` (the table is sorted).
  bool starts_contraction(uint16_t unit) const {
    uint32_t low = 0, high = contraction_count;
    while (low < high) {
      uint32_t mid = (low + high) / 2;
      if (contraction_key(mid) >> 16 < unit) low = mid + 1; else high = mid;
    }
    return low < contraction_count && contraction_key(low) >> 16 == unit;
  }
};

// The hints this library's compiler writes hold: every expansion record names its
// unit's entry, both tables are strictly sorted, and a record is marked as beginning
// a contraction exactly when its unit begins one.
bool collation_hints_hold(const uint8_t *table) {
  CollationTable view(table);
  for (uint32_t i = 1; i < view.expansion_count; ++i)
    if (read_u16(view.expansion(i - 1) + coll::kExpansionUnit) >=
        read_u16(view.expansion(i) + coll::kExpansionUnit))
      return false;
  for (uint32_t i = 1; i < view.contraction_count; ++i)
    if (view.contraction_key(i - 1) >= view.contraction_key(i)) return false;
  for (uint32_t page = 0; page < 256; ++page) {
    if (!is_table_page(page_entry(table, page))) continue;
    for (uint32_t low = 0; low < 256; ++low) {
      const uint8_t *record = view.record(page, low);
      uint16_t flags = read_u16(record + coll::kRecordFlags), unit = static_cast<uint16_t>(page << 8 | low);
      if ((flags & coll::kRecordExpansion) != 0) {
        uint16_t index = read_u16(record + coll::kRecordWeight);
        if (index >= view.expansion_count || read_u16(view.expansion(index) + coll::kExpansionUnit) != unit)
          return false;
      }
      if ((flags & coll::kRecordStartsContraction) != 0 && !view.starts_contraction(unit)) return false;
    }
  }
  for (uint32_t i = 0; i < view.contraction_count; ++i) {
    uint32_t first = view.contraction_key(i) >> 16;
    if (!is_table_page(page_entry(table, first >> 8)) ||
        (read_u16(view.record(first >> 8, first & 0xFF) + coll::kRecordFlags) &
         coll::kRecordStartsContraction) == 0)
      return false;
  }
  return true;
}

// Every page, record and contraction gives its elements all four order bits.
bool collation_all_forward(const uint8_t *table) {
  CollationTable view(table);
  auto forward = [](uint16_t flags) { return coll::order_bits(flags) == coll::kAllForward; };
  for (uint32_t page = 0; page < 256; ++page) {
    const uint8_t *entry = page_entry(table, page);
    if ((entry[coll::kPageFlags] & coll::kPageIgnored) != 0) continue;
    if (!is_table_page(entry)) {
      if (entry[coll::kPageOrder] != coll::kAllForward) return false;
      continue;
    }
    for (uint32_t low = 0; low < 256; ++low) {
      const uint8_t *record = view.record(page, low);
      uint16_t flags = read_u16(record + coll::kRecordFlags);
      // A record without weights places nothing anywhere.
      bool weightless = (flags & coll::kRecordExpansion) == 0 &&
                        read_u16(record + coll::kRecordWeight) == 0 &&
                        record[coll::kRecordSecondary] == 0 && record[coll::kRecordTertiary] == 0;
      if (!weightless && !forward(flags)) return false;
    }
  }
  for (uint32_t i = 0; i < view.contraction_count; ++i)
    if (!forward(read_u16(view.contraction(i) + coll::kContractionFlags))) return false;
  return true;
}

bool collation_is_valid(ControlEntry &entry) {
  entry.state &= static_cast<uint8_t>(~(kStateCollationHints | kStateCollationForward));
  if (!collation_fits(entry.section[0], entry.size[0])) return false;
  if (collation_hints_hold(entry.section[0])) entry.state |= kStateCollationHints;
  if (collation_all_forward(entry.section[0])) entry.state |= kStateCollationForward;
  return true;
}

}  // namespace

bool sections_are_valid(ControlEntry &entry) {
  if (entry.section[0] == nullptr) return false;
  switch (entry.kind) {
    case layout::kLanguage: return language_is_valid(entry.section[0], entry.size[0]);
    case layout::kTerritory: return territory_is_valid(entry.section[0], entry.size[0]);
    case layout::kCodeset: return charset_is_valid(entry);
    case layout::kCollation: return collation_is_valid(entry);
    default: return true;
  }
}

}  // namespace pl
