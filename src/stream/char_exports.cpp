// PLReadCharU, PLReadCharW, PLUngetChar, PLWriteChar and their forms.
#include "charset/navigation/char_walk.h"
#include "charset/shift_rule.h"
#include "stream/stream_input.h"
#include "stream/stream_output.h"

namespace pl {
namespace {

// A character's bytes, with room for the shift byte the Ex writer puts in front.
struct CharBytes {
  uint8_t bytes[5];
  uint8_t count;
  uint8_t state;  // the state the character is in
};

// The character at `c`: by the length rule, or behind its shift run under the shift
// rule. It ends at the NUL, and a NUL first is the NUL character.
CharBytes char_at(const TextRules &rules, const char *c, PLState state) {
  const uint8_t *s = reinterpret_cast<const uint8_t *>(c);
  Step step = terminated_step(rules, s, state);
  CharBytes out{{}, step.length.bytes > 0 ? step.length.bytes : uint8_t{1},
                static_cast<uint8_t>(step.state)};
  for (uint8_t i = 0; i < out.count; ++i) out.bytes[i] = s[step.shift_bytes + i];
  return out;
}

CharBytes packed_bytes(PLWChar c) {
  PackedBytes unpacked = unpack_char(c);
  CharBytes out{{}, unpacked.count, 0};
  for (uint8_t i = 0; i < out.count; ++i) out.bytes[i] = unpacked.bytes[i];
  return out;
}

CharBytes unit_bytes(PLUChar c) {
  return {{static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>(c >> 8)}, 2, 0};
}

// The output state behind a character written without a state of its own: a shift
// byte written as a character of a stateful code set switches it.
uint8_t state_behind(const TextRules &rules, const CharBytes &c, uint8_t state) {
  if (!rules.shift_rule || c.count != 1) return state;
  ShiftRun run = skip_shift_run(rules.set, c.bytes, 1, state);
  return static_cast<uint8_t>(run.state);
}

// The Ex writer: a shift byte first when the character's state is not the output's.
CharBytes with_shift(const TextRules &rules, CharBytes c, uint8_t output_state) {
  if (!rules.shift_rule || c.state == output_state) return c;
  for (uint8_t i = c.count; i > 0; --i) c.bytes[i] = c.bytes[i - 1];
  c.bytes[0] = c.state == kSingleByteState ? rules.set.shift_in_byte() : rules.set.shift_out_byte();
  ++c.count;
  return c;
}

int32_t write(PLLocale *handle, PLStream &stream, CharBytes c, uint8_t state_after) {
  Code code = write_bytes(stream, c.bytes, c.count);
  // Held bytes still go out, in order; a dropped character changes nothing.
  if (code != PL_ERR_BUFFER_TOO_SMALL) stream.output_state = state_after;
  handle->last_error = code;
  return code == PL_OK ? 1 : 0;
}

int32_t push(PLLocale *handle, PLStream &stream, const TextRules &rules, const CharBytes &c) {
  handle->last_error = push_back(stream, rules, c.bytes, c.count);
  return handle->last_error == PL_OK ? 1 : 0;
}

// The handle of a call that reads or writes characters of the code set, with its
// stream; null when either is missing or the stream goes the other way.
PLStream *bound_stream(PLLocale *&handle, PLLocale *locale, PLStream *stream, uint8_t direction) {
  handle = bound_handle(locale);
  return handle != nullptr ? directed(handle, stream, direction) : nullptr;
}

// bound_stream for a call that takes a character by pointer, which must not be null.
PLStream *char_stream(PLLocale *&handle, PLLocale *locale, PLStream *stream, uint8_t direction,
                      const char *c) {
  if (bound_stream(handle, locale, stream, direction) == nullptr) return nullptr;
  if (c != nullptr) return stream;
  handle->last_error = PL_ERR_ARGUMENT;
  return nullptr;
}

}  // namespace
}  // namespace pl

