#include "format/parse/number_items.h"

#include "charset/charset_view.h"
#include "charset/utf16_to_bytes.h"
#include "locale/info_numeric.h"
#include "locale/info_text.h"

namespace pl {
namespace {

constexpr int32_t kItemBuffer = 32;

struct ItemNumbers {
  int32_t separator, point, plus, minus;  // plus and minus 0 in plain mode
};

ItemNumbers item_numbers(const NumberMode &mode) {
  if (mode.monetary)
    return {PL_MON_THOUSANDS_SEP, PL_MON_DECIMAL_POINT, PL_POSITIVE_SIGN, PL_NEGATIVE_SIGN};
  return {PL_THOUSANDS_SEP, PL_DECIMAL_POINT, 0, 0};
}

int32_t source_flags(const NumberMode &mode) { return mode.from_territory ? kFromTerritory : 0; }

bool ascii_based(PLLocale &handle) {
  return get_numeric_item(&handle, PL_CODESET_ASCII_BASED, 0) != 0;
}

// A character item read through the getter's window of one unit and its NUL.
template <class Unit, class Get>
int32_t character_item(int32_t item, bool wanted, Get get) {
  Unit buffer[2];
  if (!wanted || get(item, buffer, 2) != 2) return -1;
  return static_cast<int32_t>(buffer[0]);
}

template <class Unit>
void set_sign(SignText<Unit> *sign, const Unit *units, size_t length, PLState end_state = 0) {
  for (size_t i = 0; i < length; ++i) sign->units[i] = units[i];
  sign->length = length;
  sign->end_state = end_state;
}

template <class Unit>
void set_plain(NumberItems<Unit> *items, Unit plus, Unit minus) {
  set_sign(&items->plain_plus, &plus, 1);
  set_sign(&items->plain_minus, &minus, 1);
}

// The separators through `get` (the item getter of the form) and, in monetary mode,
// the sign texts through `sign`.
template <class Unit, class Get, class Sign>
void load_items(const NumberMode &mode, NumberItems<Unit> *items, Get get, Sign sign) {
  ItemNumbers numbers = item_numbers(mode);
  items->separator = character_item<Unit>(numbers.separator, mode.separator, get);
  items->point = character_item<Unit>(numbers.point, mode.point, get);
  items->sign_texts = mode.monetary;
  if (!mode.monetary) return;
  sign(numbers.plus, &items->plus);
  sign(numbers.minus, &items->minus);
}

// A sign text through the item getter of the form.
template <class Unit, class Get>
auto sign_through(Get get) {
  return [get](int32_t item, SignText<Unit> *sign) {
    Unit buffer[kItemBuffer];
    int32_t n = get(item, buffer, kItemBuffer);
    set_sign(sign, buffer, n > 1 ? static_cast<size_t>(n - 1) : 0);
  };
}

// A sign text written from the single-byte state with the shift bytes it needs. The
// closing shift-in is left off, so that the sign also matches where the text goes on
// in the shifted state.
void shifted_sign(PLLocale &handle, int32_t item, int32_t flags, SignText<uint8_t> *sign) {
  PLUChar units[kItemBuffer];
  int32_t n = get_text_item_u(&handle, item, units, kItemBuffer, flags);
  uint8_t bytes[SignText<uint8_t>::kCapacity];
  size_t count = n > 1 ? static_cast<size_t>(n - 1) : 0;
  EncodedText encoded = utf16_to_bytes(*handle.codeset, units, count, 0, bytes, sizeof bytes);
  size_t length = encoded.written;
  PLState end_state = 0;
  if (length > 0 && bytes[length - 1] == CharsetView(*handle.codeset).shift_in_byte()) {
    --length;
    end_state = 1;
  }
  set_sign(sign, bytes, length, end_state);
}

}  // namespace

void load_number_items(PLLocale &handle, const NumberMode &mode, bool shift_rule,
                       NumberItems<uint8_t> *items) {
  int32_t flags = source_flags(mode);
  items->ascii_based = ascii_based(handle);
  set_plain<uint8_t>(items, items->ascii_based ? 0x2B : 0x4E, items->ascii_based ? 0x2D : 0x60);
  auto get = [&](int32_t item, uint8_t *buffer, int32_t size) {
    return get_text_item(&handle, item, reinterpret_cast<char *>(buffer), size, flags);
  };
  if (!shift_rule) return load_items(mode, items, get, sign_through<uint8_t>(get));
  load_items(mode, items, get, [&](int32_t item, SignText<uint8_t> *sign) {
    shifted_sign(handle, item, flags, sign);
  });
}

void load_number_items(PLLocale &handle, const NumberMode &mode, NumberItems<uint16_t> *items) {
  int32_t flags = source_flags(mode);
  set_plain<uint16_t>(items, 0x2B, 0x2D);
  auto get = [&](int32_t item, uint16_t *buffer, int32_t size) {
    return get_text_item_u(&handle, item, buffer, size, flags);
  };
  load_items(mode, items, get, sign_through<uint16_t>(get));
}

void load_number_items(PLLocale &handle, const NumberMode &mode, NumberItems<uint32_t> *items) {
  int32_t flags = source_flags(mode);
  items->ascii_based = ascii_based(handle);
  set_plain<uint32_t>(items, items->ascii_based ? 0x2B : 0x4E, items->ascii_based ? 0x2D : 0x60);
  auto get = [&](int32_t item, uint32_t *buffer, int32_t size) {
    return get_text_item_w(&handle, item, buffer, size, flags);
  };
  load_items(mode, items, get, sign_through<uint32_t>(get));
}

}  // namespace pl
