// The object behind PLStream: the caller's callback and context, the held bytes and,
// on read streams, the read buffer the callback fills.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "frame/handle.h"
#include "polyloc.h"

namespace pl {

inline constexpr size_t kHeldCapacity = 80;
inline constexpr uint8_t kReadStream = 0;
inline constexpr uint8_t kWriteStream = 1;

}  // namespace pl

struct PLStream {
  PLStreamCallback callback;
  void *context;
  uint8_t direction;     // pl::kReadStream or pl::kWriteStream
  uint8_t output_state;  // write streams: 1 while the output is shifted
  uint8_t input_state;   // read streams: the state the next unread byte is read in
  uint16_t held_count;
  // Read streams: pushed-back bytes, read before the read buffer. Write streams: bytes
  // the callback has not taken yet.
  uint8_t held[pl::kHeldCapacity];
  int32_t read_buffer_size;
  uint8_t *read_buffer;
  uint8_t *data_end;       // end of the bytes the callback delivered last
  uint8_t *read_position;  // next unread byte
  // The line reader's note on the last code set it read: its length table, and
  // whether that makes every byte below 0x80 a character.
  const uint8_t *noted_lengths;
  bool ascii_single;
};

namespace pl {

// The stream when it exists and goes the `direction` way; otherwise null with code 2
// (no stream) or 60 stored.
inline PLStream *directed(PLLocale *handle, PLStream *stream, uint8_t direction) {
  if (stream == nullptr) {
    handle->last_error = PL_ERR_ARGUMENT;
    return nullptr;
  }
  if (stream->direction == direction) return stream;
  handle->last_error = PL_ERR_STREAM_DIRECTION;
  return nullptr;
}

// Puts `count` bytes in front of the held ones; false, changing nothing, when they
// would not fit.
inline bool hold_in_front(PLStream &stream, const uint8_t *bytes, size_t count) {
  if (stream.held_count + count > kHeldCapacity) return false;
  std::memmove(stream.held + count, stream.held, stream.held_count);
  std::memcpy(stream.held, bytes, count);
  stream.held_count = static_cast<uint16_t>(stream.held_count + count);
  return true;
}

// Appends `count` bytes behind the held ones; false, changing nothing, when they would
// not fit.
inline bool hold_behind(PLStream &stream, const uint8_t *bytes, size_t count) {
  if (stream.held_count + count > kHeldCapacity) return false;
  std::memcpy(stream.held + stream.held_count, bytes, count);
  stream.held_count = static_cast<uint16_t>(stream.held_count + count);
  return true;
}

inline void drop_held(PLStream &stream, size_t count) {
  std::memmove(stream.held, stream.held + count, stream.held_count - count);
  stream.held_count = static_cast<uint16_t>(stream.held_count - count);
}

}  // namespace pl
