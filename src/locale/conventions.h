// The conventions a handle copies from its territory: digit counts, monetary flags,
// sign positions, five separator characters and eight strings, each string held in
// the handle's code set and in UTF-16.
#pragma once

#include "frame/codes.h"
#include "frame/handle.h"
#include "locale/layouts/territory.h"

namespace pl {

// Override-mask bits: a set bit keeps the handle's value when the conventions are
// taken again from the territory.
inline constexpr uint32_t kOverrideNumDigits = 1u << 0;
inline constexpr uint32_t kOverrideFracDigits = 1u << 1;
inline constexpr uint32_t kOverrideIntFracDigits = 1u << 2;
inline constexpr int kOverrideFirstFlag = 3;        // bits 3..8: monetary flags 0..5
inline constexpr uint32_t kOverridePositiveSignPosition = 1u << 9;
inline constexpr uint32_t kOverrideNegativeSignPosition = 1u << 10;
inline constexpr int kOverrideFirstSeparator = 11;  // bits 11..15: separators 0..4
inline constexpr int kOverrideFirstString = 16;     // bits 16..23: strings 0..7

inline constexpr int kSeparatorCount = 5;
inline constexpr int kStringCount = 8;

// The territory string each of the handle's eight strings is taken from.
inline constexpr int kHandleStringSource[kStringCount] = {
    layout::territory::kGroupingString,     layout::territory::kCurrencySymbolString,
    layout::territory::kMonGroupingString,  layout::territory::kPositiveSignString,
    layout::territory::kNegativeSignString, layout::territory::kTimeFormatString,
    layout::territory::kDateFormatString,   layout::territory::kLongDateFormatString};

// Takes every convention whose override bit is clear from the handle's territory,
// converting strings into its code set. All or nothing: without memory the handle
// is left as it was and the result is 20.
Code derive_conventions(PLLocale *handle);

// The one-byte code of `unit` in the handle's code set, or -1 when it has none.
int one_byte_code(const PLLocale *handle, PLUChar unit);

}  // namespace pl
