// The printf family against glibc's snprintf in a locale whose decimal point is a full
// stop. Random formats of integer, character, string and pointer directives must give
// glibc's text in every form and through both argument paths (a variable argument
// list and a PLArgSource). Random floating directives must give glibc's text wherever
// the floating text's own rules agree with glibc's; every other difference is put down
// to one of those rules, checked against the exact expansion of the value, and counted.
#include <array>
#include <chrono>
#include <cinttypes>
#include <deque>
#include <iomanip>
#include <optional>
#include <set>
#include <sstream>

#include "format/number_calls.h"

namespace {

using namespace numtest;
using std::string;

// ---- Arguments ----

// The argument source's callbacks, in the record's order.
enum Source : uint8_t {
  kGetInt, kGetUnsignedInt, kGetShort, kGetUnsignedShort, kGetLong, kGetUnsignedLong,
  kGetInt64, kGetUnsignedInt64, kGetDouble, kGetLongDouble, kGetChar, kGetWideChar,
  kGetUnicodeChar, kGetString, kGetWideString, kGetUnicodeString, kGetPointer
};

// How an argument travels through a variable argument list.
enum Kind : uint8_t { kInt, kInt64, kPointer, kDouble, kLongDouble };

enum FormIndex { kBase, kUnits, kPacked };  // the argument's value or pointer per form

struct Arg {
  Kind kind;
  std::array<Source, 3> source;  // the callback each form must call for it
  int64_t integer = 0;
  double real = 0;
  std::array<const void *, 3> pointer{};
};

Arg int_arg(int32_t value, Source source = kGetInt) {
  return {kInt, {source, source, source}, value, 0, {}};
}

// Calls `call` with the arguments as a variadic call passes them; `kKinds` is the set
// of kinds the caller's formats use and `kMax` their largest number.
template <unsigned kKinds, size_t kMax, class Call, class... V>
int32_t with_args(const std::vector<Arg> &args, FormIndex form, const Call &call, V... values) {
  constexpr size_t n = sizeof...(V);
  if (args.size() == n) return call(values...);
  if constexpr (n < kMax) {
    const Arg &a = args[n];
    if constexpr ((kKinds >> kInt & 1) != 0) {
      if (a.kind == kInt)
        return with_args<kKinds, kMax>(args, form, call, values..., static_cast<int>(a.integer));
    }
    if constexpr ((kKinds >> kInt64 & 1) != 0) {
      if (a.kind == kInt64)
        return with_args<kKinds, kMax>(args, form, call, values...,
                                       static_cast<long long>(a.integer));
    }
    if constexpr ((kKinds >> kPointer & 1) != 0) {
      if (a.kind == kPointer)
        return with_args<kKinds, kMax>(args, form, call, values..., a.pointer[form]);
    }
    if constexpr ((kKinds >> kDouble & 1) != 0) {
      if (a.kind == kDouble) return with_args<kKinds, kMax>(args, form, call, values..., a.real);
    }
    if constexpr ((kKinds >> kLongDouble & 1) != 0) {
      if (a.kind == kLongDouble)
        return with_args<kKinds, kMax>(args, form, call, values...,
                                       static_cast<long double>(a.real));
    }
  }
  ADD_FAILURE() << "an argument list the dispatch does not cover";
  return -2;
}

// The arguments handed out by a PLArgSource, each checked against the callback the
// directive that reads it must use.
struct Cursor {
  const std::vector<Arg> *args;
  FormIndex form;
  size_t next = 0;
  string wrong;  // the first mismatch

