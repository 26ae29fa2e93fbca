// Spans over a set of characters. Two characters are the same when they have the same
// length and the same bytes; the set's last character is cut to the set's length.
// One-byte characters are looked up in a bitmap, longer ones in the set itself.
#include "string/ops/element_ops.h"
#include "string/ops/string_ops.h"
#include "string/ops/string_walk.h"

namespace pl {
namespace {

class CharacterSet {
 public:
  CharacterSet(const TextRules &rules, const uint8_t *set, size_t extent, PLState state)
      : rules_(rules), set_(set), extent_(extent), state_(state) {
    each([this](const uint8_t *c, size_t length) {
      if (length == 1) bits_[c[0] >> 6] |= uint64_t{1} << (c[0] & 63);
      return false;
    });
  }

  bool contains(const uint8_t *c, size_t length) const {
    if (length == 1) return bits_[c[0] >> 6] >> (c[0] & 63) & 1;
    return each([c, length](const uint8_t *member, size_t member_length) {
      return member_length == length && std::memcmp(member, c, length) == 0;
    });
  }

 private:
  // Calls `visit` with every character of the set until it returns true.
  template <class Visit>
  bool each(Visit visit) const {
    PLState state = state_;
    for (size_t at = 0; at < extent_;) {
      Step step = string_step(rules_, set_ + at, extent_ - at, state);
      at += step.shift_bytes;
      state = step.state;
      if (step.length.bytes == 0) break;
      if (visit(set_ + at, step.length.bytes)) return true;
      at += step.length.bytes;
    }
    return false;
  }

  const TextRules &rules_;
  const uint8_t *set_;
  size_t extent_;
  PLState state_;
  uint64_t bits_[4] = {};
};

}  // namespace

template <class T>
int32_t element_span(const T *str, int32_t len, const T *set, int32_t set_len, bool inside) {
  size_t n = element_extent(str, len, false);
  ElementSet<T> members(set, element_extent(set, set_len, false));
  return static_cast<int32_t>(span_of(str, n, members, inside));
}
template int32_t element_span(const PLUChar *, int32_t, const PLUChar *, int32_t, bool);
template int32_t element_span(const PLWChar *, int32_t, const PLWChar *, int32_t, bool);

int32_t string_span(const TextRules &rules, Path path, const char *str, PLState state,
                    int32_t len, const char *set, PLState set_state, int32_t set_len,
                    bool count_chars, bool inside) {
  size_t extent = byte_extent(rules, str, state, len, count_chars, false);
  size_t set_extent = byte_extent(rules, set, set_state, set_len, count_chars, false);
  const uint8_t *text = as_bytes(str);
  if (element_path(rules, path)) {
    ElementSet<uint8_t> members(as_bytes(set), set_extent);
    return static_cast<int32_t>(span_of(text, extent, members, inside));
  }
  CharacterSet members(rules, as_bytes(set), set_extent, set_state);
  size_t at = 0;
  PLState mode = state;
  while (at < extent) {
    Step step = string_step(rules, text + at, extent - at, mode);
    if (step.length.bytes == 0) {
      at += step.shift_bytes;  // a shift run ending the text belongs to the span
      break;
    }
    if (members.contains(text + at + step.shift_bytes, step.length.bytes) != inside) break;
    at += step.shift_bytes + step.length.bytes;
    mode = step.state;
  }
  size_t span = at;
  return static_cast<int32_t>(count_chars ? bytes_to_chars(rules, str, state, span) : span);
}

}  // namespace pl
