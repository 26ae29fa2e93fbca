// polyloc grep -l LOCALE [--dir DIR] [-E|-F] [-i] [-n] [-o] [-c] [-v] PATTERN [FILE...]
//
// Prints the lines of the files (or standard input) that match PATTERN, like grep(1),
// with the library's regular expressions in the locale's code set. PATTERN is UTF-8 and
// is converted to the code set; the files are read as bytes of the code set and split at
// its line feed, each line one string (in a stateful set it starts in the single-byte
// state). -E: extended syntax (basic without it); -F: a literal string; -i: ignore case;
// -n: line numbers; -o: each non-empty match on a line of its own; -c: the number of
// selected lines; -v: select the lines that do not match. Options may be grouped (-in).
// With more than one file every output line starts with the file's name. Names, numbers
// and ':' are written in the code set, and so are the line feeds.
//
// Exit status: 0 when a line was selected, 1 when none was, 2 on an error (bad options,
// an unknown locale, a pattern the library refuses, with its message: an empty one too,
// unlike grep(1); a file that cannot be read).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "locale_args.h"
#include "locale_text.h"
#include "polyloc.h"

namespace {

constexpr const char *kCommand = "polyloc grep";
constexpr size_t kBlock = 64 * 1024;

void usage() {
  std::fprintf(stderr,
               "usage: polyloc grep -l LOCALE [--dir DIR] [-E|-F] [-i] [-n] [-o] [-c] [-v] PATTERN\n"
               "                    [FILE...]\n"
               "Prints the lines that match PATTERN (UTF-8; basic syntax, extended with -E, a\n"
               "literal string with -F). Without FILE, or for \"-\", standard input is read.\n");
}

struct Options {
  const char *locale = nullptr;
  const char *directory = nullptr;
  const char *pattern = nullptr;
  bool extended = false, literal = false, ignore_case = false, numbers = false,
       only_matching = false, count = false, invert = false;
  std::vector<const char *> files;
};

// A group of one-letter options such as "-in"; false for an unknown letter.
bool parse_letters(const char *letters, Options &options) {
  for (; *letters != '\0'; ++letters) {
    switch (*letters) {
      case 'E': options.extended = true; break;
      case 'F': options.literal = true; break;
      case 'i': options.ignore_case = true; break;
      case 'n': options.numbers = true; break;
      case 'o': options.only_matching = true; break;
      case 'c': options.count = true; break;
      case 'v': options.invert = true; break;
      default: return false;
    }
  }
  return true;
}

bool parse(int argc, char **argv, Options &options) {
  bool only_operands = false;
  for (int i = 0; i < argc; ++i) {
    const char *arg = argv[i];
    bool has_value = i + 1 < argc;
    if (only_operands || arg[0] != '-' || arg[1] == '\0') {
      if (options.pattern == nullptr)
        options.pattern = arg;
      else
        options.files.push_back(arg);
    } else if ((std::strcmp(arg, "-l") == 0 || std::strcmp(arg, "--locale") == 0) && has_value) {
      options.locale = argv[++i];
    } else if (std::strcmp(arg, "--dir") == 0 && has_value) {
      options.directory = argv[++i];
    } else if (std::strcmp(arg, "--") == 0) {
      only_operands = true;
    } else if (arg[1] == '-' || !parse_letters(arg + 1, options)) {
      return false;
    }
  }
  return options.locale != nullptr && options.pattern != nullptr &&
         !(options.extended && options.literal);
}

// The compiled pattern, searched through the Ex forms in a stateful set.
class Pattern {
 public:
  Pattern(PLLocale *locale, bool stateful) : locale_(locale), stateful_(stateful) {}
  ~Pattern() {
    if (re_ != nullptr) PLRegfree(locale_, re_);
  }
  Pattern(const Pattern &) = delete;
  Pattern &operator=(const Pattern &) = delete;

