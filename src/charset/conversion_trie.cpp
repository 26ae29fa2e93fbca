#include "charset/conversion_trie.h"

#include "charset/charset_view.h"
#include "charset/unicode_value.h"
#include "frame/endian.h"

namespace pl {

namespace trie = layout::trie;

ConversionTrie::ConversionTrie(const ControlEntry &entry)
    : nodes_(entry.section[1]), node_count_(0), results_(nullptr), result_count_(0) {
  if (nodes_ == nullptr) return;
  size_t size = entry.size[1];
  size_t result_offset = CharsetView(entry).result_table_offset();
  // The nodes end where the result table begins.
  node_count_ = (result_offset < size ? result_offset : size) / trie::kNodeSize;
  if (result_offset < size) {
    results_ = nodes_ + result_offset;
    result_count_ = (size - result_offset) / trie::kResultSize;
  }
}

bool ConversionTrie::node(size_t index, TrieNode &out) const {
  if (index >= node_count_) return false;
  const uint8_t *at = nodes_ + index * trie::kNodeSize;
  out = {at[trie::kType], at[trie::kMask], at[trie::kLowest], at[trie::kHighest],
         read_u16(at + trie::kBase)};
  return true;
}

uint32_t ConversionTrie::result(size_t index) const {
  if (index >= result_count_) return kReplacementCharacter;
  return read_u16(results_ + index * trie::kResultSize);
}

}  // namespace pl
