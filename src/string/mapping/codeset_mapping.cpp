#include "string/mapping/codeset_mapping.h"

#include "charset/from_unicode.h"
#include "charset/packed_char.h"
#include "charset/to_unicode.h"
#include "frame/endian.h"
#include "locale/layouts/charset_table.h"

namespace pl {

namespace cs = layout::charset;

CodesetMapping::CodesetMapping(const ControlEntry &entry)
    : entry_(entry), set_(entry), trie_(entry) {
  size_t size = entry.size[0];
  size_t at = set_.fullwidth_table_offset();
  if (at <= size && size - at >= cs::kFullwidthTableSize) fullwidth_ = entry.section[0] + at;
  at = set_.mapping_pairs_offset();
  size_t count = set_.mapping_pair_count();
  if (at <= size && (size - at) / cs::kMappingPairSize >= count) {
    pairs_ = entry.section[0] + at;
    pair_count_ = count;
  }
}

TypeTrie::Record CodesetMapping::record(uint32_t packed) const {
  PackedBytes bytes = unpack_char(packed);
  return trie_.record_of(bytes.bytes, bytes.count);
}

uint32_t CodesetMapping::case_partner(uint32_t packed, uint32_t has_bit, bool upper) const {
  if (packed <= 0xFF) {
    uint8_t b = static_cast<uint8_t>(packed);
    return upper ? set_.upper_byte(b) : set_.lower_byte(b);
  }
  TypeTrie::Record r = record(packed);
  if ((r.type & has_bit) == 0 || r.case_delta == 0) return packed;
  return packed + static_cast<uint32_t>(r.case_delta);
}

bool CodesetMapping::is_digit(uint32_t packed) const {
  uint32_t type = packed <= 0xFF ? set_.byte_type(static_cast<uint8_t>(packed)) : record(packed).type;
  return (type & kDigitBit) != 0;
}

uint32_t CodesetMapping::fullwidth_entry(size_t b) const {
  return fullwidth_ != nullptr ? read_u32(fullwidth_ + 4 * b) : 0;
}

uint32_t CodesetMapping::pair_field(size_t i, size_t field) const {
  return read_u32(pairs_ + i * cs::kMappingPairSize + 4 * field);
}

uint32_t CodesetMapping::fullwidth(uint32_t packed) const {
  if (packed <= 0xFF) {
    uint32_t wide = fullwidth_entry(packed);
    return wide != 0 ? wide : packed;
  }
  size_t low = 0, high = pair_count_;
  while (low < high) {
    size_t middle = (low + high) / 2;
    uint32_t key = pair_field(middle, 0);
    if (key == packed) return pair_field(middle, 1);
    if (key < packed) low = middle + 1; else high = middle;
  }
  return packed;
}

uint32_t CodesetMapping::halfwidth(uint32_t packed) const {
  if (packed == 0) return 0;  // 0 in the table means "no full-width form"
  for (size_t b = 0; b < 256; ++b)
    if (fullwidth_entry(b) == packed) return static_cast<uint32_t>(b);
  for (size_t i = 0; i < pair_count_; ++i)
    if (pair_field(i, 1) == packed) return pair_field(i, 0);
  return packed;
}

uint32_t CodesetMapping::unicode(uint32_t packed) const { return packed_to_unicode(entry_, packed); }

bool CodesetMapping::encode(uint32_t value, uint32_t *packed) const {
  *packed = to_packed(entry_, value);
  return unicode(*packed) == value;
}

}  // namespace pl
