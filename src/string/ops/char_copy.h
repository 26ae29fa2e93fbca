// Copying whole characters of a code set, with the shift bytes a stateful copy needs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/navigation/text_rules.h"
#include "polyloc.h"

namespace pl {

struct Copied {
  size_t bytes = 0;   // written, shift bytes included
  size_t chars = 0;   // characters written
  PLState state = 0;  // the mode at the end of the output
  struct {
    size_t at = 0;      // where the last character's shift run starts
    size_t shift = 0;   // the bytes of that run
    PLState before = 0; // the mode in front of it
  } last;
};

// Copies the whole characters of the `extent` bytes of `src` (from `src_state`) that
// fit in `byte_room` bytes and `char_room` characters of `dst`, which is in
// `dst_state` where it starts. Under the shift rule the source's leading shift run is
// skipped, one shift byte joins differing modes (only together with a character), the
// runs between characters are copied and a run that would end the copy is left out.
Copied copy_chars(const TextRules &rules, uint8_t *dst, PLState dst_state, size_t byte_room,
                  size_t char_room, const uint8_t *src, size_t extent, PLState src_state);

}  // namespace pl
