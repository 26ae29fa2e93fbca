// Spans over a set of characters. Two characters are the same when they have the same
// length and the same bytes; the set's last character is cut to the set's length.
// One-byte characters are looked up in a bitmap, longer ones in the set itself.
#include <algorithm>

#include "charset/packed_char.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_ops.h"
#include "string/ops/string_walk.h"

namespace pl {
namespace {

class CharacterSet {
 public:
  CharacterSet(const TextRules &rules, const uint8_t *set, size_t extent, PLState state)
      : step_(rules), set_(set), extent_(extent), state_(state) {
    each([this](const uint8_t *c, size_t length) {
      if (length == 1) {
        singles_.add(c[0]);
        starts_.add(c[0]);
      } else if (long_count_ < kKeptMembers) {
        members_[long_count_++] = {pack_char(c, length), static_cast<uint8_t>(length)};
        leads_.add(c[0]);
        starts_.add(c[0]);
      } else {
        kept_all_ = false;
      }
      return false;
    });
  }

  // Whether a member may start with byte `b`; false for certain only when every member
  // is known (a large set answers true).
  bool may_start(uint8_t b) const {
    return !kept_all_ || starts_.has(b);
  }

  bool contains(const uint8_t *c, size_t length) const {
    if (length == 1) return singles_.has(c[0]);
    if (kept_all_) {
      if (!leads_.has(c[0])) return false;
      uint32_t packed = pack_char(c, length);
      for (size_t i = 0; i < long_count_; ++i)
        if (members_[i].packed == packed && members_[i].length == length) return true;
      return false;
    }
    return each([c, length](const uint8_t *member, size_t member_length) {
      return member_length == length && std::memcmp(member, c, length) == 0;
    });
  }

 private:
  // Longer characters are kept packed when there are few; a large set is walked.
  static constexpr size_t kKeptMembers = 32;
  struct Member {
    uint32_t packed;
    uint8_t length;
  };

  // Calls `visit` with every character of the set until it returns true.
  template <class Visit>
  bool each(Visit visit) const {
    PLState state = state_;
    for (size_t at = 0; at < extent_;) {
      Step step = step_(set_ + at, extent_ - at, state);
      at += step.shift_bytes;
      state = step.state;
      if (step.length.bytes == 0) break;
      if (visit(set_ + at, step.length.bytes)) return true;
      at += step.length.bytes;
    }
    return false;
  }

  Stepper step_;
  const uint8_t *set_;
  size_t extent_;
  PLState state_;
  ByteSet singles_;  // the one-byte members
  ByteSet leads_;    // first bytes of the kept longer members
  ByteSet starts_;   // both
  Member members_[kKeptMembers];
  size_t long_count_ = 0;
  bool kept_all_ = true;
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
  bool elements = element_path(rules, path);
  if (elements && len < 0 && set_len < 0)
    return static_cast<int32_t>(inside ? std::strspn(str, set) : std::strcspn(str, set));
  size_t extent = byte_extent(rules, str, state, len, count_chars, false);
  size_t set_extent = byte_extent(rules, set, set_state, set_len, count_chars, false);
  const uint8_t *text = as_bytes(str);
  if (elements) {
    ElementSet<uint8_t> members(as_bytes(set), set_extent);
    return static_cast<int32_t>(span_of(text, extent, members, inside));
  }
  CharacterSet members(rules, as_bytes(set), set_extent, set_state);
  Stepper stepper(rules);
  size_t longest = path == Path::fast && !inside ? stepper.long_text_longest(extent) : 0;
  if (longest != 0) {
    // The span ends at the first member: only bytes a member starts with are looked at.
    size_t from = 0, at = 0;
    for (; at < extent; ++at) {
      if (!members.may_start(text[at]) || !stepper.starts_at(text, extent, at, from, longest))
        continue;
      size_t rule = stepper.rule_at(text, at, extent);
      if (members.contains(text + at, std::min(rule, extent - at))) break;
    }
    return static_cast<int32_t>(count_chars ? bytes_to_chars(rules, str, state, at) : at);
  }
  // A shift run ending the text belongs to the span.
  PLState mode = state;
  size_t span = stepper.each(text, extent, mode, [&](size_t at, uint8_t bytes, uint8_t, PLState) {
    return members.contains(text + at, bytes) == inside;
  });
  return static_cast<int32_t>(count_chars ? bytes_to_chars(rules, str, state, span) : span);
}

}  // namespace pl
