#include "charset/conversion/spans.h"

#include <cstring>

namespace pl {

bool check_flags(PLLocale *handle, int32_t flags, int32_t allowed) {
  if ((flags & ~allowed) == 0) return true;
  handle->last_error = PL_ERR_ARGUMENT;
  return false;
}

bool check_buffer(PLLocale *handle, const void *buffer, int32_t size) {
  if (buffer != nullptr || size == 0) return true;
  handle->last_error = PL_ERR_ARGUMENT;
  return false;
}

SourceSpan byte_span(const Decoder &decoder, const char *text, int32_t length, bool count_chars,
                     PLState state) {
  if (length < 0) return {std::strlen(text), kNoLimit, true};
  if (!count_chars) return {static_cast<size_t>(length), kNoLimit, false};
  const uint8_t *s = reinterpret_cast<const uint8_t *>(text);
  return {decoder.bytes_of_chars(s, static_cast<size_t>(length), state),
          static_cast<size_t>(length), false};
}

SourceSpan unit_span(const PLUChar *text, int32_t count) {
  if (count >= 0) return {static_cast<size_t>(count), kNoLimit, false};
  size_t n = 0;
  while (text[n] != 0) ++n;
  return {n, kNoLimit, true};
}

SourceSpan packed_span(const PLWChar *text, int32_t count) {
  if (count >= 0) return {static_cast<size_t>(count), kNoLimit, false};
  size_t n = 0;
  while (text[n] != 0) ++n;
  return {n, kNoLimit, true};
}

SinkRoom room_of(int32_t size, bool terminate, bool count_chars) {
  size_t n = size > 0 ? static_cast<size_t>(size) - (terminate ? 1 : 0) : 0;
  if (count_chars) return {kNoLimit, n};
  return {n, kNoLimit};
}

Code cut_code(Next stop, bool nul_source, bool nul_written) {
  if (stop == Next::kFull || (nul_source && stop == Next::kEnd && !nul_written))
    return PL_ERR_BUFFER_TOO_SMALL;
  return PL_OK;
}

Path path_for(size_t units, Path wanted) {
  constexpr size_t kShortText = 32;
  return units < kShortText ? Path::reference : wanted;
}

}  // namespace pl
