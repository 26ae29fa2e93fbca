// Writing a stream: bytes go to the callback until it has taken them all; what a
// failing callback did not take stays held for the next write or flush.
#pragma once

#include <cstddef>
#include <cstdint>

#include "stream/stream_object.h"

namespace pl {

// Calls the callback until it has taken `count` bytes (0 asks to be called again);
// the number taken before it failed, or `count`. The callback may scribble on
// `bytes`: they are the library's own copy.
size_t hand_over(PLStream &stream, uint8_t *bytes, size_t count);

// Hands the held bytes to the callback, then `count` bytes of one character. PL_OK;
// 65 when the callback failed and every byte it did not take is now held; 40 when
// those would pass the 80 held bytes: then the held bytes not taken stay held and the
// character is dropped whole.
Code write_bytes(PLStream &stream, uint8_t *bytes, size_t count);

// Hands the held bytes to the callback; on failure they are dropped and 62 returned.
Code flush_held(PLStream &stream);

}  // namespace pl
