// The number functions called uniformly for the number test programs: any formatter
// or parser in any form, outputs guarded behind their size, texts encoded for a form by
// the conversion functions (which owe nothing to the number code), the example locale,
// and the random values and sweep sizes the properties share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace numtest {

using std::u16string, std::u32string;

enum Form { B, X, UF, WF };  // base, Ex, U, W
enum Family { Long, Double, Currency };
inline constexpr Form kForms[] = {B, X, UF, WF};
inline constexpr const char *kFormNames[] = {"base", "Ex", "U", "W"};
inline constexpr int32_t kDouble = -1;  // as a parser's base: PLStringToDouble

// The CI-sized sample of a sweep, or the full count under POLYLOC_FULL_SWEEP=1.
// The names of the control table's items of `kind` (PL_KIND_TERRITORY, ...).
inline std::vector<std::string> names_of(int32_t kind) {
  struct Wanted {
    int32_t kind;
    std::vector<std::string> names;
  } wanted{kind, {}};
  PLEnumLocales(
      [](void *user, int32_t k, const char *name) {
        auto *w = static_cast<Wanted *>(user);
        if (k == w->kind) w->names.push_back(name);
        return 1;
      },
      &wanted);
  return wanted.names;
}

inline size_t sweep(size_t sample, size_t full) {
  return std::getenv("POLYLOC_FULL_SWEEP") ? full : sample;
}

// ---- Formatters ----

struct Output {
  int32_t result, code;
  u32string text;     // the elements before the first untouched one
  bool guard_intact;  // nothing written past the capacity
};

template <class T, class Call>
Output run(PLLocale *h, int32_t capacity, Call call) {
  constexpr T kUntouched = static_cast<T>(~T{0});  // never written by a formatter
  size_t room = static_cast<size_t>(std::max(capacity, 0));
  std::vector<T> buffer(room + 8, kUntouched);
  Output out{call(buffer.data()), PLGetError(h), {}, true};
  size_t n = 0;
  for (; n < buffer.size() && buffer[n] != kUntouched; ++n)
    out.text += static_cast<char32_t>(static_cast<std::make_unsigned_t<T>>(buffer[n]));
  for (size_t i = n; i < buffer.size(); ++i) out.guard_intact &= buffer[i] == kUntouched;
  out.guard_intact &= n <= room;
  return out;
}

// `value` is the long's value for the Long family. `capacity` elements may be written
// (default `size`; a size in characters allows several bytes each).
inline Output call(Family family, Form form, PLLocale *h, double value, int32_t flags,
                   int32_t size, PLState state = 0, int32_t capacity = -1) {
  int32_t n = static_cast<int32_t>(value);
  if (capacity < 0) capacity = size;
  auto pick = [&](auto as_long, auto as_double, auto as_currency) {
    return family == Long ? as_long() : family == Double ? as_double() : as_currency();
  };
  switch (form) {
    case B:
      return run<char>(h, capacity, [&](char *o) {
        return pick([&] { return PLLongToString(h, n, o, size, flags); },
                    [&] { return PLDoubleToString(h, value, o, size, flags); },
                    [&] { return PLCurrencyToString(h, value, o, size, flags); });
      });
    case X:
      return run<char>(h, capacity, [&](char *o) {
        return pick([&] { return PLLongToStringEx(h, n, o, state, size, flags); },
                    [&] { return PLDoubleToStringEx(h, value, o, state, size, flags); },
                    [&] { return PLCurrencyToStringEx(h, value, o, state, size, flags); });
      });
    case UF:
      return run<PLUChar>(h, capacity, [&](PLUChar *o) {
        return pick([&] { return PLLongToStringU(h, n, o, size, flags); },
                    [&] { return PLDoubleToStringU(h, value, o, size, flags); },
                    [&] { return PLCurrencyToStringU(h, value, o, size, flags); });
      });
    case WF:
      return run<PLWChar>(h, capacity, [&](PLWChar *o) {
        return pick([&] { return PLLongToStringW(h, n, o, size, flags); },
                    [&] { return PLDoubleToStringW(h, value, o, size, flags); },
                    [&] { return PLCurrencyToStringW(h, value, o, size, flags); });
      });
  }
  return {};
}