  // False, with the library's code, when the pattern is refused.
  bool compile(const std::string &text, int32_t flags) {
    int32_t length = static_cast<int32_t>(text.size());
    re_ = stateful_ ? PLRegcompEx(locale_, text.data(), 0, length, flags)
                    : PLRegcomp(locale_, text.data(), length, flags);
    return re_ != nullptr;
  }

  // Searches the `n` bytes at `at` (in `state`) of the line that starts at `line`: 1, 0,
  // or -1 with the library's code.
  int32_t search(const char *line, const char *at, size_t n, PLState state) {
    int32_t length = static_cast<int32_t>(n);
    return stateful_ ? PLRegexecEx(locale_, re_, at, state, length, line, 0)
                     : PLRegexec(locale_, re_, at, length, line, 0);
  }

  void match(const char **start, const char **end) const { PLRegrange(re_, 0, start, end); }

 private:
  PLLocale *locale_;
  bool stateful_;
  PLRegex *re_ = nullptr;
};

class Grep {
 public:
  Grep(const Options &options, PLLocale *locale, const Converter &converter)
      : options_(options),
        locale_(locale),
        converter_(converter),
        shifts_(shift_bytes(locale)),
        pattern_(locale, shifts_.stateful()),
        line_feed_(line_feed(locale)),
        labelled_(options.files.size() > 1) {}

  // False, reported, when the pattern cannot be compiled.
  bool compile(PLLocale *utf8) {
    std::string text;
    if (!converter_.to_locale(options_.pattern, &text)) {
      std::fprintf(stderr, "%s: the pattern has a character with no equivalent in the locale's code set\n",
                   kCommand);
      return false;
    }
    int32_t flags = options_.extended ? PL_REG_EXTENDED : options_.literal ? PL_REG_LITERAL : 0;
    if (options_.ignore_case) flags |= PL_REG_ICASE;
    if (!options_.only_matching) flags |= PL_REG_NOSUB;
    if (pattern_.compile(text, flags)) return true;
    int32_t code = PLGetError(locale_);
    char message[256];
    if (PLRegerror(utf8, code, message, sizeof message, 0) == 0) std::strcpy(message, "unknown error");
    std::fprintf(stderr, "%s: %s (code %d)\n", kCommand, message, code);
    return false;
  }

  // Reads the lines of `file`, named `name`; false, reported, when a search fails.
  bool feed(FILE *file, const char *name) {
    label_ = std::strcmp(name, "-") == 0 ? "(standard input)" : name;
    number_ = selected_ = 0;
    std::vector<char> block(kBlock);
    std::string pending;
    size_t n;
    while ((n = std::fread(block.data(), 1, block.size(), file)) > 0) {
      const char *at = block.data(), *end = at + n;
      while (const void *found = std::memchr(at, line_feed_, static_cast<size_t>(end - at))) {
        const char *feed = static_cast<const char *>(found);
        pending.append(at, feed);
        if (!line(pending)) return false;
        pending.clear();
        at = feed + 1;
      }
      pending.append(at, end);
    }
    if (!pending.empty() && !line(pending)) return false;
    if (options_.count) {
      write_prefix(false);
      write_text(std::to_string(selected_));
      std::fputc(line_feed_, stdout);
    }
    return true;
  }

  bool any_selected() const { return any_selected_; }

 private:
  bool line(const std::string &text) {
    ++number_;
    if (text.size() > INT32_MAX) {
      std::fprintf(stderr, "%s: %s: line %llu is too long\n", kCommand, label_, number_);
      return false;
    }
    const char *start = text.data(), *end = start + text.size();
    int32_t found = pattern_.search(start, start, text.size(), 0);
    if (found < 0) return search_failed();
    if ((found == 1) == options_.invert) return true;
    ++selected_;
    any_selected_ = true;
    if (options_.count) return true;
    if (!options_.only_matching) {
      write_prefix(true);
      std::fwrite(start, 1, text.size(), stdout);
      std::fputc(line_feed_, stdout);
      return true;
    }
    return options_.invert || each_match(start, end);
  }

