// The locale's share in numeric text: the , flag rewrites a number through the number
// formatters (thousands separators by the locale's grouping), and floating text takes
// the locale's decimal point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "format/numbers/double_text.h"
#include "format/numbers/long_text.h"
#include "format/numbers/number_forms.h"
#include "format/parse/decimal_digits.h"
#include "format/printf/engine_glyphs.h"
#include "format/printf/engine_forms.h"
#include "format/printf/numeric_text.h"
#include "locale/info_items.h"
#include "locale/info_text.h"
#include "polyloc.h"

namespace pl {

// The value of a floating text the engine made (digits, point and exponent in its
// glyphs, no sign), as a reader of the text would take it.
inline double value_of_text(const char *text, size_t length, const EngineGlyphs &glyphs) {
  DecimalDigits digits;
  bool fraction = false;
  size_t i = 0;
  for (; i < length; ++i) {
    uint8_t b = static_cast<uint8_t>(text[i]);
    if (b == glyphs.point) {
      fraction = true;
    } else if (b >= glyphs.zero && b <= glyphs.zero + 9) {
      if (fraction)
        digits.fraction_digit(b - glyphs.zero);
      else
        digits.integer_digit(b - glyphs.zero);
    } else {
      break;
    }
  }
  if (i < length && (static_cast<uint8_t>(text[i]) == glyphs.e_lower ||
                     static_cast<uint8_t>(text[i]) == glyphs.e_upper)) {
    for (++i; i < length; ++i) {
      uint8_t b = static_cast<uint8_t>(text[i]);
      if (b == glyphs.minus)
        digits.negative_exponent();
      else if (b >= glyphs.zero && b <= glyphs.zero + 9)
        digits.exponent_digit(b - glyphs.zero);
    }
  }
  return digits.value(false);
}

// A number written again by the locale's number formatter, in the form's units: the
// number form of the same units (bytes under the shift rule where `ex`) and the text
// the formatter would write.
template <class T>
struct NumberFormOf;
template <>
struct NumberFormOf<char> {
  using Type = ByteForm;
};
template <>
struct NumberFormOf<PLUChar> {
  using Type = UnitForm;
};
template <>
struct NumberFormOf<PLWChar> {
  using Type = PackedForm;
};

template <class T>
class GroupedText {
 public:
  const T *text() const { return work_.data(); }
  size_t length() const { return work_.size(); }

  // An integer conversion's magnitude, as a 32-bit reader of its digits takes it: the
  // largest value of the type when it is larger.
  void integer(PLLocale &handle, uint64_t magnitude, bool is_unsigned, bool ex, int32_t flags) {
    uint64_t limit = is_unsigned ? 0xFFFFFFFFu : 0x7FFFFFFFu;
    auto value = static_cast<int32_t>(static_cast<uint32_t>(magnitude < limit ? magnitude : limit));
    typename NumberFormOf<T>::Type form(handle, ex, kSingleByteState, flags & PL_FROM_TERRITORY);
    long_text(form, value, is_unsigned, work_);
  }

  // A floating text read back and written again with six decimals.
  void real(PLLocale &handle, const char *digits, size_t digits_length, const EngineGlyphs &glyphs,
            bool ex) {
    typename NumberFormOf<T>::Type form(handle, ex, kSingleByteState, 0);
    double_text(form, value_of_text(digits, digits_length, glyphs), true, work_);
  }

 private:
  WorkText<T> work_;
};

// The locale's decimal point, one byte or one UTF-16 unit; 0 when it has none.
template <class T>
T decimal_point(PLLocale &handle, int32_t flags) {
  int index = separator_of(PL_DECIMAL_POINT);
  if ((flags & PL_FROM_TERRITORY) == 0) {
    if constexpr (std::is_same_v<T, PLUChar>)
      return handle.separators_unicode[index][0];
    else
      return static_cast<T>(static_cast<uint8_t>(handle.separators[index][0]));
  }
  KeptError kept(handle);
  if constexpr (std::is_same_v<T, PLUChar>) {
    PLUChar units[5];
    return get_text_item_u(&handle, PL_DECIMAL_POINT, units, 5, kFromTerritory) > 1 ? units[0] : 0;
  } else {
    char bytes[5];
    return get_text_item(&handle, PL_DECIMAL_POINT, bytes, 5, kFromTerritory) > 1
               ? static_cast<T>(static_cast<uint8_t>(bytes[0]))
               : 0;
  }
}

// Floating text in the form's units with the locale's decimal point in place of the
// engine's.
template <class T>
size_t localized_text(PLLocale &handle, const char *text, size_t length, uint8_t point,
                      int32_t flags, T *out) {
  T local = decimal_point<T>(handle, flags);
  if (local == 0) local = point;
  for (size_t i = 0; i < length; ++i) {
    uint8_t b = static_cast<uint8_t>(text[i]);
    out[i] = b == point ? local : static_cast<T>(b);
  }
  return length;
}

}  // namespace pl