  const Arg *take(Source s) {
    if (next >= args->size()) {
      if (wrong.empty()) wrong = "callback " + std::to_string(s) + " past the last argument";
      return nullptr;
    }
    const Arg &a = (*args)[next++];
    if (a.source[form] != s && wrong.empty())
      wrong = "argument " + std::to_string(next) + " read by callback " + std::to_string(s) +
              ", expected " + std::to_string(a.source[form]);
    return &a;
  }
};

template <Source S, class R>
R fetch(void *context) {
  auto *cursor = static_cast<Cursor *>(context);
  const Arg *a = cursor->take(S);
  if (a == nullptr) return R{};
  if constexpr (std::is_pointer_v<R>)
    return static_cast<R>(const_cast<void *>(a->pointer[cursor->form]));
  else if constexpr (std::is_floating_point_v<R>)
    return static_cast<R>(a->real);
  else
    return static_cast<R>(a->integer);
}

PLArgSource source_of(Cursor &cursor) {
  return {&cursor,
          fetch<kGetInt, int32_t>,
          fetch<kGetUnsignedInt, uint32_t>,
          fetch<kGetShort, int16_t>,
          fetch<kGetUnsignedShort, uint16_t>,
          fetch<kGetLong, int32_t>,
          fetch<kGetUnsignedLong, uint32_t>,
          fetch<kGetInt64, int64_t>,
          fetch<kGetUnsignedInt64, uint64_t>,
          fetch<kGetDouble, double>,
          fetch<kGetLongDouble, long double>,
          fetch<kGetChar, char>,
          fetch<kGetWideChar, PLWChar>,
          fetch<kGetUnicodeChar, PLUChar>,
          fetch<kGetString, const char *>,
          fetch<kGetWideString, const PLWChar *>,
          fetch<kGetUnicodeString, const PLUChar *>,
          fetch<kGetPointer, void *>};
}

// ---- Calls ----

// The library's entry points, by form and argument path.
enum Path { kSprintf, kSnprintf, kSprintfU, kSnprintfU, kWsprintf, kWsnprintf };
const char *const kPathNames[] = {"PLSprintf",   "PLSnprintf", "PLSprintfU",
                                  "PLSnprintfU", "PLWsprintf", "PLWsnprintf"};

constexpr int32_t kRoom = 2048;

struct Printed {
  int32_t result;
  std::u32string text;  // the first `result` units
  string wrong;         // the argument source's first mismatch
};

template <class T, class Call>
Printed print_into(Call call) {
  std::vector<T> out(kRoom, static_cast<T>(0x7E));
  int32_t n = call(out.data());
  Printed p{n, {}, {}};
  for (int32_t i = 0; i < std::min(n, kRoom); ++i)
    p.text +=
        static_cast<char32_t>(static_cast<std::make_unsigned_t<T>>(out[static_cast<size_t>(i)]));
  return p;
}

template <unsigned kKinds, size_t kMax>
Printed print(PLLocale *h, Path path, const string &format, const std::vector<Arg> &args) {
  std::u16string units(format.begin(), format.end());  // formats are ASCII
  std::u32string packed(format.begin(), format.end());
  const auto *u = reinterpret_cast<const PLUChar *>(units.c_str());
  const auto *w = reinterpret_cast<const PLWChar *>(packed.c_str());
  FormIndex form = path == kSprintf || path == kSnprintf     ? kBase
                   : path == kSprintfU || path == kSnprintfU ? kUnits
                                                             : kPacked;
  Cursor cursor{&args, form, 0, {}};
  PLArgSource source = source_of(cursor);
  Printed p;
  switch (path) {
    case kSprintf:
      p = print_into<char>([&](char *o) {
        return with_args<kKinds, kMax>(args, form, [&](auto... v) {
          return PLSprintf(h, o, kRoom, format.c_str(), -1, 0, v...);
        });
      });
      break;
    case kSprintfU:
      p = print_into<PLUChar>([&](PLUChar *o) {
        return with_args<kKinds, kMax>(
            args, form, [&](auto... v) { return PLSprintfU(h, o, kRoom, u, -1, 0, v...); });
      });
      break;
    case kWsprintf:
      p = print_into<PLWChar>([&](PLWChar *o) {
        return with_args<kKinds, kMax>(
            args, form, [&](auto... v) { return PLWsprintf(h, o, kRoom, w, -1, 0, v...); });
      });
      break;
    case kSnprintf:
      p = print_into<char>(
          [&](char *o) { return PLSnprintf(h, o, kRoom, format.c_str(), -1, 0, &source); });
      break;
    case kSnprintfU:
      p = print_into<PLUChar>(
          [&](PLUChar *o) { return PLSnprintfU(h, o, kRoom, u, -1, 0, &source); });
      break;
    case kWsnprintf:
      p = print_into<PLWChar>(
          [&](PLWChar *o) { return PLWsnprintf(h, o, kRoom, w, -1, 0, &source); });
      break;
  }
  if (path == kSnprintf || path == kSnprintfU || path == kWsnprintf) {
    p.wrong = cursor.wrong;
    if (p.wrong.empty() && cursor.next != args.size())
      p.wrong =
          std::to_string(cursor.next) + " of " + std::to_string(args.size()) + " arguments read";
  }
  return p;
}

// The paths a case runs: both argument paths of the base form always, the U and W
// forms for every other case.
std::vector<Path> paths_for(size_t i) {
  if (i % 4 == 0) return {kSprintf, kSnprintf, kSprintfU, kWsprintf};
  if (i % 4 == 2) return {kSprintf, kSnprintf, kSnprintfU, kWsnprintf};
  return {kSprintf, kSnprintf};
}

template <class... V>
string c_printf(const string &format, V... values) {
  static_assert(sizeof...(V) > 0);
  char text[2048];
  int n = std::snprintf(text, sizeof text, format.c_str(), values...);
  return string(text, static_cast<size_t>(std::clamp(n, 0, static_cast<int>(sizeof text) - 1)));
}

// ---- Random directives ----

const char kLiteral[] = "abcXYZ019 .,;:-+#()<>!?=_/";

// Literal text, now and then %%; its output is appended to `expected`.
string literal_text(std::mt19937_64 &random, string &expected) {
  string format;
  for (size_t n = random() % 4; n > 0; --n) {
    if (random() % 8 == 0) {
      format += "%%";
      expected += '%';
    } else {
      char c = kLiteral[random() % (sizeof kLiteral - 1)];
      format += c;
      expected += c;
    }
  }
  return format;
}

string random_flags(std::mt19937_64 &random) {
  string flags;
  for (char f : string("-+ #0"))
    if (random() % 4 == 0) flags += f;
  std::shuffle(flags.begin(), flags.end(), random);
  return flags;
}

bool has(const string &flags, char f) { return flags.find(f) != string::npos; }

// A width or precision: absent, written, or a * with its argument.
struct Field {
  enum Mode { kAbsent, kWritten, kStar } mode = kAbsent;
  int32_t value = 0;
  bool bare_dot = false;  // a written precision 0 as "."

