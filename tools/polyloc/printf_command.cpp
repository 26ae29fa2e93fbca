// polyloc printf -l LOCALE [--dir DIR] FORMAT [ARG...]
//
// Formats the ARGs under FORMAT like printf(1), with the library's printf: the
// locale's decimal point, %,d grouping, positional arguments (%2$s), output in the
// locale's code set. FORMAT and the ARGs are UTF-8; the escapes \\ \a \b \f \n \r \t
// \v of FORMAT are replaced first, then FORMAT and every ARG are converted to the
// locale's code set. Each ARG is read as its directive asks: integers in C syntax
// (strtoll, base 0), floating values with strtod, %s a string, %c its first byte, %C
// its first character and %S all its characters as wide characters, %p an integer.
// %n is accepted and stores nowhere visible. The format is used again while ARGs are
// left; missing ARGs are 0 or empty.
//
// Exit status: 0; 1 for an unknown locale, a format the library refuses (with its
// code), a character the code set cannot hold, or an ARG that is not a number
// (reported, the output still made); 2 for bad options.
#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "commands.h"
#include "locale_args.h"
#include "locale_text.h"
#include "polyloc.h"

namespace {

constexpr const char *kCommand = "polyloc printf";
// The output of one use of the format is built in memory up to this size.
constexpr size_t kMaxOutput = size_t{64} << 20;

void usage() {
  std::fprintf(stderr,
               "usage: polyloc printf -l LOCALE [--dir DIR] FORMAT [ARG...]\n"
               "Formats the arguments like printf(1) with the locale's conventions and\n"
               "writes the text in the locale's code set.\n");
}

struct Options {
  const char *locale = nullptr;
  const char *directory = nullptr;
  const char *format = nullptr;
  std::vector<const char *> args;
};

// Options come before FORMAT; everything after it is an argument.
bool parse_options(int argc, char **argv, Options &options) {
  int i = 0;
  for (; i < argc && options.format == nullptr; ++i) {
    const char *arg = argv[i];
    bool has_value = i + 1 < argc;
    if (arg[0] != '-' || arg[1] == '\0')
      options.format = arg;
    else if ((std::strcmp(arg, "-l") == 0 || std::strcmp(arg, "--locale") == 0) && has_value)
      options.locale = argv[++i];
    else if (std::strcmp(arg, "--dir") == 0 && has_value)
      options.directory = argv[++i];
    else if (std::strcmp(arg, "--") == 0 && has_value)
      options.format = argv[++i];
    else
      return false;
  }
  for (; i < argc; ++i) options.args.push_back(argv[i]);
  return options.locale != nullptr && options.format != nullptr;
}

// FORMAT with its backslash escapes replaced; an unknown escape stays as written.
std::string unescape(const char *format) {
  static constexpr char kEscapes[][2] = {{'\\', '\\'}, {'a', '\a'}, {'b', '\b'}, {'f', '\f'},
                                         {'n', '\n'},   {'r', '\r'}, {'t', '\t'}, {'v', '\v'}};
  std::string out;
  for (const char *p = format; *p != '\0'; ++p) {
    out.push_back(*p);
    if (*p != '\\') continue;
    for (const auto &escape : kEscapes)
      if (p[1] == escape[0]) {
        out.back() = escape[1];
        ++p;
        break;
      }
  }
  return out;
}

// What the format asks of each argument position, read as the library reads it: the
// conversion character of the directive that takes the position, '*' for a width or
// precision, 0 for a position no directive names. Only %n must be known for sure (its
// argument is a place to store to); everything else the argument callbacks learn
// from which of them is called.
class FormatScan {
 public:
  FormatScan(const std::string &format, const Converter &converter) {
    read(format, converter);
    assign();
  }
  char conversion_at(size_t position) const { return position < kinds_.size() ? kinds_[position] : 0; }

 private:
  enum State { kNormal, kPercent, kFlag, kWidth, kDot, kPrecision, kSize, kType };
  enum Class { kOther, kPercentSign, kDotSign, kStar, kZero, kDigit, kFlagSign, kSizeLetter, kTypeLetter };

