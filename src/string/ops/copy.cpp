// Copying and appending whole characters. One walk serves every code set: under the
// shift rule it skips the source's leading shift run, writes one shift byte where the
// source's mode differs from the destination's, copies the shift runs between
// characters and leaves out a run that would end the copy.
#include <algorithm>

#include "string/ops/char_copy.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_ops.h"
#include "string/ops/string_walk.h"

namespace pl {

Copied copy_chars(const TextRules &rules, uint8_t *dst, PLState dst_state, size_t byte_room,
                  size_t char_room, const uint8_t *src, size_t extent, PLState src_state) {
  Stepper step_at(rules);
  ShiftRun run = leading_run(rules, src, extent, src_state);
  size_t at = run.length;
  PLState mode = run.state;
  Copied out{};
  out.state = dst_state == kSingleByteState ? kSingleByteState : kShiftedState;
  if (mode != out.state) {
    // The joining shift byte goes only with a character behind it.
    Step first = step_at(src + at, extent - at, mode);
    if (first.length.rule == 0 || !first.length.complete() || char_room == 0 ||
        byte_room < 1u + first.length.rule)
      return out;
    dst[out.bytes++] = mode == kShiftedState ? rules.set.shift_out_byte()
                                             : rules.set.shift_in_byte();
    out.last = {0, 1, out.state};
    out.state = mode;
  }
  while (out.chars < char_room) {
    Step step = step_at(src + at, extent - at, out.state);
    if (step.length.rule == 0 || !step.length.complete()) break;
    size_t bytes = step.shift_bytes + step.length.rule;
    if (bytes > byte_room - out.bytes) break;
    std::memmove(dst + out.bytes, src + at, bytes);
    if (out.chars != 0 || out.bytes == 0) out.last = {out.bytes, step.shift_bytes, out.state};
    out.bytes += bytes;
    at += bytes;
    out.state = step.state;
    ++out.chars;
  }
  return out;
}

template <class T>
int32_t element_copy(T *dst, int32_t dst_size, const T *src, int32_t src_len) {
  if (src_len == 0 || dst_size < 1) return 0;
  size_t n = std::min(element_extent(src, src_len, true), static_cast<size_t>(dst_size));
  move_elements(dst, src, n);
  return static_cast<int32_t>(n);
}
template int32_t element_copy(PLUChar *, int32_t, const PLUChar *, int32_t);
template int32_t element_copy(PLWChar *, int32_t, const PLWChar *, int32_t);

template <class T>
int32_t element_append(T *dst, const T *src, int32_t count, bool terminate) {
  size_t dst_len = element_length(dst);
  if (count == 0) return static_cast<int32_t>(dst_len + 1);
  size_t taken = element_extent(src, count, false);
  move_elements(dst + dst_len, src, taken);
  size_t end = dst_len + taken;
  if (terminate || count < 0) dst[end++] = 0;
  return static_cast<int32_t>(end);
}
template int32_t element_append(PLUChar *, const PLUChar *, int32_t, bool);
template int32_t element_append(PLWChar *, const PLWChar *, int32_t, bool);

int32_t string_copy(const TextRules &rules, Path path, char *dst, PLState dst_state,
                    int32_t dst_size, const char *src, PLState src_state, int32_t src_len,
                    bool count_chars) {
  // A character count below -1 copies nothing, as a count below 1 is no bytes.
  if (src_len == 0 || dst_size < 1 || (count_chars && src_len < -1)) return 0;
  if (element_path(rules, path)) {
    // Every character is a byte, but a count of them still stops at the NUL.
    size_t extent = byte_extent(rules, src, src_state, src_len, count_chars, true);
    return element_copy(as_bytes(dst), dst_size, as_bytes(src), static_cast<int32_t>(extent));
  }
  size_t room = static_cast<size_t>(dst_size);
  Copied copied;
  if (count_chars) {
    // -1: every character and the NUL; a count: characters before the NUL.
    size_t extent = std::strlen(src) + (src_len < 0 ? 1 : 0);
    size_t chars = src_len < 0 ? room : std::min(room, static_cast<size_t>(src_len));
    copied = copy_chars(rules, as_bytes(dst), dst_state, kNoLimit, chars, as_bytes(src), extent,
                        src_state);
    return static_cast<int32_t>(copied.chars);
  }
  // The source's length bounds what is read, the size what is written (a joining
  // shift byte included).
  size_t extent = src_len < 0 ? std::strlen(src) + 1 : static_cast<size_t>(src_len);
  copied = copy_chars(rules, as_bytes(dst), dst_state, room, kNoLimit, as_bytes(src), extent,
                      src_state);
  return static_cast<int32_t>(copied.bytes);
}

int32_t string_append(const TextRules &rules, Path path, char *dst, PLState dst_state,
                      const char *src, PLState src_state, int32_t count, bool count_chars,
                      bool terminate) {
  size_t dst_len = std::strlen(dst);
  auto result = [&](size_t bytes) {
    size_t n = count_chars ? bytes_to_chars(rules, dst, dst_state, bytes) : bytes;
    return static_cast<int32_t>(n);
  };
  if (count == 0) return result(dst_len) + 1;
  size_t extent;
  if (count < 0) {
    extent = std::strlen(src);
    terminate = true;
  } else {
    extent = count_chars ? chars_to_bytes(rules, src, src_state, count).bytes
                         : static_cast<size_t>(count);
  }
  uint8_t *out = as_bytes(dst);
  if (element_path(rules, path)) {
    std::memmove(out + dst_len, src, extent);
    size_t end = dst_len + extent;
    if (terminate) out[end++] = 0;
    return result(end);
  }
  PLState mode = walk(rules, out, dst_len, dst_len, kNoCharLimit, dst_state).state;
  // A closing shift-in is taken back when something follows: the text goes on in the
  // mode it closed.
  bool reopen = rules.shift_rule && dst_len > 0 && out[dst_len - 1] == rules.set.shift_in_byte();
  size_t join = reopen ? dst_len - 1 : dst_len;
  Copied copied = copy_chars(rules, out + join, reopen ? kShiftedState : mode, kNoLimit, kNoLimit,
                             as_bytes(src), extent, src_state);
  size_t end = copied.bytes != 0 ? join + copied.bytes : dst_len;
  if (copied.bytes != 0) mode = copied.state;
  if (terminate) {
    if (rules.shift_rule && mode == kShiftedState) out[end++] = rules.set.shift_in_byte();
    out[end++] = 0;
  }
  return result(end);
}

}  // namespace pl
