// Collation and sort keys in the four forms, on resolved handles that have a code set.
// Flags are checked by the caller (collation_flags_accepted). Results and codes as the
// exports give them: out of memory stores PL_ERR_NO_MEMORY in the handle and gives 0
// (collation) or -1 (keys).
#pragma once

#include <cstdint>

#include "charset/navigation/text_rules.h"
#include "frame/handle.h"
#include "polyloc.h"

namespace pl {

// 0, PL_IGNORE_CASE or PL_IGNORE_WIDTH, each optionally with PL_COUNT_CHARS.
bool collation_flags_accepted(int32_t flags);

// Base and Ex forms: `rules` carries the shift rule for the Ex forms of stateful sets.
int32_t collate_strings(PLLocale &handle, const TextRules &rules, const char *s1,
                        PLState state1, int32_t len1, const char *s2, PLState state2,
                        int32_t len2, int32_t flags);
int32_t collate_units(PLLocale &handle, const PLUChar *s1, int32_t len1, const PLUChar *s2,
                      int32_t len2, int32_t flags);
int32_t collate_packed(PLLocale &handle, const PLWChar *s1, int32_t len1, const PLWChar *s2,
                       int32_t len2, int32_t flags);

int32_t string_key(PLLocale &handle, const TextRules &rules, char *dst, int32_t dst_size,
                   const char *src, PLState state, int32_t len, int32_t flags);
int32_t units_key(PLLocale &handle, char *dst, int32_t dst_size, const PLUChar *src, int32_t len,
                  int32_t flags);
int32_t packed_key(PLLocale &handle, char *dst, int32_t dst_size, const PLWChar *src,
                   int32_t len, int32_t flags);

}  // namespace pl
