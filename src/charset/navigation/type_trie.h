// The type trie of a character-set table: 4-byte nodes without byte ranges whose
// leaves select 8-byte type records. Every read is checked against the section, so a
// damaged table gives type 0 instead of a read outside it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "locale/control_entry.h"

namespace pl {

class TypeTrie {
 public:
  explicit TypeTrie(const ControlEntry &entry);

  // A character's type record: its type word and the distance to its case partner.
  struct Record {
    uint32_t type;
    int32_t case_delta;
  };

  // The record of the multi-byte character of `count` bytes at `bytes`; zero when the
  // walk runs out of bytes or leaves the table.
  Record record_of(const uint8_t *bytes, size_t count) const;
  uint32_t type_of(const uint8_t *bytes, size_t count) const { return record_of(bytes, count).type; }

 private:
  struct Node {
    uint8_t type;
    uint8_t mask;
    uint16_t base;

    bool leaf() const { return type != 0; }
    // The child node (inner) or record (leaf) that `b` selects.
    size_t slot(uint8_t b) const { return size_t{static_cast<uint8_t>(mask & b)} + base; }
  };

  bool node(size_t index, Node &out) const;
  Record record(size_t index) const;
  // The four-byte GB set's two-byte characters: their leaf hangs below the lead's node
  // at the slot of second byte 0x40.
  bool gb_two_byte(const uint8_t *bytes, size_t count) const;
  Record gb_two_byte_record(const uint8_t *bytes) const;

  const ControlEntry &entry_;
  const uint8_t *nodes_ = nullptr;
  size_t node_count_ = 0;
  const uint8_t *records_ = nullptr;
  size_t record_count_ = 0;
};

}  // namespace pl
