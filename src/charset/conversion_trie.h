// The code-set-to-Unicode trie of section 2: 6-byte nodes from the section's start,
// then the 16-bit result table at the offset the character-set table names. Every
// read is checked against the section, so a damaged table yields U+FFFD instead of a
// read outside it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "locale/control_entry.h"
#include "locale/layouts/tries.h"

namespace pl {


struct TrieNode {
  uint8_t type;
  uint8_t mask;
  uint8_t lowest;
  uint8_t highest;
  uint16_t base;

  bool leaf() const { return type != 0; }
  bool accepts(uint8_t b) const { return b >= lowest && b <= highest; }
  // The child node (inner) or result (leaf) that `b` selects.
  size_t slot(uint8_t b) const { return size_t{static_cast<uint8_t>(mask & b)} + base; }
};

class ConversionTrie {
 public:
  explicit ConversionTrie(const ControlEntry &entry);

  // Node `index`; false when the section holds no such node.
  bool node(size_t index, TrieNode &out) const;
  // Result `index`; U+FFFD outside the result table.
  uint32_t result(size_t index) const;

 private:
  const uint8_t *nodes_;
  size_t node_count_;
  const uint8_t *results_;
  size_t result_count_;
};

}  // namespace pl
