// Between the code sets of two locales: PLConvertString and its forms.
#include "charset/conversion/run_conversion.h"
#include "charset/conversion/string_conversions.h"

namespace pl {
namespace {

uint32_t replacement_value(const Encoder &encoder) {
  return encoder.set().byte_unicode(encoder.replacement());
}

Code conversion_code(const Converted &done, const AcrossMap &map) {
  if (done.code != PL_OK) return done.code;
  return map.replaced ? PL_WARN_REPLACED : PL_OK;
}

}  // namespace

int32_t convert_string(PLLocale *target, char *dst, PLState target_state, int32_t size,
                       PLLocale *source_handle, const char *src, PLState source_state,
                       int32_t length, int32_t flags, Path path) {
  if (!check_flags(target, flags, kTerminate | kCountChars) ||
      !check_buffer(target, dst, size > 0 ? size : 0) || !check_buffer(target, src, length))
    return -1;
  if (size <= 0) return 0;
  if (length == 0) {
    if (!(flags & kTerminate)) return 0;
    dst[0] = '\0';
    return 1;
  }
  bool count_chars = (flags & kCountChars) != 0;
  const ControlEntry &from = codeset_of(source_handle);
  SourceSpan span =
      byte_span(Decoder(from, Path::reference), src, length, count_chars, source_state);
  Path chosen = path_for(span.units, path);
  Decoder decoder(from, chosen);
  Encoder encoder(codeset_of(target), chosen);
  ByteSource source(decoder, reinterpret_cast<const uint8_t *>(src), span, source_state);
  ByteSink sink(encoder.set(), reinterpret_cast<uint8_t *>(dst),
                room_of(size, flags & kTerminate, count_chars), target_state, count_chars);
  AcrossMap map{encoder, replacement_value(encoder)};
  Converted done = run_conversion(source, sink, map, chosen == Path::fast, flags & kTerminate,
                                  Close::with_terminator);
  target->last_error = conversion_code(done, map);
  return count_of(sink.result());
}

int32_t convert_string_w(PLLocale *target, PLWChar *dst, int32_t count, PLLocale *source_handle,
                         const PLWChar *src, int32_t src_count, int32_t flags, Path path) {
  if (!check_flags(target, flags, kTerminate | kCountChars) ||
      !check_buffer(target, dst, count > 0 ? count : 0) || !check_buffer(target, src, src_count))
    return -1;
  SourceSpan span = packed_span(src, src_count);
  Path chosen = path_for(span.units, path);
  Decoder decoder(codeset_of(source_handle), chosen);
  Encoder encoder(codeset_of(target), chosen);
  PackedSource source(decoder, src, span);
  PackedSink sink(dst, room_of(count, flags & kTerminate, false));
  AcrossMap map{encoder, replacement_value(encoder)};
  bool reserved = (flags & kTerminate) && count > 0;
  Converted done =
      run_conversion(source, sink, map, chosen == Path::fast, reserved, Close::never);
  target->last_error = conversion_code(done, map);
  return count_of(sink.result());
}

}  // namespace pl
