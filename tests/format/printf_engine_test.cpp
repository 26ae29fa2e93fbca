// The printf family on what glibc's snprintf cannot decide (EBCDIC, shift states, separators, positions,
// the argument source, each form's characters, cuts, refusals, the error field, allocations), each case
// through the variadic, va_list and PLArgSource export of its form, which must agree.
#include <cstdarg>
#include <deque>

#include "format/number_calls.h"

namespace {

using namespace numtest;
using namespace std::string_literals;

constexpr int32_t T = PL_TERMINATE, CC = PL_COUNT_CHARS, TER = PL_FROM_TERRITORY;
constexpr int32_t E2 = PL_ERR_ARGUMENT, E40 = PL_ERR_BUFFER_TOO_SMALL, E51 = PL_ERR_FORMAT;

// An argument as a test writes it, then as a call passes it. Own/Other(Char): a %s/%S (%c/%C) text of the
// form's own kind or the other one (packed in B and X, UTF-16 in U, bytes in W), prepared into units.
struct Arg {
  enum Kind { Int, Int64, Real, Extended, Own, Other, OwnChar, OtherChar, Pointer, Count } kind;
  int64_t integer = 0;
  long double real = 0;
  u16string text = {};
  bool null = false;
  const void *pointer = nullptr;
};
Arg I(int64_t v) { return {Arg::Int, v}; }
Arg LL(int64_t v) { return {Arg::Int64, v}; }
Arg D(double v) { return {Arg::Real, 0, v}; }
Arg LD(long double v) { return {Arg::Extended, 0, v}; }
Arg S(const u16string &text, bool null = false) { return {Arg::Own, 0, 0, text, null}; }
Arg WS(const u16string &text, bool null = false) { return {Arg::Other, 0, 0, text, null}; }
Arg C(char16_t c) { return {Arg::OwnChar, 0, 0, u16string(1, c)}; }
Arg WC(char16_t c) { return {Arg::OtherChar, 0, 0, u16string(1, c)}; }
Arg P(uintptr_t v) { return {Arg::Pointer, 0, 0, u"", false, reinterpret_cast<const void *>(v)}; }
Arg N() { return {Arg::Count}; }  // %n: a counter the call fills
const Arg S0 = S(u"", true), WS0 = WS(u"", true);

// The texts and counters the arguments point into, alive for one call.
struct Store {
  std::deque<std::string> bytes;
  std::deque<u16string> units;
  std::deque<u32string> packed;
  std::deque<int32_t> counters;
  const void *text(Form form, const u32string &s) {
    if (form == UF) return units.emplace_back(s.begin(), s.end()).c_str();
    if (form == WF) return packed.emplace_back(s).c_str();
    return bytes.emplace_back(s.begin(), s.end()).c_str();
  }
};

std::vector<Arg> prepare(Form form, PLLocale *h, std::vector<Arg> args, Store &store) {
  for (Arg &a : args) {
    Form as = a.kind == Arg::Own || a.kind == Arg::OwnChar ? form : form == UF ? UF : form == WF ? B : WF;
    if (a.kind == Arg::Own || a.kind == Arg::Other)
      a.pointer = a.null ? nullptr : store.text(as, encoded(as, h, a.text));
    if (a.kind == Arg::OwnChar || a.kind == Arg::OtherChar) a.integer = encoded(as == X ? B : as, h, a.text)[0];
    if (a.kind == Arg::Count) a.pointer = &store.counters.emplace_back(-1);
  }
  return args;
}

// Calls `f` with the arguments as C arguments of their types (three at most).
template <class F, class... Done>
int32_t apply(F &f, const std::vector<Arg> &args, size_t i, Done... done) {
  if constexpr (sizeof...(Done) < 3)
    if (i < args.size()) switch (const Arg &a = args[i]; a.kind) {
        case Arg::Int: case Arg::OwnChar: case Arg::OtherChar:
          return apply(f, args, i + 1, done..., static_cast<int32_t>(a.integer));
        case Arg::Int64: return apply(f, args, i + 1, done..., a.integer);
        case Arg::Real: return apply(f, args, i + 1, done..., static_cast<double>(a.real));
        case Arg::Extended: return apply(f, args, i + 1, done..., a.real);
        default: return apply(f, args, i + 1, done..., a.pointer);
      }
  return f(done...);
}

// The argument source: hands out the arguments in order and notes which callback took each.
struct Feed {
  const std::vector<Arg> *args;
  size_t next = 0;
  std::string calls = {};
};
constexpr const char *kCallbacks[] = {"int",    "uint",   "short",   "ushort",  "long",    "ulong",
                                      "int64",  "uint64", "double",  "longdouble", "char", "wchar",
                                      "uchar",  "string", "wstring", "ustring", "pointer"};

template <int K, class R>
R take(void *context) {
  static const Arg kNone{Arg::Int};
  Feed *feed = static_cast<Feed *>(context);
  feed->calls += (feed->calls.empty() ? "" : " ") + std::string(kCallbacks[K]);
  const Arg &a = feed->next < feed->args->size() ? (*feed->args)[feed->next++] : kNone;
  if constexpr (std::is_pointer_v<R>) return static_cast<R>(const_cast<void *>(a.pointer));
  else if constexpr (std::is_floating_point_v<R>) return static_cast<R>(a.real);
  else return static_cast<R>(a.integer);
}

PLArgSource source_of(Feed *feed, bool ints_only) {
  PLArgSource only{};  // getInt alone
  only.context = feed;
  only.getInt = take<0, int32_t>;
  if (ints_only) return only;
  return {feed, take<0, int32_t>, take<1, uint32_t>, take<2, int16_t>, take<3, uint16_t>, take<4, int32_t>,
          take<5, uint32_t>, take<6, int64_t>, take<7, uint64_t>, take<8, double>, take<9, long double>,
          take<10, char>, take<11, PLWChar>, take<12, PLUChar>, take<13, const char *>,
          take<14, const PLWChar *>, take<15, const PLUChar *>, take<16, void *>};
}

// The three ways into a form: the variadic export, the va_list one and the PLArgSource one.
enum Path { Variadic, Listed, Sourced };
constexpr Path kPaths[] = {Variadic, Listed, Sourced};
constexpr const char *kPathNames[] = {"variadic", "va_list", "source"};

template <class O, class F>
int32_t listed(int32_t (*v)(PLLocale *, O *, int32_t, const F *, int32_t, int32_t, va_list), PLLocale *h, O *o,
               int32_t size, const F *f, int32_t len, int32_t flags, ...) {
  va_list args;
  va_start(args, flags);
  int32_t n = v(h, o, size, f, len, flags, args);
  va_end(args);
  return n;
}

// The Ex exports with the states of the call being made, shaped as the others.
PLState g_out_state, g_format_state;
int32_t vsprintf_ex(PLLocale *h, char *o, int32_t size, const char *f, int32_t len, int32_t flags, va_list a) {
  return PLVsprintfEx(h, o, g_out_state, size, f, g_format_state, len, flags, a);
}
int32_t snprintf_ex(PLLocale *h, char *o, int32_t size, const char *f, int32_t len, int32_t fl, const PLArgSource *s) {
  return PLSnprintfEx(h, o, g_out_state, size, f, g_format_state, len, fl, s);
}

struct Call {
  Form form;
  PLLocale *h;
  u32string format;  // elements of the form, without a terminator
  std::vector<Arg> args = {};
  int32_t size = 256, flags = 0;
  PLState out_state = 0, format_state = 0;
  int32_t format_len = -1;
  bool ints_only = false;  // a source with getInt alone
};

struct Result {
  Output out;
  std::string calls;               // the source's callbacks in order
  std::vector<int32_t> counters;   // what %n stored
  long allocations = 0, kept = 0;  // blocks the export call took, and did not return
};

// The session's counting allocator, watched around the export call, whose g_fail_at-th allocation fails.
pltest::Heap *g_heap;
long g_fail_at = 0;

// One call on a handle whose error field the caller has set.
Result invoke(const Call &c, Path path) {
  Store store;
  std::vector<Arg> args = prepare(c.form, c.h, c.args, store);
  if (args.size() > 3 && path != Sourced) return ADD_FAILURE() << "three arguments at most", Result{};
  Feed feed{&args};
  PLArgSource source = source_of(&feed, c.ints_only);
  g_out_state = c.out_state, g_format_state = c.format_state;
  Result r;
  auto run_form = [&](auto element, auto variadic, auto va, auto sourced) {
    using E = decltype(element);
    const E *f = static_cast<const E *>(store.text(c.form, c.format));
    return run<E>(c.h, c.size < 0 ? 256 : c.size, [&](E *o) {
      auto v = [&](auto... a) { return variadic(c.h, o, c.size, f, c.format_len, c.flags, a...); };
      auto l = [&](auto... a) { return listed(va, c.h, o, c.size, f, c.format_len, c.flags, a...); };
      long before = g_heap->allocations, live = g_heap->live;
      if (g_fail_at > 0) g_heap->fail_at = g_heap->attempts + g_fail_at;
      int32_t n = path == Variadic ? apply(v, args, 0)
                  : path == Listed ? apply(l, args, 0)
                                   : sourced(c.h, o, c.size, f, c.format_len, c.flags, &source);
      g_heap->fail_at = -1;
      r.allocations = g_heap->allocations - before;
      r.kept = g_heap->live - live;
      return n;
    });
  };
  auto ex = [](PLLocale *h, char *o, int32_t size, const char *f, auto... a) {
    return PLSprintfEx(h, o, g_out_state, size, f, g_format_state, a...);
  };
  switch (c.form) {
    case B: r.out = run_form(char{}, [](auto... a) { return PLSprintf(a...); }, PLVsprintf, PLSnprintf); break;
    case X: r.out = run_form(char{}, ex, vsprintf_ex, snprintf_ex); break;
    case UF: r.out = run_form(PLUChar{}, [](auto... a) { return PLSprintfU(a...); }, PLVsprintfU, PLSnprintfU); break;
    case WF: r.out = run_form(PLWChar{}, [](auto... a) { return PLWsprintf(a...); }, PLWvsprintf, PLWsnprintf);
  }
  r.calls = feed.calls;
  r.counters.assign(store.counters.begin(), store.counters.end());
  return r;
}

// The call by every path from a cleared error field; all must agree with the variadic one.
Result invoke_all(const Call &c) {
  Result first;
  for (Path path : kPaths) {
    PLState state;
    PLInitState(c.h, &state);
    Result r = invoke(c, path);
    if (path == Variadic) first = r;
    SCOPED_TRACE(kPathNames[path]);
    EXPECT_EQ(hex(r.out.text), hex(first.out.text));
    EXPECT_EQ(std::tie(r.out.result, r.out.code, r.counters),
              std::tie(first.out.result, first.out.code, first.counters));
    EXPECT_TRUE(r.out.guard_intact);
  }
  return first;
}

void expect_out(const Result &r, const u32string &text, int32_t result, int32_t code = PL_OK) {
  EXPECT_EQ(hex(r.out.text), hex(text));
  EXPECT_EQ(std::pair(r.out.result, r.out.code), std::pair(result, code)) << "(result, code)";
}

// A text a locale writes in each of `forms`; a format length counts characters (BMP here).
struct Text {
  const char *locale;
  std::vector<Form> forms;
  u16string format;
  std::vector<Arg> args;
  u16string expected = {};
  int32_t flags = 0, format_len = -1;
  std::vector<int32_t> counters = {};  // what %n stores
};

// The one runner of the text tables: every path writes the expected text whole.
void expect_text(PLLocale *h, Form form, const Text &t) {
  SCOPED_TRACE((t.locale ? t.locale : ""s) + " " + kFormNames[form] + " " + hex(widen(t.format)));
  int32_t len = t.format_len;
  if (len >= 0 && (form == B || form == X) && !(t.flags & CC))  // in bytes
    len = static_cast<int32_t>(encoded(form, h, t.format.substr(0, len)).size());
  Result r = invoke_all({form, h, encoded(form, h, t.format), t.args, 256, t.flags, 0, 0, len});
  u32string want = encoded(form, h, t.expected);
  expect_out(r, want, static_cast<int32_t>(t.flags & CC ? t.expected.size() : want.size()));
  EXPECT_EQ(r.counters, t.counters);
}

class Printf : public NumberTest {
 protected:
  Printf() { g_heap = &session_.heap(); }
};

const std::vector<Form> kAll = {B, X, UF, WF}, kNoBase = {X, UF, WF};
const char *const k1252 = "English_UnitedStates.MS1252", *const k037 = "English_UnitedStates.IBM037",
                  *const k930 = "Japanese_Japan.IBM930", *const k932 = "Japanese_Japan.MS932",
                  *const kUTF8 = "German_Germany.UTF-8", *const kDE = "German_Germany.MS1252";

TEST_F(Printf, DirectivesInEveryFormAndFamily) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const Text kCases[] = {
      // Every % that starts a directive consumes an argument (an int when nothing names it).
      {0, {}, u"%%", {}, u"%"}, {0, {}, u"%!|ab%", {I(0), I(0)}, u"!|ab"}, {0, {}, u"a%-5", {I(0)}, u"a"},
      {0, {}, u"%5!|%y%%", {I(0), I(0)}, u"!|y%"}, {0, {}, u"100%% %d", {I(1)}, u"100% 1"},
      // * takes an int; a negative width is the - flag, a negative precision none.
      {0, {}, u"%*d|", {I(-4), I(7)}, u"7   |"}, {0, {}, u"%.*d|", {I(-1), I(0)}, u"0|"},
      {0, {}, u"%+05d|%#x|%#X", {I(42), I(255), I(255)}, u"+0042|0xff|0XFF"},
      {0, {}, u"%p", {P(0xABCDEF)}, u16string(2 * sizeof(void *) - 6, u'0') + u"ABCDEF"},
      // Characters and strings of the form and of the other kind; null strings.
      {0, {}, u"%3c|%-3s|", {C(u'x'), S(u"ab")}, u"  x|ab |"}, {0, {}, u"%.3s|%8s", {S0, S0}, u"(nu|  (null)"},
      {0, {}, u"%.2S|%4S|", {WS(u"wide"), WS(u"ab")}, u"wi|  ab|"},
      {0, {}, u"%C%C|%3C", {WC(u'Q'), WC(u'r'), WC(u'q')}, u"Qr|  q"}, {0, {}, u"%S|%s", {WS0, S(u"")}, u"(null)|"},
      // %n stores the count so far and writes nothing, not even padding.
      {0, {}, u"ab%ncd", {N()}, u"abcd", 0, -1, {2}}, {0, {}, u"ab%5ncd%n", {N(), N()}, u"abcd", 0, -1, {2, 4}},
      // Exponents of three digits, half-up rounding, the locale's letters for inf and nan.
      {0, {}, u"%e|%E", {D(1.5), D(-1234.5)}, u"1.500000e+000|-1.234500E+003"},
      {0, {}, u"%.0f %g %G", {D(2.5), D(1e10), D(1e10)}, u"3 1e+010 1.00000E+010"},
      {0, {}, u"%f %E %5.1f|", {D(inf), D(-inf), D(nan)}, u"inf -INF   nan|"},
      // Positional: read in position order by each one's kind, unnamed ones int; sequential: n$ is a width.
      {0, {}, u"%3$d %1$d %2$d", {I(10), I(20), I(30)}, u"30 10 20"}, {0, {}, u"%3$d", {I(7)}, u"7"},
      {0, {}, u"%2$s %1$s%%", {S(u"a"), S(u"b")}, u"b a%"}, {0, {}, u"%1$*d|", {I(5), I(42)}, u"   42|"},
      {0, {}, u"%1$d %1$d", {I(5), I(6)}, u"5 5"}, {0, {}, u"%2$.1f %1$c", {C(u'x'), D(2.5)}, u"2.5 x"},
      {0, {}, u"%3$lld %1$d %1$d", {I(4), I(-1), LL(int64_t{1} << 40)}, u"1099511627776 4 4"},
      {0, {}, u"%2$-4s|%1$+d", {I(3), S(u"ab")}, u"ab  |+3"}, {0, {}, u"%d %1$d", {I(1), I(2)}, u"1 2"},
      // A format length ends the format, also inside a directive.
      {0, {}, u"abc%d", {I(5)}, u"abc", 0, 3}, {0, {}, u"%d%d", {I(5), I(6)}, u"5", 0, 2},
      {0, {}, u"ab%5d", {I(5)}, u"ab", 0, 4}, {0, {}, u"ab%5d", {I(5)}, u"ab    5", 0, 5},
  };
  // An ASCII set, an EBCDIC one and code page 930, whose base form knows neither shifts nor its letters.
  for (const char *locale : {k1252, k037, k930}) {
    PLLocale *h = open(locale);
    for (Form form : locale == k930 ? kNoBase : kAll)
      for (const Text &c : kCases) expect_text(h, form, c);
  }
}