  string text(bool precision) const {
    if (mode == kAbsent) return "";
    string digits = mode == kStar ? "*" : bare_dot ? "" : std::to_string(value);
    return precision ? "." + digits : digits;
  }
  // The precision the directive uses; -1 when none.
  int32_t precision() const { return mode == kAbsent || value < 0 ? -1 : value; }
};

Field random_width(std::mt19937_64 &random, int32_t max) {
  uint64_t r = random() % 10;
  if (r < 4) return {};
  if (r < 8)
    return {Field::kWritten, static_cast<int32_t>(1 + random() % static_cast<uint64_t>(max))};
  return {Field::kStar, static_cast<int32_t>(random() % static_cast<uint64_t>(2 * max + 1)) - max};
}

int32_t random_int32(std::mt19937_64 &random) {
  const int32_t kEdges[] = {0, 1, -1, INT32_MIN, INT32_MAX, 0xFFFF, -32768, 32767, 0x8000};
  if (random() % 10 == 0) return kEdges[random() % std::size(kEdges)];
  return static_cast<int32_t>(static_cast<uint32_t>(random())) >> (random() % 32);
}

int64_t random_int64(std::mt19937_64 &random) {
  const int64_t kEdges[] = {0, 1, -1, INT64_MIN, INT64_MAX, INT32_MIN, 0xFFFFFFFF};
  if (random() % 10 == 0) return kEdges[random() % std::size(kEdges)];
  return static_cast<int64_t>(random()) >> (random() % 64);
}

// A format with its arguments, and glibc's text for it.
struct Case {
  string format, expected, trace;
  std::vector<Arg> args;
  std::deque<string> bytes;  // string arguments in the three forms' units
  std::deque<std::u16string> units;
  std::deque<std::u32string> packed;
};

constexpr size_t kMaxIntegerArgs = 4;

// Appends one integer, character, string or pointer directive, its arguments and
// glibc's text for it; false when its arguments would not fit the dispatch.
//
// Where the library means something else than glibc, glibc's directive is mapped:
// - l is 32 bits here: glibc gets the directive without the l and an int;
// - %p writes the pointer as upper-case hexadecimal of 2 * sizeof(void *) digits:
//   glibc gets %.16lX (the flags and width kept) and the pointer as an integer; %p
//   takes no precision here;
// - the 0 flag pads %s and %c with zeros here, with spaces in glibc: glibc's text is
//   made without width and padded with zeros;
// - a null %s writes "(null)" cut to the precision here, nothing under a precision
//   below 6 in glibc: null strings come only without precision or with 6 or more.
// hh is no size here and is not generated.
bool add_integer_directive(std::mt19937_64 &random, Case &c, bool any_byte) {
  const char kConversions[] = "ddiiuuooxxXXcccssssp";
  char conv = kConversions[random() % (sizeof kConversions - 1)];
  bool integer = std::strchr("diuoxX", conv) != nullptr;
  bool is_unsigned = std::strchr("uoxX", conv) != nullptr;
  string flags = random_flags(random);
  Field width = random_width(random, 25), precision;
  if (conv != 'p') {
    uint64_t r = random() % 10;
    if (r < 5)
      precision = {};
    else if (r < 8)
      precision = {Field::kWritten, static_cast<int32_t>(random() % 26), random() % 6 == 0};
    else
      precision = {Field::kStar, static_cast<int32_t>(random() % 31) - 5};
    if (precision.bare_dot) precision.value = 0;
  }
  size_t needed = 1 + (width.mode == Field::kStar) + (precision.mode == Field::kStar);
  if (c.args.size() + needed > kMaxIntegerArgs) return false;
  const char *const kSizes[] = {"", "h", "l", "ll"};
  string size = integer ? kSizes[random() % 4] : "";

  bool left = has(flags, '-') || (width.mode == Field::kStar && width.value < 0);
  size_t columns = static_cast<size_t>(std::abs(width.value));
  c.format += "%" + flags + width.text(false) + precision.text(true) + size + conv;
  if (width.mode == Field::kStar) {
    c.args.push_back(int_arg(width.value));
    c.trace += "width " + std::to_string(width.value) + ", ";
  }
  if (precision.mode == Field::kStar) {
    c.args.push_back(int_arg(precision.value));
    c.trace += "precision " + std::to_string(precision.value) + ", ";
  }

  bool zero_padded_text = (conv == 'c' || conv == 's') && has(flags, '0') && !left;
  string glibc_flags = flags;
  if (zero_padded_text) glibc_flags.erase(glibc_flags.find('0'), 1);
  string format = "%" + glibc_flags;
  std::vector<int> stars;
  if (!zero_padded_text) {
    format += width.text(false);
    if (width.mode == Field::kStar) stars.push_back(width.value);
  }
  if (conv == 'p') {
    format += "." + std::to_string(2 * sizeof(void *)) + PRIXPTR;
  } else {
    format += precision.text(true);
    if (precision.mode == Field::kStar) stars.push_back(precision.value);
    format += (size == "l" ? "" : size) + conv;
  }
  auto glibc = [&](auto value) {
    if (stars.empty()) return c_printf(format, value);
    if (stars.size() == 1) return c_printf(format, stars[0], value);
    return c_printf(format, stars[0], stars[1], value);
  };

  string text;
  if (integer) {
    Source source = size == ""    ? (is_unsigned ? kGetUnsignedInt : kGetInt)
                    : size == "h" ? (is_unsigned ? kGetUnsignedShort : kGetShort)
                    : size == "l" ? (is_unsigned ? kGetUnsignedLong : kGetLong)
                                  : (is_unsigned ? kGetUnsignedInt64 : kGetInt64);
    if (size == "ll") {
      int64_t v = random_int64(random);
      c.args.push_back({kInt64, {source, source, source}, v, 0, {}});
      text = is_unsigned ? glibc(static_cast<unsigned long long>(v))
                         : glibc(static_cast<long long>(v));
      c.trace += "int64 " + std::to_string(v) + ", ";
    } else {
      int32_t v = random_int32(random);
      c.args.push_back(int_arg(v, source));
      text = is_unsigned ? glibc(static_cast<unsigned>(v)) : glibc(v);
      c.trace += "int " + std::to_string(v) + ", ";
    }
  } else if (conv == 'c') {
    int32_t v =
        random() % 50 == 0 ? 0 : static_cast<int32_t>(1 + random() % (any_byte ? 255 : 127));
    c.args.push_back({kInt, {kGetChar, kGetUnicodeChar, kGetWideChar}, v, 0, {}});
    text = glibc(v);
    c.trace += "char " + std::to_string(v) + ", ";
  } else if (conv == 's') {
    Arg a{kPointer, {kGetString, kGetUnicodeString, kGetWideString}, 0, 0, {}};
    int32_t limit = precision.precision();
    if (random() % 20 == 0 && (limit < 0 || limit >= 6)) {
      c.trace += "null string, ";
    } else {
      string s;
      for (size_t n = random() % 12; n > 0; --n) s += static_cast<char>(0x20 + random() % 0x5F);
      c.bytes.push_back(s);
      c.units.emplace_back(s.begin(), s.end());
      c.packed.emplace_back(s.begin(), s.end());
      a.pointer = {c.bytes.back().c_str(), c.units.back().c_str(), c.packed.back().c_str()};
      c.trace += "string \"" + s + "\", ";
    }
    c.args.push_back(a);
    text = glibc(static_cast<const char *>(a.pointer[kBase]));
  } else {
    uint64_t r = random() % 8;
    uintptr_t v = r == 0 ? 0 : r == 1 ? random() % 0x10000 : static_cast<uintptr_t>(random());
    const void *p = reinterpret_cast<const void *>(v);
    c.args.push_back({kPointer, {kGetPointer, kGetPointer, kGetPointer}, 0, 0, {p, p, p}});
    text = glibc(v);
    c.trace += "pointer " + std::to_string(v) + ", ";
  }
  if (zero_padded_text && text.size() < columns) text.insert(0, columns - text.size(), '0');
  c.expected += text;
  return true;
}

Case integer_case(std::mt19937_64 &random, bool any_byte) {
  Case c;
  c.format = literal_text(random, c.expected);
  for (size_t directives = 1 + random() % 3; directives > 0; --directives) {
    if (!add_integer_directive(random, c, any_byte)) break;
    c.format += literal_text(random, c.expected);
  }
  return c;
}

// The library over the built data in a locale whose decimal point is a full stop.
class PrintfGlibc : public NumberTest {};

TEST_F(PrintfGlibc, IntegerCharacterStringAndPointerDirectives) {
  // UTF-8 with ASCII characters for %c, and a single-byte set where %c takes any byte.
  PLLocale *locales[] = {open("English_UnitedStates.UTF-8"), open("English_UnitedStates.MS1252")};
  ASSERT_TRUE(locales[0] && locales[1]);
  std::mt19937_64 random(61);
  size_t count = sweep(100000, 1000000), calls = 0, failures = 0, wrong_callbacks = 0;
  string first_wrong_callback;
  auto start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < count && failures < 10; ++i) {
    bool any_byte = i % 2 == 1;
    Case c = integer_case(random, any_byte);
    std::u32string expected = widen(c.expected);
    for (Path path : paths_for(i)) {
      Printed p = print<(1u << kInt) | (1u << kInt64) | (1u << kPointer), kMaxIntegerArgs>(
          locales[any_byte], path, c.format, c.args);
      ++calls;
      string where = string(kPathNames[path]) + " in " + (any_byte ? "MS1252" : "UTF-8") +
                     ", format " + c.format + " with " + c.trace;
      if (!p.wrong.empty() && wrong_callbacks++ == 0) first_wrong_callback = where + ": " + p.wrong;
      if (p.result == static_cast<int32_t>(expected.size()) && p.text == expected) continue;
      ++failures;
      ADD_FAILURE() << where << "\n  expected " << c.expected.size() << " [" << hex(expected)
                    << "]\n       got " << p.result << " [" << hex(p.text) << "]";
    }
  }
  // The argument source's callbacks: the one of each directive's type, in position order.
  EXPECT_EQ(wrong_callbacks, 0u) << "first: " << first_wrong_callback;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "integer, character, string and pointer directives: %zu formats, %zu calls in %.1f s\n",
      count, calls, seconds);
  RecordProperty("formats", static_cast<int>(count));
  RecordProperty("calls", static_cast<int>(calls));
}

