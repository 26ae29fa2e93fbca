// Builds the character-set table (section 1) and the Unicode-to-byte low tables
// (section 3) of a single-byte code set from its per-byte values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/endian.h"
#include "locale/layouts/charset_table.h"

namespace pl::records {

struct SingleByteCharset {
  uint8_t replacement = 0;
  uint8_t line_feed = 0;
  uint8_t carriage_return = 0;
  uint8_t line_separator = 0;
  uint8_t paragraph_separator = 0;
  uint16_t flags = 0;  // layout::charset::k... bits
  uint16_t unicode[256] = {};
  // The byte is the code set's form of unicode[b] (the reverse mapping uses it).
  bool reversible[256] = {};
  uint32_t type[256] = {};
  uint8_t upper[256] = {};
  uint8_t lower[256] = {};
  uint32_t fullwidth[256] = {};  // packed full-width form, 0: none
};

inline constexpr size_t kSingleByteTableSize =
    layout::charset::kFixedSize + layout::charset::kFullwidthTableSize;

namespace detail {

// The low-byte range each high byte's node accepts: lowest > highest when empty.
struct NodeRanges {
  uint8_t lowest[256] = {};
  uint8_t highest[256] = {};
  uint16_t low_table[256] = {};  // byte offset into section 3, indexed by the low byte
  size_t total = 0;              // bytes of section 3
};

constexpr NodeRanges node_ranges(const SingleByteCharset &set) {
  NodeRanges ranges;
  for (int k = 0; k < 256; ++k) {
    ranges.lowest[k] = 0xFF;
    ranges.highest[k] = 0x00;
  }
  bool used[256] = {};
  for (int b = 0; b < 256; ++b) {
    if (!set.reversible[b]) continue;
    int high = set.unicode[b] >> 8, low = set.unicode[b] & 0xFF;
    if (!used[high] || low < ranges.lowest[high]) ranges.lowest[high] = static_cast<uint8_t>(low);
    if (!used[high] || low > ranges.highest[high]) ranges.highest[high] = static_cast<uint8_t>(low);
    used[high] = true;
  }
  // Tables are indexed by the low byte itself; a table is placed so that its
  // first used element lands at or after the end of the previous one.
  size_t at = 0;
  for (int k = 0; k < 256; ++k) {
    if (!used[k]) continue;
    size_t base = at >= ranges.lowest[k] ? at - ranges.lowest[k] : 0;
    ranges.low_table[k] = static_cast<uint16_t>(base);
    at = base + ranges.highest[k] + 1;
  }
  ranges.total = at;
  return ranges;
}

}  // namespace detail

// Bytes of section 3.
constexpr size_t single_byte_low_tables_size(const SingleByteCharset &set) {
  return detail::node_ranges(set).total;
}

// Writes the character-set table into `out` (kSingleByteTableSize bytes).
constexpr void write_single_byte_table(const SingleByteCharset &set, uint8_t *out) {
  namespace cs = layout::charset;
  for (size_t i = 0; i < kSingleByteTableSize; ++i) out[i] = 0;
  out[cs::kReplacementByte] = set.replacement;
  out[cs::kLineFeedByte] = set.line_feed;
  out[cs::kCarriageReturnByte] = set.carriage_return;
  out[cs::kLineSeparatorByte] = set.line_separator;
  out[cs::kParagraphSeparatorByte] = set.paragraph_separator;
  out[cs::kMaxCharLength] = 1;
  for (int b = 0; b < 256; ++b) {
    out[cs::kByteLengths + b] = 1;
    out[cs::kUpperTable + b] = set.upper[b];
    out[cs::kLowerTable + b] = set.lower[b];
    write_u16(out + cs::kByteToUnicode + 2 * b, set.unicode[b]);
    write_u32(out + cs::kByteTypes + 4 * b, set.type[b]);
    write_u32(out + cs::kFixedSize + 4 * b, set.fullwidth[b]);
  }
  detail::NodeRanges ranges = detail::node_ranges(set);
  for (int k = 0; k < 256; ++k) {
    uint8_t *node = out + cs::kUnicodeNodes + cs::kNodeSize * k;
    bool empty = ranges.lowest[k] > ranges.highest[k];
    node[cs::kNodeMask] = empty ? 0x00 : 0xFF;
    node[cs::kNodeLowest] = ranges.lowest[k];
    node[cs::kNodeHighest] = ranges.highest[k];
    write_u16(node + cs::kNodeLowTable, ranges.low_table[k]);
  }
  write_u16(out + cs::kFlags, set.flags);
  // No multi-byte characters: the pair table, type trie and type records are empty
  // and sit at the end of the full-width table.
  write_u32(out + cs::kFullwidthTableOffset, cs::kFixedSize);
  write_u32(out + cs::kMappingPairsOffset, kSingleByteTableSize);
  write_u32(out + cs::kTypeTrieOffset, kSingleByteTableSize);
  write_u32(out + cs::kTypeRecordsOffset, kSingleByteTableSize);
}

// Writes section 3 (single_byte_low_tables_size(set) bytes): for every reversible
// byte, the byte at its Unicode value's slot; gaps hold the replacement byte.
constexpr void write_single_byte_low_tables(const SingleByteCharset &set, uint8_t *out) {
  detail::NodeRanges ranges = detail::node_ranges(set);
  for (size_t i = 0; i < ranges.total; ++i) out[i] = set.replacement;
  // Walk downwards so that, where two bytes share a Unicode value, the lowest wins.
  for (int b = 255; b >= 0; --b) {
    if (!set.reversible[b]) continue;
    int high = set.unicode[b] >> 8, low = set.unicode[b] & 0xFF;
    out[ranges.low_table[high] + low] = static_cast<uint8_t>(b);
  }
}

}  // namespace pl::records