TEST_F(Printf, CharactersStringsAndSeparatorsOfTheLocale) {
  const Text kTexts[] = {
      // Byte forms: precisions in bytes keep a started character; %C, %S convert packed ones, %S width in them.
      {k932, {B}, u"%.1s|%.2s|%.3s", {S(u"\u3042b"), S(u"\u3042b"), S(u"\u3042b")}, u"\u3042|\u3042|\u3042b"},
      {k932, {B}, u"%C|%3C|%-3C|", {WC(u'\u3042'), WC(u'\u3044'), WC(u'\u3046')}, u"\u3042| \u3044|\u3046 |"},
      {k932, {B}, u"%S|%.1S|%4S|", {WS(u"\u3042b"), WS(u"\u3042b"), WS(u"\u3042")}, u"\u3042b|\u3042|   \u3042|"},
      {k932, {X}, u"%5s|\u3042%c", {S(u"\u3044"), C(u'z')}, u"   \u3044|\u3042z"},
      {kUTF8, {B}, u"%.1s|%.2s|%4s|", {S(u"\u20ACx"), S(u"\u00E4x"), S(u"\u00E4")}, u"\u20AC|\u00E4|  \u00E4|"},
      {kUTF8, {B}, u"%S|%C", {WS(u"\u20AC\U0001F600"), WC(u'\u00E4')}, u"\u20AC\U0001F600|\u00E4"},
      // U: all four take UTF-16, widths and precisions in units.
      {kUTF8, {UF}, u"%c%C|%s", {C(u'\u20AC'), WC(u'\u00E4'), S(u"\U0001F600")}, u"\u20AC\u00E4|\U0001F600"},
      {kUTF8, {UF}, u"%3s|%.2s|%-4S|", {S(u"\U0001F600"), S(u"\u00E4bc"), WS(u"\U0001F600")},
       u" \U0001F600|\u00E4b|\U0001F600  |"},
      // W: c and s packed characters, C and S bytes (converted), widths in units.
      {k932, {WF}, u"%c|%3s|%.1s", {C(u'\u3042'), S(u"\u3044"), S(u"\u3046z")}, u"\u3042|  \u3044|\u3046"},
      {k932, {WF}, u"%C%C|%S", {WC(u'a'), WC(u'\uFF71'), WS(u"\u3042b")}, u"a\uFF71|\u3042b"},
      {k932, {WF}, u"%4S|%-3S|", {WS(u"\u3044"), WS(u"\uFF71")}, u"   \u3044|\uFF71  |"},
      {kUTF8, {WF}, u"%c|%S|%-3s|", {C(u'\u20AC'), WS(u"\u00E4\u20AC"), S(u"\u00E4")},
       u"\u20AC|\u00E4\u20AC|\u00E4  |"},
      // A format length in characters under PL_COUNT_CHARS (the U and W forms count units).
      {k932, kAll, u"\u3042\u3044%d", {I(5)}, u"\u3042\u3044", CC, 2},
      {k932, kAll, u"\u3042\u3044%d", {I(5)}, u"\u3042\u30445", CC, 4},
      // A decimal comma; the , flag groups d i u f g G (six fraction digits, no integer precision), not x X o e E.
      {kDE, kAll, u"%.2f|%e|%g", {D(1.5), D(1.5), D(0.25)}, u"1,50|1,500000e+000|0,25"},
      {kDE, kAll, u"%#.0f|%#.0E|%G", {D(3), D(3), D(1e-5)}, u"3,|3,E+000|1,00000E-005"},
      {"German_Germany.IBM037", kAll, u"%.2f|%e", {D(1.5), D(-1.5)}, u"1,50|-1,500000e+000"},
      {kDE, kAll, u"%d.%x", {I(1), I(10)}, u"1.a"},
      {k1252, kAll, u"%,d|%,i|%,u", {I(1234567), I(-1234567), I(-1)}, u"1,234,567|-1,234,567|4,294,967,295"},
      {k1252, kAll, u"%,.5d|%,12d|%-,10d|", {I(42), I(1234567), I(-1234)}, u"42|   1,234,567|-1,234    |"},
      {k1252, kAll, u"%,+d|%,08d|%,d", {I(1234), I(1234), I(1234567)}, u"+1,234|0001,234|1,234,567\0"s, T},
      {k1252, kAll, u"%,.2f|%,g|%,G", {D(1234.5), D(1234.5), D(1e7)},
       u"1,234.500000|1,234.500000|10,000,000.000000"},
      {k1252, kAll, u"%,f|%,e|%,E", {D(-0.5), D(12345.5), D(-12345.5)},
       u"-0.500000|1.234550e+004|-1.234550E+004"},
      {k1252, kAll, u"%,x|%,X|%,o", {I(0x123456), I(0x123456), I(01234567)}, u"123456|123456|1234567"},
      {kDE, kAll, u"%,d|%,.2f", {I(-1234567), D(1234.5)}, u"-1.234.567|1.234,500000"},
      {k037, kAll, u"%,d|%,.1f", {I(1234567), D(-1234.5)}, u"1,234,567|-1,234.500000"},
      {k930, kNoBase, u"%,d|%,.1f", {I(1234567), D(1234.5)}, u"1,234,567|1,234.500000"},
  };
  for (const Text &t : kTexts) {
    PLLocale *h = open(t.locale), *fresh = open(t.locale);
    for (Form form : t.forms) expect_text(h, form, t);
    char used[16] = {}, own[16] = {};  // grouping leaves the handle's separators alone
    for (auto [l, o] : {std::pair{h, used}, {fresh, own}})
      PLGetLocaleTextInfo(l, PL_DECIMAL_POINT, o, 8, 0), PLGetLocaleTextInfo(l, PL_THOUSANDS_SEP, o + 8, 8, 0);
    EXPECT_EQ(std::string(used, 16), std::string(own, 16));
  }
  // A handle whose point was changed: its own point, or the territory's under PL_FROM_TERRITORY.
  PLLocale *h = open(kDE, {{PL_DECIMAL_POINT, u"/"}});
  for (Form form : kAll)
    for (const Text &t : {Text{0, {}, u"%.1f", {D(2.5)}, u"2/5"}, Text{0, {}, u"%.1f", {D(2.5)}, u"2,5", TER},
                          Text{0, {}, u"%.1f", {D(2.5)}, u"2,5\0"s, 0x10000 | TER | T}})
      expect_text(h, form, t);
}

