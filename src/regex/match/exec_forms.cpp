#include "regex/match/exec_forms.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "charset/codeset_ids.h"
#include "charset/conversion/fast_runs.h"
#include "charset/conversion/string_conversions.h"
#include "charset/navigation/char_count.h"
#include "charset/shift_rule.h"
#include "charset/unicode_value.h"
#include "frame/memory.h"
#include "locale/control_entry.h"
#include "regex/match/search.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_walk.h"

namespace pl::regex {
namespace {

// Characters converted on the stack: the base and Ex forms take up to 1023, the W form
// up to 1024, behind the leading zero unit.
constexpr size_t kStackBytesChars = 1023;
constexpr size_t kStackPackedChars = 1024;

// Whether every byte of the text is below 0x80, eight at a time.
bool all_ascii(const uint8_t *s, size_t bytes) {
  size_t i = 0;
  for (; i + 8 <= bytes; i += 8)
    if (!fast::ascii8(s + i)) return false;
  for (; i < bytes; ++i)
    if (s[i] >= 0x80) return false;
  return true;
}

// Whether a UTF-8 text can hold the program's `must` literal: its UTF-8 form is looked
// for in the bytes, so that most texts without it are turned away unconverted. Every
// unit of the literal other than a surrogate or U+FFFD (which malformed bytes also give)
// decodes only from its own bytes, so the literal's units occur in the text only where
// its bytes do. Literals with such units, or long ones, are not judged here.
bool may_hold_must(const Program &program, const char *string, size_t bytes) {
  constexpr size_t kLongestJudged = 64;
  if (program.must == nullptr || program.must_length == 0 || program.must_length > kLongestJudged)
    return true;
  uint8_t literal[3 * kLongestJudged];
  size_t length = 0;
  for (uint32_t i = 0; i < program.must_length; ++i) {
    PLUChar unit = program.must[i];
    if (is_high_surrogate(unit) || is_low_surrogate(unit) || unit == 0xFFFD) return true;
    length += utf8_encode_value(unit, literal + length);
  }
  return memmem(string, bytes, literal, length) != nullptr;
}

// A caller's text in UTF-16 behind one leading zero unit.
class Converted {
 public:
  Converted() { stack_[0] = 0; }
  ~Converted() { release(heap_); }
  Converted(const Converted &) = delete;
  Converted &operator=(const Converted &) = delete;

  // Converts `chars` characters with convert(units, room), which returns the units
  // written or -1 with the code stored: on the stack up to `stack_chars`, else (or when
  // surrogate pairs outgrow the stack) in a heap block of two units per character.
  template <class Convert>
  bool fill(PLLocale *handle, size_t chars, size_t stack_chars, Convert convert) {
    if (chars == 0) return true;
    int32_t units = -1;
    if (chars <= stack_chars) {
      units = convert(stack_ + 1, static_cast<int32_t>(stack_chars));
      if (units < 0) return false;
    }
    if (units < 0 || handle->last_error == PL_ERR_BUFFER_TOO_SMALL) {
      size_t room = 2 * chars;
      heap_ = room <= INT32_MAX ? create_array<PLUChar>(room + 1) : nullptr;
      if (heap_ == nullptr) {
        handle->last_error = PL_ERR_NO_MEMORY;
        return false;
      }
      units = convert(heap_ + 1, static_cast<int32_t>(room));
      if (units < 0) return false;
    }
    length_ = static_cast<size_t>(units);
    handle->last_error = PL_OK;
    return true;
  }

  // Widens `bytes` bytes, for a set whose bytes below 0x80 are the units of the same
  // value: false when the text holds another byte (nothing is kept) or, with code 20
  // stored, when a long text found no memory.
  bool widen_ascii(PLLocale *handle, const char *string, size_t bytes, bool *ascii) {
    const auto *s = reinterpret_cast<const uint8_t *>(string);
    *ascii = all_ascii(s, bytes);
    if (!*ascii) return true;
    PLUChar *units = stack_;
    if (bytes > kStackBytesChars) {
      heap_ = create_array<PLUChar>(bytes + 1);
      if (heap_ == nullptr) {
        handle->last_error = PL_ERR_NO_MEMORY;
        return false;
      }
      units = heap_;
    }
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) fast::widen16(s + i, units + 1 + i);
    for (; i < bytes; ++i) units[i + 1] = s[i];
    length_ = bytes;
    return true;
  }

  const PLUChar *units() const { return (heap_ != nullptr ? heap_ : stack_) + 1; }
  size_t length() const { return length_; }

