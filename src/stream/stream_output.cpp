#include "stream/stream_output.h"

namespace pl {

size_t hand_over(PLStream &stream, uint8_t *bytes, size_t count) {
  size_t taken = 0;
  while (taken < count) {
    int32_t n = stream.callback(stream.context, bytes + taken, static_cast<int32_t>(count - taken));
    if (n < 0) break;
    // A callback that claims more than it was offered took what it was offered.
    taken += static_cast<size_t>(n) < count - taken ? static_cast<size_t>(n) : count - taken;
  }
  return taken;
}

Code write_bytes(PLStream &stream, uint8_t *bytes, size_t count) {
  size_t taken = hand_over(stream, stream.held, stream.held_count);
  if (taken < stream.held_count) {
    drop_held(stream, taken);
    return hold_behind(stream, bytes, count) ? PL_ERR_STREAM_WRITE : PL_ERR_BUFFER_TOO_SMALL;
  }
  stream.held_count = 0;
  taken = hand_over(stream, bytes, count);
  if (taken == count) return PL_OK;
  hold_behind(stream, bytes + taken, count - taken);
  return PL_ERR_STREAM_WRITE;
}

Code flush_held(PLStream &stream) {
  size_t taken = hand_over(stream, stream.held, stream.held_count);
  bool all = taken == stream.held_count;
  stream.held_count = 0;
  return all ? PL_OK : PL_ERR_STREAM_FLUSH;
}

}  // namespace pl
