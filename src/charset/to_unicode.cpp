#include "charset/to_unicode.h"

#include "charset/charset_view.h"
#include "charset/codeset_ids.h"
#include "charset/conversion_trie.h"
#include "charset/packed_char.h"
#include "charset/unicode_value.h"

namespace pl {
namespace {

constexpr size_t kMaxCharBytes = 4;

// One trie step per byte until a leaf; running out of bytes gives U+FFFD.
uint32_t walk(const ConversionTrie &trie, const uint8_t *bytes, size_t available) {
  size_t limit = available < kMaxCharBytes ? available : kMaxCharBytes;
  TrieNode node;
  if (!trie.node(0, node)) return kReplacementCharacter;
  for (size_t at = 0; at < limit; ++at) {
    uint8_t b = bytes[at];
    if (!node.accepts(b)) return kReplacementCharacter;
    if (node.leaf()) return trie.result(node.slot(b));
    if (!trie.node(node.slot(b), node)) return kReplacementCharacter;
  }
  return kReplacementCharacter;
}

// Lead bytes 0x81..0x84 start four-byte codes (second byte 0x30..0x39) and two-byte
// ones; the two-byte leaf hangs below the lead's inner node at the slot of 0x40.
bool gb_two_byte(const CharsetView &set, const uint8_t *bytes, size_t available) {
  if (available < 2 || bytes[0] < 0x81 || bytes[0] > 0x84 || bytes[1] < 0x40) return false;
  return set.gb_rule() || set.byte_length(bytes[0]) == 2;
}

uint32_t gb_two_byte_walk(const ConversionTrie &trie, const uint8_t *bytes) {
  TrieNode root, lead, leaf;
  if (!trie.node(0, root) || !trie.node(root.slot(bytes[0]), lead) || lead.leaf())
    return kReplacementCharacter;
  if (!trie.node(lead.slot(0x40), leaf) || !leaf.accepts(bytes[1])) return kReplacementCharacter;
  return trie.result(leaf.slot(bytes[1]));
}

}  // namespace

uint32_t to_unicode(const ControlEntry &entry, const uint8_t *bytes, size_t available) {
  if (entry.number == kUtf8Codeset) return utf8_decode_value(bytes, available).value;
  ConversionTrie trie(entry);
  if (entry.number == kGbCodeset && gb_two_byte(CharsetView(entry), bytes, available))
    return gb_two_byte_walk(trie, bytes);
  return walk(trie, bytes, available);
}

uint32_t packed_to_unicode(const ControlEntry &entry, uint32_t packed) {
  if (packed <= 0xFF) return CharsetView(entry).byte_unicode(static_cast<uint8_t>(packed));
  PackedBytes unpacked = unpack_char(packed);
  return to_unicode(entry, unpacked.bytes, unpacked.count);
}

}  // namespace pl