 private:
  PLUChar stack_[kStackPackedChars + 1];  // stack_[0] is the leading zero unit
  PLUChar *heap_ = nullptr;
  size_t length_ = 0;
};

// Replaces each offset in `ranges` (-1 stays) by caller_offset(n), n being the number
// of whole characters of `text` before it: one forward walk over the offsets in
// increasing order, so that caller_offset may walk the caller's text forward too.
template <class CallerOffset>
bool map_offsets(const Converted &text, int32_t *ranges, size_t count,
                 CallerOffset caller_offset) {
  constexpr size_t kStackOffsets = 64;
  uint32_t stack_order[kStackOffsets];
  HeapArray<uint32_t> heap_order(count > kStackOffsets ? count : 0);
  uint32_t *first = count > kStackOffsets ? heap_order.data() : stack_order, *last = first;
  if (first == nullptr) return false;
  for (uint32_t i = 0; i < count; ++i)
    if (ranges[i] >= 0) *last++ = i;
  std::sort(first, last, [ranges](uint32_t a, uint32_t b) { return ranges[a] < ranges[b]; });
  const PLUChar *units = text.units();
  size_t unit = 0, chars = 0;
  for (const uint32_t *i = first; i != last; ++i) {
    size_t target = static_cast<size_t>(ranges[*i]);
    while (unit < target) {
      size_t step = element_char_length(units + unit, text.length() - unit);
      if (unit + step > target) break;  // an offset inside a surrogate pair
      unit += step;
      ++chars;
    }
    ranges[*i] = static_cast<int32_t>(caller_offset(chars));
  }
  return true;
}

// Texts whose offsets do not fit the ranges are refused with code 2.
bool too_long(PLLocale *handle, size_t units) {
  if (units <= INT32_MAX) return false;
  handle->last_error = PL_ERR_ARGUMENT;
  return true;
}

// Searches the converted text; on a match records the caller's text as the base and
// brings the ranges to its units with map(ranges, count).
template <class Map>
int32_t search_converted(PLLocale *handle, Program &program, const Converted &text,
                         const void *string, PLState state, bool not_bol, Map map) {
  int32_t found = search_units(handle, program, text.units(), text.length(), not_bol);
  if (found != 1) return found;
  if (program.ranges != nullptr && !map(program.ranges, 2 * (size_t{program.nsub} + 1))) {
    release(program.ranges);
    program.ranges = nullptr;
    handle->last_error = PL_ERR_NO_MEMORY;
    return -1;
  }
  program.match_base = string;
  program.match_state = state;
  return 1;
}

}  // namespace

// The base form is the Ex form from the single-byte state: shift bytes are read as
// states wherever the code set has them, as the conversion reads them. A set without
// shift states is read from the single-byte state whatever `state` says.
int32_t exec_bytes(PLLocale *handle, Program &program, const char *string, PLState state,
                   int32_t length, bool not_bol, bool count_chars) {
  TextRules rules = text_rules(*handle, true);
  PLState start = rules.shift_rule && state != kSingleByteState ? kShiftedState : kSingleByteState;
  size_t bytes = byte_extent(rules, string, start, length, count_chars, false);
  if (too_long(handle, bytes)) return -1;
  Converted text;
  bool ascii = false;
  if ((handle->flags & kHandleAsciiUnits) != 0 && !text.widen_ascii(handle, string, bytes, &ascii))
    return -1;
  if (ascii) {
    // Units, characters and bytes coincide: the ranges need no mapping.
    return search_converted(handle, program, text, string, start, not_bol,
                            [](int32_t *, size_t) { return true; });
  }
  if (handle->codeset->number == kUtf8Codeset && !may_hold_must(program, string, bytes)) {
    drop_ranges(program);
    return 0;
  }
  // Characters never outnumber bytes, so a text that fits the stack as bytes needs no
  // count before it is converted there.
  size_t chars = bytes <= kStackBytesChars ? bytes
                                           : static_cast<size_t>(num_chars(
                                                 rules, string, start, static_cast<int32_t>(bytes)));
  if (!text.fill(handle, chars, kStackBytesChars, [&](PLUChar *units, int32_t room) {
        return string_to_unicode(handle, units, room, string, start,
                                 static_cast<int32_t>(bytes), 0, Path::fast);
      }))
    return -1;
  return search_converted(handle, program, text, string, start, not_bol,
                          [&](int32_t *ranges, size_t count) {
                            size_t at = 0, passed = 0;
                            PLState at_state = start;
                            return map_offsets(text, ranges, count, [&](size_t chars_before) {
                              WalkEnd step = char_offset(rules, string + at, at_state, bytes - at,
                                                         chars_before - passed);
                              at += step.bytes;
                              passed += step.chars;
                              at_state = step.state;
                              return at;
                            });
                          });
}

int32_t exec_packed(PLLocale *handle, Program &program, const PLWChar *string, int32_t length,
                    bool not_bol) {
  size_t count = element_extent(string, length, false);
  if (too_long(handle, count)) return -1;
  Converted text;
  if (!text.fill(handle, count, kStackPackedChars, [&](PLUChar *units, int32_t room) {
        return string_to_unicode_w(handle, units, room, string, static_cast<int32_t>(count), 0,
                                   Path::fast);
      }))
    return -1;
  return search_converted(handle, program, text, string, kSingleByteState, not_bol,
                          [&](int32_t *ranges, size_t n) {
                            return map_offsets(text, ranges, n, [](size_t chars) { return chars; });
                          });
}

int32_t exec_units(PLLocale *handle, Program &program, const PLUChar *string, int32_t length,
                   bool not_bol) {
  size_t units = element_extent(string, length, false);
  if (too_long(handle, units)) return -1;
  int32_t found = search_units(handle, program, string, units, not_bol);
  if (found == 1) {
    program.match_base = string;
    program.match_state = kSingleByteState;
  }
  return found;
}

}  // namespace pl::regex