  struct Directive {
    char position = 0;  // the character after %, when '$' follows it
    int stars = 0;
    char conversion = 0;
  };

  static Class classify(unsigned char c) {
    if (c < 0x20 || c > 0x78) return kOther;
    if (c == '%') return kPercentSign;
    if (c == '.') return kDotSign;
    if (c == '*') return kStar;
    if (c == '0') return kZero;
    if (c >= '1' && c <= '9') return kDigit;
    if (std::strchr(" #$+,-", c) != nullptr) return kFlagSign;
    if (std::strchr("FILNhlw", c) != nullptr) return kSizeLetter;
    if (std::strchr("BCEGSXZcdefginopsux", c) != nullptr) return kTypeLetter;
    return kOther;
  }

  static State next(Class c, State s) {
    static constexpr State kNext[9][8] = {
        {kNormal, kNormal, kNormal, kNormal, kNormal, kNormal, kNormal, kNormal},
        {kPercent, kNormal, kNormal, kNormal, kNormal, kNormal, kNormal, kPercent},
        {kNormal, kDot, kDot, kDot, kNormal, kNormal, kNormal, kNormal},
        {kNormal, kWidth, kWidth, kNormal, kPrecision, kNormal, kNormal, kNormal},
        {kNormal, kFlag, kFlag, kWidth, kPrecision, kPrecision, kNormal, kNormal},
        {kNormal, kWidth, kWidth, kWidth, kPrecision, kPrecision, kNormal, kNormal},
        {kNormal, kFlag, kFlag, kFlag, kNormal, kNormal, kNormal, kNormal},
        {kNormal, kSize, kSize, kSize, kSize, kSize, kSize, kNormal},
        {kNormal, kType, kType, kType, kType, kType, kType, kNormal},
    };
    return kNext[c][s];
  }

  void read(const std::string &format, const Converter &converter) {
    State state = kNormal;
    for (size_t i = 0; i < format.size();) {
      unsigned char c = static_cast<unsigned char>(format[i]);
      size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
      length = std::min(length, format.size() - i);
      if (c >= 0x80 && !converter.single_byte(format.data() + i, length)) {
        if (state == kPercent) return;  // refused by the library
        i += length;
        continue;  // a multibyte character leaves the state as it is
      }
      State now = next(classify(c), state);
      if (now == kPercent && state != kPercent && (i + 1 >= format.size() || format[i + 1] != '%')) {
        Directive &d = directives_.emplace_back();
        if (i + 2 < format.size() && format[i + 2] == '$') d.position = format[i + 1];
      } else if ((now == kWidth || now == kPrecision) && c == '*' && !directives_.empty()) {
        ++directives_.back().stars;
      } else if (now == kType && !directives_.empty()) {
        directives_.back().conversion = static_cast<char>(c);
      }
      state = now;
      i += length;
    }
  }

  // Positions in the order of consumption: in each directive its * first, then the
  // conversion; positional directives start at their number.
  void assign() {
    size_t count = 0;
    for (const Directive &d : directives_) count += 1 + static_cast<size_t>(d.stars);
    kinds_.assign(count, 0);
    bool positional = !directives_.empty() && directives_.front().position != 0;
    size_t next_position = 0;
    for (const Directive &d : directives_) {
      if (positional) next_position = count == 1 ? 0 : static_cast<size_t>(d.position - '1');
      for (int s = 0; s <= d.stars; ++s, ++next_position)
        if (next_position < count) kinds_[next_position] = s < d.stars ? '*' : d.conversion;
    }
  }

  std::vector<Directive> directives_;
  std::vector<char> kinds_;
};

// The ARGs as the library's argument source hands them out: it calls one function per
// argument position, in the order of the positions, so the k-th call of a use of the
// format takes the k-th ARG from `base`.
class Arguments {
 public:
  Arguments(const std::vector<const char *> &args, const Converter &converter) : args_(args) {
    for (const char *arg : args) {
      std::string text;
      representable_.push_back(converter.to_locale(arg, &text));
      texts_.push_back(text);
      wide_.push_back(converter.wide(text));
    }
  }