TEST_F(Printf, EbcdicBytesAndShiftStates) {
  // Exact bytes in code pages 037 and 930, whose Ex and W forms read its own small letters (d 65 e 66 f 67 i 71
  // l 74 x B7 s AB, C C3 S E2); 0E shift-out, 0F shift-in, 4481 4482 double-byte, 4F a bar, 40 a space.
  struct Bytes {
    const char *locale;
    std::vector<Form> forms;  // W: one unit per byte, the same units out
    std::string format;
    std::vector<Arg> args;
    std::string expected;
    int32_t flags = 0;
    PLState format_state = 0, out_state = 0;
    int32_t result = -1;  // -1: the expected bytes
  };
  const std::string dbcs = "\x0E\x44\x81\x0F";
  const std::vector<Form> kBW = {B, WF}, kXW = {X, WF};
  const Bytes kBytes[] = {
      {k037, kBW, "\x6C\x84", {I(-1234567890)}, "\x60\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xF0"},
      {k037, kBW, "\x6C\x7B\xA7\x6C\x7B\xE7", {I(0xabc), I(0xdef)}, "\xF0\xA7\x81\x82\x83\xF0\xE7\xC4\xC5\xC6"},
      {k037, kBW, "\x6C\x4E\xF5\x4B\xF1\x86\x6C\x85", {D(1.25), D(-1.5)},
       "\x40\x4E\xF1\x4B\xF3\x60\xF1\x4B\xF5\xF0\xF0\xF0\xF0\xF0\x85\x4E\xF0\xF0\xF0"},
      {k037, kBW, "\x6C\xA2\x4F\x6C\x60\xF4\xA2\x4F", {S0, S(u"ab")},
       "\x4D\x95\xA4\x93\x93\x5D\x4F\x81\x82\x40\x40\x4F"},
      {k037, kBW, "\x6C\xF0\xF4\x84\x6C\x6C\x5A", {I(-5)}, "\x60\xF0\xF0\xF5\x6C\x5A"},
      {k037, kBW, "\x6C\xF2\x5B\x84\x6C\xF1\x5B\x84", {I(1), I(2)}, "\xF2\xF1"},
      {k930, kXW, "\x6C\x65", {I(-1234567890)}, "\x60\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xF0"},
      {k930, kXW, "\x6C\xAB\x6C\x7B\xE7\x6C\x74\x74\x71", {S0, I(255), LL(-2)},
       "\x4D\x76\xB4\x74\x74\x5D\xF0\xE7\xC6\xC6\x60\xF2"},
      {k930, kXW, "\x6C\x4B\xF1\x67\x6C\xC5", {D(2.5), D(1.5)},
       "\xF2\x4B\xF5\xF1\x4B\xF5\xF0\xF0\xF0\xF0\xF0\xC5\x4E\xF0\xF0\xF0"},
      {k930, kXW, "\x6C\xB7\x6C\x66", {I(255), D(1.5)}, "\x67\x67\xF1\x4B\xF5\xF0\xF0\xF0\xF0\xF0\x66\x4E\xF0\xF0\xF0"},
      // Code page 930's base form reads directives as code page 037: its own letters are literal.
      {k930, {B}, "\x6C\x65|\x6C\x84", {I(0), I(7)}, "\x65|\xF7"},
      // Format shift bytes are consumed, the output gets one where its mode changes from its state (format and
      // output states last); directives are single-byte only; without shift states the states are ignored.
      {k930, {X}, dbcs + "\x6C\x65", {I(5)}, "\x0E\x44\x81\x0F\xF5"},
      {k930, {X}, dbcs + "\x6C\x65", {I(5)}, "\x44\x81\x0F\xF5", 0, 0, 1},
      {k930, {X}, "\x44\x81\x0F\x6C\x65", {I(5)}, "\x0E\x44\x81\x0F\xF5", 0, 1, 0},
      {k930, {X}, "\x6C\x65", {I(5)}, "\x0F\xF5", 0, 0, 1},
      {k930, {X}, "\x0E\x0F\x0E\x44\x81\x0F\x0E\x44\x82\x0F\x0F\x6C\x65", {I(5)}, "\x0E\x44\x81\x44\x82\x0F\xF5"},
      {k930, {X}, "\x0E\x6C\x65\x0F\x4F", {I(5)}, "\x0E\x6C\x65\x0F\x4F"},
      {k932, {X}, "\x82\xA0%d", {I(5)}, "\x82\xA0" "5", 0, 1, 1},
      // An output that ends double-byte is closed only with its terminator.
      {k930, {X}, "\x6C\x65" + dbcs, {I(5)}, "\xF5\x0E\x44\x81"},
      {k930, {X}, "\x6C\x65" + dbcs, {I(5)}, "\xF5\x0E\x44\x81\x0F\0"s, T},
      {k930, {X}, "\x44\x81", {I(5)}, "\x44\x81\x0F\0"s, T, 1, 1}, {k930, {X}, "\x4F", {}, "\x0F\x4F\0"s, T, 0, 1},
      // Padding after double-byte text shifts in first; widths count bytes and shift bytes, %S characters.
      {k930, {X}, "\x6C\x60\xF6\xAB\x4F", {S(u"\u3042")}, "\x0E\x44\x81\x0F\x40\x40\x4F"},
      {k930, {X}, "\x6C\xF6\xAB\x4F", {S(u"\u3042")}, "\x40\x40\x0E\x44\x81\x0F\x4F"},
      {k930, {X}, "\x6C\xC3\x4F\x6C\xE2\x4F", {WC(u'\u3042'), WS(u"\u3042\u3044")},
       "\x0E\x44\x81\x0F\x4F\x0E\x44\x81\x44\x82\x0F\x4F"},
      {k930, {X}, "\x6C\xF4\xE2\x4F", {WS(u"\u3042\u3044")}, "\x40\x40\x0E\x44\x81\x44\x82\x0F\x4F"},
      // Counting characters from the output's starting mode: shift bytes are none.
      {k930, {X}, dbcs + "\x6C\x65", {I(56)}, "\x0E\x44\x81\x0F\xF5\xF6", CC, 0, 0, 3},
      {k930, {X}, "\x6C\x65" + dbcs, {I(5)}, "\xF5\x0E\x44\x81\x0F\0"s, CC | T, 0, 0, 3},
  };
  for (const Bytes &b : kBytes) {
    PLLocale *h = open(b.locale);
    for (Form form : b.forms) {
      SCOPED_TRACE(b.locale + (" "s + kFormNames[form]) + " " + hex(widen(b.format)) + " flags " +
                   std::to_string(b.flags) + " states " + std::to_string(b.format_state) + std::to_string(b.out_state));
      Result r = invoke_all({form, h, widen(b.format), b.args, -1, b.flags, b.out_state, b.format_state});
      expect_out(r, widen(b.expected), b.result < 0 ? static_cast<int32_t>(b.expected.size()) : b.result);
    }
  }
}