extern "C" {

PL_API PLUChar PLReadCharU(PLStream *stream, PLLocale *locale) {
  PLLocale *handle = pl::enter(locale);
  if (pl::directed(handle, stream, pl::kReadStream) == nullptr) return 0xFFFF;
  pl::StreamChar unit = pl::read_unit(*stream);
  handle->last_error = unit.code;
  return unit.length != 0 ? static_cast<PLUChar>(unit.packed) : PLUChar{0xFFFF};
}

PL_API PLWChar PLReadCharW(PLStream *stream, PLLocale *locale) {
  PLLocale *handle;
  if (pl::bound_stream(handle, locale, stream, pl::kReadStream) == nullptr)
    return static_cast<PLWChar>(-1);
  pl::StreamChar c = pl::read_char(*stream, pl::text_rules(*handle, true));
  if (c.length != 0) return c.packed;
  handle->last_error = c.code;
  return static_cast<PLWChar>(-1);
}

PL_API int32_t PLUngetChar(PLStream *stream, PLLocale *locale, const char *c) {
  PLLocale *handle;
  if (pl::char_stream(handle, locale, stream, pl::kReadStream, c) == nullptr) return 0;
  return pl::push(handle, *stream, pl::text_rules(*handle, true),
                  pl::char_at(pl::text_rules(*handle, false), c, 0));
}

PL_API int32_t PLUngetCharEx(PLStream *stream, PLLocale *locale, const char *c, PLState state) {
  PLLocale *handle;
  if (pl::char_stream(handle, locale, stream, pl::kReadStream, c) == nullptr) return 0;
  pl::TextRules rules = pl::text_rules(*handle, true);
  return pl::push(handle, *stream, rules, pl::char_at(rules, c, state));
}

PL_API int32_t PLUngetCharU(PLStream *stream, PLLocale *locale, PLUChar c) {
  PLLocale *handle = pl::enter(locale);
  if (pl::directed(handle, stream, pl::kReadStream) == nullptr) return 0;
  // Raw units know no shift states.
  pl::CharBytes bytes = pl::unit_bytes(c);
  handle->last_error = pl::hold_in_front(*stream, bytes.bytes, bytes.count) ? PL_OK
                                                                            : PL_ERR_BUFFER_TOO_SMALL;
  return handle->last_error == PL_OK ? 1 : 0;
}

PL_API int32_t PLUngetCharW(PLStream *stream, PLLocale *locale, PLWChar c) {
  PLLocale *handle;
  if (pl::bound_stream(handle, locale, stream, pl::kReadStream) == nullptr) return 0;
  return pl::push(handle, *stream, pl::text_rules(*handle, true), pl::packed_bytes(c));
}

PL_API int32_t PLWriteChar(PLStream *stream, PLLocale *locale, const char *c) {
  PLLocale *handle;
  if (pl::char_stream(handle, locale, stream, pl::kWriteStream, c) == nullptr) return 0;
  pl::CharBytes bytes = pl::char_at(pl::text_rules(*handle, false), c, 0);
  return pl::write(handle, *stream, bytes,
                   pl::state_behind(pl::text_rules(*handle, true), bytes, stream->output_state));
}

PL_API int32_t PLWriteCharEx(PLStream *stream, PLLocale *locale, const char *c, PLState state) {
  PLLocale *handle;
  if (pl::char_stream(handle, locale, stream, pl::kWriteStream, c) == nullptr) return 0;
  pl::TextRules rules = pl::text_rules(*handle, true);
  pl::CharBytes bytes = pl::char_at(rules, c, state);
  if (!rules.shift_rule)
    return pl::write(handle, *stream, bytes, stream->output_state);
  return pl::write(handle, *stream, pl::with_shift(rules, bytes, stream->output_state), bytes.state);
}

PL_API int32_t PLWriteCharU(PLStream *stream, PLLocale *locale, PLUChar c) {
  PLLocale *handle = pl::enter(locale);
  if (pl::directed(handle, stream, pl::kWriteStream) == nullptr) return 0;
  return pl::write(handle, *stream, pl::unit_bytes(c), stream->output_state);
}

PL_API int32_t PLWriteCharW(PLStream *stream, PLLocale *locale, PLWChar c) {
  PLLocale *handle;
  if (pl::bound_stream(handle, locale, stream, pl::kWriteStream) == nullptr) return 0;
  pl::CharBytes bytes = pl::packed_bytes(c);
  return pl::write(handle, *stream, bytes,
                   pl::state_behind(pl::text_rules(*handle, true), bytes, stream->output_state));
}

}  // extern "C"
