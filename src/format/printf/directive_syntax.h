// The syntax of a printf directive: the class of each directive character, the state
// machine that reads %[flags][width][.precision][size]type, and the tables that
// translate EBCDIC format bytes to the ASCII characters the machine knows.
#pragma once

#include <cstdint>

namespace pl::printf_syntax {

enum State : uint8_t { kNormal, kPercent, kFlag, kWidth, kDot, kPrecision, kSize, kType };
enum Class : uint8_t { kOther, kPercentSign, kPoint, kStar, kZero, kDigit, kFlagChar, kSizeChar, kTypeChar };

inline constexpr int kStates = 8;
inline constexpr int kClasses = 9;

// next[class][state]. A flag after width digits is taken, so that the digit and '$' of
// %2$d read as a width that '$' clears.
inline constexpr State kNext[kClasses][kStates] = {
    // normal   percent   flag      width     dot         precision   size    type
    {kNormal, kNormal, kNormal, kNormal, kNormal, kNormal, kNormal, kNormal},              // other
    {kPercent, kNormal, kNormal, kNormal, kNormal, kNormal, kNormal, kPercent},            // %
    {kNormal, kDot, kDot, kDot, kNormal, kNormal, kNormal, kNormal},                       // .
    {kNormal, kWidth, kWidth, kNormal, kPrecision, kNormal, kNormal, kNormal},             // *
    {kNormal, kFlag, kFlag, kWidth, kPrecision, kPrecision, kNormal, kNormal},             // 0
    {kNormal, kWidth, kWidth, kWidth, kPrecision, kPrecision, kNormal, kNormal},           // 1-9
    {kNormal, kFlag, kFlag, kFlag, kNormal, kNormal, kNormal, kNormal},                    // flags
    {kNormal, kSize, kSize, kSize, kSize, kSize, kSize, kNormal},                          // sizes
    {kNormal, kType, kType, kType, kType, kType, kType, kNormal},                          // types
};

// The class of an ASCII character (what a translated format unit stands for); every
// value outside 0x20..0x78 is other.
inline constexpr Class class_of_char(uint32_t c) {
  switch (c) {
    case '%': return kPercentSign;
    case '.': return kPoint;
    case '*': return kStar;
    case '0': return kZero;
    case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
      return kDigit;
    case ' ': case '#': case '$': case '+': case ',': case '-':
      return kFlagChar;
    case 'F': case 'I': case 'L': case 'N': case 'h': case 'l': case 'w':
      return kSizeChar;
    case 'B': case 'C': case 'E': case 'G': case 'S': case 'X': case 'Z': case 'c': case 'd':
    case 'e': case 'f': case 'g': case 'i': case 'n': case 'o': case 'p': case 's': case 'u':
    case 'x':
      return kTypeChar;
    default: return kOther;
  }
}

inline constexpr uint8_t kNotAscii = 0xFF;

// The state after each character in each state: the two tables above in one lookup.
struct TransitionTable {
  State next[kStates][256];
};
inline constexpr TransitionTable kTransitions = [] {
  TransitionTable table{};
  for (int state = 0; state < kStates; ++state)
    for (uint32_t c = 0; c < 256; ++c) table.next[state][c] = kNext[class_of_char(c)][state];
  return table;
}();

inline State next_state(State state, uint32_t c) {
  return kTransitions.next[state][c < 256 ? c : kNotAscii];
}

// The printable ASCII character each byte encodes in code page 037 (the EBCDIC family's
// directive characters) and in the single-byte part of code page 930, or kNotAscii.
extern const uint8_t kEbcdic037ToAscii[256];
extern const uint8_t kCodePage930ToAscii[256];

// How a code set's format units map to directive characters: a table of 256 bytes, or
// none (ASCII-based sets and UTF-16 take units as they are).
inline uint32_t translate(const uint8_t *table, uint32_t unit) {
  if (table == nullptr) return unit;
  return unit < 256 ? table[unit] : kNotAscii;
}

}  // namespace pl::printf_syntax
