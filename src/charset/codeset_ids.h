// Code-set numbers (control entry numbers) that select algorithmic conversions.
#pragma once

#include <cstdint>

namespace pl {

inline constexpr uint16_t kUtf8Codeset = 106;
inline constexpr uint16_t kGbCodeset = 938;  // four-byte GB: two-byte rule before the trie

}  // namespace pl
