// Section 1 of a code-set file: the character-set table, a fixed part of 4388 bytes
// followed by a variable part, little-endian.
#pragma once

#include <cstddef>

namespace pl::layout::charset {

inline constexpr size_t kReplacementByte = 0;
inline constexpr size_t kLineFeedByte = 1;
inline constexpr size_t kCarriageReturnByte = 2;
inline constexpr size_t kLineSeparatorByte = 3;
inline constexpr size_t kParagraphSeparatorByte = 4;
inline constexpr size_t kMaxCharLength = 5;
inline constexpr size_t kMappingPairCount = 6;  // u16
inline constexpr size_t kShiftOutByte = 8;
inline constexpr size_t kShiftInByte = 9;
inline constexpr size_t kByteLengths = 10;       // 256 bytes
inline constexpr size_t kUpperTable = 266;       // 256 bytes
inline constexpr size_t kLowerTable = 522;       // 256 bytes
inline constexpr size_t kByteToUnicode = 778;    // 256 x u16
inline constexpr size_t kByteTypes = 1292;       // 256 x u32
inline constexpr size_t kUnicodeNodes = 2316;    // 256 nodes of 8 bytes
inline constexpr size_t kFlags = 4364;           // u16
inline constexpr size_t kFullwidthTableOffset = 4368;   // u32
inline constexpr size_t kMappingPairsOffset = 4372;     // u32
inline constexpr size_t kTypeTrieOffset = 4376;         // u32
inline constexpr size_t kTypeRecordsOffset = 4380;      // u32
inline constexpr size_t kResultTableOffset = 4384;      // u32, inside section 2
inline constexpr size_t kFixedSize = 4388;

inline constexpr size_t kFullwidthTableSize = 256 * 4;
inline constexpr size_t kMappingPairSize = 8;

// Bits of the flag word.
inline constexpr unsigned kAsciiBased = 1u << 0;
inline constexpr unsigned kStateful = 1u << 1;
inline constexpr unsigned kGbRule = 1u << 2;

// A Unicode-to-code-set node: one per high byte of a UTF-16 unit.
inline constexpr size_t kNodeSize = 8;
inline constexpr size_t kNodeType = 0;
inline constexpr size_t kNodeMask = 1;
inline constexpr size_t kNodeLowest = 2;
inline constexpr size_t kNodeHighest = 3;
inline constexpr size_t kNodeLowTable = 4;   // u16 byte offset into section 3
inline constexpr size_t kNodeHighTable = 6;  // u16 byte offset into section 4

}  // namespace pl::layout::charset
