#include "codeset/byte_trie.h"

#include <algorithm>

namespace plc {

bool build_trie_shape(const std::vector<std::pair<std::vector<uint8_t>, uint64_t>> &keys,
                      bool gb_rule, TrieShape &shape, std::string &error) {
  shape.nodes.assign(1, TrieNode{});
  // Prefixes are keyed as strings of their bytes.
  std::map<std::string, int> by_prefix = {{std::string(), 0}};
  auto node_for = [&](const std::vector<uint8_t> &prefix) {
    auto [at, added] = by_prefix.emplace(std::string(prefix.begin(), prefix.end()),
                                         static_cast<int>(shape.nodes.size()));
    if (added) shape.nodes.emplace_back();
    return at->second;
  };
  // Inner nodes first: every proper prefix but the last byte's node.
  for (const auto &[bytes, value] : keys) {
    std::vector<uint8_t> prefix;
    for (size_t d = 0; d + 2 < bytes.size(); ++d) {
      int parent = node_for(prefix);
      prefix.push_back(bytes[d]);
      int child = node_for(prefix);
      shape.nodes[parent].children[bytes[d]] = child;
    }
  }
  for (const auto &[bytes, value] : keys) {
    std::vector<uint8_t> prefix(bytes.begin(), bytes.end() - 2);
    int parent = node_for(prefix);
    prefix.push_back(bytes[bytes.size() - 2]);
    auto known = by_prefix.find(std::string(prefix.begin(), prefix.end()));
    bool inner = known != by_prefix.end() && !shape.nodes[known->second].children.empty();
    if (!inner) {
      int leaf = node_for(prefix);
      shape.nodes[parent].children[bytes[bytes.size() - 2]] = leaf;
      shape.nodes[leaf].leaf = true;
      shape.nodes[leaf].values[bytes.back()] = value;
      continue;
    }
    uint8_t lead = bytes[0];
    if (!gb_rule || bytes.size() != 2 || lead < 0x81 || lead > 0x84) {
      error = "a character is the beginning of a longer one";
      return false;
    }
    int owner = known->second;
    if (shape.nodes[owner].short_leaf < 0) {
      int leaf = static_cast<int>(shape.nodes.size());
      shape.nodes.emplace_back();
      shape.nodes[leaf].leaf = true;
      shape.nodes[owner].short_leaf = leaf;
    }
    shape.nodes[shape.nodes[owner].short_leaf].values[bytes.back()] = value;
  }
  return true;
}

MaskChoice choose_mask(const std::vector<uint8_t> &keys, const std::vector<uint8_t> &extra,
                       bool whole_range) {
  std::vector<uint8_t> apart = extra;
  if (whole_range || keys.empty()) {
    apart.insert(apart.end(), keys.begin(), keys.end());
  } else {
    auto [low, high] = std::minmax_element(keys.begin(), keys.end());
    for (int byte = *low; byte <= *high; ++byte) apart.push_back(static_cast<uint8_t>(byte));
  }
  MaskChoice best{0xFF, 0, 0xFF};
  int best_span = 257;
  for (int mask = 0xFF; mask >= 1; mask >>= 1) {
    bool used[256] = {};
    int first = 255, last = 0;
    bool distinct = true;
    for (uint8_t key : apart) {
      int slot = key & mask;
      if (used[slot]) {
        distinct = false;
        break;
      }
      used[slot] = true;
      if (slot < first) first = slot;
      if (slot > last) last = slot;
    }
    if (!distinct) continue;
    if (whole_range) {
      first = 0;
      last = mask;
    }
    int span = last - first + 1;
    if (span < best_span) {  // ties keep the wider mask, found first
      best_span = span;
      best = {static_cast<uint8_t>(mask), static_cast<uint8_t>(first), static_cast<uint8_t>(last)};
    }
  }
  return best;
}

}  // namespace plc
