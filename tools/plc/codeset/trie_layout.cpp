#include "codeset/trie_layout.h"

#include <algorithm>
#include <deque>

#include "codeset/packer.h"
#include "frame/endian.h"
#include "locale/layouts/tries.h"

namespace plc {
namespace {

struct NodeRecord {
  uint8_t type = 0;  // 0 inner, 1 leaf
  uint8_t mask = 0;
  uint8_t lowest = 0xFF;  // an empty range: the default is a leaf that accepts nothing
  uint8_t highest = 0x00;
  uint32_t base = 0;
};

constexpr uint32_t kMaxBase = 0xFFFF;

// The bytes a node looks up: last bytes of a leaf, next bytes of an inner node.
std::vector<uint8_t> keys_of(const TrieNode &node) {
  std::vector<uint8_t> keys;
  if (node.leaf) {
    for (const auto &entry : node.values) keys.push_back(entry.first);
  } else {
    for (const auto &entry : node.children) keys.push_back(entry.first);
  }
  return keys;
}

// Gives every shape node a slot: children of a node take one block, placed in
// breadth-first order after the blocks before them. `whole_range` blocks cover every
// slot the mask can produce. Leaves get their values through `place_leaf`, which
// returns their base.
template <class PlaceLeaf>
bool assign_slots(const TrieShape &shape, bool whole_range, std::vector<NodeRecord> &slots,
                  PlaceLeaf place_leaf, std::string &error) {
  slots.assign(1, NodeRecord{});
  slots[0].type = 1;
  std::deque<std::pair<int, size_t>> queue = {{0, 0}};  // shape node, slot
  while (!queue.empty()) {
    auto [index, slot] = queue.front();
    queue.pop_front();
    const TrieNode &node = shape.nodes[index];
    std::vector<uint8_t> keys = keys_of(node);
    std::vector<uint8_t> extra;
    if (node.short_leaf >= 0) extra.push_back(kShortLeafKey);
    MaskChoice choice = choose_mask(keys, extra, whole_range);
    NodeRecord record;
    record.type = node.leaf ? 1 : 0;
    record.mask = choice.mask;
    if (!keys.empty()) {
      record.lowest = keys.front();  // keys come sorted from the maps
      record.highest = keys.back();
    }
    if (node.leaf) {
      long base = place_leaf(node, choice);
      if (base < 0) {
        error = "the result table outgrows its 16-bit indexes";
        return false;
      }
      record.base = static_cast<uint32_t>(base);
    } else {
      size_t start = std::max(slots.size(), size_t{choice.first});
      record.base = static_cast<uint32_t>(start - choice.first);
      if (record.base > kMaxBase) {
        error = "the trie outgrows its 16-bit node indexes";
        return false;
      }
      slots.resize(start + choice.last - choice.first + 1, NodeRecord{1, 0, 0xFF, 0, 0});
      for (const auto &[byte, child] : node.children)
        queue.emplace_back(child, record.base + (choice.mask & byte));
      if (node.short_leaf >= 0)
        queue.emplace_back(node.short_leaf, record.base + (choice.mask & kShortLeafKey));
    }
    slots[slot] = record;
  }
  return true;
}

}  // namespace

bool layout_conversion_trie(const TrieShape &shape, std::vector<uint8_t> &section,
                            uint32_t &result_offset, std::string &error) {
  Packer results(pl::layout::trie::kResultSize);
  auto place_leaf = [&](const TrieNode &node, const MaskChoice &choice) -> long {
    std::vector<uint8_t> row(2 * (choice.last - choice.first + 1));
    for (size_t i = 0; i < row.size(); i += 2) pl::write_u16(row.data() + i, 0xFFFD);
    for (const auto &[byte, unit] : node.values)
      pl::write_u16(row.data() + 2 * ((choice.mask & byte) - choice.first), static_cast<uint16_t>(unit));
    size_t position = results.place(row, 2 * size_t{choice.first});
    size_t base = position / 2 - choice.first;
    return base > kMaxBase ? -1 : static_cast<long>(base);
  };
  std::vector<NodeRecord> slots;
  if (!assign_slots(shape, false, slots, place_leaf, error)) return false;
  namespace trie = pl::layout::trie;
  section.assign(slots.size() * trie::kNodeSize, 0);
  for (size_t i = 0; i < slots.size(); ++i) {
    uint8_t *out = section.data() + trie::kNodeSize * i;
    out[trie::kType] = slots[i].type;
    out[trie::kMask] = slots[i].mask;
    out[trie::kLowest] = slots[i].lowest;
    out[trie::kHighest] = slots[i].highest;
    pl::write_u16(out + trie::kBase, static_cast<uint16_t>(slots[i].base));
  }
  result_offset = static_cast<uint32_t>(section.size());
  section.insert(section.end(), results.bytes().begin(), results.bytes().end());
  return true;
}

bool layout_type_trie(const TrieShape &shape, std::vector<uint8_t> &nodes,
                      std::vector<uint8_t> &records, std::string &error) {
  namespace types = pl::layout::type_trie;
  Packer packer(types::kRecordSize);
  packer.place(std::vector<uint8_t>(types::kRecordSize, 0));  // record 0
  auto place_leaf = [&](const TrieNode &node, const MaskChoice &choice) -> long {
    std::vector<uint8_t> row(types::kRecordSize * (size_t{choice.last} + 1), 0);
    for (const auto &[byte, value] : node.values) {
      uint8_t *record = row.data() + types::kRecordSize * (choice.mask & byte);
      pl::write_u32(record + types::kRecordType, static_cast<uint32_t>(value));
      pl::write_u32(record + types::kRecordCaseDelta, static_cast<uint32_t>(value >> 32));
    }
    size_t base = packer.place(row) / types::kRecordSize;
    return base > kMaxBase ? -1 : static_cast<long>(base);
  };
  std::vector<NodeRecord> slots;
  if (!assign_slots(shape, true, slots, place_leaf, error)) return false;
  // An unused slot answers with record 0: a leaf whose mask sends every byte there.
  nodes.assign(slots.size() * types::kNodeSize, 0);
  for (size_t i = 0; i < slots.size(); ++i) {
    uint8_t *out = nodes.data() + types::kNodeSize * i;
    out[types::kType] = slots[i].type;
    out[types::kMask] = slots[i].mask;
    pl::write_u16(out + types::kBase, static_cast<uint16_t>(slots[i].base));
  }
  records = packer.bytes();
  return true;
}

}  // namespace plc
