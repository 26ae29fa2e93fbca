// What a walk over a handle's text reads: the code set, whether shift bytes switch
// states (the Ex forms on a stateful set), and whether the single-byte shortcuts hold.
#pragma once

#include "charset/charset_view.h"
#include "frame/handle.h"
#include "locale/control_entry.h"

namespace pl {

struct TextRules {
  const ControlEntry *entry;
  CharsetView set;
  bool shift_rule;   // shift bytes are states, not characters
  bool single_byte;  // every character is one byte: pointer arithmetic will do

  bool shortcut() const { return single_byte && !shift_rule; }
};

// The rules of a bound handle; `ex_form` selects the shift rule where the set has one.
inline TextRules text_rules(const PLLocale &handle, bool ex_form) {
  return {handle.codeset, CharsetView(*handle.codeset),
          ex_form && (handle.flags & kHandleStateful) != 0,
          (handle.flags & kHandleSingleByte) != 0};
}

}  // namespace pl