// ---- Floating directives ----

// Why the library's floating text differs from glibc's.
enum Why {
  kIdentical,
  // Rounding: half-up on the 40-digit expansion against glibc's exact rounding to even.
  kTie, kRounded40, kPast40, kPoint16,
  // Layout choices.
  kNoMinus, kZeroPadsInf, kCap, kGNotation, kGOneDigit, kGSharpZeros, kGFraction,
  kGSharpPoint, kGTruncated, kGUpperZeros,
  kWhyCount
};
const char *const kWhyKeys[] = {
    "identical",        "tie_half_up",     "rounded_40th_digit", "past_40_digits",
    "point_16_digits",  "no_minus",        "zero_pads_inf_nan",  "digits_stop_347",
    "g_notation",       "g_precision_1",   "g_sharp_zeros",      "g_fraction_digits",
    "g_sharp_no_point", "g_p_of_p_plus_1", "G_keeps_zeros",
};
const char *const kWhyTexts[] = {
    "identical to glibc",
    "a tie at the rounding digit goes up (glibc: to even)",
    "the 40th digit's rounding reaches the rounding digit",
    "the rounding digit lies past the 40 printed digits",
    "the point from the 16-digit rounding (just below a power of ten)",
    "-0.0 and a negative NaN write no minus",
    "the 0 flag pads inf and nan with zeros",
    "the digits stop at 347",
    "g: the notation follows the exponent before rounding (0 from 0.0001 to 1)",
    "g: precision 1 in fixed notation writes no fraction digit",
    "g: fixed notation removes zeros also under #",
    "g: fixed notation writes P fraction digits",
    "g: exponent notation with # and precision 0 or 1 writes no point",
    "g: exponent notation writes P of P + 1 rounded digits",
    "G: exponent notation keeps trailing zeros",
};
static_assert(std::size(kWhyKeys) == kWhyCount && std::size(kWhyTexts) == kWhyCount);

constexpr int kMaxDigits = 347;

