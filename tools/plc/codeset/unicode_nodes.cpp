#include "codeset/unicode_nodes.h"

#include <algorithm>

#include "codeset/byte_trie.h"
#include "codeset/packer.h"
#include "frame/endian.h"
#include "locale/layouts/charset_table.h"

namespace plc {
namespace {

namespace cs = pl::layout::charset;

// How a node stores its packed characters: element widths in the low and high
// tables, and how the packed value splits between them.
struct NodeType {
  uint8_t type;
  int low_width;
  int high_width;
  uint32_t low_part(uint32_t packed) const {
    return type == 4 ? packed & 0xFF : type == 0 ? packed : packed & 0xFFFF;
  }
  uint32_t high_part(uint32_t packed) const { return type == 4 ? packed >> 8 : packed >> 16; }
};

constexpr NodeType kBytes{0, 1, 0};         // single-byte characters
constexpr NodeType kWords{1, 2, 0};         // up to two bytes, in section 3
constexpr NodeType kByteAndWord{2, 2, 1};   // up to three bytes
constexpr NodeType kWordAndWord{3, 2, 2};   // up to four bytes
constexpr NodeType kByteAndByte{4, 1, 1};   // up to two bytes, split over both sections

void put(std::vector<uint8_t> &row, size_t index, int width, uint32_t value) {
  if (width == 1) row[index] = static_cast<uint8_t>(value);
  if (width == 2) pl::write_u16(row.data() + 2 * index, static_cast<uint16_t>(value));
}

}  // namespace

bool build_unicode_nodes(const std::map<uint16_t, uint32_t> &encode, uint8_t replacement,
                         UnicodeNodes &out, std::string &error) {
  out.nodes.assign(256 * cs::kNodeSize, 0);
  Packer low(1), high(1);
  for (int k = 0; k < 256; ++k) {
    uint8_t *node = out.nodes.data() + k * cs::kNodeSize;
    node[cs::kNodeLowest] = 0xFF;  // accepts nothing until filled
    auto first = encode.lower_bound(static_cast<uint16_t>(k << 8));
    auto end = k == 255 ? encode.end() : encode.lower_bound(static_cast<uint16_t>((k + 1) << 8));
    if (first == end) continue;

    std::vector<uint8_t> keys;
    uint32_t widest = 0;
    for (auto it = first; it != end; ++it) {
      keys.push_back(static_cast<uint8_t>(it->first & 0xFF));
      widest = std::max(widest, it->second);
    }
    MaskChoice choice = choose_mask(keys, {}, false);
    size_t slots = size_t{choice.last} - choice.first + 1;
    NodeType type = widest <= 0xFF ? kBytes : widest <= 0xFFFF ? kWords
                  : widest <= 0xFFFFFF ? kByteAndWord : kWordAndWord;
    // Two-byte rows go wherever they keep the two sections the more even.
    if (type.type == kWords.type &&
        std::max(low.size() + slots, high.size() + slots) < std::max(low.size() + 2 * slots, high.size()))
      type = kByteAndByte;

    std::vector<uint8_t> low_row(slots * type.low_width), high_row(slots * type.high_width);
    for (size_t i = 0; i < slots; ++i) {
      put(low_row, i, type.low_width, type.low_part(replacement));
      put(high_row, i, type.high_width, type.high_part(replacement));
    }
    for (auto it = first; it != end; ++it) {
      size_t i = (choice.mask & it->first) - choice.first;
      put(low_row, i, type.low_width, type.low_part(it->second));
      put(high_row, i, type.high_width, type.high_part(it->second));
    }
    size_t low_at = low.place(low_row, size_t{choice.first} * type.low_width);
    size_t low_offset = low_at - size_t{choice.first} * type.low_width;
    size_t high_offset = 0;
    if (type.high_width > 0)
      high_offset = high.place(high_row, size_t{choice.first} * type.high_width) -
                    size_t{choice.first} * type.high_width;
    if (low_offset > 0xFFFF || high_offset > 0xFFFF) {
      error = "the Unicode-to-code-set tables outgrow their 16-bit offsets";
      return false;
    }
    node[cs::kNodeType] = type.type;
    node[cs::kNodeMask] = choice.mask;
    node[cs::kNodeLowest] = keys.front();
    node[cs::kNodeHighest] = keys.back();
    pl::write_u16(node + cs::kNodeLowTable, static_cast<uint16_t>(low_offset));
    pl::write_u16(node + cs::kNodeHighTable, static_cast<uint16_t>(high_offset));
  }
  out.low = low.bytes();
  out.high = high.bytes();
  return true;
}

}  // namespace plc
