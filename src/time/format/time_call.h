// The steps every time formatting export takes around the walk: resolve the handle,
// check the arguments and sizes, walk, end a shifted output, terminate, and, when
// sizes count characters, copy the whole characters that fit out of the stack buffer
// the walk wrote into.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <type_traits>

#include "charset/navigation/char_count.h"
#include "format/printf/printf_call.h"
#include "string/ops/char_copy.h"
#include "time/format/time_direct.h"

namespace pl::time_format {

// Flags beside PL_COUNT_CHARS: the territory's items, the terminator, the line ends
// of %n.
inline constexpr int32_t kTimeFlags = kFromTerritory | PL_TERMINATE | 0x0F00;

// Output under PL_COUNT_CHARS is made here first; its capacity is six bytes a
// character, at most the whole buffer.
inline constexpr int32_t kCharModeBuffer = 512;
inline constexpr int32_t kCharModeBytesPerChar = 6;

struct TimeStates {
  PLState out;
  PLState format;
};

inline int32_t fail(PLLocale *handle, int32_t code, int32_t result) {
  handle->last_error = code;
  return result;
}

// Closes a terminated Ex output that ends in the double-byte state: a full output loses
// its last character, then a shift-out that ends it goes, or else a shift-in follows.
// Returns the new length.
inline size_t close_shifted(const CharsetView &set, char *out, size_t written, size_t capacity) {
  size_t width = state_char_length(set, kShiftedState);
  if (written == capacity) {
    if (written < width) return written;  // a shifted start with no room at all
    written -= width;
  }
  char shift_out = static_cast<char>(set.shift_out_byte());
  if (written > 0 && out[written - 1] == shift_out) return written - 1;
  out[written] = static_cast<char>(set.shift_in_byte());
  return written + 1;
}

// Copies the whole characters of `text` that fit in `chars` characters to `out`,
// closing a shifted end with a shift-in: the characters copied, the bytes written, and
// whether characters were left behind.
struct CharCopy {
  size_t chars;
  size_t bytes;
  bool cut;
};
inline CharCopy copy_characters(const TextRules &rules, char *out, PLState state,
                                const char *text, size_t length, size_t chars) {
  Copied copied = copy_chars(rules, reinterpret_cast<uint8_t *>(out), state, length, chars,
                             reinterpret_cast<const uint8_t *>(text), length, state);
  size_t bytes = copied.bytes;
  bool cut = num_chars(rules, text, state, static_cast<int32_t>(length)) >
             static_cast<int32_t>(copied.chars);
  if (rules.shift_rule && copied.state != kSingleByteState)
    out[bytes++] = static_cast<char>(rules.set.shift_in_byte());
  return {copied.chars, bytes, cut};
}

template <class Form>
int32_t time_call(PLLocale *locale, const std::tm *time, typename Form::Element *out,
                  int32_t out_size, const typename Form::Element *format, int32_t format_length,
                  int32_t flags, TimeStates states) {
  using T = typename Form::Element;
  constexpr bool kBytes = sizeof(T) == 1;
  PLLocale *handle = resolve(locale);
  if (is_unbound(handle) || time == nullptr || format == nullptr)
    return fail(handle, PL_ERR_ARGUMENT, -1);
  bool count_chars = kBytes && (flags & PL_COUNT_CHARS) != 0;
  int64_t capacity = out_size;
  if (count_chars) {
    if (out_size <= 0) return fail(handle, PL_ERR_BUFFER_TOO_SMALL, 0);
    capacity = std::min<int64_t>(int64_t{out_size} * kCharModeBytesPerChar, kCharModeBuffer);
  }
  flags &= ~PL_COUNT_CHARS;
  if ((flags & ~kTimeFlags) != 0) return fail(handle, PL_ERR_ARGUMENT, -1);
  if (capacity <= 0) return fail(handle, PL_ERR_BUFFER_TOO_SMALL, 0);
  if (out == nullptr) return fail(handle, PL_ERR_ARGUMENT, -1);
  bool terminate = (flags & PL_TERMINATE) != 0;
  if (terminate) --capacity;
  if constexpr (std::is_same_v<Form, ByteTimeForm>) {
    if (!count_chars && DirectWalk::applies(*handle)) {
      DirectWalk direct(*handle, *time, out, static_cast<size_t>(capacity), flags);
      if (char *end = direct.run(format, format_length)) {
        size_t written = static_cast<size_t>(end - out);
        if (terminate) out[written++] = 0;
        handle->last_error = PL_OK;
        return static_cast<int32_t>(written);
      }
    }
  }
  size_t length = format_length < 0 ? element_length(format)
                                     : element_length_within(format, format_length);
  Form form(*handle, states.format, states.out);
  if (count_chars && format_length > 0) {
    // Sizes count characters: a format cut inside a character ends before it.
    const char *bytes = reinterpret_cast<const char *>(format);
    Position end = move_pointer(form.rules, bytes, states.format, format_length, true);
    length = element_length_within(format, static_cast<int32_t>(end.at - bytes));
  }

  T buffer[kBytes ? kCharModeBuffer : 1];
  T *target = count_chars ? buffer : out;
  auto sink = form.sink(target, static_cast<int32_t>(capacity));
  int32_t code = PL_OK;
  if (length > 0) {
    TimeWriter<Form> writer(form, sink, static_cast<size_t>(capacity), *time, flags);
    auto cursor = form.cursor(format, length);
    code = writer.walk(cursor);
    if (code != PL_OK && code != PL_ERR_BUFFER_TOO_SMALL) return fail(handle, code, -1);
  }
  size_t written = sink.written();
  size_t result = written;
  if (count_chars) {
    size_t chars = static_cast<size_t>(out_size) - (terminate ? 1 : 0);
    if constexpr (kBytes) {
      CharCopy copied = copy_characters(form.rules, out, states.out, buffer, written, chars);
      if (copied.cut) code = PL_ERR_BUFFER_TOO_SMALL;
      written = copied.bytes;
      result = copied.chars;
    }
  } else if (terminate && !sink.single_byte_mode()) {
    if constexpr (kBytes)
      written = result = close_shifted(form.rules.set, out, written, static_cast<size_t>(capacity));
  }
  if (terminate) {
    out[written] = 0;
    ++result;
  }
  handle->last_error = code;
  return static_cast<int32_t>(result);
}

}  // namespace pl::time_format
