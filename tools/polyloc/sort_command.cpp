// polyloc sort -l LOCALE [--ignore-case|--ignore-width] [--reverse] [--unique] [--dir DIR]
// [FILE...]: sorts the lines of the files (or standard input), text in the locale's code
// set, by the locale's collation, like sort(1) -s, and writes them unchanged, each ending
// in the code set's line feed.
//
// A line ends at the line feed (a carriage return before it stays in the line, as in
// sort(1)); a last line without one is still a line. Each line is one string of the
// code set, so in a stateful set it starts in the single-byte state. Lines are ordered
// by their sort keys, equal keys in input order; --unique keeps the first line of each
// group of equal keys. Inputs larger than the buffer (64 MiB of lines and keys unless
// --buffer-size says otherwise) are sorted in runs through a temporary file.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "external_sort.h"
#include "locale_args.h"
#include "polyloc.h"

namespace {

constexpr size_t kBlock = 64 * 1024;
constexpr size_t kDefaultBuffer = 64 << 20;

void usage() {
  std::fprintf(stderr,
               "usage: polyloc sort -l LOCALE [--ignore-case|--ignore-width] [--reverse] [--unique]\n"
               "                    [--buffer-size BYTES] [--dir DIR] [FILE...]\n"
               "LOCALE is a locale name (Spanish_Spain.MS1252@TraditionalSpanish) or a code-set\n"
               "name (MS932). Without FILE, or for \"-\", standard input is read.\n");
}

struct Options {
  const char *locale = nullptr;
  const char *directory = nullptr;
  bool ignore_case = false, ignore_width = false, reverse = false, unique = false;
  size_t buffer_size = kDefaultBuffer;
  std::vector<const char *> files;
};

bool parse_size(const char *text, size_t &size) {
  char *end = nullptr;
  errno = 0;
  unsigned long long value = std::strtoull(text, &end, 10);
  if (text[0] < '0' || text[0] > '9' || *end != '\0' || errno != 0 || value == 0) return false;
  size = static_cast<size_t>(value);
  return true;
}

bool parse(int argc, char **argv, Options &options) {
  bool only_files = false;
  for (int i = 0; i < argc; ++i) {
    const char *arg = argv[i];
    bool has_value = i + 1 < argc;
    if (only_files || arg[0] != '-' || arg[1] == '\0')
      options.files.push_back(arg);
    else if ((std::strcmp(arg, "-l") == 0 || std::strcmp(arg, "--locale") == 0) && has_value)
      options.locale = argv[++i];
    else if (std::strcmp(arg, "--dir") == 0 && has_value)
      options.directory = argv[++i];
    else if (std::strcmp(arg, "--buffer-size") == 0 && has_value) {
      if (!parse_size(argv[++i], options.buffer_size)) return false;
    } else if (std::strcmp(arg, "--ignore-case") == 0)
      options.ignore_case = true;
    else if (std::strcmp(arg, "--ignore-width") == 0)
      options.ignore_width = true;
    else if (std::strcmp(arg, "--reverse") == 0)
      options.reverse = true;
    else if (std::strcmp(arg, "--unique") == 0)
      options.unique = true;
    else if (std::strcmp(arg, "--") == 0)
      only_files = true;
    else
      return false;
  }
  return options.locale != nullptr;
}

// The sort keys of lines: one call into a buffer large enough for the library to build
// the key in place, and a second one when the key is longer still.
class KeyMaker {
 public:
  KeyMaker(PLLocale *locale, int32_t flags)
      : locale_(locale), flags_(flags), stateful_(shift_bytes(locale).stateful()) {}

  // False when the library gives no key; PLGetError tells why.
  bool make(const std::string &line, std::string &key) {
    size_t size = std::min<size_t>(line.size() * 16 + 4, INT32_MAX);
    for (;;) {
      if (buffer_.size() < size) buffer_.resize(size);
      int32_t length = xfrm(line, static_cast<int32_t>(size));
      if (length < 0) return false;
      if (static_cast<size_t>(length) <= size) {
        key.assign(buffer_.data(), static_cast<size_t>(length));
        return true;
      }
      size = static_cast<size_t>(length);
    }
  }

