// Small code sets assembled in memory, with the exact-size sections that let the
// sanitizer build catch any read outside them.
#pragma once

#include <cstdint>
#include <vector>

#include "locale/control_entry.h"

namespace pltest {

struct TrieSpec {
  uint8_t type, mask, lowest, highest;
  uint16_t base;
};

class TestCodeset {
 public:
  // Bytes 0x00..0x7F decode and encode as themselves, each of length 1; replacement "?".
  explicit TestCodeset(uint16_t number = 900);

  void set_number(uint16_t number) { number_ = number; }
  void set_flags(uint16_t flags);
  void set_max_length(uint8_t length);
  void set_byte_length(uint8_t first, uint8_t last, uint8_t length);
  void set_shift_bytes(uint8_t shift_out, uint8_t shift_in);

  // Section 2: nodes, then results; the result offset is written into the table.
  void set_trie(std::vector<TrieSpec> nodes, std::vector<uint16_t> results);
  // Names a result offset other than the end of the nodes (to damage the table).
  void set_result_offset(uint32_t offset) { result_offset_ = offset; }
  // Drops section 2 altogether.
  void drop_trie() { drop_trie_ = true; }

  // Appends values to section 3 (low) or 4 (high); returns their byte offset.
  uint16_t add_low_bytes(const std::vector<uint8_t> &values);
  uint16_t add_low_words(const std::vector<uint16_t> &values);
  uint16_t add_high_bytes(const std::vector<uint8_t> &values);
  uint16_t add_high_words(const std::vector<uint16_t> &values);
  void set_unicode_node(uint8_t high, uint8_t type, uint8_t mask, uint8_t lowest, uint8_t highest,
                        uint16_t low_table, uint16_t high_table = 0);

  // The entry over copies of the sections, each allocated at its exact size; valid
  // until the next call.
  const pl::ControlEntry &entry();

 private:
  uint16_t number_;
  std::vector<uint8_t> table_;
  std::vector<TrieSpec> nodes_;
  std::vector<uint16_t> results_;
  int64_t result_offset_ = -1;
  bool drop_trie_ = false;
  std::vector<uint8_t> low_, high_;
  std::vector<uint8_t> sections_[4];
  pl::ControlEntry entry_{};
};

}  // namespace pltest
