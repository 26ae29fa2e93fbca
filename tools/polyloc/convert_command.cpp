// polyloc convert -f LOCALE -t LOCALE [--replace] [--dir DIR] [FILE...]: converts the
// files (or standard input) from one locale's code set to another's, like iconv(1),
// in fixed memory whatever the size of the input.
//
// Without --replace, every character that becomes the target's replacement byte is
// counted and the first one located; the output is still complete and the exit code
// is 1. Locating needs a character at a time, so a second conversion runs one block
// ahead at full speed, and only blocks in which it met a replacement are fed to the
// writing conversion byte by byte.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "commands.h"
#include "locale_args.h"
#include "polyloc.h"

namespace {

constexpr size_t kBlock = 64 * 1024;

void usage(FILE *out) {
  std::fprintf(out,
               "usage: polyloc convert -f LOCALE -t LOCALE [--replace] [--dir DIR] [FILE...]\n"
               "       polyloc convert --list [--dir DIR]\n"
               "LOCALE is a locale name (Japanese_Japan.MS932) or a code-set name (MS932).\n"
               "Without FILE, or for \"-\", standard input is read.\n");
}

struct Options {
  const char *from = nullptr;
  const char *to = nullptr;
  const char *directory = nullptr;
  bool replace = false;
  bool list = false;
  std::vector<const char *> files;
};

bool parse(int argc, char **argv, Options &options) {
  bool only_files = false;
  for (int i = 0; i < argc; ++i) {
    const char *arg = argv[i];
    bool has_value = i + 1 < argc;
    if (only_files || arg[0] != '-' || arg[1] == '\0')
      options.files.push_back(arg);
    else if ((std::strcmp(arg, "-f") == 0 || std::strcmp(arg, "--from") == 0) && has_value)
      options.from = argv[++i];
    else if ((std::strcmp(arg, "-t") == 0 || std::strcmp(arg, "--to") == 0) && has_value)
      options.to = argv[++i];
    else if (std::strcmp(arg, "--dir") == 0 && has_value)
      options.directory = argv[++i];
    else if (std::strcmp(arg, "--replace") == 0)
      options.replace = true;
    else if (std::strcmp(arg, "--list") == 0)
      options.list = true;
    else if (std::strcmp(arg, "--") == 0)
      only_files = true;
    else
      return false;
  }
  if (options.list) return options.from == nullptr && options.to == nullptr && options.files.empty();
  return options.from != nullptr && options.to != nullptr;
}

int32_t print_codeset(void *, int32_t kind, const char *name) {
  if (kind == PL_KIND_CODESET) std::printf("%s\n", name);
  return 1;
}

// Output through a fixed buffer; tracks the shift state a stateful target ends in.
class Output {
 public:
  explicit Output(PLLocale *target) : shifts_(shift_bytes(target)) {}

  char *at() { return buffer_ + used_; }
  int32_t room() const { return static_cast<int32_t>(sizeof buffer_ - used_); }
  // Takes note of the bytes the conversion wrote at at().
  void wrote(char *end) {
    size_t n = static_cast<size_t>(end - at());
    shifted_ = shifts_.after(at(), n, shifted_) != 0;
    used_ += n;
  }
  bool flush() {
    bool ok = std::fwrite(buffer_, 1, used_, stdout) == used_;
    used_ = 0;
    return ok;
  }
  // Returns a stateful output to the single-byte state, as text must end.
  bool close() {
    if (shifted_) {
      if (room() == 0 && !flush()) return false;
      buffer_[used_++] = static_cast<char>(shifts_.in);
      shifted_ = false;
    }
    return flush() && std::fflush(stdout) == 0;
  }

 private:
  char buffer_[kBlock];
  size_t used_ = 0;
  ShiftBytes shifts_;
  bool shifted_ = false;
};

struct Replacements {
  long long count = 0;
  long long first = -1;  // byte position in the whole input
};

class Converter {
 public:
  Converter(PLLocale *target, PLLocale *source, bool replace)
      : target_(target),
        writer_(PLOpenConversion(target, source)),
        scout_(replace ? nullptr : PLOpenConversion(target, source)),
        replace_(replace),
        output_(target) {}
  ~Converter() {
    if (writer_) PLCloseConversion(writer_);
    if (scout_) PLCloseConversion(scout_);
  }
  Converter(const Converter &) = delete;
  Converter &operator=(const Converter &) = delete;

  bool ok() const { return writer_ != nullptr && (replace_ || scout_ != nullptr); }