// Every size cuts the full output behind its last whole character that fits the room (less the terminator),
// reports no room when anything is missing and counts characters only for a whole output. A character keeps
// the shift byte before it; a double-byte end takes its shift-in and the 0 together, when both fit the room.
void check_cuts(PLLocale *h, Call call) {
  Result full = invoke(call, Variadic);
  ASSERT_EQ(full.out.code, PL_OK);
  const u32string &text = full.out.text;
  struct Cut { size_t end, chars; bool shifted; };
  bool stateful = call.form == X && PLGetLocaleNumInfo(h, PL_CODESET_STATEFUL, 0) == 1;
  std::vector<Cut> at{{0, 0, stateful && call.out_state}};
  std::string s(text.begin(), text.end());
  for (size_t i = 0, shifted = stateful && call.out_state; i < s.size(); at.push_back({i, at.size(), shifted != 0})) {
    if (stateful && (text[i] == 0x0E || text[i] == 0x0F)) shifted = text[i++] == 0x0E;  // with the next character
    if (call.form == UF) i += text[i] >= 0xD800 && text[i] < 0xDC00 ? 2 : 1;
    else if (call.form == WF || stateful) i += shifted ? 2 : 1;
    else i = std::min<size_t>(PLNextChar(h, s.c_str() + i) - s.c_str(), s.size());
  }
  for (int32_t flags : {0, T, CC, CC | T})
    for (int32_t size = -5; size <= static_cast<int32_t>(s.size()) + 3; size += size == -5 ? 4 : size < 0 ? 2 : 1) {
      SCOPED_TRACE("size " + std::to_string(size) + " flags " + std::to_string(flags));
      size_t t = (flags & T) ? 1 : 0;
      Cut kept = at[0];
      for (const Cut &c : at)
        if (size < 0 || c.end + t <= static_cast<size_t>(size)) kept = c;
      bool closed = !t || !kept.shifted || size < 0 || kept.end + 2 < static_cast<size_t>(size);
      u32string want = text.substr(0, kept.end) + (t && closed ? kept.shifted ? U"\x0F\0"s : U"\0"s : U"");
      bool whole = kept.end == text.size() && closed;
      call.size = size, call.flags = flags;
      Result r = invoke_all(call);
      // A stateful cut may leave a 0 behind its last character, which the result does not count.
      if (stateful && !whole && r.out.text == want + U"\0"s) r.out.text.pop_back();
      bool chars = (call.form == B || call.form == X) && (flags & CC) && whole;
      expect_out(r, want, static_cast<int32_t>(chars ? kept.chars + t : want.size()), whole ? PL_OK : E40);
      if (::testing::Test::HasFailure()) return;
    }
}

