// Section 1 of a territory file: 23 little-endian 16-bit words, then the strings
// (NUL-terminated UTF-16). Words 11..21 hold the byte offsets of strings 11..21 and
// word 22 the end of the last, so each string spans from its offset to the next.
#pragma once

#include <cstddef>

namespace pl::layout::territory {

// Word indexes.
inline constexpr int kDecimalPoint = 0;  // words 0..4: the five convention characters
inline constexpr int kThousandsSep = 1;
inline constexpr int kListSep = 2;
inline constexpr int kMonDecimalPoint = 3;
inline constexpr int kMonThousandsSep = 4;
inline constexpr int kConventionCharCount = 5;
inline constexpr int kNumDigits = 5;
inline constexpr int kFracDigits = 6;
inline constexpr int kIntFracDigits = 7;
inline constexpr size_t kPositiveSignPositionAt = 16;  // byte
inline constexpr size_t kNegativeSignPositionAt = 17;  // byte
inline constexpr int kValue = 9;
inline constexpr int kFlags = 10;
inline constexpr int kStringsEnd = 22;
inline constexpr int kWordCount = 23;
inline constexpr size_t kFixedSize = kWordCount * 2;

// Bits of the flag word.
inline constexpr unsigned kTerritoryFlag = 1u << 0;
inline constexpr unsigned kPositiveSymbolPrecedes = 1u << 1;
inline constexpr unsigned kPositiveSeparatedBySpace = 1u << 2;
inline constexpr unsigned kNegativeSymbolPrecedes = 1u << 3;
inline constexpr unsigned kNegativeSeparatedBySpace = 1u << 4;
inline constexpr unsigned kFlag5 = 1u << 5;
inline constexpr unsigned kFlag6 = 1u << 6;

// Strings, numbered by the word that holds their offset.
inline constexpr int kFirstString = 11;
inline constexpr int kLastString = 21;
inline constexpr int kStringCount = kLastString - kFirstString + 1;
inline constexpr int kCodeString = 11;
inline constexpr int kDisplayNameString = 12;
inline constexpr int kGroupingString = 13;
inline constexpr int kMonGroupingString = 14;
inline constexpr int kCurrencySymbolString = 15;
inline constexpr int kIntCurrSymbolString = 16;
inline constexpr int kPositiveSignString = 17;
inline constexpr int kNegativeSignString = 18;
inline constexpr int kTimeFormatString = 19;
inline constexpr int kDateFormatString = 20;
inline constexpr int kLongDateFormatString = 21;

}  // namespace pl::layout::territory
