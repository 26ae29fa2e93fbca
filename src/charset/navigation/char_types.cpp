#include "charset/navigation/char_types.h"

#include "charset/navigation/char_walk.h"
#include "charset/navigation/type_trie.h"
#include "charset/packed_char.h"

namespace pl {

uint32_t char_type(const TextRules &rules, const char *s, PLState state) {
  const uint8_t *text = reinterpret_cast<const uint8_t *>(s);
  Step step = terminated_step(rules, text, state);
  const uint8_t *c = text + step.shift_bytes;
  bool one_byte = rules.shift_rule ? step.state == kSingleByteState
                                   : rules.single_byte || step.length.rule == 1;
  if (one_byte) return rules.set.byte_type(c[0]);
  return TypeTrie(*rules.entry).type_of(c, step.length.bytes);
}

uint32_t packed_type(const ControlEntry &entry, PLWChar c) {
  if (c <= 0xFF) return CharsetView(entry).byte_type(static_cast<uint8_t>(c));
  PackedBytes unpacked = unpack_char(c);
  return TypeTrie(entry).type_of(unpacked.bytes, unpacked.count);
}

bool type_field(uint32_t word, int32_t query, uint32_t *field) {
  constexpr uint32_t kAlphabetic = 1;
  switch (static_cast<uint32_t>(query)) {
    case kQueryClasses: *field = word & 0x3FF; return true;
    case kQueryCategory: *field = (word >> 10) & 0xFFF; return true;
    // Bits 21..31, the lowest of them (shared with the category) standing for the
    // alphabetic bit.
    case kQueryThird: *field = ((word >> 21) & ~kAlphabetic) | (word & kAlphabetic); return true;
    default: *field = word & 0x3FF; return false;
  }
}

}  // namespace pl