TEST_F(Printf, EverySizeCutsAtAWholeCharacter) {
  const Text kCuts[] = {
      {k932, {B}, u"\u3042b%s%5d\u3044", {S(u"x\u3046\u3048"), I(-12)}},
      {k932, {X}, u"%-4s|%C%.1s", {S(u"\u3042"), WC(u'\u3044'), S(u"\u3046z")}},
      {k932, {WF}, u"\u3042%s%c%S", {S(u"\u3044b"), C(u'\u3046'), WS(u"\u3048")}},
      {kUTF8, {B}, u"\u20AC%s\U0001F600%.2f", {S(u"\u00E4\U0001F601"), D(1.5)}},
      {kUTF8, {UF, WF}, u"\U0001F600%s%+d", {S(u"a\U0001F601"), I(7)}},
      {kUTF8, {UF}, u"%-4s|%-3S|", {S(u"\U0001F600"), WS(u"\U0001F601")}},
      {k037, {B}, u"%#x|%-6s|%e", {I(255), S0, D(-2.5)}}, {k1252, kAll, u"hello %6d|%#x", {I(-42), I(255)}},
      {k930, {X}, u"1\u3042\u3044%d\u3046", {I(-7)}}, {k930, {X}, u"%6s%S|", {S(u"\u3042"), WS(u"x\u3044")}},
      {k930, {X}, u"%-5s%-4C|", {S(u"\u3042"), WC(u'\u3044')}},
  };
  for (const Text &cut : kCuts) {
    PLLocale *h = open(cut.locale);
    for (Form form : cut.forms)
      for (PLState state = 0; state <= (cut.locale == k930 ? 1u : 0u); ++state) {  // the output's starting state
        SCOPED_TRACE(cut.locale + (" "s + kFormNames[form]) + " " + hex(widen(cut.format)) + " state " +
                     std::to_string(state));
        check_cuts(h, {form, h, encoded(form, h, cut.format), cut.args, -1, 0, state});
      }
  }
}