struct FloatDirective {
  bool left = false, plus = false, space = false, alternate = false, zero = false;
  size_t width = 0;
  int32_t precision = -1;  // -1: none
  char conv = 'f';
};

// A decimal expansion of |x|: digits aligned at the point (the integer digits, then
// the fraction) or at the first significant digit, and decpt.
struct Digits {
  string digits;
  int decpt = 0;
};

// The library's expansions ("%.40f" with decpt from "%.16g"; "%.39e" for exponent
// notation below 1) beside the exact ones, whose decpt follows the same rule on the
// exact value: the integer digits from 1 up, 0 from 0.0001 up to 1, the exponent + 1
// below.
struct Expansions {
  Digits fixed, significant, exact_fixed, exact_significant;
};

Expansions expansions_of(double a) {
  Expansions ex;
  string fixed = c_printf("%.40f", a);
  size_t point = fixed.find('.');
  ex.fixed.digits =
      a >= 1 ? fixed.substr(0, point) + fixed.substr(point + 1) : fixed.substr(point + 1);
  string general = c_printf("%.16g", a);
  size_t letter = general.find('e');
  if (letter != string::npos) {
    ex.fixed.decpt = std::atoi(general.c_str() + letter + 1) + 1;
  } else {
    size_t dot = general.find('.');
    ex.fixed.decpt = static_cast<int>(dot == string::npos ? general.size() : dot) - (a < 1 ? 1 : 0);
  }
  string scientific = c_printf("%.39e", a);
  letter = scientific.find('e');
  ex.significant = {scientific.substr(0, 1) + scientific.substr(2, letter - 2),
                    std::atoi(scientific.c_str() + letter + 1) + 1};
  string exact = c_printf("%.1100f", a);  // every double's fraction ends by 1074 digits
  point = exact.find('.');
  string fraction = exact.substr(point + 1);
  if (a >= 1) {
    ex.exact_fixed = {exact.substr(0, point) + fraction, static_cast<int>(point)};
  } else {
    size_t zeros = fraction.find_first_not_of('0');
    int below = zeros == string::npos ? 0 : -static_cast<int>(zeros);
    ex.exact_fixed = {fraction, a >= 1e-4 ? 0 : below};
    if (zeros != string::npos) ex.exact_significant = {fraction.substr(zeros), below};
  }
  return ex;
}

// The first n digits rounded half-up on the next one, or exactly to even on all that
// follow; a carry out of the first digit gives 1 and n zeros and adds 1 to decpt.
Digits rounded(const Digits &s, int n, bool to_even) {
  size_t kept = static_cast<size_t>(std::max(n, 0));
  Digits r{s.digits.substr(0, kept), s.decpt};
  r.digits.resize(kept, '0');
  bool up = false;
  if (kept < s.digits.size()) {
    char next = s.digits[kept];
    if (!to_even) {
      up = next >= '5';
    } else {
      bool beyond = s.digits.find_first_not_of('0', kept + 1) != string::npos;
      bool odd = kept > 0 && (r.digits[kept - 1] - '0') % 2 == 1;
      up = next > '5' || (next == '5' && (beyond || odd));
    }
  }
  if (!up) return r;
  size_t i = kept;
  for (; i > 0 && r.digits[i - 1] == '9'; --i) r.digits[i - 1] = '0';
  if (i > 0) {
    ++r.digits[i - 1];
  } else {
    r.digits.insert(0, 1, '1');
    ++r.decpt;
  }
  return r;
}

// How the model places the point and rounds: the library's way (decpt from "%.16g",
// half-up on the printed digits) or the exact one (decpt of the exact value, to even
// on the exact expansion).
struct Mode {
  bool exact_point, exact_digits;
};
constexpr Mode kLibrary{false, false}, kExactPoint{true, false}, kExact{true, true};

// Rounding for the model by `mode`, noting in `log` why a cut rounded half-up on the
// printed digits comes out otherwise than the exact one.
struct Rounder {
  const Expansions &ex;
  Mode mode;
  std::set<Why> *log;

  Digits operator()(bool significant, int n) const {
    const Digits &printed = significant ? ex.significant : ex.fixed;
    const Digits &full = significant ? ex.exact_significant : ex.exact_fixed;
    Digits even = rounded(full, n, true);
    Digits r = even;
    if (!mode.exact_digits) {
      r = rounded(printed, n, false);
      r.decpt += full.decpt - printed.decpt;  // the same point as the exact digits
      if (log != nullptr && (r.digits != even.digits || r.decpt != even.decpt)) {
        size_t at = static_cast<size_t>(std::max(n, 0));
        bool tie = at < full.digits.size() && full.digits[at] == '5' &&
                   full.digits.find_first_not_of('0', at + 1) == string::npos;
        log->insert(tie ? kTie : at >= printed.digits.size() ? kPast40 : kRounded40);
      }
    }
    if (!mode.exact_point) r.decpt += printed.decpt - full.decpt;
    return r;
  }
};

string scientific_layout(const string &digits, int more, int exponent, bool upper) {
  string text = digits.substr(0, 1);
  if (more > 0) text += "." + digits.substr(1, static_cast<size_t>(more));
  char e[16];
  std::snprintf(e, sizeof e, "%c%+.3d", upper ? 'E' : 'e', exponent);
  return text + e;
}

string fixed_layout(const string &digits, int fraction, int shown) {
  int whole = static_cast<int>(digits.size()) - fraction;
  string text = whole > 0 ? digits.substr(0, static_cast<size_t>(whole)) : "0";
  if (shown > 0)
    text += "." + digits.substr(digits.size() - static_cast<size_t>(fraction),
                                static_cast<size_t>(shown));
  return text;
}