  // Writes every non-empty match of the line; the search goes on behind each one, with
  // the line as its base so that ^ matches only at the line's start.
  bool each_match(const char *line, const char *end) {
    const char *at = line;
    PLState state = 0;
    while (at < end) {
      int32_t found = pattern_.search(line, at, static_cast<size_t>(end - at), state);
      if (found < 0) return search_failed();
      if (found == 0) break;
      const char *start, *stop;
      pattern_.match(&start, &stop);
      if (start == nullptr || stop == nullptr || start < at || stop > end) return search_failed();
      PLState start_state = shifts_.after(at, static_cast<size_t>(start - at), state);
      if (stop > start) {
        write_match(start, stop, start_state);
        at = stop;
        state = shifts_.after(start, static_cast<size_t>(stop - start), start_state);
      } else {
        at = next_char(start, end, start_state, &state);
      }
    }
    return true;
  }

  // The position behind the character at `at`, never past `end`, at least one byte on.
  const char *next_char(const char *at, const char *end, PLState state, PLState *after) const {
    const char *next = shifts_.stateful() ? PLNextCharEx(locale_, at, state, after)
                                          : PLNextChar(locale_, at);
    if (next == nullptr || next <= at) next = at + 1;
    if (next > end) next = end;
    *after = shifts_.after(at, static_cast<size_t>(next - at), state);
    return next;
  }

  // A match on its own line: shifted bytes are opened and closed so that it stands alone.
  void write_match(const char *start, const char *stop, PLState start_state) {
    write_prefix(true);
    if (start_state == 1) std::fputc(shifts_.out, stdout);
    std::fwrite(start, 1, static_cast<size_t>(stop - start), stdout);
    if (shifts_.after(start, static_cast<size_t>(stop - start), start_state) == 1)
      std::fputc(shifts_.in, stdout);
    std::fputc(line_feed_, stdout);
  }

  // "name:" with more than one file, then the line's "number:" when asked for.
  void write_prefix(bool numbered) {
    if (labelled_) write_text(std::string(label_) + ":");
    if (options_.numbers && numbered) write_text(std::to_string(number_) + ":");
  }

  // UTF-8 text in the code set (as it is where it has no equivalent there).
  void write_text(const std::string &text) {
    std::string bytes;
    if (!converter_.to_locale(text, &bytes)) bytes = text;
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  }

  bool search_failed() const {
    std::fprintf(stderr, "%s: %s: the search failed at line %llu (code %d)\n", kCommand, label_, number_,
                 PLGetError(locale_));
    return false;
  }

  const Options &options_;
  PLLocale *locale_;
  const Converter &converter_;
  ShiftBytes shifts_;
  Pattern pattern_;
  char line_feed_;
  bool labelled_;
  const char *label_ = "";
  unsigned long long number_ = 0, selected_ = 0;
  bool any_selected_ = false;
};

int run(const Options &options, PLLocale *locale) {
  PLLocale *utf8 = open_locale("UTF-8", kCommand);
  if (utf8 == nullptr) return 2;
  Converter converter(locale, utf8);
  Grep grep(options, locale, converter);
  int status = 2;
  if (grep.compile(utf8)) {
    std::vector<const char *> files = options.files;
    if (files.empty()) files.push_back("-");
    bool failed = false;
    for (const char *name : files) {
      int read = read_inputs({name}, kCommand, [&](FILE *file) { return grep.feed(file, name); });
      failed = failed || read != 0;
      if (read < 0) break;
    }
    status = failed || std::fflush(stdout) != 0 ? 2 : grep.any_selected() ? 0 : 1;
  }
  PLReleaseLocale(utf8);
  return status;
}

}  // namespace

int grep_command(int argc, char **argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    usage();
    return 2;
  }
  bool ran = false;
  int status = with_locale(options.directory, options.locale, kCommand, [&](PLLocale *locale) {
    ran = true;
    return run(options, locale);
  });
  // Without the library or the locale the search never ran: an error, not "no match".
  return ran ? status : 2;
}