// Literals and directives with random flags, width and precision, and their arguments (three at most).
std::pair<u16string, std::vector<Arg>> random_format(std::mt19937_64 &random, bool double_byte) {
  auto pick = [&](const auto &list, size_t n = 0) { return list[random() % (n ? n : std::size(list))]; };
  static const char16_t *const kLiterals[] = {u"", u" ", u"|", u"ab", u"%%", u"x=", u"\u3042", u"\u3044z"};
  static const char16_t *const kFlags[] = {u"", u"", u"-", u"+", u" ", u"#", u"0", u",", u"-0", u"+,", u"#0", u",0"};
  static const char16_t *const kConversions[] = {u"d", u"i", u"hd", u"ld", u"lld", u"u", u"o", u"x", u"X", u"hu",
                                                 u"lx", u"llu", u"llX", u"e", u"E", u"f", u"g", u"G", u"Lf", u"Lg",
                                                 u"c", u"C", u"s", u"S", u"s", u"S", u"s", u"S"};
  static const int64_t kInts[] = {0, 1, -1, 7, 42, -42, 255, 65535, 1234567, -1234567, INT32_MIN, INT32_MAX};
  static const double kReals[] = {0, 0.5, 1.5, -2.25, 2.5, 0.125, 1234.5678, -1e10, 1e-5, 99.995, 1e6, 123456789.0};
  static const char16_t *const kTexts[] = {u"", u"a", u"hello", u"0123456789", u"\u3042", u"a\u3044b", u"\u3046"};
  std::pair<u16string, std::vector<Arg>> format;
  for (int i = 0; i < 4; ++i) {
    u16string d = pick(kLiterals, double_byte ? 8 : 6) + (u"%" + u16string(pick(kFlags)));
    std::vector<Arg> args;
    if (random() % 3 == 1) for (char c : std::to_string(1 + random() % 14)) d += static_cast<char16_t>(c);
    else if (random() % 2) d += u"*", args.push_back(I(static_cast<int64_t>(random() % 25) - 12));
    if (random() % 4 == 2) d += u"." + u16string(1, static_cast<char16_t>(u'0' + random() % 9));
    else if (random() % 3 == 2) d += u".*", args.push_back(I(static_cast<int64_t>(random() % 11) - 2));
    const u16string conv = pick(kConversions);
    const char16_t *text = random() % 6 ? pick(kTexts, double_byte ? 7 : 4) : nullptr;
    int64_t n = random() % 4 ? pick(kInts) : static_cast<int64_t>(random());
    double x = random() % 3 ? pick(kReals) : random_amount(random, -6, 12);
    switch (conv.back()) {
      case u'c': args.push_back(C(static_cast<char16_t>(u'a' + random() % 26))); break;
      case u'C': args.push_back(WC(static_cast<char16_t>(u'A' + random() % 26))); break;
      case u's': args.push_back(text ? S(text) : S0); break;
      case u'S': args.push_back(text ? WS(text) : WS0); break;
      case u'e': case u'E': case u'f': case u'g': case u'G': args.push_back(conv[0] == u'L' ? LD(x) : D(x)); break;
      default: args.push_back(conv.find(u"ll") != u16string::npos ? LL(n) : I(n));
    }
    if (format.second.size() + args.size() > 3) break;
    format.first += d + conv;
    format.second.insert(format.second.end(), args.begin(), args.end());
  }
  return format;
}

