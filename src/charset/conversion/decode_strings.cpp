// Code set to UTF-16 (PLStringToUnicode and its forms) and to packed characters
// (PLMbToWide and its Ex form).
#include <cstring>

#include "charset/conversion/run_conversion.h"
#include "charset/conversion/string_conversions.h"

namespace pl {
namespace {

const uint8_t *bytes_of(const char *text) { return reinterpret_cast<const uint8_t *>(text); }

// The Enhanced limits: the smaller of a byte and a character count, either of them
// up to the NUL (-1) or not given (-2). Without a byte count the walk stops at a NUL.
SourceSpan enhanced_span(const Decoder &decoder, const char *src, EnhancedSource limits,
                         PLState state) {
  SourceSpan span;
  if (limits.bytes >= 0) span.units = static_cast<size_t>(limits.bytes);
  if (limits.chars >= 0) span.chars = static_cast<size_t>(limits.chars);
  bool to_nul = (limits.bytes < 0 && limits.bytes != -2) || (limits.chars < 0 && limits.chars != -2);
  if (to_nul) {
    size_t n = strnlen(src, span.units);
    if (n < span.units) span = {n, span.chars, true};
  } else if (limits.bytes == -2) {
    span.units = decoder.bytes_of_chars(bytes_of(src), span.chars, state);
  }
  return span;
}

// Multibyte text into UTF-16 units or packed characters: the one algorithm behind
// PLStringToUnicode and PLMbToWide.
template <class Sink, class Map, class Element>
int32_t decode_string(PLLocale *handle, Element *dst, int32_t dst_count, const char *src,
                      PLState state, int32_t length, int32_t flags, Path path) {
  if (!check_flags(handle, flags, kTerminate | kCountChars) ||
      !check_buffer(handle, dst, dst_count > 0 ? dst_count : 0) ||
      !check_buffer(handle, src, length))
    return -1;
  const ControlEntry &codeset = codeset_of(handle);
  SourceSpan span = byte_span(Decoder(codeset, Path::reference), src, length,
                              (flags & kCountChars) != 0, state);
  Decoder decoder(codeset, path_for(span.units, path));
  ByteSource source(decoder, bytes_of(src), span, state);
  Sink sink(dst, room_of(dst_count, flags & kTerminate, false));
  Map map;
  bool reserved = (flags & kTerminate) && dst_count > 0;
  handle->last_error =
      run_conversion(source, sink, map, decoder.fast(), reserved, Close::never).code;
  return count_of(sink.result());
}

}  // namespace

int32_t string_to_unicode(PLLocale *handle, PLUChar *dst, int32_t dst_units, const char *src,
                          PLState state, int32_t length, int32_t flags, Path path) {
  return decode_string<UnitSink, DecodeMap>(handle, dst, dst_units, src, state, length, flags, path);
}

int32_t string_to_unicode_w(PLLocale *handle, PLUChar *dst, int32_t dst_units, const PLWChar *src,
                            int32_t count, int32_t flags, Path path) {
  if (!check_flags(handle, flags, kTerminate | kCountChars) ||
      !check_buffer(handle, dst, dst_units > 0 ? dst_units : 0) ||
      !check_buffer(handle, src, count))
    return -1;
  SourceSpan span = packed_span(src, count);
  Decoder decoder(codeset_of(handle), path_for(span.units, path));
  PackedSource source(decoder, src, span);
  UnitSink sink(dst, room_of(dst_units, flags & kTerminate, false));
  DecodeMap map;
  bool reserved = (flags & kTerminate) && dst_units > 0;
  handle->last_error =
      run_conversion(source, sink, map, decoder.fast(), reserved, Close::never).code;
  return count_of(sink.result());
}

int32_t string_to_unicode_enhanced(PLLocale *handle, PLUChar *dst, int32_t dst_units,
                                   const char *src, PLState state, EnhancedSource limits,
                                   EnhancedRead read, int32_t flags, Path path) {
  if (read.units) *read.units = 0;
  if (read.chars) *read.chars = 0;
  if (read.state) *read.state = state;
  if (!check_flags(handle, flags, kTerminate)) return -1;
  if (limits.bytes == -2 && limits.chars == -2) {
    handle->last_error = PL_ERR_NOT_FOUND;
    return -1;
  }
  if (!check_buffer(handle, src, 1)) return -1;
  if (dst_units < 1) return 0;
  if (!check_buffer(handle, dst, dst_units)) return -1;
  const ControlEntry &codeset = codeset_of(handle);
  SourceSpan span = enhanced_span(Decoder(codeset, Path::reference), src, limits, state);
  Decoder decoder(codeset, path_for(span.units, path));
  ByteSource source(decoder, bytes_of(src), span, state);
  UnitSink sink(dst, room_of(dst_units, flags & kTerminate, false));
  DecodeMap map;
  Converted done = run_conversion(source, sink, map, decoder.fast(), flags & kTerminate,
                                  Close::never);
  handle->last_error = done.code;
  if (read.units) *read.units = count_of(source.read() + done.nul_written);
  if (read.chars) *read.chars = count_of(source.chars() + done.nul_written);
  if (read.state) *read.state = source.state();
  return count_of(sink.result());
}

int32_t string_to_unicode_enhanced_w(PLLocale *handle, PLUChar *dst, int32_t dst_units,
                                     const PLWChar *src, int32_t count, int32_t *chars_read,
                                     int32_t flags, Path path) {
  if (chars_read) *chars_read = 0;
  if (!check_flags(handle, flags, kTerminate)) return -1;
  if (count == -2) {
    handle->last_error = PL_ERR_NOT_FOUND;
    return -1;
  }
  if (!check_buffer(handle, src, count)) return -1;
  if (dst_units < 1) return 0;
  if (!check_buffer(handle, dst, dst_units)) return -1;
  SourceSpan span = packed_span(src, count);
  Decoder decoder(codeset_of(handle), path_for(span.units, path));
  PackedSource source(decoder, src, span);
  UnitSink sink(dst, room_of(dst_units, flags & kTerminate, false));
  DecodeMap map;
  Converted done = run_conversion(source, sink, map, decoder.fast(), flags & kTerminate,
                                  Close::never);
  handle->last_error = done.code;
  if (chars_read) *chars_read = count_of(source.chars() + done.nul_written);
  return count_of(sink.result());
}

int32_t mb_to_wide(PLLocale *handle, PLWChar *dst, int32_t count, const char *src, PLState state,
                   int32_t length, int32_t flags, Path path) {
  return decode_string<PackedSink, SameMap>(handle, dst, count, src, state, length, flags, path);
}

}  // namespace pl
