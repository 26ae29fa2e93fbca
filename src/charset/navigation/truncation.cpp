#include "charset/navigation/truncation.h"

#include <cstring>

#include "charset/navigation/char_count.h"
#include "charset/navigation/char_walk.h"

namespace pl {
namespace {

uint8_t *bytes(char *s) { return reinterpret_cast<uint8_t *>(s); }

bool is_shift_byte(const CharsetView &set, uint8_t b) {
  return b == set.shift_out_byte() || b == set.shift_in_byte();
}

// The buffer size that `chars` characters of `s` need, the NUL one of them: under the
// shift rule with the shift run behind the last character kept, and a closing
// shift-in byte counted where the text is left shifted.
size_t bytes_for_chars(const TextRules &rules, const char *s, PLState state, size_t length,
                       size_t chars) {
  WalkEnd end = char_offset(rules, s, state, length, chars - 1);
  if (rules.shift_rule) {
    const uint8_t *at = reinterpret_cast<const uint8_t *>(s) + end.bytes;
    ShiftRun run = skip_shift_run(rules.set, at, length - end.bytes, end.state);
    end.bytes += run.length;
    if (run.state != kSingleByteState) ++end.bytes;
  }
  return end.bytes + 1;
}

// Where a cut at `cut` ends in the shifted state: the shift bytes in front of it go,
// and the text is closed with a shift-in byte inside `size` bytes unless dropping a
// shift-out byte closes it already. Returns the NUL's index.
size_t close_shifted_cut(const CharsetView &set, uint8_t *s, size_t cut, size_t size) {
  if (size < 2) return 0;  // no room for a shift-in byte and the NUL
  uint8_t shift_out = set.shift_out_byte(), shift_in = set.shift_in_byte();
  while (cut > 0 && is_shift_byte(set, s[cut - 1])) --cut;
  if (s[cut] == shift_out) return cut;
  if (s[cut] == shift_in && cut + 1 <= size - 1) return cut + 1;
  if (cut > size - 2) {
    size_t back = set.max_length();
    cut = cut > back ? cut - back : 0;
    if (cut > 0 && s[cut - 1] == shift_out) return cut - 1;
  }
  s[cut] = shift_in;
  return cut + 1;
}

// The NUL's index in a string of `length` >= `size` bytes.
size_t cut_index(const TextRules &rules, uint8_t *s, PLState state, size_t length, size_t size) {
  if (rules.shortcut()) return size - 1;
  WalkEnd end = walk(rules, s, length, size - 1, kNoCharLimit, state);
  if (!rules.shift_rule || end.state == kSingleByteState) return end.bytes;
  return close_shifted_cut(rules.set, s, end.bytes, size);
}

}  // namespace

int32_t truncate_string(const TextRules &rules, char *s, PLState state, int32_t size,
                        bool count_chars) {
  size_t length = std::strlen(s);
  size_t room = size > 0 ? static_cast<size_t>(size) : 0;
  if (count_chars && room > 0 && !rules.shortcut())
    room = bytes_for_chars(rules, s, state, length, room);
  size_t kept = 0;
  if (room == 0) {
    s[0] = 0;
  } else if (length < room) {
    kept = length;
  } else {
    kept = cut_index(rules, bytes(s), state, length, room);
    s[kept] = 0;
  }
  if (!count_chars) return static_cast<int32_t>(kept + 1);
  return num_chars(rules, s, state, static_cast<int32_t>(kept)) + 1;
}

int32_t terminate_string(const TextRules &rules, char *buffer, PLState state, bool terminate) {
  int32_t written = 0;
  if (rules.shift_rule && state != kSingleByteState)
    buffer[written++] = static_cast<char>(rules.set.shift_in_byte());
  if (terminate) buffer[written++] = 0;
  return written;
}

}  // namespace pl