TEST_F(Printf, RandomDirectivesAgreeAcrossFormsAndSizes) {
  // In an ASCII set the four forms write one text; every form cuts every size behind a whole character.
  std::mt19937_64 random(930);
  PLLocale *ascii = open(k1252), *sjis = open(k932);
  size_t count = sweep(400, 40000);
  for (size_t i = 0; i < count && !HasFailure(); ++i) {
    bool double_byte = i % 2 == 1;  // every other case in a double-byte set
    PLLocale *h = double_byte ? sjis : ascii;
    auto [format, args] = random_format(random, double_byte);
    SCOPED_TRACE("case " + std::to_string(i) + ": " + hex(widen(format)));
    u32string base = invoke_all({B, h, encoded(B, h, format), args}).out.text;
    for (Form form : double_byte ? std::vector<Form>{} : kNoBase) {
      SCOPED_TRACE(kFormNames[form]);
      expect_out(invoke_all({form, h, encoded(form, h, format), args}), base, static_cast<int32_t>(base.size()));
    }
    Form form = kForms[(i / 2) % 4];
    if (i % 8 == 0 || i % 4 == 1) check_cuts(h, {form, h, encoded(form, h, format), args, -1});
  }
}

TEST_F(Printf, SourceCallbacksByKindAndPosition) {
  // The callback of each directive's kind (base, U and W form), in position order, unnamed
  // positions ints. With getInt alone a format needing another is refused (code 2) after the
  // text before its directive (a positional format: nothing); null: it needs getInt alone.
  const std::tuple<const char *, std::vector<Arg>, const char *, const char *, const char *, const char *> kKinds[] = {
      {"%d %i %*.*d", {I(1), I(2), I(3), I(4), I(5)}, "int int int int int", 0, 0, nullptr},
      {"%u %o %x %X", {I(1), I(2), I(3), I(4)}, "uint uint uint uint", 0, 0, ""},
      {"%hd %hu %hi %hx", {I(1), I(2), I(3), I(4)}, "short ushort short ushort", 0, 0, ""},
      {"%ld %lu %li %lo", {I(1), I(2), I(3), I(4)}, "long ulong long ulong", 0, 0, ""},
      {"%d %lld %llu %llX", {I(1), LL(2), LL(3), LL(4)}, "int int64 uint64 uint64", 0, 0, "1 "},
      {"%e %f %g %E %G", {D(1), D(2), D(3), D(4), D(5)}, "double double double double double", 0, 0, ""},
      {"%c %s %C %S", {C(u'a'), S(u"b"), WC(u'c'), WS(u"d")}, "char string wchar wstring",
       "uchar ustring uchar ustring", "wchar wstring char string", ""},
      {"ab%s", {S(u"x")}, "string", "ustring", "wstring", "ab"}, {"%C|", {WC(u'c')}, "wchar", "uchar", "char", ""},
      {"%S", {WS(u"d")}, "wstring", "ustring", "string", ""}, {"%Lf", {LD(6)}, "longdouble", 0, 0, ""},
      {"%n %p", {N(), P(1)}, "pointer pointer", 0, 0, ""}, {"%!", {I(0)}, "int", 0, 0, nullptr},
      {"plain", {}, "", 0, 0, nullptr}, {"%2$s %1$u", {I(1), S(u"x")}, "uint string", "uint ustring", "uint wstring",
       ""},
      {"%3$lld %1$hd %1$hd", {I(1), I(2), LL(3)}, "short int int64", 0, 0, ""},
      {"%1$*x", {I(4), I(5)}, "int uint", 0, 0, ""},
  };
  PLLocale *h = open(k1252);
  for (const auto &[format, args, base, u, w, before] : kKinds)
    for (Form form : kForms) {
      SCOPED_TRACE(std::string(format) + " " + kFormNames[form]);
      Call call{form, h, widen(std::string(format)), args};
      PLState state;
      PLInitState(h, &state);
      Result r = invoke(call, Sourced);
      EXPECT_EQ(r.calls, form == UF && u ? u : form == WF && w ? w : base);
      EXPECT_EQ(r.out.code, PL_OK);
      call.ints_only = true;
      if (before) expect_out(invoke(call, Sourced), widen(std::string(before)), -1, E2);
      else expect_out(invoke(call, Sourced), r.out.text, r.out.result);
    }
}

TEST_F(Printf, RefusedCallsWriteNothing) {
  // Flags outside 0x10009 and PL_COUNT_CHARS (2); no room (40); empty formats, mixed or bad positions (51).
  const std::tuple<const char *, std::vector<Arg>, int32_t, int32_t, int32_t, int32_t> kRefusals[] = {
      {"%d", {I(1)}, 16, 2, E2, -1}, {"%d", {I(1)}, 16, 4, E2, -1}, {"%d", {I(1)}, 16, 0x10, E2, -1},
      {"%d", {I(1)}, 16, 0x8000, E2, -1}, {"%d", {I(1)}, 16, 0x20000, E2, -1}, {"%d", {I(1)}, 16, INT32_MIN, E2, -1},
      {"%d", {I(1)}, 0, 2 | T, E2, -1}, {"%d", {I(1)}, 0, 0, E40, -1}, {"%d", {I(1)}, 0, T, E40, -1},
      {"", {}, 16, 0, E51, -1}, {"abc", {}, 16, T, E51, 0}, {"%1$d %d", {I(1), I(2)}, 16, 0, E51, -1},
      {"%2$d %1$d %d", {I(1), I(2), I(3)}, 16, 0, E51, -1}, {"%1$d %*d", {I(1), I(2), I(3)}, 16, 0, E51, -1},
      {"%1$d %", {I(1), I(2)}, 16, 0, E51, -1}, {"%1$d %3$d", {I(1), I(2)}, 16, 0, E51, -1},
      {"%0$d %1$d", {I(1), I(2)}, 16, 0, E51, -1},
  };
  PLLocale *h = open(k1252), *sjis = open(k932), *ebcdic = open(k930);
  for (const auto &[format, args, size, flags, code, length] : kRefusals)
    for (Form form : kForms) {
      SCOPED_TRACE(format + (" "s + kFormNames[form]) + " size " + std::to_string(size) + " flags " +
                   std::to_string(flags));
      expect_out(invoke_all({form, h, widen(std::string(format)), args, size, flags, 0, 0, length}), U"", -1, code);
    }
  // A multibyte character right after %, in a double-byte set and in a shifted run, found while writing.
  for (const Call &call : {Call{B, sjis, widen("ab%\x82\xA0z"), {I(1)}}, Call{X, sjis, widen("ab%\x82\xA0z"), {I(1)}},
                           Call{X, ebcdic, widen("\x6C\x0E\x44\x81\x0F"), {I(1)}}}) {
    Result r = invoke_all(call);
    EXPECT_EQ(std::pair(r.out.result, r.out.code), std::pair(-1, E51));
  }
}

