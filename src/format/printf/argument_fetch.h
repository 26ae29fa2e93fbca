// Reading one argument of a kind: from a va_list, with the size this platform's ABI
// gives the kind (every integer and character kind is promoted to int, long double is
// read as such and printed as the nearest double), or through the argument source's
// callback for the kind. Every value is held in 64 bits: integers sign- or
// zero-extended as their callback returns them, floating values as double bits,
// pointers as their address.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "polyloc.h"

namespace pl {

enum class ArgKind : uint8_t {
  kInt,  // also every position no directive names
  kPointer,
  kLong,
  kShort,
  kWideChar,
  kDouble,
  kLongDouble,
  kInt64,
  kWideString,
  kChar,
  kString,
  kUnicodeChar,
  kUnicodeString,
};

inline bool is_floating(ArgKind kind) {
  return kind == ArgKind::kDouble || kind == ArgKind::kLongDouble;
}

inline uint64_t double_bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

inline uint64_t fetch_argument(va_list *args, ArgKind kind) {
  switch (kind) {
    case ArgKind::kDouble: return double_bits(va_arg(*args, double));
    case ArgKind::kLongDouble: return double_bits(static_cast<double>(va_arg(*args, long double)));
    case ArgKind::kInt64: return va_arg(*args, uint64_t);
    case ArgKind::kPointer:
    case ArgKind::kWideString:
    case ArgKind::kString:
    case ArgKind::kUnicodeString:
      return reinterpret_cast<uintptr_t>(va_arg(*args, void *));
    default: return static_cast<uint64_t>(static_cast<int64_t>(va_arg(*args, int)));
  }
}

namespace fetch_detail {

template <class R>
bool call(R (*function)(void *), void *context, uint64_t *bits) {
  if (function == nullptr) return false;
  R value = function(context);
  if constexpr (std::is_pointer_v<R>)
    *bits = reinterpret_cast<uintptr_t>(value);
  else if constexpr (std::is_floating_point_v<R>)
    *bits = double_bits(static_cast<double>(value));
  else
    *bits = static_cast<uint64_t>(value);
  return true;
}

template <class R, class U>
bool call(bool is_unsigned, R (*get)(void *), U (*get_unsigned)(void *), void *context,
          uint64_t *bits) {
  return is_unsigned ? call(get_unsigned, context, bits) : call(get, context, bits);
}

}  // namespace fetch_detail

// False when the source has no callback for the kind.
inline bool fetch_argument(const PLArgSource &source, ArgKind kind, bool is_unsigned,
                           uint64_t *bits) {
  using fetch_detail::call;
  void *context = source.context;
  switch (kind) {
    case ArgKind::kInt:
      return call(is_unsigned, source.getInt, source.getUnsignedInt, context, bits);
    case ArgKind::kShort:
      return call(is_unsigned, source.getShort, source.getUnsignedShort, context, bits);
    case ArgKind::kLong:
      return call(is_unsigned, source.getLong, source.getUnsignedLong, context, bits);
    case ArgKind::kInt64:
      return call(is_unsigned, source.getInt64, source.getUnsignedInt64, context, bits);
    case ArgKind::kDouble: return call(source.getDouble, context, bits);
    case ArgKind::kLongDouble: return call(source.getLongDouble, context, bits);
    case ArgKind::kChar: return call(source.getChar, context, bits);
    case ArgKind::kWideChar: return call(source.getWideChar, context, bits);
    case ArgKind::kUnicodeChar: return call(source.getUnicodeChar, context, bits);
    case ArgKind::kPointer: return call(source.getPointer, context, bits);
    case ArgKind::kString: return call(source.getString, context, bits);
    case ArgKind::kWideString: return call(source.getWideString, context, bits);
    case ArgKind::kUnicodeString: return call(source.getUnicodeString, context, bits);
  }
  return false;
}

}  // namespace pl
