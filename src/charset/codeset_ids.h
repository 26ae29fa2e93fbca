// Code-set numbers (control entry numbers) that select algorithmic conversions.
#pragma once

#include <cstdint>

namespace pl {

inline constexpr uint16_t kUtf8Codeset = 106;
inline constexpr uint16_t kGbCodeset = 938;  // four-byte GB: two-byte rule before the trie
// EBCDIC code page 930: stateful, with its small letters among its katakana.
inline constexpr uint16_t kCodePage930 = 930;

}  // namespace pl