TEST_F(Printf, ErrorFieldIsWrittenOnlyOnFailureAndUnderCountChars) {
  PLLocale *h = open(k932);
  auto after = [&](int32_t code, const Call &call, Path path) {  // plants 2 or 51 in the error field first
    char out[4];
    PLSprintf(h, out, 4, code == E2 ? "x" : "", -1, code == E2 ? 2 : 0);
    EXPECT_EQ(PLGetError(h), code);
    return invoke(call, path);
  };
  for (Form form : kForms)
    for (Path path : kPaths) {
      SCOPED_TRACE(kFormNames[form] + (" "s + kPathNames[path]));
      bool bytes = form == B || form == X;
      u32string format = encoded(form, h, u"\u3042%d"), text = encoded(form, h, u"\u30425");
      // Success keeps an earlier code, but PL_COUNT_CHARS stores 0 in the byte forms; a cut stores 40 over anything.
      expect_out(after(E2, {form, h, format, {I(5)}}, path), text, bytes ? 3 : 2, E2);
      expect_out(after(E2, {form, h, format, {I(5)}, 256, CC}, path), text, 2, bytes ? PL_OK : E2);
      expect_out(after(E51, {form, h, format, {I(5)}, 256, CC | T}, path), text + U"\0"s, 3, bytes ? PL_OK : E51);
      expect_out(after(E51, {form, h, format, {I(12345)}, bytes ? 4 : 3}, path), encoded(form, h, u"\u304212"),
                 bytes ? 4 : 3, E40);
    }
}

TEST_F(Printf, HugeWidthsAndPrecisionsStayInTheirRoom) {
  // Widths and precisions beyond any buffer or the 32-bit range, in digits or through *.
  const std::pair<u16string, std::vector<Arg>> kHuge[] = {
      {u"%600d|", {I(7)}}, {u"%-600d|", {I(7)}}, {u"%.600x|", {I(7)}}, {u"%.600f|", {D(1.5)}}, {u"%.400f|", {D(1e300)}},
      {u"%.600e|", {D(1.5)}}, {u"%.600g|", {D(1.0 / 3)}}, {u"%.600s|", {S(u"abc")}}, {u"%600s|", {S(u"abc")}},
      {u"%600c|", {C(u'q')}}, {u"%*d|", {I(INT32_MIN), I(7)}}, {u"%*d|", {I(INT32_MAX), I(7)}},
      {u"%.*f|", {I(INT32_MAX), D(2.5)}}, {u"%99999999999d|", {I(7)}}, {u"%.99999999999d|", {I(7)}},
      {u"%,.600f|", {D(1234.5)}}, {u"%,600d|", {I(1234567)}}, {u"%.*d|", {I(INT32_MAX), I(7)}},
  };
  PLLocale *h = open(k1252);
  for (const auto &[format, args] : kHuge)
    for (Form form : kForms)
      for (int32_t size : {32, 2048}) {
        SCOPED_TRACE(hex(widen(format)) + " " + kFormNames[form] + " size " + std::to_string(size));
        Result r = invoke_all({form, h, encoded(form, h, format), args, size});
        EXPECT_EQ(r.out.result, static_cast<int32_t>(r.out.text.size()));
        EXPECT_EQ(r.out.code, r.out.result < size ? PL_OK : E40);
        EXPECT_TRUE(r.out.result == size || r.out.text.back() == U'|');
      }
}

TEST_F(Printf, EveryCallReleasesItsArguments) {
  // Argument blocks come back before the call returns; a failed one gives -1, code 40, nothing written. The last
  // case has 21 consumers, more than a call keeps at hand, reading three named positions.
  const u16string seven = u"%1$d%2$.1f%3$lld|", many = seven + seven + seven + seven + seven + seven + seven;
  std::vector<Arg> many_args = {I(1), D(2.5), LL(3)};
  many_args.resize(21, I(0));
  const std::pair<u16string, std::vector<Arg>> kAllocations[] = {
      {u"plain", {}}, {u"%d %s", {I(1), S(u"a")}}, {u"%f", {D(1.5)}}, {u"%lld %Lg %e", {LL(1), LD(2), D(3)}},
      {u"%3$f %1$d %1$d", {I(1), I(0), D(2)}}, {u"%1$d %d", {I(1), I(2)}} /* refused */, {many, many_args}};
  PLLocale *h = open(k1252);
  for (const auto &[format, args] : kAllocations)
    for (Form form : kForms)
      for (Path path : kPaths) {
        if (args.size() > 3 && path != Sourced) continue;
        SCOPED_TRACE(hex(widen(format.substr(0, 16))) + " " + kFormNames[form] + " " + kPathNames[path]);
        Call call{form, h, encoded(form, h, format), args, 1024};
        Result ok = invoke(call, path);
        EXPECT_EQ(ok.kept, 0);
        EXPECT_TRUE(args.size() <= 3 || (ok.allocations > 0 && ok.out.text.find(encoded(form, h, u"12.53|12.5")) == 0));
        for (g_fail_at = 1; g_fail_at <= ok.allocations; ++g_fail_at) {
          SCOPED_TRACE("failing allocation " + std::to_string(g_fail_at));
          Result failed = invoke(call, path);
          expect_out(failed, U"", -1, E40);
          EXPECT_EQ(failed.kept, 0);
        }
        g_fail_at = 0;
      }
}

}  // namespace
