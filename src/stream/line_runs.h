// The middle of a line in bulk: where in the read buffer the next byte that may end a
// line lies, and how many whole characters fit before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "charset/conversion/fast_runs.h"
#include "charset/length_rule.h"
#include "stream/line_reader.h"

namespace pl {

// The first byte in [start, limit) that may end a line of a kind in `flags` (a
// carriage return under PL_EOL_CRLF), or `limit`. It may be a trail byte: the walk
// over whole characters stops in front of the character that holds it anyway.
inline const uint8_t *first_line_byte(const uint8_t *start, const uint8_t *limit,
                                      const EolChars &eol, int32_t flags) {
  uint8_t stops[4];
  size_t count = 0;
  auto add = [&](bool wanted, uint32_t c) {
    uint8_t b = static_cast<uint8_t>(c);
    for (size_t i = 0; i < count; ++i)
      if (stops[i] == b) return;
    if (wanted) stops[count++] = b;
  };
  add((flags & (PL_EOL_LF | PL_EOL_CRLF)) != 0, eol.line_feed);
  add((flags & PL_EOL_CRLF) != 0, eol.carriage_return);
  add((flags & PL_EOL_LINE_SEP) != 0, eol.line_separator);
  add((flags & PL_EOL_PARA_SEP) != 0, eol.paragraph_separator);
  if (count == 1) {
    const void *hit = std::memchr(start, stops[0], static_cast<size_t>(limit - start));
    return hit != nullptr ? static_cast<const uint8_t *>(hit) : limit;
  }
  for (const uint8_t *p = start; p < limit; ++p)
    for (size_t i = 0; i < count; ++i)
      if (*p == stops[i]) return p;
  return limit;
}

// Whether every byte below 0x80 is a character of its own, by the length table.
inline bool ascii_is_single(const uint8_t *lengths) {
  uint64_t any = 0;
  for (size_t i = 0; i < 128; i += 8) {
    uint64_t word;
    std::memcpy(&word, lengths + i, 8);
    any |= word;
  }
  return (any & 0xFEFEFEFEFEFEFEFEu) == 0;
}

struct Run {
  const uint8_t *end;
  size_t chars;
};

struct BlockStep {
  size_t bytes;  // 0: not settled in one piece
  size_t chars;
};

// The characters that start in the N bytes at `p` (a character boundary; N is 8 or
// 16), settled at once: with their lengths looked up together, every byte that no
// multibyte lead covers starts a character, provided no lead is itself covered; only
// then does that agree with stepping from one character to the next. Lengths outside
// 0 to 4, and blocks where leads overlap, are left to the caller's single steps.
template <size_t N>
inline BlockStep step_block(const uint8_t *lengths, const uint8_t *p) {
  using Wide = unsigned __int128;
  constexpr uint64_t kFlags64 = 0x0101010101010101u;
  constexpr Wide kFlags = N == 16 ? (Wide{kFlags64} << 64 | kFlags64) : Wide{kFlags64};
  uint8_t looked_up[16] = {};
#pragma GCC unroll 16
  for (size_t i = 0; i < N; ++i) looked_up[i] = lengths[p[i]];
  Wide word;
  std::memcpy(&word, looked_up, sizeof word);
  if ((word & (kFlags * 0xF8)) != 0) return {0, 0};
  // One flag bit a byte: length 2 or more, 3 or more, 4.
  Wide two = ((word >> 1) | (word >> 2)) & kFlags;
  Wide three = ((word >> 2) | ((word >> 1) & word)) & kFlags;
  Wide four = (word >> 2) & kFlags;
  Wide covered = ((two << 8) | (three << 16) | (four << 24)) & (kFlags * 0xFF);
  if ((two & covered) != 0) return {0, 0};
  Wide starts = ~covered & kFlags;
  uint64_t low = static_cast<uint64_t>(starts), high = static_cast<uint64_t>(starts >> 64);
  size_t last = (high != 0 ? 127 - __builtin_clzll(high) : 63 - __builtin_clzll(low)) / 8;
  size_t length = static_cast<size_t>(word >> (8 * last)) & 0xFF;
  // A multiplication sums the flags of eight bytes into the top byte.
  size_t chars = ((low * kFlags64) >> 56) + ((high * kFlags64) >> 56);
  return {last + (length > 1 ? length : 1), chars};
}

// The whole characters from `start` that end by `limit`, at most `max_chars` of them;
// `end` bounds what the GB rule may look at. A byte of no length is a character.
// `ascii`: ascii_is_single of the set's length table.
inline Run whole_chars(const TextRules &rules, bool ascii, const uint8_t *start,
                       const uint8_t *limit, const uint8_t *end, size_t max_chars) {
  size_t span = static_cast<size_t>(limit - start);
  if (rules.single_byte) {
    size_t n = span < max_chars ? span : max_chars;
    return {start + n, n};
  }
  const uint8_t *lengths = rules.set.byte_lengths();
  const bool gb = rules.set.gb_rule();
  const uint8_t *p = start;
  size_t chars = 0;
  // While sixteen bytes are left: ASCII is skipped a word at a time, a character among
  // ASCII is stepped alone, and text dense with multibyte characters is settled a
  // block at a time.
  constexpr uint64_t kHighs = 0x8080808080808080u, kFlags = 0x0101010101010101u;
  while (!gb && limit - p >= 16 && max_chars - chars >= 16) {
    uint64_t high;
    std::memcpy(&high, p, 8);
    high &= kHighs;
    BlockStep step{0, 0};
    if (ascii && (high & 0x80) == 0) {
      size_t skipped = high != 0 ? static_cast<size_t>(__builtin_ctzll(high)) / 8
                       : fast::ascii8(p + 8) ? 16 : 8;
      step = {skipped, skipped};
    } else if (!ascii || (((high >> 7) * kFlags) >> 56) > 3) {
      step = step_block<16>(lengths, p);
      if (step.bytes == 0) step = step_block<8>(lengths, p);
    }
    if (step.bytes == 0) {
      size_t length = lengths[*p] > 1 ? lengths[*p] : 1;
      if (length > 4) break;
      step = {length, 1};
    }
    // A block's last character may reach three bytes beyond it.
    if (step.bytes > static_cast<size_t>(limit - p)) break;
    p += step.bytes;
    chars += step.chars;
  }
  while (p < limit && chars < max_chars) {
    size_t length = ascii && *p < 0x80 ? 1 : lengths[*p];
    if (length > 1) {
      if (gb) length = char_length(rules.set, p, static_cast<size_t>(end - p)).rule;
      if (length > static_cast<size_t>(limit - p)) break;
    } else {
      length = 1;
    }
    p += length;
    ++chars;
  }
  return {p, chars};
}

}  // namespace pl
