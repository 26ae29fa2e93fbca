#include "locale/section_check.h"

#include "frame/endian.h"
#include "locale/layouts/charset_table.h"
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

}  // namespace

bool sections_are_valid(const ControlEntry &entry) {
  if (entry.section[0] == nullptr) return false;
  switch (entry.kind) {
    case layout::kLanguage: return language_is_valid(entry.section[0], entry.size[0]);
    case layout::kTerritory: return territory_is_valid(entry.section[0], entry.size[0]);
    case layout::kCodeset: return charset_is_valid(entry);
    default: return true;
  }
}

}  // namespace pl
