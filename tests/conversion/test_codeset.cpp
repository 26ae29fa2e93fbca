#include "test_codeset.h"

#include "frame/endian.h"
#include "locale/layouts/charset_table.h"
#include "locale/records/single_byte_charset.h"

namespace pltest {
namespace {

namespace cs = pl::layout::charset;

std::vector<uint8_t> ascii_table() {
  pl::records::SingleByteCharset set;
  set.replacement = '?';
  set.line_feed = 0x0A;
  set.carriage_return = 0x0D;
  set.line_separator = set.paragraph_separator = 0x0A;
  set.flags = cs::kAsciiBased;
  for (int b = 0; b < 256; ++b) {
    set.unicode[b] = b < 0x80 ? static_cast<uint16_t>(b) : 0xFFFD;
    set.reversible[b] = b < 0x80;
  }
  std::vector<uint8_t> table(pl::records::kSingleByteTableSize);
  pl::records::write_single_byte_table(set, table.data());
  return table;
}

uint16_t append(std::vector<uint8_t> &to, const uint8_t *bytes, size_t size) {
  uint16_t offset = static_cast<uint16_t>(to.size());
  to.insert(to.end(), bytes, bytes + size);
  return offset;
}

std::vector<uint8_t> words(const std::vector<uint16_t> &values) {
  std::vector<uint8_t> bytes(2 * values.size());
  for (size_t i = 0; i < values.size(); ++i) pl::write_u16(bytes.data() + 2 * i, values[i]);
  return bytes;
}

}  // namespace

TestCodeset::TestCodeset(uint16_t number) : number_(number), table_(ascii_table()) {
  // The ASCII node of the single-byte writer points into the low table it builds:
  // rebuild that table here so that later tables can be appended behind it.
  std::vector<uint8_t> identity(0x80);
  for (int b = 0; b < 0x80; ++b) identity[b] = static_cast<uint8_t>(b);
  set_unicode_node(0x00, 0, 0xFF, 0x00, 0x7F, add_low_bytes(identity));
}

void TestCodeset::set_flags(uint16_t flags) { pl::write_u16(table_.data() + cs::kFlags, flags); }

void TestCodeset::set_max_length(uint8_t length) { table_[cs::kMaxCharLength] = length; }

void TestCodeset::set_byte_length(uint8_t first, uint8_t last, uint8_t length) {
  for (int b = first; b <= last; ++b) table_[cs::kByteLengths + b] = length;
}

void TestCodeset::set_shift_bytes(uint8_t shift_out, uint8_t shift_in) {
  table_[cs::kShiftOutByte] = shift_out;
  table_[cs::kShiftInByte] = shift_in;
}

void TestCodeset::set_trie(std::vector<TrieSpec> nodes, std::vector<uint16_t> results) {
  nodes_ = std::move(nodes);
  results_ = std::move(results);
}

uint16_t TestCodeset::add_low_bytes(const std::vector<uint8_t> &values) {
  return append(low_, values.data(), values.size());
}

uint16_t TestCodeset::add_low_words(const std::vector<uint16_t> &values) {
  std::vector<uint8_t> bytes = words(values);
  return append(low_, bytes.data(), bytes.size());
}

uint16_t TestCodeset::add_high_bytes(const std::vector<uint8_t> &values) {
  return append(high_, values.data(), values.size());
}

uint16_t TestCodeset::add_high_words(const std::vector<uint16_t> &values) {
  std::vector<uint8_t> bytes = words(values);
  return append(high_, bytes.data(), bytes.size());
}

void TestCodeset::set_unicode_node(uint8_t high, uint8_t type, uint8_t mask, uint8_t lowest,
                                   uint8_t highest, uint16_t low_table, uint16_t high_table) {
  uint8_t *node = table_.data() + cs::kUnicodeNodes + cs::kNodeSize * high;
  node[cs::kNodeType] = type;
  node[cs::kNodeMask] = mask;
  node[cs::kNodeLowest] = lowest;
  node[cs::kNodeHighest] = highest;
  pl::write_u16(node + cs::kNodeLowTable, low_table);
  pl::write_u16(node + cs::kNodeHighTable, high_table);
}

const pl::ControlEntry &TestCodeset::entry() {
  std::vector<uint8_t> trie;
  for (const TrieSpec &n : nodes_) {
    uint8_t node[6] = {n.type, n.mask, n.lowest, n.highest, 0, 0};
    pl::write_u16(node + 4, n.base);
    trie.insert(trie.end(), node, node + 6);
  }
  uint32_t result_offset = static_cast<uint32_t>(trie.size());
  std::vector<uint8_t> results = words(results_);
  trie.insert(trie.end(), results.begin(), results.end());
  if (result_offset_ >= 0) result_offset = static_cast<uint32_t>(result_offset_);
  pl::write_u32(table_.data() + cs::kResultTableOffset, result_offset);

  sections_[0] = table_;
  sections_[1] = drop_trie_ ? std::vector<uint8_t>{} : trie;
  sections_[2] = low_;
  sections_[3] = high_;
  entry_ = {};
  entry_.number = number_;
  entry_.kind = 2;
  for (int s = 0; s < 4; ++s) {
    // shrink_to_fit: the sanitizer then sees the true end of each section.
    sections_[s].shrink_to_fit();
    entry_.section[s] = sections_[s].empty() ? nullptr : sections_[s].data();
    entry_.size[s] = static_cast<uint32_t>(sections_[s].size());
  }
  return entry_;
}

}  // namespace pltest
