// polyloc map SELECTOR -l LOCALE [--dir DIR] [FILE...]: maps the files (or standard
// input), text in the locale's code set, with one of the library's string mappings,
// like tr(1) but over whole characters, and writes the result in the same code set.
//
// The input goes through in blocks cut at the last character boundary; the bytes of a
// cut character wait for the next block, and a stateful code set's shift state is
// carried from block to block. Every distinct character is also mapped alone through
// UTF-16: where the code set's mapping gives something else, the code set cannot hold
// the mapped form, and the character is reported once, at the byte offset of its
// first occurrence. The output is still complete; the exit code is then 1, as it is
// when the input ends inside a character (whose bytes are left out).
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "commands.h"
#include "locale_args.h"
#include "polyloc.h"

namespace {

constexpr size_t kBlock = 64 * 1024;

struct Selector {
  const char *option;
  int32_t flags;
};

constexpr Selector kSelectors[] = {
    {"--upper", PL_MAP_UPPER},
    {"--lower", PL_MAP_LOWER},
    {"--upper-simple", PL_MAP_UPPER_SIMPLE},
    {"--lower-simple", PL_MAP_LOWER_SIMPLE},
    {"--fullwidth", PL_MAP_FULLWIDTH},
    {"--halfwidth", PL_MAP_HALFWIDTH},
    {"--digits", PL_MAP_DIGITS},
};

void usage() {
  std::fprintf(stderr,
               "usage: polyloc map --upper|--lower|--upper-simple|--lower-simple|--fullwidth|\n"
               "                   --halfwidth|--digits -l LOCALE [--dir DIR] [FILE...]\n"
               "LOCALE is a locale name (Turkish_Turkey.ISO-8859-9) or a code-set name (MS932).\n"
               "Without FILE, or for \"-\", standard input is read.\n");
}

struct Options {
  const Selector *selector = nullptr;
  const char *locale = nullptr;
  const char *directory = nullptr;
  std::vector<const char *> files;
};

const Selector *find_selector(const char *option) {
  for (const Selector &selector : kSelectors)
    if (std::strcmp(option, selector.option) == 0) return &selector;
  return nullptr;
}

bool parse(int argc, char **argv, Options &options) {
  bool only_files = false;
  for (int i = 0; i < argc; ++i) {
    const char *arg = argv[i];
    bool has_value = i + 1 < argc;
    const Selector *selector = find_selector(arg);
    if (only_files || arg[0] != '-' || arg[1] == '\0')
      options.files.push_back(arg);
    else if ((std::strcmp(arg, "-l") == 0 || std::strcmp(arg, "--locale") == 0) && has_value)
      options.locale = argv[++i];
    else if (std::strcmp(arg, "--dir") == 0 && has_value)
      options.directory = argv[++i];
    else if (std::strcmp(arg, "--") == 0)
      only_files = true;
    else if (selector != nullptr && options.selector == nullptr)
      options.selector = selector;
    else
      return false;
  }
  return options.locale != nullptr && options.selector != nullptr;
}

class Mapper {
 public:
  Mapper(PLLocale *locale, int32_t flags)
      : locale_(locale), flags_(flags), shifts_(shift_bytes(locale)) {
    size_t max_length =
        static_cast<size_t>(std::max(PLGetLocaleNumInfo(locale, PL_MAX_CHAR_LEN, 0), 1));
    // A cut character in front of the block, and a NUL behind it.
    input_.resize(max_length + kBlock + 1);
    // PLMapString tells the bytes it wrote, not those it read, so every block is mapped
    // by one call with room for the worst case: a character takes at least one byte and
    // maps to at most three characters of at most max_length bytes, in a stateful set
    // each behind a shift byte, and the output may end with one more.
    output_.resize(input_.size() * 3 * (max_length + (shifts_.stateful() ? 1 : 0)) + 2);
    PLUChar name[64];
    int32_t units = PLGetLocaleTextInfoU(locale, PL_CODESET_NAME, name, 64, 0);
    for (int32_t i = 0; i + 1 < units; ++i) codeset_ += static_cast<char>(name[i]);
  }

  // Maps what `file` holds, following what came before; false on a failure, reported.
  bool feed(FILE *file) {
    size_t n;
    while ((n = std::fread(input_.data() + carry_, 1, kBlock, file)) > 0)
      if (!map_block(carry_ + n)) return false;
    return true;
  }

  // Returns a stateful output to the single-byte state, as text must end; a character
  // cut by the end of the input is left out. False on a failure, reported.
  bool finish() {
    char shift_in = static_cast<char>(shifts_.in);
    if (out_state_ != 0 && !write(&shift_in, 1)) return false;
    return std::fflush(stdout) == 0 || write_failed();
  }

  bool cut_at_end() const { return carry_ > 0; }
  bool reported() const { return !reported_.empty(); }

