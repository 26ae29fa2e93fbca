// The number formatters called uniformly: any family in any form, into an output of a
// given size guarded behind its end, and the text a form must write for a Unicode
// expectation (encoded by the conversion functions, which owe nothing to the
// formatters).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "polyloc.h"

namespace numtest {

enum Form { B, X, UF, WF };  // base, Ex, U, W
enum Family { Long, Double, Currency };
inline constexpr Form kForms[] = {B, X, UF, WF};
inline constexpr const char *kFormNames[] = {"base", "Ex", "U", "W"};

struct Output {
  int32_t result;
  int32_t code;
  std::u32string text;  // the elements before the first untouched one
  bool guard_intact;    // nothing written past the size
};

// Elements the formatters never write, marking what they left alone.
template <class T>
constexpr T untouched() {
  return static_cast<T>(~T{0});
}

// `capacity` elements may be written (a size in characters allows several bytes each).
template <class T, class Call>
Output run(PLLocale *h, int32_t capacity, Call call) {
  constexpr size_t kGuard = 8;
  std::vector<T> buffer(static_cast<size_t>(capacity < 0 ? 0 : capacity) + kGuard, untouched<T>());
  Output out{};
  out.result = call(buffer.data());
  out.code = PLGetError(h);
  size_t n = 0;
  while (n < buffer.size() && buffer[n] != untouched<T>()) ++n;
  for (size_t i = 0; i < n; ++i)
    out.text += static_cast<char32_t>(static_cast<std::make_unsigned_t<T>>(buffer[i]));
  out.guard_intact = n <= static_cast<size_t>(capacity < 0 ? 0 : capacity);
  for (size_t i = n; i < buffer.size(); ++i) out.guard_intact &= buffer[i] == untouched<T>();
  return out;
}

// `value` is the long's value for the Long family. The output holds `size` elements,
// or `capacity` where that is given.
inline Output call(Family family, Form form, PLLocale *h, double value, int32_t flags,
                   int32_t size, PLState state = 0, int32_t capacity = -1) {
  int32_t n = static_cast<int32_t>(value);
  if (capacity < 0) capacity = size;
  switch (form) {
    case B:
      return run<char>(h, capacity, [&](char *out) {
        return family == Long     ? PLLongToString(h, n, out, size, flags)
               : family == Double ? PLDoubleToString(h, value, out, size, flags)
                                  : PLCurrencyToString(h, value, out, size, flags);
      });
    case X:
      return run<char>(h, capacity, [&](char *out) {
        return family == Long     ? PLLongToStringEx(h, n, out, state, size, flags)
               : family == Double ? PLDoubleToStringEx(h, value, out, state, size, flags)
                                  : PLCurrencyToStringEx(h, value, out, state, size, flags);
      });
    case UF:
      return run<PLUChar>(h, capacity, [&](PLUChar *out) {
        return family == Long     ? PLLongToStringU(h, n, out, size, flags)
               : family == Double ? PLDoubleToStringU(h, value, out, size, flags)
                                  : PLCurrencyToStringU(h, value, out, size, flags);
      });
    case WF:
      return run<PLWChar>(h, capacity, [&](PLWChar *out) {
        return family == Long     ? PLLongToStringW(h, n, out, size, flags)
               : family == Double ? PLDoubleToStringW(h, value, out, size, flags)
                                  : PLCurrencyToStringW(h, value, out, size, flags);
      });
  }
  return {};
}

inline std::u32string widen(const std::u16string &s) { return {s.begin(), s.end()}; }

// What form `form` writes for the Unicode text `text`: the units themselves, the
// code set's bytes (the Ex form on a stateful set from the single-byte state, behind
// a shift-in for a shifted start) or its packed characters.
inline std::u32string encoded(Form form, PLLocale *h, const std::u16string &text,
                              PLState state = 0) {
  const PLUChar *units = reinterpret_cast<const PLUChar *>(text.data());
  int32_t count = static_cast<int32_t>(text.size());
  std::u32string out;
  if (form == UF) return widen(text);
  if (form == WF) {
    std::vector<PLWChar> packed(text.size() + 1);
    int32_t n = PLUnicodeToStringW(h, packed.data(), static_cast<int32_t>(packed.size()), units,
                                   count, 0);
    for (int32_t i = 0; i < n; ++i) out += static_cast<char32_t>(packed[i]);
    return out;
  }
  std::vector<char> bytes(4 * text.size() + 8);
  bool stateful = form == X && PLGetLocaleNumInfo(h, PL_CODESET_STATEFUL, 0) == 1;
  int32_t n = stateful ? PLUnicodeToStringEx(h, bytes.data(), 0, static_cast<int32_t>(bytes.size()),
                                             units, count, 0)
                       : PLUnicodeToString(h, bytes.data(), static_cast<int32_t>(bytes.size()),
                                           units, count, 0);
  if (stateful && state != 0) {
    char shift_in[2] = {};
    PLGetLocaleTextInfoEx(h, PL_SHIFT_IN_BYTE, shift_in, 0, 2, 0);
    out += static_cast<char32_t>(static_cast<uint8_t>(shift_in[0]));
  }
  for (int32_t i = 0; i < n; ++i) out += static_cast<char32_t>(static_cast<uint8_t>(bytes[i]));
  return out;
}

// For messages: the elements in hex.
inline std::string hex(const std::u32string &text) {
  std::string s;
  char b[12];
  for (char32_t c : text) {
    std::snprintf(b, sizeof b, c < 0x80 && c >= 0x20 ? "%c" : "<%X>", static_cast<unsigned>(c));
    s += b;
  }
  return s;
}

}  // namespace numtest
