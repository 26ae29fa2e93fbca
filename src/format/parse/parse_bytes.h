// The code-set entries of the number parsers with the path they take: the exports take
// the fast path, a byte walk where it applies; the reference path always runs the
// tokenizer. Tests run both and compare.
#pragma once

#include <cstdint>

#include "charset/conversion/path.h"
#include "polyloc.h"

namespace pl {

// PLStringToLong (PLStringToLongEx with `ex_form`).
int32_t string_to_long(PLLocale *locale, const char *text, PLState state, int32_t length,
                       char **end, PLState *end_state, bool ex_form, int32_t base,
                       int32_t flags, Path path);

// PLStringToDouble (PLStringToDoubleEx with `ex_form`).
double string_to_double(PLLocale *locale, const char *text, PLState state, int32_t length,
                        char **end, PLState *end_state, bool ex_form, int32_t flags, Path path);

}  // namespace pl
