// The resumable conversion between the code sets of two locales.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/conversion/path.h"
#include "frame/handle.h"

// Held input is the start of a character cut off by the end of the input; pending
// output is what did not fit in the output of the previous call.
struct PLConversion {
  PLLocale *source;  // as given; null follows the default handle
  uint8_t held[5];
  uint8_t input_state;
  uint8_t held_count;
  PLLocale *target;
  uint8_t pending[5];
  uint8_t output_state;
  uint8_t pending_count;
};

namespace pl {

// A new conversion, or null when there is no memory.
PLConversion *open_conversion(PLLocale *target, PLLocale *source);
// 0, or 21 when the free hook failed.
Code close_conversion(PLConversion *conversion);

// The most output bytes one input character can need.
int32_t conversion_ratio(const PLLocale *target, const PLLocale *source);

struct BufferResult {
  Code code;      // 0, 52 (output full) or 53 (input ends inside a character)
  bool replaced;  // a character had no equivalent and became the replacement byte
};

// Converts from `*in` (`*in_left` bytes) to `*out` (`*out_left` bytes), advancing
// all four, between the code sets of the resolved handles.
BufferResult convert_buffer(PLConversion *conversion, const PLLocale *target,
                            const PLLocale *source, uint8_t **out, size_t *out_left,
                            const uint8_t **in, size_t *in_left, Path path);

}  // namespace pl
