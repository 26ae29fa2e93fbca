// Builds section 1 of a territory file from its values.
#pragma once

#include <string_view>

#include "locale/layouts/territory.h"
#include "locale/records/record_writer.h"

namespace pl::records {

struct TerritoryValues {
  // Decimal point, thousands separator, list separator, monetary decimal point and
  // monetary thousands separator, as UTF-16 units.
  uint16_t characters[layout::territory::kConventionCharCount] = {};
  uint16_t num_digits = 0;
  uint16_t frac_digits = 0;
  uint16_t int_frac_digits = 0;
  uint8_t positive_sign_position = 0;
  uint8_t negative_sign_position = 0;
  uint16_t value = 0;
  uint16_t flags = 0;  // layout::territory::k... bits
  // Strings 11..21 of the record, in order.
  std::u16string_view strings[layout::territory::kStringCount] = {};
};

// Size of the record, or 0 when it would not fit the 16-bit offsets.
constexpr size_t territory_record_size(const TerritoryValues &values) {
  size_t size = layout::territory::kFixedSize;
  for (std::u16string_view text : values.strings) size += utf16_bytes(text);
  return size > kMaxRecordSize ? 0 : size;
}

// Writes the record into `out`, which holds territory_record_size(values) bytes.
constexpr void write_territory_record(const TerritoryValues &values, uint8_t *out) {
  namespace terr = layout::territory;
  for (size_t i = 0; i < terr::kFixedSize; ++i) out[i] = 0;
  for (int c = 0; c < terr::kConventionCharCount; ++c) put_word(out, c, values.characters[c]);
  put_word(out, terr::kNumDigits, values.num_digits);
  put_word(out, terr::kFracDigits, values.frac_digits);
  put_word(out, terr::kIntFracDigits, values.int_frac_digits);
  out[terr::kPositiveSignPositionAt] = values.positive_sign_position;
  out[terr::kNegativeSignPositionAt] = values.negative_sign_position;
  put_word(out, terr::kValue, values.value);
  put_word(out, terr::kFlags, values.flags);
  size_t at = terr::kFixedSize;
  for (int s = 0; s < terr::kStringCount; ++s) {
    put_word(out, terr::kFirstString + s, static_cast<uint16_t>(at));
    at = put_utf16(out, at, values.strings[s]);
  }
  put_word(out, terr::kStringsEnd, static_cast<uint16_t>(at));
}

}  // namespace pl::records
