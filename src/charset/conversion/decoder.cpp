#include "charset/conversion/decoder.h"

#include "charset/codeset_ids.h"
#include "charset/conversion_trie.h"
#include "charset/length_rule.h"
#include "charset/shift_rule.h"
#include "charset/to_unicode.h"
#include "charset/unicode_value.h"
#include "locale/layouts/charset_table.h"
#include "locale/layouts/tries.h"

namespace pl {
namespace {

// Bytes before the first NUL among the next `limit` ones.
size_t before_nul(const uint8_t *s, size_t limit) {
  size_t n = 0;
  while (n < limit && s[n] != 0) ++n;
  return n;
}

}  // namespace

Decoder::Decoder(const ControlEntry &entry, Path path)
    : entry_(entry),
      set_(entry),
      path_(path),
      stateful_(set_.stateful()),
      gb_rule_(set_.gb_rule()),
      gb_codeset_(entry.number == kGbCodeset),
      utf8_(entry.number == kUtf8Codeset),
      ascii_identity_(false),
      single_bytes_(false),
      lengths_(entry.section[0] + layout::charset::kByteLengths),
      byte_unicode_(entry.section[0] + layout::charset::kByteToUnicode),
      results_(nullptr),
      result_count_(0),
      known_{0, 0, 0, 0} {
  if (path_ != Path::fast) return;
  bool identity = !stateful_;
  for (unsigned b = 0; b < 0x80; ++b)
    identity &= lengths_[b] == 1 && read_u16(byte_unicode_ + 2 * b) == b;
  ascii_identity_ = identity;
  bool single = !stateful_;
  for (unsigned b = 0; b < 256; ++b) {
    kinds_[b] = stateful_ ? kStop : kind_of(b);
    steps_[b] = {0, 1, 0, 0};
    single &= kinds_[b] == kSingle;
  }
  single_bytes_ = single;
  if (entry.section[1] != nullptr) {
    size_t offset = set_.result_table_offset();
    if (offset < entry.size[1]) {
      results_ = entry.section[1] + offset;
      result_count_ = (entry.size[1] - offset) / layout::trie::kResultSize;
    }
  }
}

Measured Decoder::measure_plain(const uint8_t *s, size_t available, PLState state) const {
  if (!stateful_) {
    CharLength length = char_length(set_, s, available);
    uint8_t rule = length.rule == 0 ? 1 : length.rule;
    return {0, kSingleByteState, rule, rule > available};
  }
  StatefulChar c = stateful_char(set_, s, available, state);
  if (c.length.bytes == 0) return {c.shift.length, c.shift.state, 0, false};
  return {c.shift.length, c.shift.state, c.length.rule, !c.length.complete()};
}

// The plain path's reading of a lead byte: a GB lead takes two bytes only before a
// second byte of 0x40 or above; UTF-8 takes the forms utf8_short accepts.
Decoder::Kind Decoder::kind_of(unsigned b) const {
  uint8_t rule = lengths_[b];
  if (rule <= 1 && !(gb_rule_ && b - 0x81 < 4)) return kSingle;
  if (utf8_) {
    if (rule == 2 && b >= 0xC2 && b <= 0xDF) return kUtf8Two;
    if (rule == 3 && (b & 0xF0) == 0xE0) return kUtf8Three;
    return kStop;
  }
  if (b - 0x81 < 4 && (gb_rule_ || (gb_codeset_ && rule == 2))) return kNewGbPair;
  if (gb_codeset_ && b - 0x81 < 4) return kStop;
  return rule == 2 ? kNewPair : kStop;
}

uint32_t Decoder::engine_unicode(const uint8_t *c, uint8_t length) const {
  return to_unicode(entry_, c, length);
}

uint32_t Decoder::utf8_short(const uint8_t *c, uint8_t length) {
  if (length == 2 && c[0] >= 0xC2 && c[0] <= 0xDF && (c[1] & 0xC0) == 0x80)
    return (c[0] & 0x1Fu) << 6 | (c[1] & 0x3F);
  if (length == 3 && (c[0] & 0xF0) == 0xE0 && (c[1] & 0xC0) == 0x80 && (c[2] & 0xC0) == 0x80) {
    uint32_t value = (c[0] & 0x0Fu) << 12 | (c[1] & 0x3Fu) << 6 | (c[2] & 0x3F);
    if (value >= 0x800) return value;
  }
  return kNoFastValue;
}

// What the engine's walk does with a two-byte character of this lead, the trail left
// open: the ordinary walk, or the GB walk for leads 0x81..0x84.
// What the engine's walk does with a two-byte character of this lead, the trail left
// open: the ordinary walk, or the GB walk for leads 0x81..0x84.
void Decoder::learn(uint8_t lead) {
  known_[lead >> 6] |= uint64_t{1} << (lead & 63);
  if (kinds_[lead] == kNewPair) kinds_[lead] = kPair;
  if (kinds_[lead] == kNewGbPair) kinds_[lead] = kGbPair;
  Step &l = steps_[lead];
  l = {0, 1, 0, 0};
  ConversionTrie trie(entry_);
  TrieNode root, child, leaf;
  if (!trie.node(0, root)) return;
  if (gb_codeset_ && static_cast<uint8_t>(lead - 0x81) < 4) {
    if (!trie.node(root.slot(lead), child) || child.leaf() || !trie.node(child.slot(0x40), leaf))
      return;
  } else {
    if (!root.accepts(lead)) return;
    if (root.leaf()) {
      // The same result for every second byte.
      l = {0, 0, 0xFF, static_cast<uint32_t>(root.slot(lead))};
      return;
    }
    // An inner node below the lead needs a third byte a two-byte character lacks.
    if (!trie.node(root.slot(lead), leaf) || !leaf.leaf()) return;
  }
  l = {leaf.mask, leaf.lowest, leaf.highest, leaf.base};
}

size_t Decoder::bytes_of_chars(const uint8_t *s, size_t chars, PLState state) const {
  size_t at = 0;
  for (size_t n = 0; n < chars && s[at] != 0; ++n) {
    size_t run = 0;
    if (stateful_) {
      // A shift run ends at the first byte that is no shift byte, a NUL at the latest.
      ShiftRun shift = skip_shift_run(set_, s + at, kNoLimit, state);
      run = shift.length;
      state = shift.state;
    }
    size_t available = before_nul(s + at + run, 4);
    if (available == 0) return at + run;
    Measured m = measure_plain(s + at + run, available, state);
    at += run + (m.cut ? available : m.length);
    if (m.cut) break;
  }
  return at;
}

}  // namespace pl
