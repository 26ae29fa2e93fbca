// The printf engine: one walk over the format that copies its characters and turns
// each directive into text, padded and written through the form's sink. The
// arguments are already collected; the k-th consumer (a * or a conversion, in format
// order) reads the list's k-th row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "format/printf/argument_fetch.h"
#include "format/printf/argument_scan.h"
#include "format/printf/directive_reader.h"
#include "format/printf/engine_forms.h"
#include "format/printf/grouped_text.h"
#include "format/printf/numeric_text.h"

namespace pl {

struct EngineResult {
  size_t written;  // units in the output
  int32_t code;    // 0; PL_ERR_BUFFER_TOO_SMALL when cut short; a locale step's code
  bool failed;     // the call fails with `code` (a multibyte character after %)
};

template <class Form, class Arguments>
class Engine {
  using T = typename Form::Element;
  using Sink = typename Form::Sink;
  static constexpr bool kBytes = std::is_same_v<T, char>;
  static constexpr bool kUnits = std::is_same_v<T, PLUChar>;
  static constexpr bool kPacked = std::is_same_v<T, PLWChar>;

 public:
  Engine(const Form &form, Sink &sink, Arguments &args, int32_t flags)
      : form_(form), sink_(sink), args_(args), glyphs_(form.glyphs()), flags_(flags) {}

  EngineResult run(const T *format, size_t length) {
    auto cursor = form_.cursor(format, length);
    read_format(cursor, *this);
    if (bad_multibyte_) return {sink_.written(), PL_ERR_FORMAT, true};
    if (int32_t code = args_.finish(next_row_)) return {sink_.written(), code, true};
    return {sink_.written(), sink_.full() ? PL_ERR_BUFFER_TOO_SMALL : PL_OK, false};
  }

  // The directive reader's handler. The walk goes on behind a full output, writing
  // nothing, so that every argument is read as if all were collected first.
  bool running() const { return !bad_multibyte_ && !args_.missing(); }
  template <class C>
  void literal(const C &c) {
    form_.literal(sink_, c);
  }
  void literals(const T *text, size_t units) {
    if (sink_.fits(units))
      sink_.put_units(text, units);
    else
      form_.text(sink_, text, units);
  }
  // Behind a full output the walk only reads arguments.
  void bad_multibyte() { bad_multibyte_ = !sink_.full(); }
  void directive(bool consumes) {
    d_ = Directive{};
    if (consumes) row_ = next_row_++;
  }
  void flag(uint32_t a) {
    if (a == '$')
      d_.width = 0;  // closes a position number
    else
      d_.flags |= kFlagBits.of[a & 0x7F];
  }
  void width_star() {
    int64_t w = static_cast<int32_t>(take_star());
    if (w < 0) {
      d_.flags |= kLeft;
      w = -w;
    }
    d_.width = w > kMaxCount ? kMaxCount : static_cast<int32_t>(w);
  }
  void width_digit(int32_t digit) { d_.width = accumulate(d_.width, digit); }
  void dot() { d_.precision = 0; }
  void precision_star() {
    int32_t p = static_cast<int32_t>(take_star());
    d_.precision = p < 0 ? -1 : p;
  }
  void precision_digit(int32_t digit) { d_.precision = accumulate(d_.precision, digit); }
  void size(ArgSize size) { d_.size = size; }
  void conversion(uint32_t c);

 private:
  static constexpr int32_t kMaxCount = 0x7FFFFFFF;

  // What each conversion character makes.
  enum Family : uint8_t {
    kNoFamily, kIntegerFamily, kFloatingFamily, kCharacterFamily, kStringFamily, kCountFamily
  };
  static constexpr Family family_of(uint32_t c) {
    switch (c) {
      case 'd': case 'i': case 'u': case 'o': case 'x': case 'X': case 'p': return kIntegerFamily;
      case 'e': case 'E': case 'f': case 'g': case 'G': return kFloatingFamily;
      case 'c': case 'C': return kCharacterFamily;
      case 's': case 'S': return kStringFamily;
      case 'n': return kCountFamily;
      default: return kNoFamily;
    }
  }
  struct FamilyTable {
    Family of[128];
  };
  static constexpr FamilyTable kFamilies = [] {
    FamilyTable table{};
    for (uint32_t c = 0; c < 128; ++c) table.of[c] = family_of(c);
    return table;
  }();

