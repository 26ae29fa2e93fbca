// polyloc number -l LOCALE [--currency] [--intl] [--parse [--base N]] [--digits]
//                [--dir DIR] VALUE...
//
// Formats each VALUE (C syntax: 1234567, -1234.5, 1e6) with the locale's conventions,
// one line each, in the locale's code set: an integer that fits 32 bits as a long, any
// other value as a double with the locale's number of fractional digits, and with
// --currency as a currency amount (--intl: the international symbol).
//
// With --parse each VALUE is text in the locale's code set, read back as a double (as
// an integer with --base, 0 or 2..36; monetary separators and signs with --currency;
// digits of any script with --digits). Each line gives the value, a tab, and the
// bytes consumed "of" the bytes given; the exit code is 1 when a text was not read to
// its end.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "commands.h"
#include "locale_args.h"
#include "polyloc.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: polyloc number -l LOCALE [--currency] [--intl] [--dir DIR] VALUE...\n"
               "       polyloc number -l LOCALE --parse [--base N] [--currency] [--digits]\n"
               "                      [--dir DIR] TEXT...\n"
               "Formats each value with the locale's grouping, separators and currency;\n"
               "with --parse, reads locale-formatted text back and prints the value and\n"
               "how many bytes were read.\n");
}

struct Options {
  const char *locale = nullptr;
  const char *directory = nullptr;
  bool currency = false, intl = false, parse = false, digits = false;
  int base = -1;  // -1: parse a double
  std::vector<const char *> values;
};

bool parse_base(const char *text, int *base) {
  char *end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value < 0 || value == 1 || value > 36) return false;
  *base = static_cast<int>(value);
  return true;
}

bool parse_options(int argc, char **argv, Options &options) {
  bool only_values = false;
  for (int i = 0; i < argc; ++i) {
    const char *arg = argv[i];
    bool has_value = i + 1 < argc;
    // A leading minus followed by a digit or point is a value, not an option.
    bool number = arg[0] == '-' && (arg[1] == '.' || (arg[1] >= '0' && arg[1] <= '9'));
    if (only_values || arg[0] != '-' || arg[1] == '\0' || number)
      options.values.push_back(arg);
    else if ((std::strcmp(arg, "-l") == 0 || std::strcmp(arg, "--locale") == 0) && has_value)
      options.locale = argv[++i];
    else if (std::strcmp(arg, "--dir") == 0 && has_value)
      options.directory = argv[++i];
    else if (std::strcmp(arg, "--base") == 0 && has_value) {
      if (!parse_base(argv[++i], &options.base)) return false;
    } else if (std::strcmp(arg, "--currency") == 0)
      options.currency = true;
    else if (std::strcmp(arg, "--intl") == 0)
      options.intl = true;
    else if (std::strcmp(arg, "--parse") == 0)
      options.parse = true;
    else if (std::strcmp(arg, "--digits") == 0)
      options.digits = true;
    else if (std::strcmp(arg, "--") == 0)
      only_values = true;
    else
      return false;
  }
  bool parse_only = options.base >= 0 || options.digits;
  return options.locale != nullptr && !options.values.empty() && (options.parse || !parse_only) &&
         !(options.parse && options.intl);
}

// The value a VALUE argument gives in C syntax; false when it is not a number.
bool read_value(const char *text, double *value, bool *integer) {
  char *end = nullptr;
  errno = 0;
  long long whole = std::strtoll(text, &end, 10);
  if (*text != '\0' && *end == '\0' && errno == 0) {
    *value = static_cast<double>(whole);
    *integer = whole >= INT32_MIN && whole <= INT32_MAX;
    return true;
  }
  *integer = false;
  *value = std::strtod(text, &end);
  return *text != '\0' && *end == '\0';
}

int format_values(const Options &options, PLLocale *locale) {
  char out[1024];
  for (const char *text : options.values) {
    double value;
    bool integer;
    if (!read_value(text, &value, &integer)) {
      std::fprintf(stderr, "polyloc number: \"%s\" is not a number\n", text);
      return 2;
    }
    int32_t n;
    if (options.currency)
      n = PLCurrencyToString(locale, value, out, sizeof out, options.intl ? PL_NUM_INTL : 0);
    else if (integer)
      n = PLLongToString(locale, static_cast<int32_t>(value), out, sizeof out, 0);
    else
      n = PLDoubleToString(locale, value, out, sizeof out, 0);
    if (n < 0 || PLGetError(locale) != PL_OK) {
      std::fprintf(stderr, "polyloc number: cannot format %s (code %d)\n", text, PLGetError(locale));
      return 1;
    }
    std::fwrite(out, 1, static_cast<size_t>(n), stdout);
    std::fputc('\n', stdout);
  }
  return 0;
}

int parse_values(const Options &options, PLLocale *locale) {
  int32_t flags = (options.currency ? PL_NUM_MONETARY : 0) | (options.digits ? PL_NUM_MAP_DIGITS : 0);
  int status = 0;
  for (const char *text : options.values) {
    int32_t length = static_cast<int32_t>(std::strlen(text));
    char *end = nullptr;
    if (options.base >= 0) {
      int32_t value = PLStringToLong(locale, text, length, &end, options.base, flags);
      std::printf("%" PRId32, value);
    } else {
      double value = PLStringToDouble(locale, text, length, &end, flags);
      std::printf("%.17g", value);
    }
    if (PLGetError(locale) != PL_OK) {
      std::fprintf(stderr, "\npolyloc number: cannot parse \"%s\" (code %d)\n", text, PLGetError(locale));
      return 1;
    }
    long read = end - text;
    std::printf("\t%ld of %" PRId32 "\n", read, length);
    if (read != length) status = 1;
  }
  return status;
}

}  // namespace

int number_command(int argc, char **argv) {
  Options options;
  if (!parse_options(argc, argv, options)) {
    usage();
    return 2;
  }
  return with_locale(options.directory, options.locale, "polyloc number", [&](PLLocale *locale) {
    return options.parse ? parse_values(options, locale) : format_values(options, locale);
  });
}