  // One block of input; false when the output cannot be written.
  bool block(const char *data, size_t size) {
    if (replace_ || !scout_finds_replacement(data, size)) {
      if (!feed(data, size, false)) return false;
    } else {
      for (size_t i = 0; i < size; ++i) {
        if (!partial_) char_start_ = position_ + static_cast<long long>(i);
        if (!feed(data + i, 1, true)) return false;
      }
    }
    position_ += static_cast<long long>(size);
    return true;
  }

  // Ends the output; false when it cannot be written.
  bool finish() { return output_.close(); }
  bool cut_at_end() const { return partial_; }
  const Replacements &replacements() const { return replacements_; }

 private:
  // Runs the scout over the block with a throwaway output.
  bool scout_finds_replacement(const char *data, size_t size) {
    const char *in = data;
    int32_t in_left = static_cast<int32_t>(size);
    bool found = false;
    int32_t code;
    do {
      char *out = scratch_;
      int32_t out_left = sizeof scratch_;
      code = PLConvertBuffer(scout_, &out, &out_left, &in, &in_left);
      found |= PLGetError(target_) == PL_WARN_REPLACED;
    } while (code == PL_ERR_OUTPUT_FULL);
    return found;
  }

  // Feeds `size` bytes to the writer; with `locate` (one byte at a time) notes a
  // replaced character at the position of its first byte, char_start_.
  bool feed(const char *data, size_t size, bool locate) {
    const char *in = data;
    int32_t in_left = static_cast<int32_t>(size);
    int32_t code;
    do {
      if (output_.room() == 0 && !output_.flush()) return false;
      char *out = output_.at();
      int32_t out_left = output_.room();
      code = PLConvertBuffer(writer_, &out, &out_left, &in, &in_left);
      if (locate && PLGetError(target_) == PL_WARN_REPLACED) note_replacement();
      output_.wrote(out);
      if (code != PL_ERR_OUTPUT_FULL) partial_ = code == PL_ERR_PARTIAL_CHAR;
    } while (code == PL_ERR_OUTPUT_FULL);
    return true;
  }

  void note_replacement() {
    if (replacements_.count++ == 0) replacements_.first = char_start_;
  }

  PLLocale *target_;
  PLConversion *writer_;
  PLConversion *scout_;
  bool replace_;
  Output output_;
  char scratch_[kBlock];
  long long position_ = 0;
  long long char_start_ = 0;
  bool partial_ = false;
  Replacements replacements_;
};

int convert(const Options &options, PLLocale *target, PLLocale *source) {
  Converter converter(target, source, options.replace);
  if (!converter.ok()) {
    std::fprintf(stderr, "polyloc: no memory for the conversion\n");
    return 1;
  }
  static char buffer[kBlock];
  int status = read_inputs(options.files, "polyloc", [&](FILE *file) {
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      if (!converter.block(buffer, n)) {
        std::fprintf(stderr, "polyloc: cannot write the output: %s\n", std::strerror(errno));
        return false;
      }
    }
    return true;
  });
  if (status < 0) return 1;
  if (!converter.finish()) {
    std::fprintf(stderr, "polyloc: cannot write the output: %s\n", std::strerror(errno));
    return 1;
  }
  if (converter.cut_at_end()) {
    std::fprintf(stderr, "polyloc: the input ends inside a character\n");
    status = 1;
  }
  const Replacements &r = converter.replacements();
  if (r.count > 0) {
    std::fprintf(stderr,
                 "polyloc: %lld character(s) without an equivalent were replaced; the first "
                 "starts at byte %lld of the input\n",
                 r.count, r.first);
    status = 1;
  }
  return status;
}

}  // namespace

int convert_command(int argc, char **argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    usage(stderr);
    return 2;
  }
  int32_t code = PLInit(options.directory, nullptr, nullptr, nullptr, 0);
  if (code != PL_OK && code != PL_INIT_BUILTIN) {
    std::fprintf(stderr, "polyloc: the library could not be initialised (code %d)\n", code);
    return 1;
  }
  int status = 1;
  if (options.list) {
    PLEnumLocales(print_codeset, nullptr);
    status = std::fflush(stdout) == 0 ? 0 : 1;
  } else {
    PLLocale *source = open_locale(options.from, "polyloc");
    PLLocale *target = source ? open_locale(options.to, "polyloc") : nullptr;
    if (source && target) status = convert(options, target, source);
    if (target) PLReleaseLocale(target);
    if (source) PLReleaseLocale(source);
  }
  PLTerm();
  return status;
}
