// The string conversions behind the exports, on resolved handles that are bound to a
// locale. Each returns what its export returns and leaves its code in the handle.
// The base forms are the Ex forms from the single-byte state.
#pragma once

#include <cstdint>

#include "charset/conversion/path.h"
#include "frame/handle.h"

namespace pl {

// Code set to UTF-16.
int32_t string_to_unicode(PLLocale *handle, PLUChar *dst, int32_t dst_units, const char *src,
                          PLState state, int32_t length, int32_t flags, Path path);
int32_t string_to_unicode_w(PLLocale *handle, PLUChar *dst, int32_t dst_units, const PLWChar *src,
                            int32_t count, int32_t flags, Path path);

// Source limits of the Enhanced forms: -1 up to the NUL, -2 not given.
struct EnhancedSource {
  int32_t bytes;
  int32_t chars;
};
struct EnhancedRead {
  int32_t *units;     // source units read (bytes, or elements of the W form)
  int32_t *chars;     // characters read
  PLState *state;     // state after the source (Ex form)
};
int32_t string_to_unicode_enhanced(PLLocale *handle, PLUChar *dst, int32_t dst_units,
                                   const char *src, PLState state, EnhancedSource limits,
                                   EnhancedRead read, int32_t flags, Path path);
int32_t string_to_unicode_enhanced_w(PLLocale *handle, PLUChar *dst, int32_t dst_units,
                                     const PLWChar *src, int32_t count, int32_t *chars_read,
                                     int32_t flags, Path path);

// UTF-16 to a code set.
int32_t unicode_to_string(PLLocale *handle, char *dst, PLState state, int32_t size,
                          const PLUChar *src, int32_t units, int32_t flags, Path path);
int32_t unicode_to_string_w(PLLocale *handle, PLWChar *dst, int32_t count, const PLUChar *src,
                            int32_t units, int32_t flags, Path path);

struct EnhancedRoom {
  int32_t bytes;
  int32_t chars;
};
struct EnhancedWritten {
  int32_t *units_read;
  int32_t *chars;     // characters written, terminator included
  PLState *state;     // state at the end of the output (Ex form)
};
int32_t unicode_to_string_enhanced(PLLocale *handle, char *dst, PLState state, EnhancedRoom room,
                                   const PLUChar *src, int32_t units, EnhancedWritten out,
                                   int32_t flags, Path path);
int32_t unicode_to_string_enhanced_w(PLLocale *handle, PLWChar *dst, int32_t count,
                                     const PLUChar *src, int32_t units, int32_t *units_read,
                                     int32_t flags, Path path);

// Between the code sets of two handles.
int32_t convert_string(PLLocale *target, char *dst, PLState target_state, int32_t size,
                       PLLocale *source, const char *src, PLState source_state, int32_t length,
                       int32_t flags, Path path);
int32_t convert_string_w(PLLocale *target, PLWChar *dst, int32_t count, PLLocale *source,
                         const PLWChar *src, int32_t src_count, int32_t flags, Path path);

// Bytes and packed characters of one code set (packed to bytes is only unpacking:
// it has no fast path).
int32_t mb_to_wide(PLLocale *handle, PLWChar *dst, int32_t count, const char *src, PLState state,
                   int32_t length, int32_t flags, Path path);
int32_t wide_to_mb(PLLocale *handle, char *dst, PLState state, int32_t size, const PLWChar *src,
                   int32_t count, int32_t flags);

}  // namespace pl
