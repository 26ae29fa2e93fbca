#include "locale/info_numeric.h"

#include "charset/charset_view.h"
#include "frame/process.h"
#include "locale/conventions.h"
#include "locale/environment.h"
#include "locale/handle_items.h"
#include "locale/info_items.h"
#include "locale/records/record_view.h"

namespace pl {
namespace {

namespace terr = layout::territory;

// Items with a value in the handle and one in the territory record, and the
// override bit of each. Monetary flags 73..76 and 82, 83 are flag bits 0..5.
int override_bit(int32_t item) {
  switch (item) {
    case 63: return 0;
    case 69: return 1;
    case 70: return 2;
    case 73: case 74: case 75: case 76: return kOverrideFirstFlag + (item - 73);
    case 82: case 83: return kOverrideFirstFlag + 4 + (item - 82);
    case 77: return 9;
    case 78: return 10;
    default: return -1;
  }
}

int flag_of(int32_t item) { return item >= 82 ? 4 + (item - 82) : item - 73; }

int32_t fail(PLLocale *handle, Code code, int32_t result) {
  handle->last_error = code;
  return result;
}

}  // namespace

int32_t get_numeric_item(PLLocale *handle, int32_t item, int32_t source) {
  if (source != 0 && source != 1) return fail(handle, PL_ERR_ARGUMENT, -1);
  if (item < 1 || item > 87 || !is_numeric_item(item)) return fail(handle, PL_ERR_UNKNOWN_ITEM, -1);
  records::RecordView territory(*handle->territory);
  uint16_t territory_flags = territory.word(terr::kFlags);
  bool from_record = source == 1;
  switch (item) {
    case 1: return handle->language->number;
    case 5: return handle->territory->number;
    case 9: return handle->codeset->number;
    case 11: return handle->collation ? handle->collation->number : 0;
    case 58: return territory_flags & terr::kTerritoryFlag;
    case 63: return from_record ? territory.word(terr::kNumDigits) : handle->num_digits;
    case 69: return from_record ? territory.word(terr::kFracDigits) : handle->frac_digits;
    case 70: return from_record ? territory.word(terr::kIntFracDigits) : handle->int_frac_digits;
    case 77:
      return from_record ? territory.byte(terr::kPositiveSignPositionAt) : handle->positive_sign_position;
    case 78:
      return from_record ? territory.byte(terr::kNegativeSignPositionAt) : handle->negative_sign_position;
    case 84: return territory.word(terr::kValue);
    case 85: return CharsetView(*handle->codeset).max_length();
    case 86: return CharsetView(*handle->codeset).ascii_based() ? 1 : 0;
    case 87: return (handle->flags & kHandleStateful) ? 1 : 0;
    default: break;
  }
  int flag = flag_of(item);  // 73..76, 82, 83
  return from_record ? (territory_flags >> (flag + 1)) & 1 : (handle->flags >> flag) & 1;
}

int32_t set_numeric_item(PLLocale *handle, int32_t item, int32_t value) {
  Environment *env = current_environment();
  auto entry = [&](int kind, ControlEntry **out) -> Code {
    if (value < 0 || value > 0xFFFF) return PL_ERR_NOT_FOUND;
    Code code = PL_OK;
    *out = find_by_number(env, kind, static_cast<unsigned>(value), false, &code);
    if (*out != nullptr) return PL_OK;
    return code == PL_ERR_NO_MEMORY ? code : PL_ERR_NOT_FOUND;
  };
  ControlEntry *found = nullptr;
  Code code = PL_OK;
  switch (item) {
    case 1:
      if ((code = entry(layout::kLanguage, &found)) == PL_OK) handle->language = found;
      return code == PL_OK ? 1 : fail(handle, code, 0);
    case 5:
      if ((code = entry(layout::kTerritory, &found)) == PL_OK) code = select_territory(handle, found);
      return code == PL_OK ? 1 : fail(handle, code, 0);
    case 9:
      if ((code = entry(layout::kCodeset, &found)) == PL_OK) code = select_codeset(handle, found);
      return code == PL_OK ? 1 : fail(handle, code, 0);
    case 11:
      if (value == 0) {
        select_collation(handle, nullptr);
        return 1;
      }
      if ((code = entry(layout::kCollation, &found)) == PL_OK) select_collation(handle, found);
      return code == PL_OK ? 1 : fail(handle, code, 0);
    default: break;
  }
  int bit = override_bit(item);
  if (bit < 0) return fail(handle, PL_ERR_UNKNOWN_ITEM, 0);
  switch (item) {
    case 63: handle->num_digits = static_cast<uint16_t>(value); break;
    case 69: handle->frac_digits = static_cast<uint16_t>(value); break;
    case 70: handle->int_frac_digits = static_cast<uint16_t>(value); break;
    case 77: case 78:
      if (static_cast<uint32_t>(value) > 4) return fail(handle, PL_ERR_NOT_FOUND, 0);
      (item == 77 ? handle->positive_sign_position : handle->negative_sign_position) =
          static_cast<uint8_t>(value);
      break;
    default: {
      if (value != 0 && value != 1) return fail(handle, PL_ERR_NOT_FOUND, 0);
      uint16_t mask = static_cast<uint16_t>(1u << flag_of(item));
      handle->flags = static_cast<uint16_t>(value ? handle->flags | mask : handle->flags & ~mask);
    }
  }
  handle->override_mask |= 1u << bit;
  return 1;
}

}  // namespace pl
