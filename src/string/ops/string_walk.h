// The steps the string family takes over text of a code set: one character (behind
// its shift run under the shift rule) at a time, and the conversions between
// character counts and byte lengths that PL_COUNT_CHARS asks for.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "charset/conversion/path.h"
#include "charset/length_rule.h"
#include "charset/navigation/char_walk.h"
#include "charset/navigation/text_rules.h"
#include "charset/shift_rule.h"

namespace pl {

inline const uint8_t *as_bytes(const char *s) { return reinterpret_cast<const uint8_t *>(s); }
inline uint8_t *as_bytes(char *s) { return reinterpret_cast<uint8_t *>(s); }

// One step over text of a code set with the tables hoisted out of the loop: the
// length rule inline, the shift rule through the navigation step.
class Stepper {
 public:
  explicit Stepper(const TextRules &rules)
      : rules_(rules),
        lengths_(rules.set.byte_lengths()),
        gb_rule_(rules.set.gb_rule()),
        shift_rule_(rules.shift_rule) {}

  // The step at `s` inside `available` bytes.
  Step operator()(const uint8_t *s, size_t available, PLState state) const {
    if (shift_rule_) return step_at(rules_, s, available, state);
    if (available == 0) return {0, state, {0, 0}};
    uint8_t rule = rule_at(s, 0, available);
    return {0, state, {rule, static_cast<uint8_t>(rule < available ? rule : available)}};
  }

  // Visits the characters of the `extent` bytes at `s` from `state`: visit(at, bytes,
  // rule, state) with the character's offset, its bytes (fewer than its rule's length
  // where the text cuts it) and the state it is read in, while visit returns true. A
  // character of length 0 ends the walk. Returns where the walk stopped: in front of
  // the shift run of the character refused, or at the end; `state` is the state there.
  template <class Visit>
  size_t each(const uint8_t *s, size_t extent, PLState &state, Visit visit) const {
    size_t at = 0;
    if (shift_rule_) {
      while (at < extent) {
        Step step = step_at(rules_, s + at, extent - at, state);
        size_t start = at + step.shift_bytes;
        if (step.length.bytes == 0) {  // a shift run ends the text
          at = start;
          state = step.state;
          break;
        }
        if (!visit(start, step.length.bytes, step.length.rule, step.state)) break;
        at = start + step.length.bytes;
        state = step.state;
      }
      return at;
    }
    // The rules of a block of bytes are looked up first, each independent of the
    // others; the walk then waits on one load a character instead of two.
    uint8_t block_rules[kBlock];
    while (at < extent) {
      size_t base = at, end = extent - at > kBlock ? at + kBlock : extent;
      fill_rules(s, base, end, extent, block_rules);
      // Away from the end no character is cut: the step is the rule itself.
      size_t safe = extent - end >= kMaxRule ? end : extent > kMaxRule ? extent - kMaxRule : 0;
      while (at < safe) {
        uint8_t rule = block_rules[at - base];
        if (rule == 0 || !visit(at, rule, rule, state)) return at;
        at += rule;
      }
      while (at < end) {
        uint8_t rule = block_rules[at - base];
        size_t left = extent - at;
        uint8_t bytes = static_cast<uint8_t>(rule < left ? rule : left);
        if (rule == 0 || !visit(at, bytes, rule, state)) return at;
        at += bytes;
      }
    }
    return at;
  }

  // The bytes of the whole characters of the `extent` bytes at `s` from `state` (as
  // whole() finds them). Long text without shift rules is walked only from the last
  // place near its end where a character must start (must_start).
  size_t whole_bytes(const uint8_t *s, size_t extent, PLState state) const {
    constexpr size_t kLookBack = 64;
    size_t longest = long_text_longest(extent);
    for (size_t at = extent; longest != 0 && at + kLookBack > extent; --at)
      if (must_start(s, at, longest)) return at + whole(s + at, extent - at, state).bytes;
    return whole(s, extent, state).bytes;
  }

  // For searches that find candidates by their bytes first: whether a character
  // starts at `target` (before `extent`), walking on from `from`, a character start at
  // or before it, or from a nearer start found by looking back; `from` becomes the
  // start reached. Needs `longest` = long_text_longest() != 0.
  bool starts_at(const uint8_t *s, size_t extent, size_t target, size_t &from,
                 size_t longest) const {
    constexpr size_t kLookBack = 64;
    for (size_t at = target; at > from && at >= longest - 1 && target - at < kLookBack; --at)
      if (must_start(s, at, longest)) {
        from = at;
        break;
      }
    while (from < target) from += rule_at(s, from, extent);
    return from == target;
  }

