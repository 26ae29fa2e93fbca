// codesets/<name>.txt: a code set's mapping, compiled into the character-set table
// (section 1), the code-set-to-Unicode trie (section 2) and the Unicode-to-code-set
// tables (sections 3 and 4). Type words, case and width tables come from the
// library's Unicode data.
#include <algorithm>

#include "charset/unicode/unicode_types.h"
#include "codeset/codeset_source.h"
#include "codeset/trie_layout.h"
#include "codeset/unicode_nodes.h"
#include "frame/endian.h"
#include "item_compilers.h"
#include "locale/layouts/charset_table.h"
#include "string/unicode/unicode_mapping.h"

namespace plc {
namespace {

namespace cs = pl::layout::charset;

constexpr uint32_t kLowerBit = 1u << 2, kUpperBit = 1u << 1;

std::vector<uint8_t> bytes_of(uint32_t packed) {
  std::vector<uint8_t> bytes;
  for (int shift = 8 * (CodesetSource::byte_count(packed) - 1); shift >= 0; shift -= 8)
    bytes.push_back(static_cast<uint8_t>(packed >> shift));
  return bytes;
}

// The character `unit` is written as, if the set can write it.
bool encoded(const CodesetSource &set, uint16_t unit, uint32_t *packed) {
  auto it = set.encode.find(unit);
  if (it == set.encode.end()) return false;
  *packed = it->second;
  return true;
}

// The case partner of a character: its upper case when it is lower case, and the
// other way round; 0 when it has none in the set.
uint32_t case_partner(const CodesetSource &set, uint16_t unit, uint32_t type) {
  uint16_t mapped = (type & kLowerBit) ? pl::unicode_upper(unit)
                  : (type & kUpperBit) ? pl::unicode_lower(unit) : unit;
  uint32_t packed = 0;
  return mapped != unit && encoded(set, mapped, &packed) ? packed : 0;
}

uint32_t fullwidth_form(const CodesetSource &set, uint16_t unit) {
  uint16_t wide = pl::unicode_fullwidth(unit);
  uint32_t packed = 0;
  return wide != unit && encoded(set, wide, &packed) ? packed : 0;
}

// The 256-entry parts of the fixed table: what each byte is as a character.
void write_single_bytes(const CodesetSource &set, uint8_t *table, uint8_t *fullwidth) {
  for (int b = 0; b < 256; ++b) {
    uint16_t unit = 0xFFFD;
    uint32_t type = 0, upper = b, lower = b, wide = 0;
    auto it = set.decode.find(static_cast<uint32_t>(b));
    if (set.is_single_byte(b) && it != set.decode.end()) {
      unit = it->second;
      type = pl::unicode_type(unit);
      uint32_t packed = 0;
      if (encoded(set, pl::unicode_upper(unit), &packed) && set.is_single_byte(packed)) upper = packed;
      if (encoded(set, pl::unicode_lower(unit), &packed) && set.is_single_byte(packed)) lower = packed;
      wide = fullwidth_form(set, unit);
    }
    table[cs::kByteLengths + b] = set.stateful ? 1 : set.lengths[b];
    table[cs::kUpperTable + b] = static_cast<uint8_t>(upper);
    table[cs::kLowerTable + b] = static_cast<uint8_t>(lower);
    pl::write_u16(table + cs::kByteToUnicode + 2 * b, unit);
    pl::write_u32(table + cs::kByteTypes + 4 * b, type);
    pl::write_u32(fullwidth + 4 * b, wide);
  }
}

void align4(std::vector<uint8_t> &bytes) { bytes.resize((bytes.size() + 3) & ~size_t{3}, 0); }

}  // namespace

bool compile_codeset(SourceFile &source, Sections &out) {
  CodesetSource set;
  if (!read_codeset_source(source, set)) return false;
  std::string error;

  // Multi-byte characters: their trie keys and their type records.
  std::vector<std::pair<std::vector<uint8_t>, uint64_t>> to_unicode, types;
  std::vector<std::pair<uint32_t, uint32_t>> pairs;  // full-width forms
  for (const auto &[packed, unit] : set.decode) {
    if (set.is_single_byte(packed)) continue;
    uint32_t type = pl::unicode_type(unit);
    uint32_t partner = case_partner(set, unit, type);
    uint32_t delta = partner != 0 ? partner - packed : 0;
    to_unicode.emplace_back(bytes_of(packed), unit);
    types.emplace_back(bytes_of(packed), (uint64_t{delta} << 32) | type);
    if (uint32_t wide = fullwidth_form(set, unit)) pairs.emplace_back(packed, wide);
  }
  if (pairs.size() > 0xFFFF) {
    source.fail(nullptr, "too many full-width pairs");
    return false;
  }

  std::vector<uint8_t> type_nodes, type_records, section2;
  uint32_t result_offset = 0;
  if (!to_unicode.empty()) {
    TrieShape shape;
    if (!build_trie_shape(types, set.gb_rule, shape, error) ||
        !layout_type_trie(shape, type_nodes, type_records, error) ||
        // UTF-8 is converted by computation: it needs no conversion tables.
        (!set.utf8 && (!build_trie_shape(to_unicode, set.gb_rule, shape, error) ||
                       !layout_conversion_trie(shape, section2, result_offset, error)))) {
      source.fail(nullptr, error);
      return false;
    }
  }
  UnicodeNodes nodes;
  if (!build_unicode_nodes(set.utf8 ? std::map<uint16_t, uint32_t>{} : set.encode,
                           set.replacement, nodes, error)) {
    source.fail(nullptr, error);
    return false;
  }

  Section table(cs::kFixedSize + cs::kFullwidthTableSize, 0);
  table[cs::kReplacementByte] = set.replacement;
  table[cs::kLineFeedByte] = set.line_feed;
  table[cs::kCarriageReturnByte] = set.carriage_return;
  table[cs::kLineSeparatorByte] = set.line_separator;
  table[cs::kParagraphSeparatorByte] = set.paragraph_separator;
  table[cs::kMaxCharLength] = set.max_length;
  pl::write_u16(table.data() + cs::kMappingPairCount, static_cast<uint16_t>(pairs.size()));
  table[cs::kShiftOutByte] = set.shift_out;
  table[cs::kShiftInByte] = set.shift_in;
  write_single_bytes(set, table.data(), table.data() + cs::kFixedSize);
  std::copy(nodes.nodes.begin(), nodes.nodes.end(), table.begin() + cs::kUnicodeNodes);
  pl::write_u16(table.data() + cs::kFlags,
                static_cast<uint16_t>((set.ascii_based ? cs::kAsciiBased : 0) |
                                      (set.stateful ? cs::kStateful : 0) | (set.gb_rule ? cs::kGbRule : 0)));
  pl::write_u32(table.data() + cs::kFullwidthTableOffset, cs::kFixedSize);

  pl::write_u32(table.data() + cs::kMappingPairsOffset, static_cast<uint32_t>(table.size()));
  for (const auto &[packed, wide] : pairs) {
    table.resize(table.size() + cs::kMappingPairSize);
    pl::write_u32(table.data() + table.size() - 8, packed);
    pl::write_u32(table.data() + table.size() - 4, wide);
  }
  align4(table);
  pl::write_u32(table.data() + cs::kTypeTrieOffset, static_cast<uint32_t>(table.size()));
  table.insert(table.end(), type_nodes.begin(), type_nodes.end());
  align4(table);
  pl::write_u32(table.data() + cs::kTypeRecordsOffset, static_cast<uint32_t>(table.size()));
  table.insert(table.end(), type_records.begin(), type_records.end());
  pl::write_u32(table.data() + cs::kResultTableOffset, result_offset);
  out = {table, section2, nodes.low, nodes.high};
  return true;
}

}  // namespace plc