  // Flags of a directive, one bit each.
  enum : uint8_t { kLeft = 1, kSign = 2, kSpace = 4, kAlternate = 8, kZero = 16, kGroup = 32 };
  static constexpr uint8_t flag_bit(uint32_t a) {
    return a == '-' ? kLeft : a == '+' ? kSign : a == ' ' ? kSpace : a == '#' ? kAlternate
           : a == '0' ? kZero : a == ',' ? kGroup : 0;
  }
  struct FlagBits {
    uint8_t of[128];
  };
  static constexpr FlagBits kFlagBits = [] {
    FlagBits bits{};
    for (uint32_t a = 0; a < 128; ++a) bits.of[a] = flag_bit(a);
    return bits;
  }();

  struct Directive {
    uint8_t flags = 0;
    bool left() const { return flags & kLeft; }
    bool sign() const { return flags & kSign; }
    bool space() const { return flags & kSpace; }
    bool alternate() const { return flags & kAlternate; }
    bool zero() const { return flags & kZero; }
    bool group() const { return flags & kGroup; }
    ArgSize size = ArgSize::kDefault;
    int32_t width = 0;
    int32_t precision = -1;
  };

  // Digits after a negative * start again from 0.
  static int32_t accumulate(int32_t value, int32_t digit) {
    if (value < 0) value = 0;
    return value > (kMaxCount - digit) / 10 ? kMaxCount : value * 10 + digit;
  }
  uint64_t take_star() {
    uint64_t value = args_.bits(row_, ArgKind::kInt, false);
    row_ = next_row_++;
    return value;
  }

  void integer(uint32_t c);
  void floating(uint32_t c);
  void character(uint32_t c);
  void string(uint32_t c);

  // Writes padding, the prefix, zeros and the text by the directive's flags; the text
  // is `length` units long and written by `write`.
  template <class Write>
  void emit(const uint8_t *prefix, size_t prefix_length, size_t length, Write write) {
    size_t width = static_cast<size_t>(d_.width);
    size_t used = prefix_length + length;
    size_t pad = width > used ? width - used : 0;
    if (!d_.left() && !d_.zero()) Form::pad(sink_, glyphs_.space, pad);
    for (size_t i = 0; i < prefix_length; ++i) Form::pad(sink_, prefix[i], 1);
    if (!d_.left() && d_.zero()) Form::pad(sink_, glyphs_.zero, pad);
    write();
    if (d_.left()) Form::pad(sink_, glyphs_.space, pad);
  }
  void emit_numeric(const uint8_t *prefix, size_t prefix_length, const char *text,
                    size_t length) {
    emit(prefix, prefix_length, length, [&] { Form::numeric(sink_, text, length); });
  }
  // The sign of a signed conversion.
  size_t sign_prefix(bool negative, uint8_t *prefix) const {
    if (negative) return prefix[0] = glyphs_.minus, 1;
    if (d_.sign()) return prefix[0] = glyphs_.plus, 1;
    if (d_.space()) return prefix[0] = glyphs_.space, 1;
    return 0;
  }

