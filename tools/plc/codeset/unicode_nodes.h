// The 256 Unicode-to-code-set nodes of the character-set table, with the low and
// high tables they read in sections 3 and 4.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace plc {

struct UnicodeNodes {
  std::vector<uint8_t> nodes;  // 256 nodes of 8 bytes
  std::vector<uint8_t> low;    // section 3
  std::vector<uint8_t> high;   // section 4
};

// Builds the nodes from unit -> packed character; units not listed, and unlisted low
// bytes inside a node's range, give the replacement byte. False, with `error`, when a
// table outgrows the 16-bit offsets.
bool build_unicode_nodes(const std::map<uint16_t, uint32_t> &encode, uint8_t replacement,
                         UnicodeNodes &out, std::string &error);

}  // namespace plc
