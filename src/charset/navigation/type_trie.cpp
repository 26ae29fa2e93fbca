#include "charset/navigation/type_trie.h"

#include "charset/charset_view.h"
#include "charset/codeset_ids.h"
#include "frame/endian.h"
#include "locale/layouts/charset_table.h"
#include "locale/layouts/tries.h"

namespace pl {

namespace types = layout::type_trie;

TypeTrie::TypeTrie(const ControlEntry &entry) : entry_(entry) {
  const uint8_t *table = entry.section[0];
  size_t size = entry.size[0];
  if (table == nullptr || size < layout::charset::kFixedSize) return;
  CharsetView set(table);
  size_t nodes_at = set.type_trie_offset(), records_at = set.type_records_offset();
  // Each part ends where the other begins, if that comes behind it, else at the end.
  size_t nodes_end = records_at > nodes_at && records_at < size ? records_at : size;
  size_t records_end = nodes_at > records_at && nodes_at < size ? nodes_at : size;
  if (nodes_at < size) {
    nodes_ = table + nodes_at;
    node_count_ = (nodes_end - nodes_at) / types::kNodeSize;
  }
  if (records_at < size) {
    records_ = table + records_at;
    record_count_ = (records_end - records_at) / types::kRecordSize;
  }
}

bool TypeTrie::node(size_t index, Node &out) const {
  if (index >= node_count_) return false;
  const uint8_t *at = nodes_ + index * types::kNodeSize;
  out = {at[types::kType], at[types::kMask], read_u16(at + types::kBase)};
  return true;
}

TypeTrie::Record TypeTrie::record(size_t index) const {
  if (index >= record_count_) return {0, 0};
  const uint8_t *at = records_ + index * types::kRecordSize;
  return {read_u32(at + types::kRecordType),
          static_cast<int32_t>(read_u32(at + types::kRecordCaseDelta))};
}

bool TypeTrie::gb_two_byte(const uint8_t *bytes, size_t count) const {
  if (entry_.number != kGbCodeset || count < 2) return false;
  if (bytes[0] < 0x81 || bytes[0] > 0x84 || bytes[1] < 0x40) return false;
  CharsetView set(entry_);
  return set.gb_rule() || set.byte_length(bytes[0]) == 2;
}

TypeTrie::Record TypeTrie::gb_two_byte_record(const uint8_t *bytes) const {
  Node root, lead, leaf;
  if (!node(0, root) || !node(root.slot(bytes[0]), lead) || lead.leaf()) return {0, 0};
  if (!node(lead.slot(0x40), leaf)) return {0, 0};
  return record(leaf.slot(bytes[1]));
}

TypeTrie::Record TypeTrie::record_of(const uint8_t *bytes, size_t count) const {
  if (node_count_ == 0) return {0, 0};  // also: no table whose flags could be read
  if (gb_two_byte(bytes, count)) return gb_two_byte_record(bytes);
  constexpr size_t kMaxCharBytes = 4;
  size_t limit = count < kMaxCharBytes ? count : kMaxCharBytes;
  Node at;
  if (!node(0, at)) return {0, 0};
  for (size_t i = 0; i < limit; ++i) {
    if (at.leaf()) return record(at.slot(bytes[i]));
    if (!node(at.slot(bytes[i]), at)) return {0, 0};
  }
  return {0, 0};
}

}  // namespace pl
