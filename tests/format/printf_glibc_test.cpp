// The printf family against glibc's snprintf (decimal point a full stop): random integer, character, string and
// pointer directives give glibc's text in every form by both argument paths; random floating directives give it
// where the library's floating rules agree with glibc's, every other difference put down to one rule and counted.
#include <array>
#include <chrono>
#include <cinttypes>
#include <deque>
#include <functional>
#include <optional>
#include <set>

#include "format/number_calls.h"

namespace {

using namespace numtest;
using std::string;

// The argument source's callbacks in the record's order; how an argument travels; the forms' units.
enum Source : uint8_t {
  kGetInt, kGetUnsignedInt, kGetShort, kGetUnsignedShort, kGetLong, kGetUnsignedLong, kGetInt64, kGetUnsignedInt64,
  kGetDouble, kGetLongDouble, kGetChar, kGetWideChar, kGetUnicodeChar, kGetString, kGetWideString, kGetUnicodeString,
  kGetPointer
};
enum Kind : uint8_t { kInt, kInt64, kPointer, kDouble, kLongDouble };
enum FormIndex { kBase, kUnits, kPacked };

struct Arg {
  Kind kind;
  std::array<Source, 3> source;  // the callback each form must call for it
  int64_t integer = 0;
  double real = 0;
  std::array<const void *, 3> pointer{};
};
Arg arg(Kind kind, Source s, int64_t integer = 0, double real = 0) { return {kind, {s, s, s}, integer, real}; }

// Calls `call` with the arguments as a variadic call passes them (kKinds: the kinds used; kMax: their number).
template <unsigned kKinds, size_t kMax, class Call, class... V>
int32_t with_args(const std::vector<Arg> &args, FormIndex form, const Call &call, V... values) {
  constexpr size_t n = sizeof...(V);
  if (args.size() == n) return call(values...);
  if constexpr (n < kMax) {
    const Arg &a = args[n];
    auto next = [&](auto v) { return with_args<kKinds, kMax>(args, form, call, values..., v); };
    if constexpr ((kKinds & 1u << kInt) != 0) if (a.kind == kInt) return next(static_cast<int>(a.integer));
    if constexpr ((kKinds & 1u << kInt64) != 0) if (a.kind == kInt64) return next(static_cast<long long>(a.integer));
    if constexpr ((kKinds & 1u << kPointer) != 0) if (a.kind == kPointer) return next(a.pointer[form]);
    if constexpr ((kKinds & 1u << kDouble) != 0) if (a.kind == kDouble) return next(a.real);
    if constexpr ((kKinds & 1u << kLongDouble) != 0)
      if (a.kind == kLongDouble) return next(static_cast<long double>(a.real));
  }
  ADD_FAILURE() << "an argument list the dispatch does not cover";
  return -2;
}

// Hands out the arguments through a PLArgSource, each checked against the callback its directive must use.
struct Cursor {
  const std::vector<Arg> *args;
  FormIndex form;
  size_t next = 0;
  string wrong = {};  // the first mismatch
};

template <Source S, class R>
R fetch(void *context) {
  auto *c = static_cast<Cursor *>(context);
  const Arg *a = c->next < c->args->size() ? &(*c->args)[c->next++] : nullptr;
  if ((a == nullptr || a->source[c->form] != S) && c->wrong.empty())
    c->wrong = "argument " + std::to_string(c->next) + " read by callback " + std::to_string(S) +
               (a ? ", expected " + std::to_string(a->source[c->form]) : " past the last");
  if (a == nullptr) return R{};
  if constexpr (std::is_pointer_v<R>) return static_cast<R>(const_cast<void *>(a->pointer[c->form]));
  else if constexpr (std::is_floating_point_v<R>) return static_cast<R>(a->real);
  else return static_cast<R>(a->integer);
}

// The entry points: a form (path / 2) by its variable arguments or its PLArgSource (path % 2).
enum Path { kSprintf, kSnprintf, kSprintfU, kSnprintfU, kWsprintf, kWsnprintf };
const char *const kPathNames[] = {"PLSprintf", "PLSnprintf", "PLSprintfU", "PLSnprintfU", "PLWsprintf", "PLWsnprintf"};
constexpr int32_t kRoom = 2048;

struct Printed { int32_t result; std::u32string text; };  // the text: the first `result` units

// Runs case i by both paths of the base form, and every other time by the U and W forms: each must write
// `expected` (else what the first wrote) and read every argument by its directive's own callback. The text
// written, or nothing after reporting a failure.
template <unsigned kKinds, size_t kMax>
std::optional<Printed> print_all(PLLocale *h, size_t i, const string &format, const std::vector<Arg> &args,
                                 const std::u32string *expected, const string &what, size_t &calls) {
  std::u16string units(format.begin(), format.end());  // formats are ASCII
  std::u32string packed(format.begin(), format.end());
  std::vector<Path> paths = {kSprintf, kSnprintf};
  if (i % 2 == 0) paths.insert(paths.end(), {i % 4 ? kSnprintfU : kSprintfU, i % 4 ? kWsnprintf : kWsprintf});
  std::optional<Printed> base;
  if (expected) base = Printed{static_cast<int32_t>(expected->size()), *expected};
  bool ok = true;
  for (Path path : paths) {
    FormIndex form = static_cast<FormIndex>(path / 2);
    Cursor cursor{&args, form};
    PLArgSource source{&cursor, fetch<kGetInt, int32_t>, fetch<kGetUnsignedInt, uint32_t>, fetch<kGetShort, int16_t>,
                       fetch<kGetUnsignedShort, uint16_t>, fetch<kGetLong, int32_t>, fetch<kGetUnsignedLong, uint32_t>,
                       fetch<kGetInt64, int64_t>, fetch<kGetUnsignedInt64, uint64_t>, fetch<kGetDouble, double>,
                       fetch<kGetLongDouble, long double>, fetch<kGetChar, char>, fetch<kGetWideChar, PLWChar>,
                       fetch<kGetUnicodeChar, PLUChar>, fetch<kGetString, const char *>,
                       fetch<kGetWideString, const PLWChar *>, fetch<kGetUnicodeString, const PLUChar *>,
                       fetch<kGetPointer, void *>};
    auto run = [&](auto element, const auto *f, auto variadic, auto sourced) {
      using T = decltype(element);
      std::vector<std::make_unsigned_t<T>> out(kRoom, 0x7E);
      T *o = reinterpret_cast<T *>(out.data());
      auto call = [&](auto... v) { return variadic(h, o, kRoom, f, -1, 0, v...); };
      int32_t n = path % 2 ? sourced(h, o, kRoom, f, -1, 0, &source) : with_args<kKinds, kMax>(args, form, call);
      return Printed{n, {out.begin(), out.begin() + std::clamp(n, 0, kRoom)}};
    };
    Printed p = form == kBase ? run(char{}, format.c_str(), [](auto... a) { return PLSprintf(a...); }, PLSnprintf)
                : form == kUnits
                    ? run(PLUChar{}, reinterpret_cast<const PLUChar *>(units.c_str()),
                          [](auto... a) { return PLSprintfU(a...); }, PLSnprintfU)
                    : run(PLWChar{}, reinterpret_cast<const PLWChar *>(packed.c_str()),
                          [](auto... a) { return PLWsprintf(a...); }, PLWsnprintf);
    ++calls;
    if (path % 2 && cursor.wrong.empty() && cursor.next != args.size())
      cursor.wrong = std::to_string(cursor.next) + " of " + std::to_string(args.size()) + " arguments read";
    if (!base) base = p;
    if (p.result == base->result && p.text == base->text && cursor.wrong.empty()) continue;
    ok = false;
    ADD_FAILURE() << kPathNames[path] << ", " << what << "\n  expected " << base->result << " [" << hex(base->text)
                  << "]\n       got " << p.result << " [" << hex(p.text) << "] " << cursor.wrong;
  }
  return ok ? base : std::nullopt;
}

// glibc's text: the one formatting helper.
template <class... V>
string c_printf(const string &format, V... values) {
  char text[2048];
  int n = std::snprintf(text, sizeof text, format.c_str(), values...);
  return string(text, static_cast<size_t>(std::clamp(n, 0, static_cast<int>(sizeof text) - 1)));
}

// ---- Random directives ----

// Literal text, now and then %%; its output is appended to `expected`.
string literal_text(std::mt19937_64 &random, string &expected) {
  static const char kLiteral[] = "abcXYZ019 .,;:-+#()<>!?=_/";
  string format;
  for (size_t n = random() % 4; n > 0; --n) {
    bool percent = random() % 8 == 0;
    expected += percent ? '%' : kLiteral[random() % (sizeof kLiteral - 1)];
    format += percent ? "%%" : expected.substr(expected.size() - 1);
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

// A width or precision: absent, written (a precision 0 perhaps as a bare "."), or a * with its argument.
struct Field {
  enum Mode { kAbsent, kWritten, kStar } mode = kAbsent;
  int32_t value = 0;
  bool bare_dot = false;
  string text(bool precision) const {
    if (mode == kAbsent) return "";
    return (precision ? "." : "") + (mode == kStar ? "*" : bare_dot ? "" : std::to_string(value));
  }
  int32_t precision() const { return mode == kAbsent || value < 0 ? -1 : value; }  // -1: none
};

Field random_width(std::mt19937_64 &random, int32_t max) {
  uint64_t r = random() % 10;
  if (r < 4) return {};
  if (r < 8) return {Field::kWritten, static_cast<int32_t>(1 + random() % static_cast<uint64_t>(max))};
  return {Field::kStar, static_cast<int32_t>(random() % static_cast<uint64_t>(2 * max + 1)) - max};
}

// Now and then an edge, else random bits shifted right by a random count.
template <class I>
I random_integer(std::mt19937_64 &random, const std::vector<I> &edges) {
  if (random() % 10 == 0) return edges[random() % edges.size()];
  return static_cast<I>(static_cast<std::make_unsigned_t<I>>(random())) >> (random() % (8 * sizeof(I)));
}
const std::vector<int32_t> kEdges32 = {0, 1, -1, INT32_MIN, INT32_MAX, 0xFFFF, -32768, 32767, 0x8000};
const std::vector<int64_t> kEdges64 = {0, 1, -1, INT64_MIN, INT64_MAX, INT32_MIN, 0xFFFFFFFF};

// A format with its arguments (their strings in the three forms' units), and glibc's text for it.
struct Case {
  string format, expected, trace;
  std::vector<Arg> args;
  std::deque<std::tuple<string, std::u16string, std::u32string>> texts;
};

constexpr size_t kMaxIntegerArgs = 4;
const Source kIntegerSources[4][2] = {{kGetInt, kGetUnsignedInt}, {kGetShort, kGetUnsignedShort},
                                      {kGetLong, kGetUnsignedLong}, {kGetInt64, kGetUnsignedInt64}};  // "" h l ll

// Appends one integer, character, string or pointer directive, its arguments and glibc's text; false when its
// arguments would not fit the dispatch. glibc gets the stars' values written in, and where the library means
// something else: l is 32 bits (glibc: no l); %p is upper-case hexadecimal of 2 * sizeof(void *) digits without
// precision (glibc: %.16lX of the integer); the 0 flag pads %s and %c with zeros (glibc: no width, padded after);
// a null %s is "(null)" cut to the precision (made only without one or with 6 or more). hh is no size here.
bool add_integer_directive(std::mt19937_64 &random, Case &c, bool any_byte) {
  const char kConversions[] = "ddiiuuooxxXXcccssssp";
  char conv = kConversions[random() % (sizeof kConversions - 1)];
  bool integer = std::strchr("diuoxX", conv) != nullptr, is_unsigned = std::strchr("uoxX", conv) != nullptr;
  string flags = random_flags(random);
  Field width = random_width(random, 25), precision;
  uint64_t r = conv == 'p' ? 0 : random() % 10;
  if (r >= 8) precision = {Field::kStar, static_cast<int32_t>(random() % 31) - 5};
  else if (r >= 5) precision = {Field::kWritten, static_cast<int32_t>(random() % 26), random() % 6 == 0};
  if (precision.bare_dot) precision.value = 0;
  if (c.args.size() + 1 + (width.mode == Field::kStar) + (precision.mode == Field::kStar) > kMaxIntegerArgs)
    return false;
  const char *const kSizes[] = {"", "h", "l", "ll"};
  size_t size = integer ? random() % 4 : 0, columns = static_cast<size_t>(std::abs(width.value));
  c.format += "%" + flags + width.text(false) + precision.text(true) + kSizes[size] + conv;
  for (const Field *f : {&width, &precision})
    if (f->mode == Field::kStar)
      c.args.push_back(arg(kInt, kGetInt, f->value)), c.trace += std::to_string(f->value) + ", ";
  bool left = has(flags, '-') || (width.mode == Field::kStar && width.value < 0);
  bool zero_padded_text = (conv == 'c' || conv == 's') && has(flags, '0') && !left;
  if (zero_padded_text) flags.erase(flags.find('0'), 1);
  int32_t limit = precision.precision();
  string format = "%" + flags + (left ? "-" : "") + (zero_padded_text || columns == 0 ? "" : std::to_string(columns));
  if (conv == 'p') format += "." + std::to_string(2 * sizeof(void *)) + PRIXPTR;
  else format += (precision.mode != Field::kStar ? precision.text(true) : limit < 0 ? "" : "." + std::to_string(limit))
                 + (size == 2 ? "" : kSizes[size]) + conv;
  string text, s = "null";
  if (integer && size == 3) {
    int64_t v = random_integer(random, kEdges64);
    c.args.push_back(arg(kInt64, kIntegerSources[3][is_unsigned], v)), s = std::to_string(v);
    text = is_unsigned ? c_printf(format, static_cast<uint64_t>(v)) : c_printf(format, v);
  } else if (integer) {
    int32_t v = random_integer(random, kEdges32);
    c.args.push_back(arg(kInt, kIntegerSources[size][is_unsigned], v)), s = std::to_string(v);
    text = is_unsigned ? c_printf(format, static_cast<unsigned>(v)) : c_printf(format, v);
  } else if (conv == 'c') {
    int32_t v = random() % 50 == 0 ? 0 : static_cast<int32_t>(1 + random() % (any_byte ? 255 : 127));
    c.args.push_back({kInt, {kGetChar, kGetUnicodeChar, kGetWideChar}, v}), s = "char " + std::to_string(v);
    text = c_printf(format, v);
  } else if (conv == 's') {
    Arg a{kPointer, {kGetString, kGetUnicodeString, kGetWideString}};
    if (random() % 20 != 0 || (limit >= 0 && limit < 6)) {
      s.clear();
      for (size_t n = random() % 12; n > 0; --n) s += static_cast<char>(0x20 + random() % 0x5F);
      auto &[b, u, w] =
          c.texts.emplace_back(s, std::u16string(s.begin(), s.end()), std::u32string(s.begin(), s.end()));
      a.pointer = {b.c_str(), u.c_str(), w.c_str()}, s = '"' + s + '"';
    }
    c.args.push_back(a);
    text = c_printf(format, static_cast<const char *>(a.pointer[kBase]));
  } else {
    uint64_t k = random() % 8;
    uintptr_t v = k == 0 ? 0 : k == 1 ? random() % 0x10000 : static_cast<uintptr_t>(random());
    const void *p = reinterpret_cast<const void *>(v);
    c.args.push_back({kPointer, {kGetPointer, kGetPointer, kGetPointer}, 0, 0, {p, p, p}});
    s = "pointer " + std::to_string(v);
    text = c_printf(format, v);
  }
  if (zero_padded_text && text.size() < columns) text.insert(0, columns - text.size(), '0');
  c.expected += text;
  c.trace += s + ", ";
  return true;
}

class PrintfGlibc : public NumberTest {};

TEST_F(PrintfGlibc, IntegerCharacterStringAndPointerDirectives) {
  // UTF-8 with ASCII characters for %c, and a single-byte set where %c takes any byte.
  PLLocale *locales[] = {open("English_UnitedStates.UTF-8"), open("English_UnitedStates.MS1252")};
  ASSERT_TRUE(locales[0] && locales[1]);
  std::mt19937_64 random(61);
  size_t count = sweep(100000, 1000000), calls = 0, failures = 0;
  auto start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < count && failures < 10; ++i) {
    bool any_byte = i % 2 == 1;
    Case c;
    c.format = literal_text(random, c.expected);
    for (size_t n = 1 + random() % 3; n > 0 && add_integer_directive(random, c, any_byte); --n)
      c.format += literal_text(random, c.expected);
    std::u32string expected = widen(c.expected);
    string what = (any_byte ? "MS1252" : "UTF-8") + (", format " + c.format) + " with " + c.trace;
    constexpr unsigned kKinds = 1u << kInt | 1u << kInt64 | 1u << kPointer;
    failures += !print_all<kKinds, kMaxIntegerArgs>(locales[any_byte], i, c.format, c.args, &expected, what, calls);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("integer, character, string and pointer directives: %zu formats, %zu calls in %.1f s\n", count, calls,
              seconds);
  RecordProperty("formats", static_cast<int>(count));
  RecordProperty("calls", static_cast<int>(calls));
}

// ---- Floating directives ----

// Why the library's floating text differs from glibc's: half-up rounding of 40 digits against exact rounding to
// even, then layout choices.
enum Why {
  kIdentical, kTie, kRounded40, kPast40, kPoint16, kNoMinus, kZeroPadsInf, kCap, kGNotation, kGOneDigit,
  kGSharpZeros, kGFraction, kGSharpPoint, kGTruncated, kGUpperZeros, kWhyCount
};
const std::pair<const char *, const char *> kWhy[kWhyCount] = {
    {"identical", "identical to glibc"}, {"tie_half_up", "a tie at the rounding digit goes up (glibc: to even)"},
    {"rounded_40th_digit", "the 40th digit's rounding reaches the rounding digit"},
    {"past_40_digits", "the rounding digit lies past the 40 printed digits"},
    {"point_16_digits", "the point from the 16-digit rounding (just below a power of ten)"},
    {"no_minus", "-0.0 and a negative NaN write no minus"},
    {"zero_pads_inf_nan", "the 0 flag pads inf and nan with zeros"}, {"digits_stop_347", "the digits stop at 347"},
    {"g_notation", "g: the notation follows the exponent before rounding (0 from 0.0001 to 1)"},
    {"g_precision_1", "g: precision 1 in fixed notation writes no fraction digit"},
    {"g_sharp_zeros", "g: fixed notation removes zeros also under #"},
    {"g_fraction_digits", "g: fixed notation writes P fraction digits"},
    {"g_sharp_no_point", "g: exponent notation with # and precision 0 or 1 writes no point"},
    {"g_p_of_p_plus_1", "g: exponent notation writes P of P + 1 rounded digits"},
    {"G_keeps_zeros", "G: exponent notation keeps trailing zeros"}};

constexpr int kMaxDigits = 347;

struct FloatDirective { bool left, plus, space, alternate, zero; size_t width; int32_t precision; char conv; };

// A decimal expansion of |x|, aligned at the point or at the first significant digit; the library's ones
// ("%.40f" with decpt from "%.16g", "%.39e" for exponent notation below 1) beside the exact ones, whose decpt
// follows the same rule on the exact value.
struct Digits { string digits; int decpt = 0; };
struct Expansions { Digits fixed, significant, exact_fixed, exact_significant; };

Expansions expansions_of(double a) {
  Expansions ex;
  string fixed = c_printf("%.40f", a), general = c_printf("%.16g", a), scientific = c_printf("%.39e", a);
  size_t point = fixed.find('.'), letter = general.find('e'), dot = general.find('.');
  ex.fixed.digits = (a >= 1 ? fixed.substr(0, point) : "") + fixed.substr(point + 1);
  ex.fixed.decpt = letter != string::npos ? std::atoi(general.c_str() + letter + 1) + 1
                                          : static_cast<int>(dot == string::npos ? general.size() : dot) - (a < 1);
  letter = scientific.find('e');
  ex.significant = {scientific.substr(0, 1) + scientific.substr(2, letter - 2),
                    std::atoi(scientific.c_str() + letter + 1) + 1};
  string exact = c_printf("%.1100f", a);  // every double's fraction ends by 1074 digits
  point = exact.find('.');
  string fraction = exact.substr(point + 1);
  size_t zeros = fraction.find_first_not_of('0');
  int below = zeros == string::npos ? 0 : -static_cast<int>(zeros);
  if (a >= 1) ex.exact_fixed = {exact.substr(0, point) + fraction, static_cast<int>(point)};
  else ex.exact_fixed = {fraction, a >= 1e-4 ? 0 : below};
  if (a < 1 && zeros != string::npos) ex.exact_significant = {fraction.substr(zeros), below};
  return ex;
}

// The first n digits rounded half-up on the next one, or to even on all that follow (a carry adds 1 to decpt).
Digits rounded(const Digits &s, int n, bool to_even) {
  size_t kept = static_cast<size_t>(std::max(n, 0)), i = kept;
  Digits r{s.digits.substr(0, kept), s.decpt};
  r.digits.resize(kept, '0');
  char next = kept < s.digits.size() ? s.digits[kept] : '0';
  bool beyond = s.digits.find_first_not_of('0', kept + 1) != string::npos;
  if (next < '5' || (to_even && next == '5' && !beyond && (kept == 0 || (r.digits[kept - 1] - '0') % 2 == 0)))
    return r;
  for (; i > 0 && r.digits[i - 1] == '9'; --i) r.digits[i - 1] = '0';
  if (i > 0) ++r.digits[i - 1];
  else r.digits.insert(0, 1, '1'), ++r.decpt;
  return r;
}

// Where the model's point comes from ("%.16g", or the exact value) and how it rounds (half-up, or exactly).
struct Mode { bool exact_point, exact_digits; };
constexpr Mode kLibrary{false, false}, kExactPoint{true, false}, kExact{true, true};

string padded(const string &prefix, const string &text, const FloatDirective &f, bool zeros) {
  size_t used = prefix.size() + text.size();
  string pad(f.width > used ? f.width - used : 0, ' ');
  if (f.left) return prefix + text + pad;
  return zeros ? prefix + string(pad.size(), '0') + text : pad + prefix + text;
}

struct Modelled { string text; bool fixed_notation = false; };  // whether g chose fixed notation

// The directive's text by the library's rules, with the point and rounding `mode` asks for; `log` notes why a
// cut rounded half-up on the printed digits comes out otherwise than the exact one.
Modelled model(double x, const FloatDirective &f, const Expansions *ex, Mode mode, std::set<Why> *log = nullptr) {
  auto round = [&](bool significant, int n) {
    const Digits &printed = significant ? ex->significant : ex->fixed;
    const Digits &full = significant ? ex->exact_significant : ex->exact_fixed;
    Digits even = rounded(full, n, true), r = even;
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
  };
  auto scientific = [&](const string &digits, int more, int exponent) {
    return digits.substr(0, 1) + (more > 0 ? "." + digits.substr(1, static_cast<size_t>(more)) : "") +
           c_printf(f.conv & 0x20 ? "e%+.3d" : "E%+.3d", exponent);
  };
  auto fixed_layout = [](const string &digits, int fraction, int shown) {
    int whole = static_cast<int>(digits.size()) - fraction;
    return (whole > 0 ? digits.substr(0, static_cast<size_t>(whole)) : "0") +
           (shown > 0 ? "." + digits.substr(digits.size() - static_cast<size_t>(fraction), static_cast<size_t>(shown))
                      : "");
  };
  auto remove_fraction_zeros = [](string &text) {  // and a bare point, before any exponent
    size_t point = text.find('.'), tail = std::min(text.find_first_of("eE"), text.size()), keep = tail;
    if (point == string::npos) return;
    while (keep > point + 1 && text[keep - 1] == '0') --keep;
    text.erase(keep == point + 1 ? point : keep, tail - (keep == point + 1 ? point : keep));
  };
  char lower = static_cast<char>(f.conv | 0x20);
  bool negative = x < 0;
  int p = f.precision < 0 ? 6 : lower == 'g' && f.precision == 0 ? 1 : f.precision;
  Modelled m;
  string &text = m.text;
  if (!std::isfinite(x)) {
    text = std::isnan(x) ? "nan" : "inf";
    if (lower != f.conv) std::transform(text.begin(), text.end(), text.begin(), ::toupper);
    negative = std::isinf(x) && x < 0;
  } else {
    double a = std::fabs(x);
    const Digits &fixed = mode.exact_point ? ex->exact_fixed : ex->fixed;
    int q = std::min(p, kMaxDigits - 1), whole = std::max(fixed.decpt, 0);
    if (lower == 'e') {
      Digits r = a == 0 ? Digits{string(static_cast<size_t>(q) + 1, '0'), 1} : round(a < 1, q + 1);
      text = scientific(r.digits, q, r.decpt - 1);
    } else if (lower == 'f') {
      q = std::min(p, kMaxDigits - whole);
      text = fixed_layout(round(false, q + whole).digits, q, q);
    } else if ((m.fixed_notation = fixed.decpt - 1 >= -1 && fixed.decpt - 1 <= p - 1)) {
      q = std::min(p, kMaxDigits - whole);
      text = fixed_layout(round(false, fixed.decpt + q).digits, q, q >= 2 ? q : 0);
      remove_fraction_zeros(text);
    } else {
      Digits r = round(a < 1, q == 1 ? 1 : q + 1);
      text = scientific(r.digits.substr(0, static_cast<size_t>(q) + 1), q - 1, r.decpt - 1);
    }
    if (f.alternate && p == 0) text.insert(std::min(text.find_first_of("eE"), text.size()), 1, '.');
    if (f.conv == 'g' && !f.alternate) remove_fraction_zeros(text);
  }
  text = padded(negative ? "-" : f.plus ? "+" : f.space ? " " : "", text, f, f.zero);
  return m;
}

// glibc's text at `precision` (-1: none), exponents of three digits, inf and nan zero-padded only when asked.
string glibc_text(double x, const FloatDirective &f, int32_t precision, bool zero_pads_inf) {
  string format = string("%") + (f.plus ? "+" : "") + (f.space ? " " : "") + (f.alternate ? "#" : "");
  string text = c_printf(format + (precision >= 0 ? "." + std::to_string(precision) : "") + f.conv, x), prefix;
  size_t letter = text.find_first_of("eE");
  if (letter != string::npos && text.size() - letter == 4) text.insert(letter + 2, 1, '0');
  if (!text.empty() && std::strchr("+- ", text[0]) != nullptr) prefix = text.substr(0, 1), text.erase(0, 1);
  return padded(prefix, text, f, f.zero && (std::isfinite(x) || zero_pads_inf));
}

// Which layout choice makes the library's text with exact digits differ from glibc's (kWhyCount: none). e and f
// must come out as glibc's text once the sign, the padding of inf and nan and the 347-digit stop are applied to
// it; g differences are put down to its notation and layout rules.
Why layout_reason(double x, const FloatDirective &f, const Modelled &exact, const Expansions *ex) {
  std::vector<Why> why;
  double y = x;
  if (std::signbit(x) && (x == 0 || std::isnan(x))) y = std::copysign(x, 1.0), why.push_back(kNoMinus);
  bool zero_pads_inf = !std::isfinite(x) && f.zero && !f.left;
  if (zero_pads_inf && glibc_text(y, f, f.precision, true) != glibc_text(y, f, f.precision, false))
    why.push_back(kZeroPadsInf);
  char lower = static_cast<char>(f.conv | 0x20);
  int p = f.precision < 0 ? 6 : f.precision, whole = ex ? std::max(ex->exact_fixed.decpt, 0) : 0;
  int32_t precision = f.precision, cap = lower == 'e' ? kMaxDigits - 1 : kMaxDigits - whole;
  if (std::isfinite(x) && lower != 'g' && p > cap) precision = cap, why.push_back(kCap);
  string theirs = glibc_text(y, f, precision, zero_pads_inf);
  if (theirs == exact.text) return why.empty() ? kWhyCount : why.front();
  if (lower != 'g' || !std::isfinite(x)) return kWhyCount;
  p = std::max(p, 1);
  string scientific = c_printf("%.*e", p - 1, std::fabs(x));
  int exponent = x == 0 ? 0 : std::atoi(scientific.c_str() + scientific.find('e') + 1);
  if ((exponent >= -4 && exponent < p) != exact.fixed_notation) return kGNotation;
  if (exact.fixed_notation) {
    if (p > kMaxDigits - whole) return kCap;
    if (p == 1) return kGOneDigit;
    if (exponent != -1) return kGFraction;  // glibc writes P - 1 - exponent of them
    return f.alternate ? kGSharpZeros : kWhyCount;
  }
  if (p > kMaxDigits - 1) return kCap;
  if (f.alternate && p == 1) return kGSharpPoint;
  auto mantissa = [](const string &text) {  // its digits without the zeros that end them
    string digits;
    for (char c : text.substr(0, text.find_first_of("eE")))
      if (c >= '0' && c <= '9') digits += c;
    return digits.erase(digits.find_last_not_of('0') + 1);
  };
  if (mantissa(exact.text) != mantissa(theirs)) return kGTruncated;
  return f.conv == 'G' && !f.alternate ? kGUpperZeros : kWhyCount;
}

// Why the library's text of a floating directive differs from glibc's: it must follow the library's rules, and
// the difference come from one of them (the point placed from the exact value, the digits rounded exactly, the
// layout); else `error` says what is wrong.
Why classify(double x, const FloatDirective &f, const string &ours, const string &theirs, string &error) {
  std::optional<Expansions> ex;
  if (std::isfinite(x)) ex = expansions_of(std::fabs(x));
  const Expansions *e = ex ? &*ex : nullptr;
  if (e && std::fabs(x) < 1 && x != 0 && e->significant.decpt != e->exact_significant.decpt)
    return error = ": \"%.39e\" carried into the exponent", kWhyCount;
  string rules = model(x, f, e, kLibrary).text;
  if (ours != rules)
    return error = "\n  library [" + ours + "]\n    rules [" + rules + "]\n    glibc [" + theirs + "]", kWhyCount;
  std::set<Why> log;
  string exact_point = model(x, f, e, kExactPoint, &log).text;
  Modelled exact = model(x, f, e, kExact);
  Why why = exact_point != rules ? kPoint16 : exact.text != exact_point && !log.empty() ? *log.begin() : kWhyCount;
  bool explained = exact.text == exact_point || !log.empty();
  Why layout = exact.text != theirs ? layout_reason(x, f, exact, e) : kIdentical;
  if (layout == kWhyCount) explained = false;
  else if (why == kWhyCount && layout != kIdentical) why = layout;
  if (!explained || why == kWhyCount)
    error = ": no rule explains the difference\n  library [" + ours + "]\n    exact [" + exact.text + "]\n    glibc [" +
            theirs + "]";
  return why;
}

// Doubles of both signs by i % 10: any bits, (near) ties at the rounded digit, x.5 to x.0625, subnormals, integers
// above 2^53, powers of ten and neighbours, short decimals, every magnitude, the doubles just below the powers of
// ten they miss, special values.
double some_double(std::mt19937_64 &random, size_t i, int precision) {
  using Limits = std::numeric_limits<double>;
  static const double kSpecial[] = {0.0,  HUGE_VAL, NAN,  Limits::max(), Limits::min(), Limits::denorm_min(),
                                    0.5,  1.5,      2.5,  0.125, 1e-4, 9.5, 99.5, 0.05, 1e15, 1e16, 1e17, 1e22,
                                    1e23, 999999.5, 9.9999996, 0.00009999995};
  auto from_bits = [](uint64_t bits) {
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
  };
  auto power_of_ten = [&](bool missed) {
    int k = !missed ? static_cast<int>(random() % 632) - 323
            : random() % 2 ? 23 + static_cast<int>(random() % 286)
                           : -5 - static_cast<int>(random() % 16);
    double x = std::pow(10.0, k);
    for (int step = !missed ? static_cast<int>(random() % 5) - 2 : -static_cast<int>(random() % 3); step != 0;)
      x = step < 0 ? (++step, std::nextafter(x, 0.0)) : (--step, std::nextafter(x, HUGE_VAL));
    return x;
  };
  const std::function<double()> kCorners[] = {
      [&] {
        uint64_t bits = random();
        return from_bits(random() % 50 == 0 ? bits & ~(uint64_t{0x7FF} << 52) : bits);
      },
      [&] {
        return std::ldexp(static_cast<double>(2 * (random() % (1u << 30)) + 1),
                          -(std::min(precision, 60) + 1 + static_cast<int>(random() % 4)));
      },
      [&] { return std::ldexp(static_cast<double>(2 * (random() % 100000) + 1), -static_cast<int>(1 + random() % 4)); },
      [&] { return from_bits(random() % (uint64_t{1} << 52)); },
      [&] { return std::ldexp(static_cast<double>(random() >> 11), 53 + static_cast<int>(random() % 80)); },
      [&] { return power_of_ten(false); },
      [&] { return static_cast<double>(random() % 2000000) / std::pow(10.0, static_cast<double>(random() % 7)); },
      [&] { return std::pow(10.0, std::uniform_real_distribution<double>(-320, 308.2)(random)); },
      [&] { return power_of_ten(true); },
      [&] { return kSpecial[random() % std::size(kSpecial)]; },
  };
  double x = kCorners[i % 10]();
  return random() % 2 ? -x : x;
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
    // A directive between literal texts, and a value from every corner.
    string before, after, flags, format = literal_text(random, before);
    flags = random_flags(random);
    Field width = random_width(random, 30), precision;
    uint64_t r = random() % 100;
    if (r >= 97) precision = {Field::kWritten, static_cast<int32_t>(61 + random() % 340)};
    else if (r >= 85) precision = {Field::kWritten, static_cast<int32_t>(21 + random() % 40)};
    else if (r >= 30) precision = {Field::kWritten, static_cast<int32_t>(random() % 21), random() % 8 == 0};
    else if (r >= 20) precision = {Field::kStar, static_cast<int32_t>(random() % 24) - 3};
    if (precision.bare_dot) precision.value = 0;
    char conv = "ffeeggEG"[random() % 8];
    bool long_double = random() % 5 == 0;
    format += "%" + flags + width.text(false) + precision.text(true) + (long_double ? "L" : "") + conv;
    format += literal_text(random, after);
    std::vector<Arg> args;
    for (const Field *field : {&width, &precision})
      if (field->mode == Field::kStar) args.push_back(arg(kInt, kGetInt, field->value));
    double x = some_double(random, i, std::max(precision.precision(), 6));
    args.push_back(arg(long_double ? kLongDouble : kDouble, long_double ? kGetLongDouble : kGetDouble, 0, x));
    bool left = has(flags, '-') || (width.mode == Field::kStar && width.value < 0);
    const FloatDirective f{left, has(flags, '+'), has(flags, ' '), has(flags, '#'), has(flags, '0'),
                           static_cast<size_t>(std::abs(width.value)), precision.precision(), conv};
    string what = c_printf("format %s with %a (%.17g)", format.c_str(), x, x);
    // Every path writes the same text, the literal text around the directive kept.
    constexpr unsigned kKinds = 1u << kInt | 1u << kDouble | 1u << kLongDouble;
    std::optional<Printed> base = print_all<kKinds, 3>(h, i, format, args, nullptr, what, calls);
    if (!base) {  // reported
      ++failures;
      continue;
    }
    string ours(base->text.begin(), base->text.end()), theirs = glibc_text(x, f, f.precision, false), error;
    size_t column = f.conv == 'f' ? 1 : (f.conv | 0x20) == 'e' ? 0 : 2, framing = before.size() + after.size();
    if (base->result != static_cast<int32_t>(ours.size()) || ours.size() < framing ||
        ours.compare(0, before.size(), before) != 0 || ours.compare(ours.size() - after.size(), after.size(), after))
      error = ": literal text lost: " + std::to_string(base->result) + " [" + ours + "]";
    else if ((ours = ours.substr(before.size(), ours.size() - framing)) == theirs) {
      ++counts[kIdentical][column];
      continue;
    }
    Why why = error.empty() ? classify(x, f, ours, theirs, error) : kWhyCount;
    if (!error.empty()) {
      ADD_FAILURE() << what << error;
      ++failures;
      continue;
    }
    if (counts[why][0] + counts[why][1] + counts[why][2] == 0)
      examples[why] = what + ": [" + ours + "], glibc [" + theirs + "]";
    ++counts[why][column];
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("floating directives: %zu formats, %zu calls in %.1f s\n%-72s %8s %8s %8s\n", count, calls, seconds, "",
              "e E", "f", "g G");
  for (size_t why = 0; why < kWhyCount; ++why) {
    const auto &n = counts[why];
    std::printf("%-72s %8zu %8zu %8zu\n", kWhy[why].second, n[0], n[1], n[2]);
    if (why != kIdentical && !examples[why].empty()) std::printf("    %s\n", examples[why].c_str());
    RecordProperty(kWhy[why].first, std::to_string(n[0]) + " " + std::to_string(n[1]) + " " + std::to_string(n[2]));
  }
  EXPECT_GT(counts[kIdentical][0] + counts[kIdentical][1] + counts[kIdentical][2], count / 2);
}

}  // namespace