// Removes the zeros that end the fraction (before an exponent), and a bare point.
void remove_fraction_zeros(string &text) {
  size_t point = text.find('.');
  if (point == string::npos) return;
  size_t tail = std::min(text.find_first_of("eE"), text.size());
  size_t keep = tail;
  while (keep > point + 1 && text[keep - 1] == '0') --keep;
  if (keep == point + 1) keep = point;
  text.erase(keep, tail - keep);
}

string padded(const string &prefix, const string &text, const FloatDirective &f, bool zeros) {
  size_t used = prefix.size() + text.size();
  string pad(f.width > used ? f.width - used : 0, ' ');
  if (f.left) return prefix + text + pad;
  if (zeros) return prefix + string(pad.size(), '0') + text;
  return pad + prefix + text;
}

struct Modelled {
  string text;
  bool fixed_notation = false;  // g chose fixed notation
};

// The directive's text by the library's documented rules (float_conversion.h and the
// engine's finishing), with the point and the rounding that `mode` asks for.
Modelled model(double x, const FloatDirective &f, const Expansions *ex, Mode mode,
               std::set<Why> *log = nullptr) {
  char lower = static_cast<char>(f.conv | 0x20);
  bool upper = f.conv != lower;
  int p = f.precision < 0 ? 6 : f.precision;
  if (lower == 'g' && p == 0) p = 1;
  Modelled m;
  string &text = m.text;
  bool negative = false;
  if (std::isnan(x)) {
    text = upper ? "NAN" : "nan";
  } else if (std::isinf(x)) {
    text = upper ? "INF" : "inf";
    negative = x < 0;
  } else {
    negative = x < 0;
    double a = std::fabs(x);
    Rounder round{*ex, mode, log};
    const Digits &fixed = mode.exact_point ? ex->exact_fixed : ex->fixed;
    if (lower == 'e') {
      int q = std::min(p, kMaxDigits - 1);
      if (a == 0) {
        text = scientific_layout(string(static_cast<size_t>(q) + 1, '0'), q, 0, upper);
      } else {
        Digits r = round(a < 1, q + 1);
        text = scientific_layout(r.digits, q, r.decpt - 1, upper);
      }
    } else if (lower == 'f') {
      int whole = std::max(fixed.decpt, 0), q = std::min(p, kMaxDigits - whole);
      text = fixed_layout(round(false, q + whole).digits, q, q);
    } else if (fixed.decpt - 1 >= -1 && fixed.decpt - 1 <= p - 1) {
      m.fixed_notation = true;
      int q = std::min(p, kMaxDigits - std::max(fixed.decpt, 0));
      text = fixed_layout(round(false, fixed.decpt + q).digits, q, q >= 2 ? q : 0);
      remove_fraction_zeros(text);
    } else {
      int q = std::min(p, kMaxDigits - 1);
      Digits r = round(a < 1, q == 1 ? 1 : q + 1);
      text = scientific_layout(r.digits.substr(0, static_cast<size_t>(q) + 1), q - 1, r.decpt - 1,
                               upper);
    }
    if (f.alternate && p == 0) text.insert(std::min(text.find_first_of("eE"), text.size()), 1, '.');
    if (f.conv == 'g' && !f.alternate) remove_fraction_zeros(text);
  }
  string prefix = negative ? "-" : f.plus ? "+" : f.space ? " " : "";
  text = padded(prefix, text, f, f.zero);
  return m;
}

// glibc's text of the directive at `precision` (-1: none), its exponent widened to
// three digits; inf and nan are zero-padded only when asked.
string glibc_text(double x, const FloatDirective &f, int32_t precision, bool zero_pads_inf) {
  string format =
      string("%") + (f.plus ? "+" : "") + (f.space ? " " : "") + (f.alternate ? "#" : "");
  if (precision >= 0) format += "." + std::to_string(precision);
  string text = c_printf(format + f.conv, x);
  size_t letter = text.find_first_of("eE");
  if (letter != string::npos && text.size() - letter == 4) text.insert(letter + 2, 1, '0');
  string prefix;
  if (!text.empty() && std::strchr("+- ", text[0]) != nullptr) {
    prefix = text.substr(0, 1);
    text.erase(0, 1);
  }
  return padded(prefix, text, f, f.zero && (std::isfinite(x) || zero_pads_inf));
}

// The digits of a text's mantissa, without the zeros that end it.
string mantissa(const string &text) {
  string digits;
  for (char c : text.substr(0, text.find_first_of("eE")))
    if (c >= '0' && c <= '9') digits += c;
  digits.erase(digits.find_last_not_of('0') + 1);
  return digits;
}

