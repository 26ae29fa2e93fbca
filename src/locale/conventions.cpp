#include "locale/conventions.h"

#include "charset/charset_view.h"
#include "charset/from_unicode.h"
#include "charset/to_unicode.h"
#include "frame/memory.h"
#include "locale/records/record_view.h"
#include "locale/text_codec.h"

namespace pl {
namespace {

namespace terr = layout::territory;

bool overridden(const PLLocale *handle, int bit) { return (handle->override_mask >> bit) & 1; }

}  // namespace

int one_byte_code(const PLLocale *handle, PLUChar unit) {
  uint32_t packed = to_packed(*handle->codeset, unit);
  if (packed > 0xFF || packed_to_unicode(*handle->codeset, packed) != unit) return -1;
  return static_cast<int>(packed);
}

Code derive_conventions(PLLocale *handle) {
  records::RecordView territory(*handle->territory);
  // Build the new strings first, so that running out of memory changes nothing.
  char *strings[kStringCount] = {};
  PLUChar *strings_unicode[kStringCount] = {};
  bool complete = true;
  for (int s = 0; s < kStringCount && complete; ++s) {
    if (overridden(handle, kOverrideFirstString + s)) continue;
    int source = kHandleStringSource[s];
    size_t units = (territory.word(source + 1) - territory.word(source)) / 2u;
    strings_unicode[s] = static_cast<PLUChar *>(allocate(units * sizeof(PLUChar)));
    if (strings_unicode[s] == nullptr) {
      complete = false;
      break;
    }
    const uint8_t *text = territory.string(source);
    for (size_t i = 0; i < units; ++i) strings_unicode[s][i] = records::RecordView::unit(text, i);
    strings_unicode[s][units - 1] = 0;
    size_t length = 0;
    strings[s] = encode_units(handle, strings_unicode[s], units - 1, &length);
    complete = strings[s] != nullptr;
  }
  if (!complete) {
    for (int s = 0; s < kStringCount; ++s) {
      release(strings[s]);
      release(strings_unicode[s]);
    }
    return PL_ERR_NO_MEMORY;
  }
  for (int s = 0; s < kStringCount; ++s) {
    if (overridden(handle, kOverrideFirstString + s)) continue;
    release(handle->strings[s]);
    release(handle->strings_unicode[s]);
    handle->strings[s] = strings[s];
    handle->strings_unicode[s] = strings_unicode[s];
  }

  if (!overridden(handle, 0)) handle->num_digits = territory.word(terr::kNumDigits);
  if (!overridden(handle, 1)) handle->frac_digits = territory.word(terr::kFracDigits);
  if (!overridden(handle, 2)) handle->int_frac_digits = territory.word(terr::kIntFracDigits);
  uint16_t territory_flags = territory.word(terr::kFlags);
  for (int f = 0; f < 6; ++f) {
    if (overridden(handle, kOverrideFirstFlag + f)) continue;
    uint16_t bit = static_cast<uint16_t>(1u << f);
    handle->flags = static_cast<uint16_t>((handle->flags & ~bit) | (((territory_flags >> (f + 1)) & 1) << f));
  }
  if (!overridden(handle, 9))
    handle->positive_sign_position = territory.byte(terr::kPositiveSignPositionAt);
  if (!overridden(handle, 10))
    handle->negative_sign_position = territory.byte(terr::kNegativeSignPositionAt);
  for (int c = 0; c < kSeparatorCount; ++c) {
    if (overridden(handle, kOverrideFirstSeparator + c)) continue;
    PLUChar unit = territory.word(terr::kDecimalPoint + c);
    handle->separators_unicode[c][0] = unit;
    // Without a one-byte code the previous one-byte form stays (empty in a new handle).
    int code = one_byte_code(handle, unit);
    if (code >= 0) handle->separators[c][0] = static_cast<char>(code);
  }
  return PL_OK;
}

}  // namespace pl