// ---- Parsers ----

struct Read {
  double value;  // a long's value for a base
  int32_t end;   // elements read
  PLState end_state;
  int32_t code;
};

// Reads `text` (elements of `form`) in `base`, or as a double for kDouble. With a
// length the text lies in a buffer of exactly its elements, without a terminator, so
// that a read past it is a read outside the buffer.
template <class T>
Read read_as(PLLocale *h, Form form, const u32string &text, int32_t length, int32_t base,
             int32_t flags, PLState state) {
  std::unique_ptr<T[]> s(new T[text.size() + (length < 0 || text.empty() ? 1 : 0)]);
  for (size_t i = 0; i < text.size(); ++i) s[i] = static_cast<T>(text[i]);
  if (length < 0) s[text.size()] = 0;
  T *end = nullptr;
  Read out{0, 0, form == X ? 7u : 0u, 0};  // a state no Ex call leaves
  if constexpr (sizeof(T) == 1) {
    out.value = form == X ? base == kDouble
                                ? PLStringToDoubleEx(h, s.get(), state, length, &end, &out.end_state, flags)
                                : PLStringToLongEx(h, s.get(), state, length, &end, &out.end_state, base, flags)
                : base == kDouble ? PLStringToDouble(h, s.get(), length, &end, flags)
                                  : PLStringToLong(h, s.get(), length, &end, base, flags);
  } else if constexpr (sizeof(T) == 2) {
    out.value = base == kDouble ? PLStringToDoubleU(h, s.get(), length, &end, flags)
                                : PLStringToLongU(h, s.get(), length, &end, base, flags);
  } else {
    out.value = base == kDouble ? PLStringToDoubleW(h, s.get(), length, &end, flags)
                                : PLStringToLongW(h, s.get(), length, &end, base, flags);
  }
  out.end = static_cast<int32_t>(end - s.get());
  out.code = PLGetError(h);
  return out;
}

inline Read read(PLLocale *h, Form form, const u32string &text, int32_t length = -1,
                 int32_t base = 10, int32_t flags = 0, PLState state = 0) {
  if (form == UF) return read_as<PLUChar>(h, form, text, length, base, flags, state);
  if (form == WF) return read_as<PLWChar>(h, form, text, length, base, flags, state);
  return read_as<char>(h, form, text, length, base, flags, state);
}

inline bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// ---- Texts ----

inline u32string widen(const std::string &s) {
  u32string out;
  for (char c : s) out += static_cast<char32_t>(static_cast<uint8_t>(c));
  return out;
}
inline u32string widen(const u16string &s) { return {s.begin(), s.end()}; }

inline u16string from_utf8(PLLocale *utf8, const std::string &text) {
  std::vector<PLUChar> units(text.size() + 1);
  int32_t n = PLStringToUnicode(units.data(), static_cast<int32_t>(units.size()), utf8,
                                text.data(), static_cast<int32_t>(text.size()), 0);
  return u16string(units.begin(), units.begin() + std::max(n, 0));
}

// The elements of `form` for the Unicode text `text`: the units themselves, the code
// set's bytes (the Ex form on a stateful set from the single-byte state, behind a
// shift-in for a shifted start) or its packed characters.
inline u32string encoded(Form form, PLLocale *h, const u16string &text, PLState state = 0) {
  const PLUChar *units = reinterpret_cast<const PLUChar *>(text.data());
  int32_t count = static_cast<int32_t>(text.size());
  if (form == UF) return widen(text);
  u32string out;
  if (form == WF) {
    std::vector<PLWChar> packed(text.size() + 1);
    int32_t n = PLUnicodeToStringW(h, packed.data(), count + 1, units, count, 0);
    for (int32_t i = 0; i < n; ++i) out += static_cast<char32_t>(packed[i]);
    return out;
  }
  std::string bytes(4 * text.size() + 8, '\0');
  int32_t room = static_cast<int32_t>(bytes.size());
  bool stateful = form == X && PLGetLocaleNumInfo(h, PL_CODESET_STATEFUL, 0) == 1;
  int32_t n = stateful ? PLUnicodeToStringEx(h, bytes.data(), 0, room, units, count, 0)
                       : PLUnicodeToString(h, bytes.data(), room, units, count, 0);
  if (stateful && state != 0) {
    char shift_in[2] = {};
    PLGetLocaleTextInfoEx(h, PL_SHIFT_IN_BYTE, shift_in, 0, 2, 0);
    out += static_cast<char32_t>(static_cast<uint8_t>(shift_in[0]));
  }
  return out + widen(bytes.substr(0, static_cast<size_t>(std::max(n, 0))));
}