 private:
  int32_t xfrm(const std::string &line, int32_t size) {
    int32_t length = static_cast<int32_t>(line.size());
    if (stateful_) return PLStrxfrmEx(locale_, buffer_.data(), size, line.data(), 0, length, flags_);
    return PLStrxfrm(locale_, buffer_.data(), size, line.data(), length, flags_);
  }

  PLLocale *locale_;
  int32_t flags_;
  bool stateful_;
  std::vector<char> buffer_;
};

class Sorter {
 public:
  Sorter(const Options &options, PLLocale *locale)
      : locale_(locale),
        unique_(options.unique),
        keys_(locale, options.ignore_case ? PL_IGNORE_CASE : options.ignore_width ? PL_IGNORE_WIDTH : 0),
        sort_(options.buffer_size, options.reverse),
        line_feed_(line_feed(locale)) {}

  // Reads the lines of `file` in blocks; false on a failure, reported.
  bool feed(FILE *file) {
    std::vector<char> block(kBlock);
    size_t n;
    while ((n = std::fread(block.data(), 1, block.size(), file)) > 0) {
      const char *at = block.data(), *end = at + n;
      while (const void *found = std::memchr(at, line_feed_, static_cast<size_t>(end - at))) {
        const char *feed = static_cast<const char *>(found);
        pending_.append(at, feed);
        if (!add_pending()) return false;
        at = feed + 1;
      }
      pending_.append(at, end);
    }
    return pending_.empty() || add_pending();
  }

  // Writes the sorted lines; false on a failure, reported.
  bool finish() {
    std::string previous;
    bool have_previous = false;
    bool done = sort_.finish([&](const std::string &key, const std::string &line) {
      if (unique_) {
        if (have_previous && key == previous) return true;
        previous = key;
        have_previous = true;
      }
      if (std::fwrite(line.data(), 1, line.size(), stdout) == line.size() &&
          std::fputc(line_feed_, stdout) != EOF)
        return true;
      return write_failed();
    });
    if (!done) {
      if (!sort_.error().empty()) std::fprintf(stderr, "polyloc sort: %s\n", sort_.error().c_str());
      return false;
    }
    return std::fflush(stdout) == 0 || write_failed();
  }

 private:
  bool add_pending() {
    ++lines_;
    std::string key;
    if (pending_.size() > INT32_MAX) {
      std::fprintf(stderr, "polyloc sort: line %llu is too long\n", lines_);
      return false;
    }
    if (!keys_.make(pending_, key)) {
      std::fprintf(stderr, "polyloc sort: line %llu has no sort key (code %d)\n", lines_,
                   PLGetError(locale_));
      return false;
    }
    if (!sort_.add(std::move(key), std::move(pending_))) {
      std::fprintf(stderr, "polyloc sort: %s\n", sort_.error().c_str());
      return false;
    }
    pending_.clear();
    return true;
  }

  static bool write_failed() {
    std::fprintf(stderr, "polyloc sort: cannot write the output: %s\n", std::strerror(errno));
    return false;
  }

  PLLocale *locale_;
  bool unique_;
  KeyMaker keys_;
  ExternalSort sort_;
  char line_feed_;
  std::string pending_;  // the line read so far
  unsigned long long lines_ = 0;
};

int sort_files(const Options &options, PLLocale *locale) {
  Sorter sorter(options, locale);
  int status = read_inputs(options.files, "polyloc sort", [&](FILE *file) { return sorter.feed(file); });
  // Like sort(1), nothing is written unless every input was read.
  if (status != 0) return 1;
  return sorter.finish() ? 0 : 1;
}

}  // namespace

int sort_command(int argc, char **argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    usage();
    return 2;
  }
  if (options.ignore_case && options.ignore_width) {
    std::fprintf(stderr, "polyloc sort: --ignore-case and --ignore-width cannot be combined\n");
    return 2;
  }
  return with_locale(options.directory, options.locale, "polyloc sort",
                     [&](PLLocale *locale) { return sort_files(options, locale); });
}