// Which layout choice makes the library's text with exact digits (`exact`) differ
// from glibc's; kWhyCount when none does. e and f must come out as glibc's text once
// the sign, the padding of inf and nan, and the 347-digit stop are applied to it; g
// differences are put down to its notation and layout rules.
Why layout_reason(double x, const FloatDirective &f, const Modelled &exact, const Expansions *ex) {
  std::vector<Why> why;
  double y = x;
  if (std::signbit(x) && (x == 0 || std::isnan(x))) {
    y = std::copysign(x, 1.0);
    why.push_back(kNoMinus);
  }
  bool zero_pads_inf = !std::isfinite(x) && f.zero && !f.left;
  if (zero_pads_inf && glibc_text(y, f, f.precision, true) != glibc_text(y, f, f.precision, false))
    why.push_back(kZeroPadsInf);
  char lower = static_cast<char>(f.conv | 0x20);
  int p = f.precision < 0 ? 6 : f.precision;
  int32_t precision = f.precision;
  if (std::isfinite(x) && lower != 'g') {
    int cap = lower == 'e' ? kMaxDigits - 1 : kMaxDigits - std::max(ex->exact_fixed.decpt, 0);
    if (p > cap) {
      precision = cap;
      why.push_back(kCap);
    }
  }
  string theirs = glibc_text(y, f, precision, zero_pads_inf);
  if (theirs == exact.text) return why.empty() ? kWhyCount : why.front();
  if (lower != 'g' || !std::isfinite(x)) return kWhyCount;

  if (p == 0) p = 1;
  double a = std::fabs(x);
  string scientific = c_printf("%.*e", p - 1, a);
  int exponent = a == 0 ? 0 : std::atoi(scientific.c_str() + scientific.find('e') + 1);
  bool glibc_fixed = exponent >= -4 && exponent < p;
  if (glibc_fixed != exact.fixed_notation) return kGNotation;
  if (exact.fixed_notation) {
    if (p > kMaxDigits - std::max(ex->exact_fixed.decpt, 0)) return kCap;
    if (p == 1) return kGOneDigit;
    if (exponent != -1) return kGFraction;  // glibc writes P - 1 - exponent of them
    if (f.alternate) return kGSharpZeros;
    return kWhyCount;
  }
  if (p > kMaxDigits - 1) return kCap;
  if (f.alternate && p == 1) return kGSharpPoint;
  if (mantissa(exact.text) != mantissa(theirs)) return kGTruncated;
  if (f.conv == 'G' && !f.alternate) return kGUpperZeros;
  return kWhyCount;
}