  const Form &form_;
  Sink &sink_;
  Arguments &args_;
  const EngineGlyphs &glyphs_;
  int32_t flags_;
  Directive d_;
  size_t row_ = 0;
  size_t next_row_ = 0;
  bool bad_multibyte_ = false;
  char text_[kTextCapacity];
};

template <class Form, class Arguments>
void Engine<Form, Arguments>::conversion(uint32_t c) {
  // One lookup, then the likely families first.
  Family family = kFamilies.of[c & 0x7F];
  if (family == kIntegerFamily) return integer(c);
  if (family == kStringFamily) return string(c);
  if (family == kFloatingFamily) return floating(c);
  if (family == kCharacterFamily) return character(c);
  if (family == kCountFamily) {
    if (void *target = const_cast<void *>(args_.pointer(row_, ArgKind::kPointer));
        target != nullptr && !sink_.full() && !args_.missing()) {
      int32_t count = static_cast<int32_t>(sink_.written());
      std::memcpy(target, &count, sizeof count);
    }
  }
  // B and Z take an argument and write nothing.
}

template <class Form, class Arguments>
void Engine<Form, Arguments>::integer(uint32_t c) {
  bool is_unsigned = false;
  ArgKind kind = kind_of(c, d_.size, Form::kKinds, &is_unsigned);
  uint64_t bits = args_.bits(row_, kind, is_unsigned);
  if (args_.missing()) return;
  bool is_signed = c == 'd' || c == 'i';
  bool negative = false;
  uint64_t magnitude;
  if (c == 'p') {
    magnitude = bits;
    if (sizeof(void *) < sizeof(uint64_t)) magnitude &= UINTPTR_MAX;
  } else if (d_.size == ArgSize::kInt64) {
    magnitude = bits;
  } else if (d_.size == ArgSize::kShort) {
    magnitude = is_signed ? static_cast<uint64_t>(static_cast<int16_t>(bits))
                          : static_cast<uint16_t>(bits);
  } else {
    magnitude = is_signed ? static_cast<uint64_t>(static_cast<int32_t>(bits))
                          : static_cast<uint32_t>(bits);
  }
  if (is_signed && static_cast<int64_t>(magnitude) < 0) {
    negative = true;
    magnitude = 0 - magnitude;
  }
  int32_t precision = d_.precision;
  if (c == 'p') precision = 2 * sizeof(void *);
  if (precision >= 0)
    d_.flags &= static_cast<uint8_t>(~kZero);
  else
    precision = 1;
  uint8_t prefix[2] = {0, 0};
  size_t prefix_length = 0;
  if (d_.group() && (is_signed || c == 'u')) {
    // The locale's formatter writes the digits; a precision's zeros do not survive.
    if (is_signed) prefix_length = sign_prefix(negative, prefix);
    GroupedText<T> grouped;
    grouped.integer(*form_.handle, magnitude, c == 'u', form_.rules.shift_rule, flags_);
    return emit(prefix, prefix_length, grouped.length(),
                [&] { form_.text(sink_, grouped.text(), grouped.length()); });
  }
  bool upper = c == 'X' || c == 'p';
  unsigned radix = c == 'o' ? 8 : (c == 'x' || c == 'X' || c == 'p') ? 16 : 10;
  TextSpan text = integer_text(magnitude, radix, upper, precision, glyphs_, text_);
  if (is_signed) {
    prefix_length = sign_prefix(negative, prefix);
  } else if (d_.alternate() && radix == 16 && magnitude != 0) {
    prefix[0] = glyphs_.zero;
    prefix[1] = upper ? glyphs_.x_upper : glyphs_.x_lower;
    prefix_length = 2;
  } else if (d_.alternate() && radix == 8 &&
             (text.length == 0 || text.text[0] != static_cast<char>(glyphs_.zero))) {
    --text.text;
    const_cast<char *>(text.text)[0] = static_cast<char>(glyphs_.zero);
    ++text.length;
  }
  emit_numeric(prefix, prefix_length, text.text, text.length);
}

template <class Form, class Arguments>
void Engine<Form, Arguments>::floating(uint32_t c) {
  double value =
      args_.real(row_, d_.size == ArgSize::kLongDouble ? ArgKind::kLongDouble : ArgKind::kDouble);
  if (args_.missing()) return;
  int32_t precision = d_.precision < 0 ? 6 : d_.precision;
  if (precision == 0 && (c == 'g' || c == 'G')) precision = 1;
  FloatText made =
      float_text(value, c, precision, d_.alternate(), kUnits || form_.ascii_based, glyphs_, text_);
  uint8_t prefix[1] = {0};
  size_t prefix_length = sign_prefix(made.negative, prefix);
  bool finite = value - value == 0;
  if (d_.group() && c != 'e' && c != 'E' && finite) {
    GroupedText<T> grouped;
    grouped.real(*form_.handle, text_, made.length, glyphs_, form_.rules.shift_rule);
    return emit(prefix, prefix_length, grouped.length(),
                [&] { form_.text(sink_, grouped.text(), grouped.length()); });
  }
  if constexpr (kBytes) {
    localized_text(*form_.handle, text_, made.length, glyphs_.point, flags_, text_);
    emit_numeric(prefix, prefix_length, text_, made.length);
  } else {
    T units[kTextCapacity];
    size_t n = localized_text(*form_.handle, text_, made.length, glyphs_.point, flags_, units);
    emit(prefix, prefix_length, n, [&] { form_.text(sink_, units, n); });
  }
}

template <class Form, class Arguments>
void Engine<Form, Arguments>::character(uint32_t c) {
  uint64_t bits = args_.bits(row_, c == 'c' ? Form::kKinds.c : Form::kKinds.C, false);
  if (args_.missing()) return;
  if constexpr (kUnits) {
    T unit = static_cast<T>(bits);
    emit(nullptr, 0, 1, [&] { sink_.put(unit); });
  } else if constexpr (kPacked) {
    PLWChar unit = static_cast<PLWChar>(bits);
    if (c == 'C') {
      char byte = static_cast<char>(bits);
      unit = form_.packed(&byte, 1);
      if (unit == 0) return;
    }
    emit(nullptr, 0, 1, [&] { sink_.put(unit); });
  } else {
    if (c == 'c') {
      char byte = static_cast<char>(bits);
      return emit(nullptr, 0, 1, [&] { sink_.put(byte); });
    }
    size_t n = form_.wide_char(static_cast<PLWChar>(bits), text_, kTextCapacity);
    if (n == 0) return;
    emit(nullptr, 0, n, [&] { form_.wide_text(sink_, text_, n); });
  }
}

template <class Form, class Arguments>
void Engine<Form, Arguments>::string(uint32_t c) {
  const void *pointer = args_.pointer(row_, c == 's' ? Form::kKinds.s : Form::kKinds.S);
  if (args_.missing()) return;
  if (pointer == nullptr) {
    const char *null_text = glyphs_.null_text;
    size_t n = 6;
    if (d_.precision >= 0 && static_cast<size_t>(d_.precision) < n)
      n = static_cast<size_t>(d_.precision);
    return emit_numeric(nullptr, 0, null_text, n);
  }
  // s takes the form's own units, and so does S in UTF-16.
  if (c == 's' || kUnits) {
    const T *s = static_cast<const T *>(pointer);
    size_t n = form_.string_length(s, d_.precision);
    return emit(nullptr, 0, n, [&] { form_.text(sink_, s, n); });
  }
  if constexpr (kPacked) {
    // Bytes, one character at a time into packed characters.
    const char *s = static_cast<const char *>(pointer);
    size_t limit = d_.precision < 0 ? SIZE_MAX : static_cast<size_t>(d_.precision);
    size_t chars = 0;
    for (size_t i = 0; chars < limit && s[i] != 0; ++chars) i += form_.char_units(s + i);
    emit(nullptr, 0, chars, [&] {
      size_t i = 0;
      for (size_t k = 0; k < chars && !sink_.full(); ++k) {
        size_t units = form_.char_units(s + i);
        PLWChar unit = form_.packed(s + i, units);
        if (unit == 0) return;
        sink_.put(unit);
        i += units;
      }
    });
  } else if constexpr (kBytes) {
    // Packed characters, each converted to bytes.
    const PLWChar *s = static_cast<const PLWChar *>(pointer);
    size_t limit = d_.precision < 0 ? SIZE_MAX : static_cast<size_t>(d_.precision);
    size_t chars = 0;
    while (chars < limit && s[chars] != 0) ++chars;
    emit(nullptr, 0, chars, [&] {
      char bytes[4];
      for (size_t k = 0; k < chars && !sink_.full(); ++k) {
        size_t n = form_.wide_char(s[k], bytes, sizeof bytes);
        if (n == 0) return;
        form_.wide_text(sink_, bytes, n);
      }
    });
  }
}

}  // namespace pl
