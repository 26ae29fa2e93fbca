// The three fields of a type word, read the way the type queries read them.
#pragma once

#include <cstdint>

namespace type_fields {

inline uint32_t classes(uint32_t word) { return word & 0x3FF; }
inline uint32_t category(uint32_t word) { return (word >> 10) & 0xFFF; }
inline uint32_t third(uint32_t word) { return ((word >> 21) & ~uint32_t{1}) | (word & 1); }

}  // namespace type_fields