  // Starts a use of the format at ARG `base`, with `scan` naming the %n positions.
  void start(size_t base, const FormatScan *scan) {
    base_ = base;
    taken_ = 0;
    scan_ = scan;
  }
  size_t taken() const { return taken_; }
  size_t size() const { return args_.size(); }
  // Reports the ARGs that could not be read as asked; false when there was one.
  bool report() const {
    for (size_t at : unrepresentable_)
      std::fprintf(stderr, "%s: \"%s\": a character has no equivalent in the locale's code set\n", kCommand,
                   args_[at]);
    for (size_t at : not_numbers_) std::fprintf(stderr, "%s: \"%s\": not a number\n", kCommand, args_[at]);
    for (size_t at : out_of_range_)
      std::fprintf(stderr, "%s: \"%s\": out of range for its directive\n", kCommand, args_[at]);
    return unrepresentable_.empty() && not_numbers_.empty() && out_of_range_.empty();
  }

  PLArgSource source() {
    PLArgSource s{};
    s.context = this;
    s.getInt = [](void *c) { return of(c).integer<int32_t>(); };
    s.getUnsignedInt = [](void *c) { return of(c).integer<uint32_t>(); };
    s.getShort = [](void *c) { return of(c).integer<int16_t>(); };
    s.getUnsignedShort = [](void *c) { return of(c).integer<uint16_t>(); };
    s.getLong = [](void *c) { return of(c).integer<int32_t>(); };
    s.getUnsignedLong = [](void *c) { return of(c).integer<uint32_t>(); };
    s.getInt64 = [](void *c) { return of(c).integer<int64_t>(); };
    s.getUnsignedInt64 = [](void *c) { return of(c).integer<uint64_t>(); };
    s.getDouble = [](void *c) { return of(c).floating(); };
    s.getLongDouble = [](void *c) { return static_cast<long double>(of(c).floating()); };
    s.getChar = [](void *c) {
      const std::string *text = of(c).text();
      return text == nullptr || text->empty() ? '\0' : (*text)[0];
    };
    s.getWideChar = [](void *c) {
      const std::vector<PLWChar> *chars = of(c).wide();
      return chars == nullptr ? PLWChar{0} : (*chars)[0];
    };
    s.getString = [](void *c) {
      const std::string *text = of(c).text();
      return text == nullptr ? "" : text->c_str();
    };
    s.getWideString = [](void *c) {
      static const PLWChar kEmpty[1] = {0};
      const std::vector<PLWChar> *chars = of(c).wide();
      return chars == nullptr ? kEmpty : chars->data();
    };
    s.getPointer = [](void *c) { return of(c).pointer(); };
    return s;
  }

 private:
  static Arguments &of(void *context) { return *static_cast<Arguments *>(context); }

  // The index of the next ARG, or size() when they have run out; counts the call.
  size_t next() {
    size_t at = base_ + taken_++;
    return at < args_.size() ? at : args_.size();
  }
  // The next ARG's text in the locale's code set, null when they have run out.
  const std::string *text() {
    size_t at = next();
    if (at == args_.size()) return nullptr;
    if (!representable_[at]) unrepresentable_.insert(at);
    return &texts_[at];
  }
  const std::vector<PLWChar> *wide() {
    const std::string *t = text();
    return t == nullptr ? nullptr : &wide_[static_cast<size_t>(t - texts_.data())];
  }

  // An integer in C syntax that must fit the width of T, signed or unsigned (as the
  // C library reads it, -1 is the largest unsigned value).
  template <class T>
  T integer() {
    size_t at = next();
    if (at == args_.size()) return 0;
    const char *text = args_[at];
    char *end = nullptr;
    errno = 0;
    long long value = std::strtoll(text, &end, 0);
    bool range = errno != ERANGE;
    unsigned long long big = 0;
    if (errno == ERANGE && value > 0 && sizeof(T) == sizeof big) {
      errno = 0;
      big = std::strtoull(text, &end, 0);
      range = errno != ERANGE;
    }
    if (*text == '\0' || *end != '\0') not_numbers_.insert(at);  // the value read so far stands
    if (big != 0) return static_cast<T>(big);
    using Signed = std::make_signed_t<T>;
    using Unsigned = std::make_unsigned_t<T>;
    if (!range || value < static_cast<long long>(std::numeric_limits<Signed>::min()) ||
        (value > 0 && static_cast<unsigned long long>(value) > std::numeric_limits<Unsigned>::max()))
      out_of_range_.insert(at);
    return static_cast<T>(value);
  }

