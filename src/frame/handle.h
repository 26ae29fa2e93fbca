// The locale handle, and how exports find the handle they work on.
#pragma once

#include "frame/codes.h"

namespace pl {
struct ControlEntry;
}

// A handle binds four items of the control table and carries its own copy of the
// territory's conventions, which callers may change item by item.
struct PLLocale {
  pl::ControlEntry *language;
  pl::ControlEntry *territory;
  pl::ControlEntry *codeset;
  pl::ControlEntry *collation;  // null: compare by code values
  uint32_t override_mask;       // conventions set explicitly, not from the territory
  uint16_t num_digits;
  uint16_t frac_digits;
  uint16_t int_frac_digits;
  uint16_t flags;  // pl::kHandle... bits
  uint8_t positive_sign_position;
  uint8_t negative_sign_position;
  // The five separator characters, each NUL-terminated: its one-byte code in the code
  // set (empty when it has none) and its UTF-16 unit.
  char separators[5][2];
  char *strings[8];  // NUL-terminated, in the code set
  PLUChar separators_unicode[5][2];
  PLUChar *strings_unicode[8];
  int32_t last_error;
};

namespace pl {

// Bits of PLLocale::flags: six monetary layout flags, then what the items are.
inline constexpr uint16_t kHandleSingleByte = 1u << 6;
inline constexpr uint16_t kHandleNoCollation = 1u << 7;
inline constexpr uint16_t kHandleStateful = 1u << 8;
// An ASCII-based set in which every UTF-16 unit 0x01..0x7F converts to the one byte of
// the same value and every byte 0x01..0x7F is a character of its own that reads back as
// that unit, so ASCII text needs no conversion either way.
inline constexpr uint16_t kHandleAsciiUnits = 1u << 9;
inline constexpr uint16_t kHandleMonetaryFlags = 0x3F;

// The handle an export works on: `locale`, or the default handle for null. While no
// default handle is installed, null resolves to a process-wide record that only
// carries the error field, so a caller error never dereferences null.
PLLocale *resolve(PLLocale *locale);

// Resolves and clears the error field, as exports do on entry.
inline PLLocale *enter(PLLocale *locale) {
  PLLocale *handle = resolve(locale);
  handle->last_error = PL_OK;
  return handle;
}

// A handle that only carries an error field: no locale was bound to it.
inline bool is_unbound(const PLLocale *handle) { return handle->codeset == nullptr; }

// Resolves an export's handle and clears its error field; null, with code 2 stored,
// when a null handle meets no default handle.
inline PLLocale *bound_handle(PLLocale *locale) {
  PLLocale *handle = enter(locale);
  if (!is_unbound(handle)) return handle;
  handle->last_error = PL_ERR_ARGUMENT;
  return nullptr;
}

}  // namespace pl
