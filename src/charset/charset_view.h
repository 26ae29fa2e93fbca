// Read-only typed access to a code set's character-set table (section 1). The loader
// guarantees that a loaded table holds at least the fixed part; the variable part is
// read by its owners, which check the offsets they are given.
#pragma once

#include <cstdint>

#include "frame/endian.h"
#include "locale/control_entry.h"
#include "locale/layouts/charset_table.h"

namespace pl {

// One Unicode-to-code-set node: serves the UTF-16 units whose high byte is its index.
struct UnicodeNode {
  uint8_t type;
  uint8_t mask;
  uint8_t lowest;
  uint8_t highest;
  uint16_t low_table;   // byte offset into section 3
  uint16_t high_table;  // byte offset into section 4
};

class CharsetView {
 public:
  explicit CharsetView(const uint8_t *table) : table_(table) {}
  explicit CharsetView(const ControlEntry &entry) : table_(entry.section[0]) {}

  uint8_t replacement_byte() const { return byte_at(layout::charset::kReplacementByte); }
  uint8_t line_feed_byte() const { return byte_at(layout::charset::kLineFeedByte); }
  uint8_t carriage_return_byte() const { return byte_at(layout::charset::kCarriageReturnByte); }
  uint8_t line_separator_byte() const { return byte_at(layout::charset::kLineSeparatorByte); }
  uint8_t paragraph_separator_byte() const {
    return byte_at(layout::charset::kParagraphSeparatorByte);
  }
  uint8_t max_length() const { return byte_at(layout::charset::kMaxCharLength); }
  uint16_t mapping_pair_count() const {
    return read_u16(table_ + layout::charset::kMappingPairCount);
  }
  uint8_t shift_out_byte() const { return byte_at(layout::charset::kShiftOutByte); }
  uint8_t shift_in_byte() const { return byte_at(layout::charset::kShiftInByte); }

  uint8_t byte_length(uint8_t b) const { return byte_at(layout::charset::kByteLengths + b); }
  const uint8_t *byte_lengths() const { return table_ + layout::charset::kByteLengths; }
  uint8_t upper_byte(uint8_t b) const { return byte_at(layout::charset::kUpperTable + b); }
  uint8_t lower_byte(uint8_t b) const { return byte_at(layout::charset::kLowerTable + b); }
  uint16_t byte_unicode(uint8_t b) const {
    return read_u16(table_ + layout::charset::kByteToUnicode + 2u * b);
  }
  uint32_t byte_type(uint8_t b) const {
    return read_u32(table_ + layout::charset::kByteTypes + 4u * b);
  }

  UnicodeNode unicode_node(uint8_t high) const {
    namespace cs = layout::charset;
    const uint8_t *node = table_ + cs::kUnicodeNodes + cs::kNodeSize * high;
    return {node[cs::kNodeType],
            node[cs::kNodeMask],
            node[cs::kNodeLowest],
            node[cs::kNodeHighest],
            read_u16(node + cs::kNodeLowTable),
            read_u16(node + cs::kNodeHighTable)};
  }

  uint16_t flags() const { return read_u16(table_ + layout::charset::kFlags); }
  bool ascii_based() const { return (flags() & layout::charset::kAsciiBased) != 0; }
  bool stateful() const { return (flags() & layout::charset::kStateful) != 0; }
  bool gb_rule() const { return (flags() & layout::charset::kGbRule) != 0; }

  uint32_t fullwidth_table_offset() const {
    return read_u32(table_ + layout::charset::kFullwidthTableOffset);
  }
  uint32_t mapping_pairs_offset() const {
    return read_u32(table_ + layout::charset::kMappingPairsOffset);
  }
  uint32_t type_trie_offset() const { return read_u32(table_ + layout::charset::kTypeTrieOffset); }
  uint32_t type_records_offset() const {
    return read_u32(table_ + layout::charset::kTypeRecordsOffset);
  }
  // Inside section 2, not this table.
  uint32_t result_table_offset() const {
    return read_u32(table_ + layout::charset::kResultTableOffset);
  }


 private:
  uint8_t byte_at(size_t offset) const { return table_[offset]; }

  const uint8_t *table_;
};

}  // namespace pl
