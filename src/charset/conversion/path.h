// Which implementation of a character step a conversion runs: the engine's plain
// character-by-character calls, or the hoisted tables and runs that must give the same
// result. The exports take the fast path; tests run both and compare.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pl {

enum class Path : uint8_t { reference, fast };

inline constexpr size_t kNoLimit = static_cast<size_t>(-1);

// Flags of the conversion functions.
inline constexpr int32_t kTerminate = 8;
inline constexpr int32_t kCountChars = 0x4000;

}  // namespace pl
