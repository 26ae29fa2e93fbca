// Section 1 of a collation file: the collation table, little-endian. A fixed part of
// 2068 bytes (two default weights, two counts, a page table of 256 entries indexed by
// the high byte of a UTF-16 unit, three offsets), then the weight records, the
// expansion table and the contraction table wherever the offsets put them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pl::layout::collation {

inline constexpr size_t kDefaultSecondary = 0;  // u8: trailing ones are dropped from keys
inline constexpr size_t kDefaultTertiary = 1;   // u8: likewise
inline constexpr size_t kExpansionCount = 2;    // u16
inline constexpr size_t kContractionCount = 4;  // u16
inline constexpr size_t kPageTable = 8;         // 256 entries of kPageSize bytes
inline constexpr size_t kRecordsOffset = 2056;       // u32
inline constexpr size_t kExpansionsOffset = 2060;    // u32
inline constexpr size_t kContractionsOffset = 2064;  // u32
inline constexpr size_t kFixedSize = 2068;

// A page entry.
inline constexpr size_t kPageSize = 8;
inline constexpr size_t kPageFlags = 0;  // u8
inline constexpr size_t kPageOrder = 1;  // u8: order bits of an algorithmic page
inline constexpr size_t kPageValue = 4;  // u32: first record index, or the base weight
inline constexpr uint8_t kPageIgnored = 1u << 0;
inline constexpr uint8_t kPageAlgorithmicPrimary = 1u << 1;
inline constexpr uint8_t kPageAlgorithmicSpecial = 1u << 2;

// A weight record, one per unit of a table page.
inline constexpr size_t kRecordSize = 6;
inline constexpr size_t kRecordWeight = 0;     // u16
inline constexpr size_t kRecordSecondary = 2;  // u8
inline constexpr size_t kRecordTertiary = 3;   // u8
inline constexpr size_t kRecordFlags = 4;      // u16
inline constexpr uint16_t kRecordSpecial = 1u << 15;    // the weight is a special weight
inline constexpr uint16_t kRecordExpansion = 1u << 14;  // look the unit up in the expansions
inline constexpr unsigned kOrderShift = 10;             // order bits 10..13
// Hints that this library's compiler writes and the loader checks before the reader
// trusts them (the format leaves these bits unused): bit 0 marks a unit that begins a
// contraction, and an expansion record's weight holds the index of its entry.
inline constexpr uint16_t kRecordStartsContraction = 1u << 0;

// An expansion entry: a unit and its two elements.
inline constexpr size_t kExpansionSize = 14;
inline constexpr size_t kExpansionUnit = 0;        // u16
inline constexpr size_t kExpansionPrimary1 = 2;    // u16
inline constexpr size_t kExpansionSecondary1 = 4;  // u8
inline constexpr size_t kExpansionTertiary1 = 5;   // u8
inline constexpr size_t kExpansionPrimary2 = 6;    // u16
inline constexpr size_t kExpansionSecondary2 = 8;  // u8
inline constexpr size_t kExpansionTertiary2 = 9;   // u8

// A contraction entry: two units and their one element.
inline constexpr size_t kContractionSize = 10;
inline constexpr size_t kContractionFirst = 0;      // u16
inline constexpr size_t kContractionSecond = 2;     // u16
inline constexpr size_t kContractionWeight = 4;     // u16
inline constexpr size_t kContractionSecondary = 6;  // u8
inline constexpr size_t kContractionTertiary = 7;   // u8
inline constexpr size_t kContractionFlags = 8;      // u16: kRecordSpecial and order bits

// Order bits of an element: a set bit places that level's weight forward, a clear
// one backward.
inline constexpr uint8_t kOrderPrimary = 1u << 3;
inline constexpr uint8_t kOrderSecondary = 1u << 2;
inline constexpr uint8_t kOrderTertiary = 1u << 1;
inline constexpr uint8_t kOrderSpecial = 1u << 0;
inline constexpr uint8_t kAllForward = 0xF;

constexpr uint8_t order_bits(uint16_t flags) { return (flags >> kOrderShift) & 0xF; }
constexpr uint16_t order_flags(uint8_t order) {
  return static_cast<uint16_t>((order & 0xF) << kOrderShift);
}

}  // namespace pl::layout::collation
