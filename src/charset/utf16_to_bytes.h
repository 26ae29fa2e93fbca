// UTF-16 text to a code set's bytes, with the shift bytes of stateful code sets.
#pragma once

#include <cstddef>
#include <cstdint>

#include "locale/control_entry.h"
#include "polyloc.h"

namespace pl {

struct EncodedText {
  size_t written;   // bytes written
  size_t consumed;  // units converted
  PLState state;    // state at the end of the output
};

// Converts `count` units, starting in `state`, into `out` (`capacity` bytes; nothing
// is written past it). Conversion stops before the first character that does not fit.
//
// Without the stateful flag, a high surrogate followed by a low one converts as one
// packed pair; any other high surrogate gives the replacement byte. The state result
// is then always the single-byte state.
//
// Stateful: each unit converts alone; a one-byte character in the shifted state is
// preceded by the shift-in byte, a longer one in the single-byte state by the
// shift-out byte. A character is written only with room for its shift byte and, when
// it leaves the output shifted, for a closing shift-in byte, so the end can always be
// closed: in the shifted state a final shift-out byte is removed, or else a shift-in
// byte appended (also for 0 units). Only a shifted start with no room at all leaves
// the result in the shifted state.
EncodedText utf16_to_bytes(const ControlEntry &entry, const PLUChar *units, size_t count,
                           PLState state, uint8_t *out, size_t capacity);

}  // namespace pl
