// UTF-16 to a code set (PLUnicodeToString and its forms) and packed characters to
// bytes (PLWideToMb and its Ex form).
#include "charset/conversion/run_conversion.h"
#include "charset/conversion/string_conversions.h"

namespace pl {
namespace {

uint8_t *bytes_of(char *text) { return reinterpret_cast<uint8_t *>(text); }

// A stateful code set converts every unit alone.
bool pairs_units(const Encoder &encoder) { return !encoder.stateful(); }

}  // namespace

int32_t unicode_to_string(PLLocale *handle, char *dst, PLState state, int32_t size,
                          const PLUChar *src, int32_t units, int32_t flags, Path path) {
  if (!check_flags(handle, flags, kTerminate | kCountChars) ||
      !check_buffer(handle, dst, size > 0 ? size : 0) || !check_buffer(handle, src, units))
    return -1;
  bool count_chars = (flags & kCountChars) != 0;
  SourceSpan span = unit_span(src, units);
  Encoder encoder(codeset_of(handle), path_for(span.units, path));
  UnitSource source(src, span, pairs_units(encoder));
  ByteSink sink(encoder.set(), bytes_of(dst), room_of(size, flags & kTerminate, count_chars), state,
                count_chars);
  EncodeMap map{encoder};
  bool reserved = (flags & kTerminate) && size > 0;
  handle->last_error =
      run_conversion(source, sink, map, encoder.fast(), reserved, Close::always).code;
  return count_of(sink.result());
}

int32_t unicode_to_string_w(PLLocale *handle, PLWChar *dst, int32_t count, const PLUChar *src,
                            int32_t units, int32_t flags, Path path) {
  if (!check_flags(handle, flags, kTerminate | kCountChars) ||
      !check_buffer(handle, dst, count > 0 ? count : 0) || !check_buffer(handle, src, units))
    return -1;
  SourceSpan span = unit_span(src, units);
  Encoder encoder(codeset_of(handle), path_for(span.units, path));
  UnitSource source(src, span, pairs_units(encoder));
  PackedSink sink(dst, room_of(count, flags & kTerminate, false));
  EncodeMap map{encoder};
  bool reserved = (flags & kTerminate) && count > 0;
  handle->last_error =
      run_conversion(source, sink, map, encoder.fast(), reserved, Close::never).code;
  return count_of(sink.result());
}

int32_t unicode_to_string_enhanced(PLLocale *handle, char *dst, PLState state, EnhancedRoom room,
                                   const PLUChar *src, int32_t units, EnhancedWritten out,
                                   int32_t flags, Path path) {
  if (out.units_read) *out.units_read = 0;
  if (out.chars) *out.chars = 0;
  if (out.state) *out.state = state;
  if (!check_flags(handle, flags, kTerminate)) return -1;
  if (room.bytes < 1 || room.chars < 1) return 0;
  if (!check_buffer(handle, dst, room.bytes) || !check_buffer(handle, src, units)) return -1;
  SourceSpan span = unit_span(src, units);
  Encoder encoder(codeset_of(handle), path_for(span.units, path));
  // A single-byte code set takes one byte per unit, surrogates included.
  bool pairing = pairs_units(encoder) && !(handle->flags & kHandleSingleByte);
  UnitSource source(src, span, pairing);
  SinkRoom limits = room_of(room.bytes, flags & kTerminate, false);
  limits.chars = static_cast<size_t>(room.chars);
  ByteSink sink(encoder.set(), bytes_of(dst), limits, state, false);
  EncodeMap map{encoder};
  Converted done = run_conversion(source, sink, map, encoder.fast(), flags & kTerminate,
                                  Close::with_terminator);
  handle->last_error = done.code;
  if (out.units_read) *out.units_read = count_of(source.read() + done.nul_written);
  if (out.chars) *out.chars = count_of(sink.chars());
  if (out.state) *out.state = sink.state();
  return count_of(sink.result());
}

int32_t unicode_to_string_enhanced_w(PLLocale *handle, PLWChar *dst, int32_t count,
                                     const PLUChar *src, int32_t units, int32_t *units_read,
                                     int32_t flags, Path path) {
  if (units_read) *units_read = 0;
  if (!check_flags(handle, flags, kTerminate)) return -1;
  if (count < 1) return 0;
  if (!check_buffer(handle, dst, count) || !check_buffer(handle, src, units)) return -1;
  SourceSpan span = unit_span(src, units);
  Encoder encoder(codeset_of(handle), path_for(span.units, path));
  UnitSource source(src, span, pairs_units(encoder));
  PackedSink sink(dst, room_of(count, flags & kTerminate, false));
  EncodeMap map{encoder};
  Converted done = run_conversion(source, sink, map, encoder.fast(), flags & kTerminate,
                                  Close::never);
  handle->last_error = done.code;
  if (units_read) *units_read = count_of(source.read() + done.nul_written);
  return count_of(sink.result());
}

int32_t wide_to_mb(PLLocale *handle, char *dst, PLState state, int32_t size, const PLWChar *src,
                   int32_t count, int32_t flags) {
  if (!check_flags(handle, flags, kCountChars) || !check_buffer(handle, dst, size > 0 ? size : 0) ||
      !check_buffer(handle, src, count))
    return -1;
  bool count_chars = (flags & kCountChars) != 0;
  // Up to and including the 0 element: it is converted as a character of its own.
  SourceSpan span = packed_span(src, count);
  if (span.nul) span = {span.units + 1, kNoLimit, false};
  Decoder decoder(codeset_of(handle), Path::reference);
  PackedSource source(decoder, src, span);
  ByteSink sink(CharsetView(codeset_of(handle)), bytes_of(dst), room_of(size, false, count_chars),
                state, count_chars);
  SameMap map;
  handle->last_error = run_conversion(source, sink, map, false, false, Close::never).code;
  return count_of(sink.result());
}

}  // namespace pl
