#include "locale/info_items.h"

#include <cstring>

#include "frame/process.h"
#include "locale/conventions.h"
#include "locale/environment.h"
#include "locale/info_text.h"
#include "locale/records/record_view.h"

namespace pl {
namespace {

namespace lang = layout::language;
namespace terr = layout::territory;

constexpr char kBinaryName[] = "Binary";

// The name of the entry of `kind` numbered by word `word` of the language record.
const char *default_name(PLLocale *handle, int kind, int word) {
  uint16_t number = records::RecordView(*handle->language).word(word);
  Code code = PL_OK;
  const ControlEntry *entry = find_by_number(current_environment(), kind, number, true, &code);
  if (entry != nullptr) return entry->name;
  return kind == layout::kCollation && code == PL_OK ? kBinaryName : nullptr;
}

}  // namespace

bool is_numeric_item(int32_t item) {
  switch (item) {
    case 1: case 5: case 9: case 11: case 58: case 63: case 69: case 70:
    case 73: case 74: case 75: case 76: case 77: case 78:
    case 82: case 83: case 84: case 85: case 86: case 87:
      return true;
    default:
      return false;
  }
}

bool find_text_item(PLLocale *handle, int32_t item, bool use_handle, TextItem *out) {
  const char *text;
  const PLUChar *unicode;
  if (use_handle && handle_copy(handle, item, &text, &unicode)) {
    *out = {TextKind::handle, text, unicode};
    return true;
  }
  if (item < 2 || item > 81 || is_numeric_item(item)) return false;
  records::RecordView language(*handle->language), territory(*handle->territory);
  auto record = [&](const records::RecordView &view, int word) {
    *out = {TextKind::record, view.string(word), nullptr};
    return true;
  };
  auto name = [&](const char *text) {
    if (text == nullptr) return false;
    *out = {TextKind::name, text, nullptr};
    return true;
  };
  switch (item) {
    case 2: return name(handle->language->name);
    case 3: return record(language, lang::kCodeString);
    case 4: return record(language, lang::kDisplayNameString);
    case 6: return name(handle->territory->name);
    case 7: return record(territory, terr::kCodeString);
    case 8: return record(territory, terr::kDisplayNameString);
    case 10: return name(handle->codeset->name);
    case 12: return name(handle->collation ? handle->collation->name : kBinaryName);
    case 13: return name(default_name(handle, layout::kTerritory, lang::kDefaultTerritory));
    case 14: return name(default_name(handle, layout::kCodeset, lang::kDefaultCodeset));
    case 15: return name(default_name(handle, layout::kCollation, lang::kDefaultCollation));
    case 65: return record(territory, terr::kIntCurrSymbolString);
    default: break;
  }
  if (item >= 16 && item <= 57) {
    *out = {TextKind::record, name_item_units(*handle, item), nullptr};
    return true;
  }
  if (int c = separator_of(item); c >= 0) {
    // one unit of the record's fixed part, read with a cut to one character
    *out = {TextKind::record, handle->territory->section[0] + 2 * (terr::kDecimalPoint + c), nullptr};
    return true;
  }
  int s = handle_string_of(item);
  return s >= 0 && record(territory, kHandleStringSource[s]);
}

void locale_name(const PLLocale *handle, char *out) {
  const char *collation = handle->collation ? handle->collation->name : kBinaryName;
  std::strcpy(out, handle->language->name);
  std::strcat(out, "_");
  std::strcat(out, handle->territory->name);
  std::strcat(out, ".");
  std::strcat(out, handle->codeset->name);
  std::strcat(out, "@");
  std::strcat(out, collation);
}

}  // namespace pl
