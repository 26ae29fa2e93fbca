// The string operations over text whose every element is one character: UTF-16 units,
// packed characters, and the bytes of a single-byte code set. One template each; the
// byte instantiation reaches the C library's memchr, memrchr and memmem.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "charset/unicode_value.h"
#include "polyloc.h"

namespace pl {

template <class T>
size_t element_length(const T *s) {
  if constexpr (sizeof(T) == 1) {
    return std::strlen(reinterpret_cast<const char *>(s));
  } else {
    size_t n = 0;
    while (s[n] != 0) ++n;
    return n;
  }
}

// Elements of an argument length: negative measures up to the terminator, which
// `with_nul` includes.
template <class T>
size_t element_extent(const T *s, int32_t length, bool with_nul) {
  if (length >= 0) return static_cast<size_t>(length);
  return element_length(s) + (with_nul ? 1 : 0);
}

// The first (or last) element equal to `c` among `n`; null when there is none.
template <class T>
const T *find_element(const T *s, size_t n, T c, bool last) {
  if constexpr (sizeof(T) == 1) {
    return static_cast<const T *>(last ? memrchr(s, c, n) : std::memchr(s, c, n));
  } else {
    if (last) {
      for (size_t i = n; i-- > 0;)
        if (s[i] == c) return s + i;
      return nullptr;
    }
    for (size_t i = 0; i < n; ++i)
      if (s[i] == c) return s + i;
    return nullptr;
  }
}

// The first position of the `m` elements of `sub` in the `n` of `s`; `m` is at least 1.
template <class T>
const T *find_elements(const T *s, size_t n, const T *sub, size_t m) {
  if constexpr (sizeof(T) == 1) {
    return static_cast<const T *>(memmem(s, n, sub, m));
  } else {
    for (const T *at = s; static_cast<size_t>(s + n - at) >= m; ++at) {
      at = find_element(at, static_cast<size_t>(s + n - at) - m + 1, sub[0], false);
      if (at == nullptr) return nullptr;
      if (std::memcmp(at + 1, sub + 1, (m - 1) * sizeof(T)) == 0) return at;
    }
    return nullptr;
  }
}

// A set of byte values.
struct ByteSet {
  uint64_t bits[4] = {};

  void add(uint8_t b) { bits[b >> 6] |= uint64_t{1} << (b & 63); }
  bool has(uint8_t b) const { return bits[b >> 6] >> (b & 63) & 1; }
};

// Membership in a set of elements; surrogate pairs of UTF-16 are one character: a high
// surrogate matches only together with the element behind it.
template <class T>
class ElementSet {
 public:
  ElementSet(const T *set, size_t n) : set_(set), n_(n) {
    if constexpr (sizeof(T) == 1)
      for (size_t i = 0; i < n; ++i) bytes_.add(set[i]);
  }

  // How many elements at `s` (of `left`) form a character found in the set, else 0.
  size_t match(const T *s, size_t left) const {
    if constexpr (sizeof(T) == 1) {
      return bytes_.has(s[0]);
    } else {
      bool pair = sizeof(T) == 2 && is_high_surrogate(s[0]);
      for (size_t i = 0; i < n_; ++i) {
        if (set_[i] != s[0]) continue;
        if (!pair) return 1;
        if (left > 1 && i + 1 < n_ && set_[i + 1] == s[1]) return 2;
      }
      return 0;
    }
  }

 private:
  const T *set_;
  size_t n_;
  ByteSet bytes_;
};

// The elements of the character at `s` (of `left`): two for a surrogate pair of UTF-16.
template <class T>
size_t element_char_length(const T *s, size_t left) {
  if constexpr (sizeof(T) == 2) {
    if (left > 1 && is_high_surrogate(s[0]) && is_low_surrogate(s[1]))
      return 2;
  }
  return 1;
}

// The longest prefix of the `n` elements of `s` whose characters are all in the set
// (`inside`) or all outside it.
template <class T>
size_t span_of(const T *s, size_t n, const ElementSet<T> &set, bool inside) {
  size_t at = 0;
  while (at < n) {
    size_t matched = set.match(s + at, n - at);
    if ((matched != 0) != inside) break;
    at += matched != 0 ? matched : element_char_length(s + at, n - at);
  }
  return at;
}

// Copies `n` elements; the regions may overlap.
template <class T>
void move_elements(T *dst, const T *src, size_t n) {
  if (n != 0) std::memmove(dst, src, n * sizeof(T));
}

}  // namespace pl
