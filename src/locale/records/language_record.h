// Builds section 1 of a language file from its values.
#pragma once

#include <span>
#include <string_view>

#include "locale/layouts/language.h"
#include "locale/records/record_writer.h"

namespace pl::records {

struct CasePair {
  uint16_t first;
  uint16_t second;  // 0: the entry maps one unit
  uint16_t result;
  uint16_t second_result;  // 0: one result
};

struct LanguageValues {
  uint16_t default_territory = 0;
  uint16_t default_codeset = 0;
  uint16_t default_collation = 0;
  // Strings 5..48 of the record, in order.
  std::u16string_view strings[layout::language::kStringCount] = {};
  std::span<const CasePair> upper_pairs;
  std::span<const CasePair> lower_pairs;
};

// Size of the record, or 0 when it would not fit the 16-bit offsets.
constexpr size_t language_record_size(const LanguageValues &values) {
  size_t size = layout::language::kFixedSize;
  for (std::u16string_view text : values.strings) size += utf16_bytes(text);
  size += (values.upper_pairs.size() + values.lower_pairs.size()) * layout::language::kCasePairSize;
  if (size > kMaxRecordSize || values.upper_pairs.size() > 0xFFFF ||
      values.lower_pairs.size() > 0xFFFF)
    return 0;
  return size;
}

// Writes the record into `out`, which holds language_record_size(values) bytes.
constexpr void write_language_record(const LanguageValues &values, uint8_t *out) {
  namespace lang = layout::language;
  for (size_t i = 0; i < lang::kFixedSize; ++i) out[i] = 0;
  put_word(out, lang::kDefaultTerritory, values.default_territory);
  put_word(out, lang::kDefaultCodeset, values.default_codeset);
  put_word(out, lang::kDefaultCollation, values.default_collation);
  size_t at = lang::kFixedSize;
  for (int s = 0; s < lang::kStringCount; ++s) {
    put_word(out, lang::kFirstString + s, static_cast<uint16_t>(at));
    at = put_utf16(out, at, values.strings[s]);
  }
  auto put_pairs = [&](std::span<const CasePair> pairs, int count_word, int offset_word) {
    put_word(out, count_word, static_cast<uint16_t>(pairs.size()));
    put_word(out, offset_word, static_cast<uint16_t>(at));
    for (const CasePair &pair : pairs) {
      write_u16(out + at, pair.first);
      write_u16(out + at + 2, pair.second);
      write_u16(out + at + 4, pair.result);
      write_u16(out + at + 6, pair.second_result);
      at += lang::kCasePairSize;
    }
  };
  put_pairs(values.upper_pairs, lang::kUpperPairCount, lang::kUpperPairOffset);
  put_pairs(values.lower_pairs, lang::kLowerPairCount, lang::kLowerPairOffset);
}

}  // namespace pl::records
