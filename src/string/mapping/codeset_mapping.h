// One-to-one mappings of a code set's characters, in packed form: case through the
// single-byte tables and the type records' case deltas, full and narrow width through
// the 256-entry table and the pair table, digits through the type words. Every read
// of the variable part of the table is checked against the section.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/charset_view.h"
#include "charset/navigation/type_trie.h"
#include "locale/control_entry.h"

namespace pl {

class CodesetMapping {
 public:
  explicit CodesetMapping(const ControlEntry &entry);

  // The simple upper and lower case; the character itself when it has none.
  uint32_t upper(uint32_t packed) const { return case_partner(packed, kLowerBit, true); }
  uint32_t lower(uint32_t packed) const { return case_partner(packed, kUpperBit, false); }
  // The full-width and the narrow form; the character itself when it has none.
  uint32_t fullwidth(uint32_t packed) const;
  uint32_t halfwidth(uint32_t packed) const;
  bool is_digit(uint32_t packed) const;

  // The packed character of a Unicode value, false when the code set cannot write it.
  bool encode(uint32_t value, uint32_t *packed) const;
  uint32_t unicode(uint32_t packed) const;

 private:
  static constexpr uint32_t kUpperBit = 1u << 1, kLowerBit = 1u << 2, kDigitBit = 1u << 3;

  uint32_t case_partner(uint32_t packed, uint32_t has_bit, bool upper) const;
  TypeTrie::Record record(uint32_t packed) const;
  uint32_t fullwidth_entry(size_t b) const;
  uint32_t pair_field(size_t i, size_t field) const;

  const ControlEntry &entry_;
  CharsetView set_;
  TypeTrie trie_;
  const uint8_t *fullwidth_ = nullptr;  // 256 packed characters, or none
  const uint8_t *pairs_ = nullptr;      // (packed, full-width form), sorted
  size_t pair_count_ = 0;
};

}  // namespace pl
