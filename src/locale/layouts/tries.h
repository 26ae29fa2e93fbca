// The tries of a code-set file: the code-set-to-Unicode trie of section 2 (6-byte
// nodes with byte ranges, then a table of 16-bit results) and the type trie of the
// character-set table (4-byte nodes without ranges, whose leaves select type records).
#pragma once

#include <cstddef>

namespace pl::layout::trie {

inline constexpr size_t kNodeSize = 6;
inline constexpr size_t kType = 0;     // 0 inner node, otherwise a leaf
inline constexpr size_t kMask = 1;     // applied to the input byte
inline constexpr size_t kLowest = 2;   // lowest accepted byte
inline constexpr size_t kHighest = 3;  // highest accepted byte
inline constexpr size_t kBase = 4;     // u16: first child node (inner) or result (leaf)
inline constexpr size_t kResultSize = 2;

}  // namespace pl::layout::trie

namespace pl::layout::type_trie {

inline constexpr size_t kNodeSize = 4;
inline constexpr size_t kType = 0;  // 0 inner node, otherwise a leaf
inline constexpr size_t kMask = 1;
inline constexpr size_t kBase = 2;  // u16: first child node (inner) or type record (leaf)
// A type record: the type word, then a signed case delta.
inline constexpr size_t kRecordSize = 8;
inline constexpr size_t kRecordType = 0;
inline constexpr size_t kRecordCaseDelta = 4;

}  // namespace pl::layout::type_trie
