// Code set to Unicode for one code set: where the next character lies (length and
// shift rules) and its Unicode value. The fast path reads the same tables with the
// lookups hoisted out of the loop; anything it does not cover goes to the engine.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/charset_view.h"
#include "charset/conversion/path.h"
#include "frame/endian.h"
#include "locale/control_entry.h"
#include "polyloc.h"

namespace pl {

struct Measured {
  size_t shift;    // shift bytes in front of the character
  PLState state;   // the state after them
  uint8_t length;  // the character's length by the rules; 0 when the input ends after the run
  bool cut;        // the character runs past the input
};

class Decoder {
 public:
  Decoder(const ControlEntry &entry, Path path);

  const ControlEntry &entry() const { return entry_; }
  const CharsetView &set() const { return set_; }
  bool stateful() const { return stateful_; }
  bool fast() const { return path_ == Path::fast; }
  // Bytes 0x00..0x7F are one-byte characters that decode to themselves.
  bool ascii_identity() const { return ascii_identity_; }

  Measured measure(const uint8_t *s, size_t available, PLState state) const {
    if (stateful_ || path_ == Path::reference) return measure_plain(s, available, state);
    uint8_t lead = s[0];
    uint8_t rule = lengths_[lead];
    if (gb_rule_ && static_cast<uint8_t>(lead - 0x81) < 4 && available >= 2 && s[1] >= 0x40)
      rule = 2;
    if (rule == 0) rule = 1;
    return {0, state, rule, rule > available};
  }

  // The Unicode value of the `length` bytes at `c`, read in `state`.
  uint32_t unicode(const uint8_t *c, uint8_t length, PLState state) {
    if (length == 1 && state == 0) return read_u16(byte_unicode_ + 2u * c[0]);
    if (path_ == Path::fast) {
      if (utf8_) {
        uint32_t value = utf8_short(c, length);
        if (value != kNoFastValue) return value;
      } else if (length == 2 && !gb_exception(c)) {
        return two_byte(c[0], c[1]);
      }
    }
    return engine_unicode(c, length);
  }

  // What a run does with a lead byte of a stateless code set: a one-byte character
  // through the byte table, a two-byte one through the lead's step (a GB lead only
  // before a second byte of 0x40 or above), UTF-8 of two and three bytes inline.
  // Anything else (cut characters, four bytes, invalid UTF-8, GB four-byte codes) is
  // left to the character step.
  enum Kind : uint8_t {
    kSingle,
    kPair,
    kGbPair,
    kUtf8Two,
    kUtf8Three,
    kStop,
    kNewPair,    // kPair before its step is known
    kNewGbPair,  // kGbPair before its step is known
  };
  // A lead's trie leaf for the second byte; a fixed value has mask 0 and the value's
  // index as base, U+FFFD an empty range.
  struct Step {
    uint8_t mask, lowest, highest;
    uint32_t base;
  };
  const Kind *kinds() const { return kinds_; }
  const Step *steps() const { return steps_; }
  const uint8_t *unicode_table() const { return byte_unicode_; }
  const uint8_t *results() const { return results_; }
  size_t result_count() const { return result_count_; }
  bool utf8() const { return utf8_; }
  // Every byte is a one-byte character.
  bool single_bytes() const { return single_bytes_; }
  // Fills in the step of a lead of kind kNewPair or kNewGbPair.
  void resolve(uint8_t lead) { learn(lead); }

  // Bytes taken by the first `chars` characters at `s` from `state`, never reading at
  // or past a NUL byte.
  size_t bytes_of_chars(const uint8_t *s, size_t chars, PLState state) const;

 private:
  static constexpr uint32_t kNoFastValue = 0xFFFFFFFF;

  // What a run does with a lead byte.
  Kind kind_of(unsigned b) const;

  Measured measure_plain(const uint8_t *s, size_t available, PLState state) const;
  uint32_t engine_unicode(const uint8_t *c, uint8_t length) const;
  // GB leads 0x81..0x84 whose two-byte form the engine does not take the GB walk for.
  bool gb_exception(const uint8_t *c) const {
    return gb_codeset_ && static_cast<uint8_t>(c[0] - 0x81) < 4 &&
           (c[1] < 0x40 || !(gb_rule_ || lengths_[c[0]] == 2));
  }
  static uint32_t utf8_short(const uint8_t *c, uint8_t length);
  uint32_t two_byte(uint8_t lead, uint8_t trail) {
    if (!(known_[lead >> 6] >> (lead & 63) & 1)) learn(lead);
    const Step &l = steps_[lead];
    if (trail < l.lowest || trail > l.highest) return 0xFFFD;
    size_t index = size_t{static_cast<uint8_t>(l.mask & trail)} + l.base;
    return index < result_count_ ? read_u16(results_ + 2 * index) : 0xFFFD;
  }
  void learn(uint8_t lead);

  const ControlEntry &entry_;
  CharsetView set_;
  Path path_;
  bool stateful_, gb_rule_, gb_codeset_, utf8_, ascii_identity_, single_bytes_;
  const uint8_t *lengths_;
  const uint8_t *byte_unicode_;
  const uint8_t *results_;
  size_t result_count_;
  uint64_t known_[4];  // leads whose step is filled in
  Kind kinds_[256];
  Step steps_[256];
};

}  // namespace pl
