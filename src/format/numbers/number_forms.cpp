#include "format/numbers/number_forms.h"

#include <algorithm>

#include "charset/from_unicode.h"
#include "charset/navigation/char_walk.h"
#include "charset/unicode_value.h"
#include "charset/utf16_to_bytes.h"
#include "locale/info_numeric.h"

namespace pl {
namespace {

// The length of a fetched item (the fetch counts its NUL); an item that cannot be
// read is empty.
template <class T>
size_t fetched(int32_t result, T *buffer) {
  if (result > 0) return static_cast<size_t>(result - 1);
  buffer[0] = 0;
  return 0;
}

bool ascii_based(const PLLocale &handle) { return CharsetView(*handle.codeset).ascii_based(); }

Prefix plain_prefix(size_t length, size_t unit_room, size_t char_room) {
  size_t n = std::min({length, unit_room, char_room});
  return {n, n, n == length};
}

}  // namespace

int32_t FormBase::numeric_item(int32_t item) const {
  return get_numeric_item(handle_, item, item_flags_);
}

size_t ByteForm::fetch(int32_t item, char *buffer, int32_t size) const {
  if (!rules_.shift_rule)
    return fetched(get_text_item(handle_, item, buffer, size, item_flags_), buffer);
  // The units of the item, encoded as the Ex item function encodes them from the
  // single-byte state: a double-byte run between shift-out and shift-in, cut to
  // whole characters with the shift-in kept.
  PLUChar units[kItemCapacity];
  size_t count = fetched(get_text_item_u(handle_, item, units, size, item_flags_), units);
  EncodedText encoded = utf16_to_bytes(*handle_->codeset, units, count, kSingleByteState,
                                       reinterpret_cast<uint8_t *>(buffer),
                                       static_cast<size_t>(size) - 1);
  buffer[encoded.written] = '\0';
  return encoded.written;
}

char ByteForm::letter(char c) const {
  uint32_t packed = to_packed(*handle_->codeset, static_cast<uint8_t>(c));
  return static_cast<char>(packed <= 0xFF ? packed : rules_.set.replacement_byte());
}

Prefix ByteForm::prefix(const char *text, size_t length, size_t unit_room,
                        size_t char_room) const {
  if (rules_.shortcut()) return plain_prefix(length, unit_room, char_room);
  const uint8_t *s = reinterpret_cast<const uint8_t *>(text);
  Prefix taken{0, 0, false};
  PLState state = start_state_;
  while (taken.units < length) {
    Step step = step_at(rules_, s + taken.units, length - taken.units, state);
    bool run_only = rules_.shift_rule && step.length.bytes == 0;
    // The text is the library's own: a byte the table gives no length is one byte.
    size_t bytes = step.shift_bytes + (run_only ? 0 : std::max<size_t>(step.length.bytes, 1));
    if (run_only || taken.chars == char_room || bytes > unit_room - taken.units) {
      // What follows is not taken; a shift run back to the single-byte state still
      // is, when it fits, so that the output ends closed.
      if (step.shift_bytes != 0 && step.state == kSingleByteState &&
          step.shift_bytes <= unit_room - taken.units)
        taken.units += step.shift_bytes;
      break;
    }
    taken.units += bytes;
    ++taken.chars;
    state = step.state;
  }
  taken.whole = taken.units == length;
  return taken;
}

UnitForm::UnitForm(PLLocale &handle, bool, PLState, int32_t flags)
    : FormBase(handle, kAsciiGlyphs, flags) {}

size_t UnitForm::fetch(int32_t item, PLUChar *buffer, int32_t size) const {
  return fetched(get_text_item_u(handle_, item, buffer, size, item_flags_), buffer);
}

Prefix UnitForm::prefix(const PLUChar *text, size_t length, size_t unit_room,
                        size_t char_room) const {
  Prefix taken = plain_prefix(length, unit_room, char_room);
  if (!taken.whole && taken.units > 0 && is_high_surrogate(text[taken.units - 1]) &&
      is_low_surrogate(text[taken.units])) {
    --taken.units;
    --taken.chars;
  }
  return taken;
}

PackedForm::PackedForm(PLLocale &handle, bool, PLState, int32_t flags)
    : FormBase(handle, glyphs_of(ascii_based(handle)), flags) {}

ItemText<PLWChar> PackedForm::item(int32_t item, PLWChar *buffer, int32_t size) const {
  return {buffer, fetched(get_text_item_w(handle_, item, buffer, size, item_flags_), buffer)};
}

PLWChar PackedForm::letter(char c) const {
  return to_packed(*handle_->codeset, static_cast<uint8_t>(c));
}

Prefix PackedForm::prefix(const PLWChar *, size_t length, size_t unit_room,
                          size_t char_room) const {
  return plain_prefix(length, unit_room, char_room);
}

}  // namespace pl
