// Lays a trie shape out in the two node formats of a code-set file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codeset/byte_trie.h"

namespace plc {

// Section 2: 6-byte nodes with byte ranges, then the 16-bit result table (leaf values
// are UTF-16 units; unlisted bytes in a leaf's range give U+FFFD). `result_offset`
// receives the table's byte offset in the section.
bool layout_conversion_trie(const TrieShape &shape, std::vector<uint8_t> &section,
                            uint32_t &result_offset, std::string &error);

// The type trie: 4-byte nodes without range checks, whose leaves index 8-byte type
// records (leaf values are the records: type word in the low half, case delta in the
// high half). Record 0 is all zero and answers every byte that is not a character.
bool layout_type_trie(const TrieShape &shape, std::vector<uint8_t> &nodes,
                      std::vector<uint8_t> &records, std::string &error);

}  // namespace plc
