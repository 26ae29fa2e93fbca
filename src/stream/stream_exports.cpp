// PLOpenStreamEx, PLOpenStream, PLCloseStream, PLFlushStream.
#include "charset/charset_view.h"
#include "frame/memory.h"
#include "stream/stream_object.h"
#include "stream/stream_output.h"

namespace pl {
namespace {

constexpr int32_t kDefaultReadBuffer = 1024;

// Ends the output of a write stream: its held bytes, then a shift-in byte when the
// text was left shifted. Keeps the first failure.
Code finish_output(PLStream &stream, const PLLocale &handle) {
  Code code = flush_held(stream);
  if (is_unbound(&handle) || (handle.flags & kHandleStateful) == 0 || stream.output_state == 0)
    return code;
  uint8_t shift_in = CharsetView(*handle.codeset).shift_in_byte();
  bool written = hand_over(stream, &shift_in, 1) == 1;
  stream.output_state = 0;
  return code == PL_OK && !written ? PL_ERR_STREAM_WRITE : code;
}

}  // namespace
}  // namespace pl

extern "C" {

PL_API PLStream *PLOpenStreamEx(PLLocale *locale, PLStreamCallback callback, void *context,
                                int32_t bufferSize, int32_t direction) {
  PLLocale *handle = pl::enter(locale);
  if (callback == nullptr || (direction != PL_STREAM_READ && direction != PL_STREAM_WRITE)) {
    handle->last_error = PL_ERR_ARGUMENT;
    return nullptr;
  }
  PLStream *stream = pl::create<PLStream>();
  if (stream == nullptr) {
    handle->last_error = PL_ERR_NO_MEMORY;
    return nullptr;
  }
  stream->callback = callback;
  stream->context = context;
  stream->direction = direction == PL_STREAM_READ ? pl::kReadStream : pl::kWriteStream;
  if (stream->direction == pl::kReadStream) {
    stream->read_buffer_size = bufferSize > 0 ? bufferSize : pl::kDefaultReadBuffer;
    stream->read_buffer = static_cast<uint8_t *>(pl::allocate(static_cast<size_t>(stream->read_buffer_size)));
    if (stream->read_buffer == nullptr) {
      pl::release(stream);
      handle->last_error = PL_ERR_NO_MEMORY;
      return nullptr;
    }
    stream->read_position = stream->data_end = stream->read_buffer;
  }
  return stream;
}

PL_API PLStream *PLOpenStream(PLLocale *locale, PLStreamCallback callback, void *context,
                              int32_t direction) {
  return PLOpenStreamEx(locale, callback, context, 1, direction);
}

PL_API int32_t PLCloseStream(PLStream *stream, PLLocale *locale) {
  PLLocale *handle = pl::enter(locale);
  if (stream == nullptr) {
    handle->last_error = PL_ERR_ARGUMENT;
    return 0;
  }
  pl::Code code = PL_OK;
  if (stream->direction == pl::kReadStream)
    code = pl::release(stream->read_buffer) ? PL_OK : PL_ERR_FREE;
  else
    code = pl::finish_output(*stream, *handle);
  if (!pl::release(stream) && code == PL_OK) code = PL_ERR_FREE;
  handle->last_error = code;
  return code == PL_OK ? 1 : 0;
}

PL_API int32_t PLFlushStream(PLStream *stream, PLLocale *locale) {
  PLLocale *handle = pl::enter(locale);
  if (stream == nullptr) {
    handle->last_error = PL_ERR_ARGUMENT;
    return 0;
  }
  if (stream->direction == pl::kWriteStream && pl::flush_held(*stream) != PL_OK) {
    handle->last_error = PL_ERR_STREAM_FLUSH;
    return 0;
  }
  stream->read_position = stream->data_end = stream->read_buffer;
  stream->held_count = 0;
  return 1;
}

}  // extern "C"