double from_bits(uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// Doubles from every corner, both signs: any bit pattern, ties and near ties at the
// rounded digit, x.5 to x.0625, subnormals, integers above 2^53, powers of ten and
// their neighbours, short decimals, every magnitude, the doubles just below the powers
// of ten they miss, and special values.
double some_double(std::mt19937_64 &random, size_t i, int precision) {
  double x;
  switch (i % 10) {
    case 0: {
      uint64_t bits = random();
      if (random() % 50 == 0) bits &= ~(uint64_t{0x7FF} << 52);
      x = from_bits(bits);
      break;
    }
    case 1:
      x = std::ldexp(static_cast<double>(2 * (random() % (1u << 30)) + 1),
                     -(std::min(precision, 60) + 1 + static_cast<int>(random() % 4)));
      break;
    case 2:
      x = std::ldexp(static_cast<double>(2 * (random() % 100000) + 1),
                     -static_cast<int>(1 + random() % 4));
      break;
    case 3: x = from_bits(random() % (uint64_t{1} << 52)); break;
    case 4:
      x = std::ldexp(static_cast<double>(random() >> 11), 53 + static_cast<int>(random() % 80));
      break;
    case 5:
    case 8: {
      // Case 8: the powers of ten that no double meets, where the one below may lie
      // within 5e-17 of them.
      int k = i % 10 == 5    ? static_cast<int>(random() % 632) - 323
              : random() % 2 ? 23 + static_cast<int>(random() % 286)
                             : -5 - static_cast<int>(random() % 16);
      x = std::pow(10.0, k);
      int step = i % 10 == 5 ? static_cast<int>(random() % 5) - 2 : -static_cast<int>(random() % 3);
      for (; step < 0; ++step) x = std::nextafter(x, 0.0);
      for (; step > 0; --step) x = std::nextafter(x, HUGE_VAL);
      break;
    }
    case 6:
      x = static_cast<double>(random() % 2000000) /
          std::pow(10.0, static_cast<double>(random() % 7));
      break;
    case 7: x = std::pow(10.0, std::uniform_real_distribution<double>(-320, 308.2)(random)); break;
    default: {
      using Limits = std::numeric_limits<double>;
      const double kSpecial[] = {0.0, HUGE_VAL, NAN, Limits::max(), Limits::min(),
                                 Limits::denorm_min(), 0.5, 1.5, 2.5, 0.125, 1e-4, 9.5, 99.5,
                                 0.05, 1e15, 1e16, 1e17, 1e22, 1e23, 999999.5, 9.9999996,
                                 0.00009999995};
      x = kSpecial[random() % std::size(kSpecial)];
    }
  }
  return random() % 2 ? -x : x;
}

struct FloatCase {
  string format, before, after;  // the format, and the literal output around the directive
  FloatDirective directive;
  double x;
  std::vector<Arg> args;
};

FloatCase float_case(std::mt19937_64 &random, size_t i) {
  FloatCase c;
  string before = literal_text(random, c.before);
  string flags = random_flags(random);
  Field width = random_width(random, 30), precision;
  uint64_t r = random() % 100;
  if (r < 20)
    precision = {};
  else if (r < 30)
    precision = {Field::kStar, static_cast<int32_t>(random() % 24) - 3};
  else if (r < 85)
    precision = {Field::kWritten, static_cast<int32_t>(random() % 21), random() % 8 == 0};
  else if (r < 97)
    precision = {Field::kWritten, static_cast<int32_t>(21 + random() % 40)};
  else
    precision = {Field::kWritten, static_cast<int32_t>(61 + random() % 340)};
  if (precision.bare_dot) precision.value = 0;
  const char kConversions[] = "ffeeggEG";
  char conv = kConversions[random() % (sizeof kConversions - 1)];
  bool long_double = random() % 5 == 0;
  c.format = before + "%" + flags + width.text(false) + precision.text(true) +
             (long_double ? "L" : "") + conv;
  c.format += literal_text(random, c.after);
  if (width.mode == Field::kStar) c.args.push_back(int_arg(width.value));
  if (precision.mode == Field::kStar) c.args.push_back(int_arg(precision.value));
  c.x = some_double(random, i, std::max(precision.precision(), 6));
  Source source = long_double ? kGetLongDouble : kGetDouble;
  c.args.push_back({long_double ? kLongDouble : kDouble, {source, source, source}, 0, c.x, {}});
  FloatDirective &f = c.directive;
  f.left = has(flags, '-') || (width.mode == Field::kStar && width.value < 0);
  f.plus = has(flags, '+');
  f.space = has(flags, ' ');
  f.alternate = has(flags, '#');
  f.zero = has(flags, '0');
  f.width = static_cast<size_t>(std::abs(width.value));
  f.precision = precision.precision();
  f.conv = conv;
  return c;
}

TEST_F(PrintfGlibc, FloatingDirectives) {
  PLLocale *h = open("English_UnitedStates.UTF-8");
  ASSERT_NE(h, nullptr);
  std::mt19937_64 random(62);
  size_t count = sweep(100000, 1000000), calls = 0, failures = 0;
  std::array<std::array<size_t, 3>, kWhyCount> counts{};  // by reason and by e, f, g
  std::array<string, kWhyCount> examples;
  auto start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < count && failures < 10; ++i) {
    FloatCase c = float_case(random, i);
    std::ostringstream what;
    what << "format " << c.format << " with " << std::hexfloat << c.x << std::defaultfloat << " ("
         << std::setprecision(17) << c.x << ")";
    // Every path writes the same text.
    Printed base;
    bool same_everywhere = true;
    for (Path path : paths_for(i)) {
      Printed p =
          print<(1u << kInt) | (1u << kDouble) | (1u << kLongDouble), 3>(h, path, c.format, c.args);
      ++calls;
      if (path == kSprintf) {
        base = p;
      } else if (p.result != base.result || p.text != base.text || !p.wrong.empty()) {
        ADD_FAILURE() << kPathNames[path] << ", " << what.str() << "\n  PLSprintf " << base.result
                      << " [" << hex(base.text) << "]\n  " << kPathNames[path] << " " << p.result
                      << " [" << hex(p.text) << "] " << p.wrong;
        same_everywhere = false;
      }
    }
    if (!same_everywhere) {
      ++failures;
      continue;
    }
    string ours;
    for (char32_t u : base.text) ours += static_cast<char>(u);
    if (base.result != static_cast<int32_t>(ours.size()) ||
        ours.size() < c.before.size() + c.after.size() ||
        ours.compare(0, c.before.size(), c.before) != 0 ||
        ours.compare(ours.size() - c.after.size(), c.after.size(), c.after) != 0) {
      ADD_FAILURE() << what.str() << ": literal text lost: " << base.result << " [" << ours << "]";
      ++failures;
      continue;
    }
    ours = ours.substr(c.before.size(), ours.size() - c.before.size() - c.after.size());

    const FloatDirective &f = c.directive;
    size_t column = f.conv == 'f' ? 1 : (f.conv | 0x20) == 'e' ? 0 : 2;
    string theirs = glibc_text(c.x, f, f.precision, false);
    if (ours == theirs) {
      ++counts[kIdentical][column];
      continue;
    }
    // A difference: the library must follow its own rules, and the difference must
    // come from one of them.
    std::optional<Expansions> ex;
    if (std::isfinite(c.x)) ex = expansions_of(std::fabs(c.x));
    const Expansions *e = ex ? &*ex : nullptr;
    if (e != nullptr && std::fabs(c.x) < 1 && c.x != 0 &&
        e->significant.decpt != e->exact_significant.decpt) {
      ADD_FAILURE() << what.str() << ": \"%.39e\" carried into the exponent";
      ++failures;
      continue;
    }
    string rules = model(c.x, f, e, kLibrary).text;
    if (ours != rules) {
      ADD_FAILURE() << what.str() << "\n  library [" << ours << "]\n    rules [" << rules
                    << "]\n    glibc [" << theirs << "]";
      ++failures;
      continue;
    }
    // From the library's rules to glibc's text in three steps: the point placed from
    // the exact value, the digits rounded exactly, and the layout; each step that
    // changes the text must be explained.
    std::set<Why> log;
    string exact_point = model(c.x, f, e, kExactPoint, &log).text;
    Modelled exact = model(c.x, f, e, kExact);
    Why why = kWhyCount;
    if (exact_point != rules)
      why = kPoint16;
    else if (exact.text != exact_point && !log.empty())
      why = *log.begin();
    bool explained = exact.text == exact_point || !log.empty();
    if (exact.text != theirs) {
      Why layout = layout_reason(c.x, f, exact, e);
      if (layout == kWhyCount)
        explained = false;
      else if (why == kWhyCount)
        why = layout;
    }
    if (!explained) why = kWhyCount;
    if (why == kWhyCount) {
      ADD_FAILURE() << what.str() << ": no rule explains the difference\n  library [" << ours
                    << "]\n    exact [" << exact.text << "]\n    glibc [" << theirs << "]";
      ++failures;
      continue;
    }
    if (counts[why][0] + counts[why][1] + counts[why][2] == 0)
      examples[why] = what.str() + ": [" + ours + "], glibc [" + theirs + "]";
    ++counts[why][column];
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("floating directives: %zu formats, %zu calls in %.1f s\n%-72s %8s %8s %8s\n", count,
              calls, seconds, "", "e E", "f", "g G");
  for (int why = 0; why < kWhyCount; ++why) {
    const auto &n = counts[static_cast<size_t>(why)];
    std::printf("%-72s %8zu %8zu %8zu\n", kWhyTexts[why], n[0], n[1], n[2]);
    if (why != kIdentical && !examples[static_cast<size_t>(why)].empty())
      std::printf("    %s\n", examples[static_cast<size_t>(why)].c_str());
    RecordProperty(kWhyKeys[why],
                   std::to_string(n[0]) + " " + std::to_string(n[1]) + " " + std::to_string(n[2]));
  }
  EXPECT_GT(counts[kIdentical][0] + counts[kIdentical][1] + counts[kIdentical][2], count / 2);
}

}  // namespace