  // The length rule of the byte at `i` of the `extent` bytes at `s`.
  uint8_t rule_at(const uint8_t *s, size_t i, size_t extent) const {
    uint8_t lead = s[i];
    if (gb_rule_ && static_cast<uint8_t>(lead - 0x81) < 4 && i + 1 < extent && s[i + 1] >= 0x40)
      return 2;
    return lengths_[lead];
  }

  // For the walks that start near their target (whole_bytes, starts_at): the longest
  // length of the table, when the text is long enough for scanning the table to pay
  // and has no shift rules; else 0, and the walk runs from the start.
  size_t long_text_longest(size_t extent) const {
    constexpr size_t kLongText = 256;
    return shift_rule_ || extent < kLongText ? 0 : longest_rule();
  }

  // Whole characters and shift runs of the `extent` bytes at `s`, as walk() does
  // without limits.
  WalkEnd whole(const uint8_t *s, size_t extent, PLState state) const {
    if (shift_rule_) return walk(rules_, s, extent, extent, kNoCharLimit, state);
    WalkEnd end{0, 0, state};
    each(s, extent, state, [&end](size_t at, uint8_t bytes, uint8_t rule, PLState) {
      if (bytes != rule) return false;
      end.bytes = at + rule;
      ++end.chars;
      return true;
    });
    return end;
  }

 private:
  static constexpr size_t kBlock = 256;
  static constexpr size_t kMaxRule = 4;

  // The longest length of the table, or 0 when a byte has the length 0 (which would
  // end a walk wherever it stands).
  size_t longest_rule() const {
    uint8_t longest = 0, shortest = 0xFF;
    for (int b = 0; b < 256; ++b) {
      longest = std::max(longest, lengths_[b]);
      shortest = std::min(shortest, lengths_[b]);
    }
    return shortest == 0 ? 0 : longest;
  }

  // Whether a character starts at `at` (at least longest - 1) whatever came before:
  // behind longest - 1 one-byte characters none can reach across, since none is
  // longer than `longest`.
  bool must_start(const uint8_t *s, size_t at, size_t longest) const {
    for (size_t back = 1; back < longest; ++back)
      if (lengths_[s[at - back]] != 1) return false;
    return true;
  }

  // The length rule of every byte of s[base, end) as if a character started there.
  void fill_rules(const uint8_t *s, size_t base, size_t end, size_t extent, uint8_t *out) const {
    if (!gb_rule_) {
      for (size_t i = base; i < end; ++i) out[i - base] = lengths_[s[i]];
      return;
    }
    for (size_t i = base; i < end; ++i) out[i - base] = rule_at(s, i, extent);
  }

  const TextRules &rules_;
  const uint8_t *lengths_;
  bool gb_rule_, shift_rule_;
};

// Whether the one-element loops serve: every character is one byte and no shift byte
// has a meaning. The reference path never takes them.
inline bool element_path(const TextRules &rules, Path path) {
  return path == Path::fast && rules.shortcut();
}

// The first `n` characters of NUL-terminated `s` (none for n < 1), never reaching
// past the NUL: their bytes, their number and the state behind them; a shift run
// behind the last character is left out.
WalkEnd chars_to_bytes(const TextRules &rules, const char *s, PLState state, int32_t n);

// Whole characters in the first `bytes` bytes of `s` (a NUL inside counts as one).
size_t bytes_to_chars(const TextRules &rules, const char *s, PLState state, size_t bytes);

// A length argument made a byte extent: negative measures up to the NUL (with
// `with_nul`, the NUL included); under `count_chars` a positive count of characters
// becomes bytes first.
size_t byte_extent(const TextRules &rules, const char *s, PLState state, int32_t length,
                   bool count_chars, bool with_nul);

// The shift run at the start of `s` inside `extent` bytes and the state it leaves
// (nothing under the length rule).
inline ShiftRun leading_run(const TextRules &rules, const uint8_t *s, size_t extent,
                            PLState state) {
  PLState normal = state == kSingleByteState ? kSingleByteState : kShiftedState;
  if (!rules.shift_rule) return {0, normal};
  return skip_shift_run(rules.set, s, extent, normal);
}

}  // namespace pl