 private:
  // Maps the first `end` bytes of input_, keeping a cut character at the end for the
  // next block.
  bool map_block(size_t end) {
    char *text = input_.data();
    text[end] = '\0';  // PLByteLength may look at the byte behind a lead byte
    PLState state = in_state_;
    size_t cut = scan(end, state);
    int32_t written = map(output_.data(), out_state_, output_.size(), text, in_state_, cut);
    if (written < 0) {
      std::fprintf(stderr, "polyloc map: the mapping failed (code %d)\n", PLGetError(locale_));
      return false;
    }
    if (shifts_.stateful()) {
      out_state_ = shifts_.after(output_.data(), static_cast<size_t>(written), out_state_);
      // The output of a call ends in the state its source ends in: a shift-in closing it
      // is held back, so that the blocks join as one call over the whole text would.
      if (written > 0 && static_cast<unsigned char>(output_[written - 1]) == shifts_.in) {
        --written;
        out_state_ = 1;
      }
    }
    if (!write(output_.data(), static_cast<size_t>(written))) return false;
    in_state_ = state;
    position_ += static_cast<long long>(cut);
    carry_ = end - cut;
    std::memmove(text, text + cut, carry_);
    return true;
  }

  // Walks the characters of input_ before `end` from `state`, checking each; returns
  // where the last whole one ends, with `state` the shift state there.
  size_t scan(size_t end, PLState &state) {
    const char *text = input_.data();
    size_t at = 0;
    while (at < end) {
      int b = static_cast<unsigned char>(text[at]);
      if (shifts_.stateful() && (b == shifts_.out || b == shifts_.in)) {
        state = b == shifts_.out ? 1 : 0;
        ++at;
        continue;
      }
      // A byte the table gives length 0 goes as a character of its own.
      size_t length =
          static_cast<size_t>(std::max(PLByteLengthEx(locale_, text + at, state), 1));
      if (at + length > end) break;
      check(text + at, length, state, position_ + static_cast<long long>(at));
      at += length;
    }
    return at;
  }

  // Reports the character at `c` when it is new and its mapping in the code set
  // differs from its mapping in UTF-16.
  void check(const char *c, size_t length, PLState state, long long offset) {
    uint32_t packed = 0;
    for (size_t i = 0; i < length; ++i) packed = packed << 8 | static_cast<unsigned char>(c[i]);
    if (!checked_.insert(uint64_t{length} << 32 | packed).second) return;
    PLUChar units[4] = {}, wanted[16], got[32];
    char mapped[32];
    int32_t n = PLStringToUnicodeEx(units, 4, locale_, c, state, static_cast<int32_t>(length), 0);
    int32_t w = PLMapStringU(locale_, wanted, 16, units, n, flags_);
    int32_t m = map(mapped, 0, sizeof mapped, c, state, length);
    if (w < 0 || m < 0) return;  // the block's mapping reports the failure
    int32_t g = PLStringToUnicodeEx(got, 32, locale_, mapped, 0, m, 0);
    if (w == g && std::equal(wanted, wanted + w, got)) return;
    uint32_t cp = units[0];
    if (n == 2 && cp >= 0xD800 && cp < 0xDC00)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[1] - 0xDC00);
    if (reported_.insert(cp).second)
      std::fprintf(stderr, "polyloc map: %lld: U+%04X has no mapping in %s\n", offset,
                   static_cast<unsigned>(cp), codeset_.c_str());
  }

  int32_t map(char *dst, PLState dst_state, size_t size, const char *src, PLState src_state,
              size_t length) const {
    int32_t dst_size = static_cast<int32_t>(size), src_length = static_cast<int32_t>(length);
    if (shifts_.stateful())
      return PLMapStringEx(locale_, dst, dst_state, dst_size, src, src_state, src_length, flags_);
    return PLMapString(locale_, dst, dst_size, src, src_length, flags_);
  }

  bool write(const char *data, size_t size) {
    return std::fwrite(data, 1, size, stdout) == size || write_failed();
  }

  static bool write_failed() {
    std::fprintf(stderr, "polyloc map: cannot write the output: %s\n", std::strerror(errno));
    return false;
  }

  PLLocale *locale_;
  int32_t flags_;
  std::string codeset_;
  ShiftBytes shifts_;
  std::vector<char> input_, output_;
  size_t carry_ = 0;        // bytes of a cut character at the start of input_
  long long position_ = 0;  // offset of input_[0] in the whole input
  PLState in_state_ = 0, out_state_ = 0;
  std::unordered_set<uint64_t> checked_;   // characters seen: length and bytes
  std::unordered_set<uint32_t> reported_;  // code points reported
};

int map_files(const Options &options, PLLocale *locale) {
  Mapper mapper(locale, options.selector->flags);
  int status = read_inputs(options.files, "polyloc map", [&](FILE *file) { return mapper.feed(file); });
  if (status < 0) return 1;
  if (!mapper.finish()) return 1;
  if (mapper.cut_at_end()) {
    std::fprintf(stderr, "polyloc map: the input ends inside a character\n");
    status = 1;
  }
  return mapper.reported() ? 1 : status;
}

}  // namespace

int map_command(int argc, char **argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    usage();
    return 2;
  }
  return with_locale(options.directory, options.locale, "polyloc map",
                     [&](PLLocale *locale) { return map_files(options, locale); });
}
