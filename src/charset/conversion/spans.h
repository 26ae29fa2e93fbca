// Argument handling shared by the string conversions: flag checks, how far a source
// is read, how much a destination takes, and the code a conversion leaves.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/conversion/decoder.h"
#include "charset/conversion/text_forms.h"
#include "frame/handle.h"

namespace pl {

// Flags `flags` within `allowed`; otherwise code 2 goes to the handle.
bool check_flags(PLLocale *handle, int32_t flags, int32_t allowed);

// A caller's pointer that must be there when its size is not 0; code 2 otherwise.
bool check_buffer(PLLocale *handle, const void *buffer, int32_t size);

// A source of bytes: `length` bytes, characters with `count_chars`, negative up to NUL.
SourceSpan byte_span(const Decoder &decoder, const char *text, int32_t length, bool count_chars,
                     PLState state);
// UTF-16 units or packed characters: `count` elements, negative up to the 0 element.
SourceSpan unit_span(const PLUChar *text, int32_t count);
SourceSpan packed_span(const PLWChar *text, int32_t count);

// Room of `size` units (characters with `count_chars` for bytes), one held back for
// the terminator with `terminate`. Sizes below 1 give no room.
SinkRoom room_of(int32_t size, bool terminate, bool count_chars);

// Code 40 when output was cut short: a character, or the source's NUL, did not fit.
Code cut_code(Next stop, bool nul_source, bool nul_written);

// The handle's code set is a table the conversions can read.
inline const ControlEntry &codeset_of(const PLLocale *handle) { return *handle->codeset; }

// The plain path for short texts, whose tables are not worth hoisting.
Path path_for(size_t units, Path wanted);

inline int32_t count_of(size_t n) { return static_cast<int32_t>(n); }

}  // namespace pl
