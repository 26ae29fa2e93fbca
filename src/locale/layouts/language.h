// Section 1 of a language file: 51 little-endian 16-bit words, then the strings
// (NUL-terminated UTF-16, at the byte offsets the words hold) and the case-pair tables.
#pragma once

#include <cstddef>

namespace pl::layout::language {

// Word indexes.
inline constexpr int kDefaultTerritory = 0;
inline constexpr int kDefaultCodeset = 1;
inline constexpr int kDefaultCollation = 2;  // 0: none
inline constexpr int kUpperPairCount = 3;
inline constexpr int kLowerPairCount = 4;
inline constexpr int kUpperPairOffset = 49;
inline constexpr int kLowerPairOffset = 50;
inline constexpr int kWordCount = 51;
inline constexpr size_t kFixedSize = kWordCount * 2;

// Strings are numbered by the word that holds their offset.
inline constexpr int kFirstString = 5;
inline constexpr int kLastString = 48;
inline constexpr int kStringCount = kLastString - kFirstString + 1;
inline constexpr int kCodeString = 5;
inline constexpr int kDisplayNameString = 6;
inline constexpr int kDayNameString = 7;           // 7 strings, Sunday first
inline constexpr int kAbbrevDayNameString = 14;    // 7 strings
inline constexpr int kMonthNameString = 21;        // 13 strings, January first
inline constexpr int kAbbrevMonthNameString = 34;  // 13 strings
inline constexpr int kAmString = 47;
inline constexpr int kPmString = 48;

// A case-pair entry: four 16-bit units (first, second or 0, result, result or 0).
inline constexpr size_t kCasePairSize = 8;

}  // namespace pl::layout::language