// For messages: the elements, those outside printable ASCII in hex.
inline std::string hex(const u32string &text) {
  std::string s;
  char b[12];
  for (char32_t c : text) {
    std::snprintf(b, sizeof b, c < 0x80 && c >= 0x20 ? "%c" : "<%X>", static_cast<unsigned>(c));
    s += b;
  }
  return s;
}

// ---- Locales ----

// One change to a handle's items: a text item, or a numeric one when `text` is null.
struct Change {
  int32_t item;
  const char16_t *text;
  int32_t value = 0;
};

// German conventions made the example locale: separators comma and full stop (in three
// steps, as a point may never equal its separator), grouping 3;0, two fraction digits,
// symbol $ in front without a space, negative amounts in parentheses.
inline const std::vector<Change> kExample = {
    {PL_THOUSANDS_SEP, u"'"},     {PL_DECIMAL_POINT, u"."},       {PL_THOUSANDS_SEP, u","},
    {PL_MON_THOUSANDS_SEP, u"'"}, {PL_MON_DECIMAL_POINT, u"."},   {PL_MON_THOUSANDS_SEP, u","},
    {PL_CURRENCY_SYMBOL, u"$"},   {PL_P_CS_PRECEDES, nullptr, 1}, {PL_N_CS_PRECEDES, nullptr, 1},
    {PL_P_SEP_BY_SPACE, nullptr}, {PL_N_SEP_BY_SPACE, nullptr},   {PL_N_SIGN_POSN, nullptr, 0},
    {PL_NEGATIVE_SIGN, u"-"},
};

// The library over the built data, with the handles it opened released at the end.
class NumberTest : public ::testing::Test {
 protected:
  ~NumberTest() override {
    for (PLLocale *h : opened_) EXPECT_EQ(PLReleaseLocale(h), PL_OK);
  }
  PLLocale *open(const std::string &name, const std::vector<Change> &changes = {}) {
    PLLocale *h = PLGetLocale(name.c_str(), 0, nullptr);
    EXPECT_NE(h, nullptr) << name;
    if (h == nullptr) return nullptr;
    opened_.push_back(h);
    for (const Change &c : changes) {
      const PLUChar *text = reinterpret_cast<const PLUChar *>(c.text);
      EXPECT_EQ(text ? PLSetLocaleTextInfoU(h, c.item, text, -1, 0)
                     : PLSetLocaleNumInfo(h, c.item, c.value, 0),
                1)
          << name << " item " << c.item;
    }
    return h;
  }
  // German_Germany.<codeset> with the example's items, then `changes`.
  PLLocale *example(const std::string &codeset, std::vector<Change> changes = {}) {
    changes.insert(changes.begin(), kExample.begin(), kExample.end());
    return open("German_Germany." + codeset, changes);
  }

  pltest::Session session_{pltest::built_locale_dir()};
  std::vector<PLLocale *> opened_;
};

// ---- Random values ----

// ±unit × 10^[lo, hi): amounts of every size a locale formats.
inline double random_amount(std::mt19937_64 &random, double lo, double hi) {
  std::uniform_real_distribution<double> exponent(lo, hi), unit(0, 1);
  return (random() % 2 ? -1 : 1) * unit(random) * std::pow(10, exponent(random));
}

inline int32_t random_long(std::mt19937_64 &random) {
  return static_cast<int32_t>(static_cast<uint32_t>(random()));
}

}  // namespace numtest
