// polyloc date -l LOCALE [--dir DIR] [-d TEXT -p FORMAT] [+FORMAT]
//
// Writes the current local time, or the time read from TEXT under FORMAT, with the
// library's time formatter: the locale's day and month names, its date and time
// formats, output in its code set, then a line feed. +FORMAT is the output format
// (default "%c"). TEXT and both formats are UTF-8 and are converted to the locale's
// code set first. The time zone is the process's (TZ).
//
// Exit status: 0; 1 for an unknown locale, a character the code set cannot hold, TEXT
// that does not match FORMAT, or a format the library refuses (each with its code);
// 2 for bad options.
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "commands.h"
#include "locale_args.h"
#include "locale_text.h"
#include "polyloc.h"

namespace {

constexpr const char *kCommand = "polyloc date";

void usage() {
  std::fprintf(stderr,
               "usage: polyloc date -l LOCALE [--dir DIR] [-d TEXT -p FORMAT] [+FORMAT]\n"
               "Writes the time now, or the time read from TEXT under FORMAT, with the\n"
               "locale's names and formats, in the locale's code set.\n");
}

struct Options {
  const char *locale = nullptr;
  const char *directory = nullptr;
  const char *text = nullptr;
  const char *parse_format = nullptr;
  const char *format = "%c";
};

bool parse_options(int argc, char **argv, Options &options) {
  for (int i = 0; i < argc; ++i) {
    const char *arg = argv[i];
    bool has_value = i + 1 < argc;
    if (arg[0] == '+')
      options.format = arg + 1;
    else if ((std::strcmp(arg, "-l") == 0 || std::strcmp(arg, "--locale") == 0) && has_value)
      options.locale = argv[++i];
    else if (std::strcmp(arg, "--dir") == 0 && has_value)
      options.directory = argv[++i];
    else if (std::strcmp(arg, "-d") == 0 && has_value)
      options.text = argv[++i];
    else if (std::strcmp(arg, "-p") == 0 && has_value)
      options.parse_format = argv[++i];
    else
      return false;
  }
  return options.locale != nullptr && (options.text == nullptr) == (options.parse_format == nullptr);
}

// The argument `what` in the locale's code set; false, reported, when it cannot be.
bool in_locale(const Converter &converter, const char *text, const char *what, std::string *out) {
  if (converter.to_locale(text, out)) return true;
  std::fprintf(stderr, "%s: the %s has a character with no equivalent in the locale's code set\n",
               kCommand, what);
  return false;
}

bool read_time(PLLocale *locale, const Converter &converter, const Options &options, std::tm *time) {
  std::string text, format;
  if (!in_locale(converter, options.text, "text", &text) ||
      !in_locale(converter, options.parse_format, "parse format", &format))
    return false;
  int32_t n = PLStringToTime(locale, time, text.data(), static_cast<int32_t>(text.size()), format.data(),
                             static_cast<int32_t>(format.size()), 0);
  if (n < 0) {
    std::fprintf(stderr, "%s: \"%s\" does not match \"%s\" (code %d)\n", kCommand, options.text,
                 options.parse_format, PLGetError(locale));
    return false;
  }
  if (static_cast<size_t>(n) < text.size())
    std::fprintf(stderr, "%s: read %d of %zu bytes of \"%s\"\n", kCommand, n, text.size(), options.text);
  return true;
}

bool write_time(PLLocale *locale, const Converter &converter, const char *utf8_format, const std::tm &time) {
  std::string format;
  if (!in_locale(converter, utf8_format, "format", &format)) return false;
  char out[4096];
  int32_t n = PLTimeToString(locale, &time, out, sizeof out, format.data(),
                             static_cast<int32_t>(format.size()), 0);
  if (n < 0) {
    std::fprintf(stderr, "%s: cannot format \"%s\" (code %d)\n", kCommand, utf8_format, PLGetError(locale));
    return false;
  }
  if (PLGetError(locale) == PL_ERR_BUFFER_TOO_SMALL)
    std::fprintf(stderr, "%s: the output was cut at %zu bytes\n", kCommand, sizeof out);
  std::fwrite(out, 1, static_cast<size_t>(n), stdout);
  std::fputc('\n', stdout);
  return true;
}

int run(const Options &options, PLLocale *locale) {
  PLLocale *utf8 = open_locale("UTF-8", kCommand);
  if (utf8 == nullptr) return 1;
  Converter converter(locale, utf8);
  std::tm time{};
  bool done;
  if (options.text != nullptr) {
    done = read_time(locale, converter, options, &time);
  } else {
    std::time_t now = std::time(nullptr);
    done = localtime_r(&now, &time) != nullptr;
  }
  done = done && write_time(locale, converter, options.format, time);
  PLReleaseLocale(utf8);
  return done ? 0 : 1;
}

}  // namespace

int date_command(int argc, char **argv) {
  Options options;
  if (!parse_options(argc, argv, options)) {
    usage();
    return 2;
  }
  tzset();
  return with_locale(options.directory, options.locale, kCommand,
                     [&](PLLocale *locale) { return run(options, locale); });
}