  double floating() {
    size_t at = next();
    if (at == args_.size()) return 0;
    const char *text = args_[at];
    char *end = nullptr;
    double value = std::strtod(text, &end);
    if (*text == '\0' || *end != '\0') not_numbers_.insert(at);
    return value;
  }

  // %p: the ARG's value; %n: a place of our own, whatever the ARG.
  void *pointer() {
    size_t position = taken_;
    if (scan_ == nullptr || scan_->conversion_at(position) != 'p') {
      next();
      return &stored_;
    }
    return reinterpret_cast<void *>(static_cast<uintptr_t>(integer<uint64_t>()));
  }

  const std::vector<const char *> &args_;
  std::vector<std::string> texts_;
  std::vector<std::vector<PLWChar>> wide_;
  std::vector<bool> representable_;
  // ARGs that could not be read as asked, by index (a use of the format that is run
  // again with more room reads them again).
  std::set<size_t> unrepresentable_, not_numbers_, out_of_range_;
  size_t base_ = 0, taken_ = 0;
  const FormatScan *scan_ = nullptr;
  int32_t stored_ = 0;
};

// One use of the format, written to standard output; false (reported) when the
// library refused it.
bool format_once(PLLocale *locale, const std::string &format, Arguments &arguments, size_t base,
                 const FormatScan &scan) {
  PLArgSource source = arguments.source();
  for (size_t size = 1024;; size *= 2) {
    std::vector<char> out(size);
    arguments.start(base, &scan);
    PLState state = 0;
    PLInitState(locale, &state);
    int32_t n = PLSnprintfEx(locale, out.data(), 0, static_cast<int32_t>(size), format.c_str(), 0, -1,
                             PL_TERMINATE, &source);
    int32_t code = PLGetError(locale);
    if (code == PL_ERR_BUFFER_TOO_SMALL && n >= 0 && size < kMaxOutput) continue;
    if (n <= 0 || code != PL_OK) {
      if (code == PL_ERR_FORMAT)
        std::fprintf(stderr, "%s: invalid format (code %d)\n", kCommand, code);
      else if (code == PL_ERR_BUFFER_TOO_SMALL)
        std::fprintf(stderr, "%s: the output is longer than %zu bytes (code %d)\n", kCommand, kMaxOutput, code);
      else
        std::fprintf(stderr, "%s: cannot format (code %d)\n", kCommand, code);
      return false;
    }
    std::fwrite(out.data(), 1, static_cast<size_t>(n - 1), stdout);
    return true;
  }
}

int run(const Options &options, PLLocale *locale) {
  PLLocale *utf8 = open_locale("UTF-8", kCommand);
  if (utf8 == nullptr) return 1;
  Converter converter(locale, utf8);
  std::string text = unescape(options.format), format;
  int status = 0;
  if (!converter.to_locale(text, &format)) {
    std::fprintf(stderr, "%s: the format has a character with no equivalent in the locale's code set\n",
                 kCommand);
    status = 1;
  } else if (!format.empty()) {
    FormatScan scan(text, converter);
    Arguments arguments(options.args, converter);
    // The format is used again while arguments are left, as long as it takes any.
    size_t base = 0;
    do {
      if (!format_once(locale, format, arguments, base, scan)) {
        status = 1;
        break;
      }
      base += arguments.taken();
    } while (arguments.taken() > 0 && base < arguments.size());
    if (!arguments.report()) status = 1;
  }
  PLReleaseLocale(utf8);
  return status;
}

}  // namespace

int printf_command(int argc, char **argv) {
  Options options;
  if (!parse_options(argc, argv, options)) {
    usage();
    return 2;
  }
  return with_locale(options.directory, options.locale, kCommand, [&](PLLocale *locale) {
    int status = run(options, locale);
    std::fflush(stdout);
    return status;
  });
}
