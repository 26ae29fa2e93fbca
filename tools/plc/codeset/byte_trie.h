// The shape of a trie over the bytes of multi-byte characters, and the choice of the
// mask that folds a node's bytes into a short block of slots. The code-set-to-Unicode
// trie and the type trie share this shape; they differ in how they are laid out.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace plc {

struct TrieNode {
  bool leaf = false;
  std::map<uint8_t, uint64_t> values;  // leaf: last byte -> value
  std::map<uint8_t, int> children;     // inner: next byte -> node
  // The four-byte GB set's lead bytes 0x81..0x84 start both four-byte codes and
  // two-byte ones: their two-byte leaf hangs at the slot of second byte 0x40.
  int short_leaf = -1;
};

inline constexpr uint8_t kShortLeafKey = 0x40;

struct TrieShape {
  std::vector<TrieNode> nodes;  // node 0 is the root
};

// Builds the shape from (bytes, value) pairs of characters of two bytes or more.
// False, with `error`, when a character is the prefix of another and the GB rule
// does not cover it.
bool build_trie_shape(const std::vector<std::pair<std::vector<uint8_t>, uint64_t>> &keys,
                      bool gb_rule, TrieShape &shape, std::string &error);

struct MaskChoice {
  uint8_t mask;
  uint8_t first;  // smallest slot index (mask AND key)
  uint8_t last;   // largest slot index
};

// The mask of the form 2^n - 1 that gives a node the fewest slots. A node with a
// range check accepts every byte from its smallest to its largest key, so all of
// them, and `extra` keys, must land on slots of their own. Without a range check
// (`whole_range`) every byte lands in the block 0..mask and only the keys must be
// kept apart.
MaskChoice choose_mask(const std::vector<uint8_t> &keys, const std::vector<uint8_t> &extra,
                       bool whole_range);

}  // namespace plc
