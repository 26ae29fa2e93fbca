// Ordering two strings by code value: bytes, UTF-16 units or packed characters, as they
// are, after the one-to-one uppercase (PL_IGNORE_CASE_SIMPLE) or after the full
// uppercase mapping with its expansions (any other accepted flag).
#pragma once

#include <cstdint>

#include "charset/navigation/text_rules.h"
#include "frame/handle.h"
#include "polyloc.h"

namespace pl {

inline constexpr int32_t kCompareFlags =
    PL_COUNT_CHARS | PL_IGNORE_CASE_SIMPLE | PL_IGNORE_CASE;

// Flags are accepted ones. Lengths below 0 mean NUL-terminated. Full folding allocates;
// when it cannot, the handle's error field becomes PL_ERR_NO_MEMORY and the result is 0.
int32_t compare_strings(PLLocale &handle, const TextRules &rules, const char *s1,
                        PLState state1, int32_t len1, const char *s2, PLState state2,
                        int32_t len2, int32_t flags);
int32_t compare_units(PLLocale &handle, const PLUChar *s1, int32_t len1, const PLUChar *s2,
                      int32_t len2, int32_t flags);
int32_t compare_packed(PLLocale &handle, const PLWChar *s1, int32_t len1, const PLWChar *s2,
                       int32_t len2, int32_t flags);

}  // namespace pl
