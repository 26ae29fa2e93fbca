// Writes the source of one code set (data/codesets/<name>.txt) from glibc's iconv,
// or checks such a source against iconv. Counts go to standard error.
//
// usage: iconv_codeset [--stateful | --gb18030 | --utf-8] ICONV-NAME NAME NUMBER > NAME.txt
//        iconv_codeset --check ICONV-NAME FILE
#include <gnu/libc-version.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "locale/layouts/gb_order.h"

namespace {

constexpr unsigned char kShiftOut = 0x0E;
constexpr unsigned char kShiftIn = 0x0F;

enum class Kind { table, stateful, gb18030, utf8 };

[[noreturn]] void die(const std::string &message) {
  std::fprintf(stderr, "iconv_codeset: %s\n", message.c_str());
  std::exit(1);
}

bool is_surrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

class Iconv {
 public:
  enum class Status { ok, invalid, incomplete };

  Iconv(const char *to, const char *from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      die(std::string("iconv cannot convert from ") + from + " to " + to);
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv &) = delete;
  Iconv &operator=(const Iconv &) = delete;

  // Converts `in` from the initial state and flushes, so that a character held
  // back for a possible combining mark (CP1255, CP1258) or a closing shift-in
  // comes out too.
  Status convert(const std::string &in, std::string &out) {
    char in_buf[16], out_buf[64];
    std::memcpy(in_buf, in.data(), in.size());
    char *in_ptr = in_buf, *out_ptr = out_buf;
    size_t in_left = in.size(), out_left = sizeof out_buf;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    size_t result = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
    if (result == static_cast<size_t>(-1)) {
      if (errno == EINVAL) return Status::incomplete;
      if (errno == EILSEQ) return Status::invalid;
      die(std::string("iconv: ") + std::strerror(errno));
    }
    if (iconv(cd_, nullptr, nullptr, &out_ptr, &out_left) == static_cast<size_t>(-1))
      die(std::string("iconv flush: ") + std::strerror(errno));
    irreversible_ = result != 0;
    out.assign(out_buf, out_ptr);
    return Status::ok;
  }
  bool irreversible() const { return irreversible_; }

 private:
  iconv_t cd_;
  bool irreversible_ = false;
};

std::vector<uint32_t> code_points(const std::string &ucs4) {
  std::vector<uint32_t> result;
  for (size_t i = 0; i + 4 <= ucs4.size(); i += 4) {
    auto b = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(ucs4[i + k])); };
    result.push_back(b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24);
  }
  return result;
}

std::string ucs4(uint32_t c) {
  std::string s(4, '\0');
  for (int k = 0; k < 4; ++k) s[k] = static_cast<char>(c >> (8 * k));
  return s;
}

uint32_t pack(const std::string &bytes) {
  uint32_t packed = 0;
  for (unsigned char b : bytes) packed = packed << 8 | b;
  return packed;
}

int significant_bytes(uint32_t packed) {
  int n = 1;
  while (n < 4 && packed >> (8 * n)) ++n;
  return n;
}

// The bytes of a packed character as they stand in text (with the shift bytes
// around a double-byte character of a stateful set).
std::string unpack(uint32_t packed, bool stateful) {
  std::string bytes;
  for (int k = significant_bytes(packed) - 1; k >= 0; --k) bytes.push_back(static_cast<char>(packed >> (8 * k)));
  if (stateful && bytes.size() == 2) bytes = std::string(1, kShiftOut) + bytes + std::string(1, kShiftIn);
  return bytes;
}

std::string hex(uint32_t packed) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", 2 * significant_bytes(packed), packed);
  return text;
}

std::string unit(uint32_t u) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", u);
  return text;
}


struct Counts {
  long dropped_non_bmp = 0;   // sequences decoding to no single BMP unit
  long dropped_several = 0;   // sequences decoding to several characters (or none)
  long encode_several = 0;    // units encoding to several characters
  long encode_irreversible = 0;
};

class CodeSet {
 public:
  CodeSet(Kind kind, const char *iconv_name)
      : kind_(kind), decoder_("UCS-4LE", iconv_name), encoder_(iconv_name, "UCS-4LE") {
    std::fill(std::begin(lengths_), std::end(lengths_), 1);
  }

  void read() {
    if (kind_ == Kind::utf8) {
      // Algorithmic: the lengths are those of the encoding form.
      for (int b = 0xC0; b <= 0xF7; ++b) lengths_[b] = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
      max_length_ = 4;
      for (uint32_t u : {0x3Fu, 0x41u, 0x0Au, 0x0Du, 0x2028u, 0x2029u}) encode_unit(u);
      return;
    }
    if (kind_ == Kind::stateful) {
      read_stateful();
    } else {
      std::map<int, std::set<int>> found;  // first byte → lengths of its characters
      std::map<int, int> depth;            // first byte → where iconv stopped asking for more
      probe(std::string(), found, depth);
      choose_lengths(found, depth);
    }
    for (uint32_t u = 0; u <= 0xFFFF; ++u)
      if (!is_surrogate(u)) encode_unit(u);
    if (kind_ == Kind::stateful) return;
    for (const auto &[packed, u] : decoded_) {
      std::string bytes = unpack(packed, false);
      if (length_by_rule(bytes) != static_cast<int>(bytes.size()))
        die("the length rule splits " + hex(packed) + " otherwise");
    }
  }

  void write(const std::string &iconv_name, const std::string &name, unsigned number) const {
    std::printf("# %s, code set %u: glibc %s iconv \"%s\".\n", name.c_str(), number, gnu_get_libc_version(),
                iconv_name.c_str());
    std::printf("# Written by tools/importers/import_codesets.sh; do not edit.\n");
    if (kind_ == Kind::utf8) std::printf("algorithm utf-8\n");
    uint8_t line_feed = header_byte(0x0A);
    std::printf("replacement %s\n", hex(header_byte(0x3F)).c_str());
    std::printf("line-feed %s\n", hex(line_feed).c_str());
    std::printf("carriage-return %s\n", hex(header_byte(0x0D)).c_str());
    std::printf("line-separator %s\n", hex(single_byte(0x2028).value_or(line_feed)).c_str());
    std::printf("paragraph-separator %s\n", hex(single_byte(0x2029).value_or(line_feed)).c_str());
    std::printf("ascii-based %d\n", single_byte(0x41) == 0x41 ? 1 : 0);
    std::printf("max-length %d\n", max_length_);
    if (kind_ == Kind::stateful) std::printf("shift-out 0x%02X\nshift-in 0x%02X\n", kShiftOut, kShiftIn);
    if (kind_ == Kind::gb18030) std::printf("gb-rule 1\n");
    for (int b = 0; b < 256;) {
      int e = b;
      while (e + 1 < 256 && lengths_[e + 1] == lengths_[b]) ++e;
      if (lengths_[b] != 1) std::printf("length 0x%02X 0x%02X %d\n", b, e, lengths_[b]);
      b = e + 1;
    }
    if (kind_ == Kind::utf8) return;

    struct Entry {
      uint32_t packed;
      int order;  // map and decode before encode for one packed value
      uint32_t unit;
    };
    std::vector<Entry> entries;
    for (const auto &[packed, u] : decoded_) {
      auto e = encoded_.find(u);
      entries.push_back({packed, e != encoded_.end() && e->second == packed ? 0 : 1, u});
    }
    for (const auto &[u, packed] : encoded_) {
      auto d = decoded_.find(packed);
      if (d == decoded_.end() || d->second != u) entries.push_back({packed, 2, u});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
      return a.packed != b.packed ? a.packed < b.packed : a.order != b.order ? a.order < b.order : a.unit < b.unit;
    });
    long count[3] = {};
    for (const Entry &e : entries) ++count[e.order];
    std::printf("# %ld map, %ld decode, %ld encode\n", count[0], count[1], count[2]);
    for (size_t i = 0; i < entries.size();) {
      const Entry &first = entries[i];
      size_t n = 1;
      bool four_byte = kind_ == Kind::gb18030 && first.packed > 0xFFFFFF;
      if (first.order == 0) {
        uint32_t next = four_byte ? pl::layout::next_gb_code(first.packed) : first.packed + 1;
        while (i + n < entries.size() && entries[i + n].order == 0 && entries[i + n].packed == next &&
               entries[i + n].unit == first.unit + n) {
          ++n;
          next = four_byte ? pl::layout::next_gb_code(next) : next + 1;
        }
      }
      if (n >= 2) {
        std::printf("%s %s %zu %s\n", four_byte ? "gb-run" : "run", hex(first.packed).c_str(), n,
                    unit(first.unit).c_str());
      } else {
        static const char *const kKeys[] = {"map", "decode", "encode"};
        std::printf("%s %s %s\n", kKeys[first.order], hex(first.packed).c_str(), unit(first.unit).c_str());
      }
      i += n;
    }
  }

  void report(const std::string &name) const {
    if (kind_ == Kind::utf8) {
      std::fprintf(stderr, "%s: algorithmic, header only\n", name.c_str());
      return;
    }
    long maps = 0, decodes = 0, encodes = 0;
    for (const auto &[packed, u] : decoded_) {
      auto e = encoded_.find(u);
      ++(e != encoded_.end() && e->second == packed ? maps : decodes);
    }
    for (const auto &[u, packed] : encoded_) {
      auto d = decoded_.find(packed);
      if (d == decoded_.end() || d->second != u) ++encodes;
    }
    std::fprintf(stderr,
                 "%s: map %ld decode %ld encode %ld; dropped: %ld non-BMP, %ld several-character sequences, "
                 "%ld units encoding to several characters; %ld irreversible encodings\n",
                 name.c_str(), maps, decodes, encodes, counts_.dropped_non_bmp, counts_.dropped_several,
                 counts_.encode_several, counts_.encode_irreversible);
  }

 private:
  // Records the characters starting with `prefix`: single bytes, then longer
  // sequences below every lead byte for which iconv asks for more input.
  void probe(const std::string &prefix, std::map<int, std::set<int>> &found, std::map<int, int> &depth) {
    int position = static_cast<int>(prefix.size());
    // Four-byte GB codes end in a digit; everything else is probed in full.
    int low = kind_ == Kind::gb18030 && position == 3 ? 0x30 : 0x00;
    int high = kind_ == Kind::gb18030 && position == 3 ? 0x39 : 0xFF;
    for (int b = low; b <= high; ++b) {
      std::string bytes = prefix + static_cast<char>(b);
      int first = static_cast<unsigned char>(bytes[0]);
      std::string out;
      switch (decoder_.convert(bytes, out)) {
        case Iconv::Status::invalid:
          depth[first] = std::max(depth[first], position + 1);
          break;
        case Iconv::Status::incomplete:
          if (position == 3) die("a sequence longer than 4 bytes at " + hex(pack(bytes)));
          probe(bytes, found, depth);
          break;
        case Iconv::Status::ok:
          found[first].insert(position + 1);
          keep(pack(bytes), code_points(out));
          break;
      }
    }
  }

  // Single bytes in the initial state; double-byte characters between shift bytes.
  void read_stateful() {
    for (int b = 0; b < 256; ++b) {
      std::string out;
      if (decoder_.convert(std::string(1, static_cast<char>(b)), out) != Iconv::Status::ok) continue;
      auto chars = code_points(out);
      if (chars.empty() && (b == kShiftOut || b == kShiftIn)) continue;
      keep(static_cast<uint32_t>(b), chars);
    }
    // Double-byte characters of these sets have both bytes in 0x40..0xFE; a lower
    // first byte would also collide with single bytes in the packed form.
    for (int b1 = 0x40; b1 < 256; ++b1)
      for (int b2 = 0x40; b2 < 256; ++b2) {
        std::string out;
        if (decoder_.convert(unpack(static_cast<uint32_t>(b1 << 8 | b2), true), out) == Iconv::Status::ok)
          keep(static_cast<uint32_t>(b1 << 8 | b2), code_points(out));
      }
    max_length_ = 2;
  }

  void keep(uint32_t packed, const std::vector<uint32_t> &chars) {
    if (chars.size() != 1)
      ++counts_.dropped_several;
    else if (chars[0] > 0xFFFF || is_surrogate(chars[0]))
      ++counts_.dropped_non_bmp;
    else
      decoded_[packed] = chars[0];
  }

  void choose_lengths(const std::map<int, std::set<int>> &found, const std::map<int, int> &depth) {
    for (int b = 0; b < 256; ++b) {
      auto f = found.find(b);
      if (f == found.end() || f->second.empty()) {
        auto d = depth.find(b);
        lengths_[b] = d == depth.end() ? 1 : d->second;
      } else if (f->second.size() == 1) {
        lengths_[b] = *f->second.begin();
      } else if (kind_ == Kind::gb18030 && f->second == std::set<int>{2, 4}) {
        // The length table says 4 only where four-byte codes reach the BMP; the
        // GB rule finds the two-byte characters under those bytes.
        bool bmp_four = false;
        for (const auto &[packed, u] : decoded_) bmp_four |= packed >> 24 == static_cast<uint32_t>(b);
        lengths_[b] = bmp_four ? 4 : 2;
      } else {
        die("characters of several lengths start with byte " + hex(static_cast<uint32_t>(b)));
      }
      max_length_ = std::max(max_length_, lengths_[b]);
    }
  }

  int length_by_rule(const std::string &bytes) const {
    int first = static_cast<unsigned char>(bytes[0]);
    if (kind_ == Kind::gb18030 && first >= 0x81 && first <= 0x84 && bytes.size() > 1 &&
        static_cast<unsigned char>(bytes[1]) >= 0x40)
      return 2;
    return lengths_[first];
  }

  void encode_unit(uint32_t u) {
    std::string bytes;
    if (encoder_.convert(ucs4(u), bytes) != Iconv::Status::ok || bytes.empty()) return;
    if (encoder_.irreversible()) ++counts_.encode_irreversible;
    bool one_character;
    if (kind_ == Kind::stateful) {
      if (bytes.size() == 4 && bytes.front() == kShiftOut && bytes.back() == kShiftIn) bytes = bytes.substr(1, 2);
      one_character = bytes.size() == 2 || (bytes.size() == 1 && bytes[0] != kShiftOut && bytes[0] != kShiftIn);
    } else {
      one_character = length_by_rule(bytes) == static_cast<int>(bytes.size());
    }
    if (one_character)
      encoded_[u] = pack(bytes);
    else
      ++counts_.encode_several;
  }

  std::optional<uint8_t> single_byte(uint32_t u) const {
    auto e = encoded_.find(u);
    if (e == encoded_.end() || e->second > 0xFF) return std::nullopt;
    return static_cast<uint8_t>(e->second);
  }

  uint8_t header_byte(uint32_t u) const {
    auto b = single_byte(u);
    if (!b) die("no single byte for " + unit(u));
    return *b;
  }

  Kind kind_;
  Iconv decoder_, encoder_;
  int lengths_[256] = {};
  int max_length_ = 1;
  std::map<uint32_t, uint32_t> decoded_;  // packed → the BMP unit it decodes to
  std::map<uint32_t, uint32_t> encoded_;  // unit → the one character it encodes to
  Counts counts_;
};

uint32_t parse_number(const std::string &word, const std::string &where) {
  try {
    size_t used = 0;
    unsigned long value;
    if (word.rfind("U+", 0) == 0)
      value = std::stoul(word.substr(2), &used, 16), used += 2;
    else
      value = std::stoul(word, &used, 0);
    if (used == word.size() && value <= 0xFFFFFFFFul) return static_cast<uint32_t>(value);
  } catch (const std::exception &) {
  }
  die(where + "bad number \"" + word + "\"");
}

// Re-reads a written source and asks iconv about every mapping line in it.
int check(const char *iconv_name, const char *path) {
  std::ifstream in(path);
  if (!in) die(std::string(path) + ": cannot be read");
  struct Line {
    std::string where, key;
    std::vector<uint32_t> values;
  };
  std::vector<Line> lines;
  bool stateful = false, gb = false, algorithmic = false;
  std::string raw;
  for (int number = 1; std::getline(in, raw); ++number) {
    std::istringstream words(raw.substr(0, raw.find('#')));
    Line line{std::string(path) + ":" + std::to_string(number) + ": ", "", {}};
    if (!(words >> line.key)) continue;
    if (line.key == "algorithm") {
      algorithmic = true;
      continue;
    }
    for (std::string word; words >> word;) line.values.push_back(parse_number(word, line.where));
    stateful |= line.key == "shift-out";
    gb |= line.key == "gb-rule";
    lines.push_back(line);
  }
  if (algorithmic) return 0;

  Iconv decoder("UCS-4LE", iconv_name), encoder(iconv_name, "UCS-4LE");
  long errors = 0, checked = 0;
  std::set<uint32_t> packed_seen, unit_seen;
  auto fail = [&](const Line &line, const std::string &message) {
    std::fprintf(stderr, "%s%s\n", line.where.c_str(), message.c_str());
    ++errors;
  };
  auto one = [&](const Line &line, uint32_t packed, uint32_t u, bool decodes, bool encodes) {
    ++checked;
    std::string out;
    if (decodes) {
      auto status = decoder.convert(unpack(packed, stateful), out);
      auto chars = code_points(out);
      if (status != Iconv::Status::ok || chars.size() != 1 || chars[0] != u)
        fail(line, hex(packed) + " does not decode to " + unit(u));
      if (!packed_seen.insert(packed).second) fail(line, hex(packed) + " mapped twice");
    }
    if (encodes) {
      std::string expected = unpack(packed, stateful);
      if (encoder.convert(ucs4(u), out) != Iconv::Status::ok || out != expected)
        fail(line, unit(u) + " does not encode to " + hex(packed));
      if (!unit_seen.insert(u).second) fail(line, unit(u) + " encoded twice");
    }
  };
  for (const Line &line : lines) {
    bool run = line.key == "run" || line.key == "gb-run";
    if (line.key == "map" || line.key == "decode" || line.key == "encode") {
      if (line.values.size() != 2) die(line.where + "expected <packed> <unit>");
      one(line, line.values[0], line.values[1], line.key != "encode", line.key != "decode");
    } else if (run) {
      if (line.values.size() != 3 || line.values[1] < 2) die(line.where + "expected <packed> <count> <unit>");
      if (line.key == "gb-run" && !gb) die(line.where + "gb-run without gb-rule");
      uint32_t packed = line.values[0];
      for (uint32_t k = 0; k < line.values[1]; ++k) {
        one(line, packed, line.values[2] + k, true, true);
        packed = line.key == "gb-run" ? pl::layout::next_gb_code(packed) : packed + 1;
      }
    }
  }
  std::fprintf(stderr, "%s: %ld characters checked, %ld errors\n", path, checked, errors);
  return errors == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 3 && args[0] == "--check") return check(args[1].c_str(), args[2].c_str());
  Kind kind = Kind::table;
  if (!args.empty() && args[0].rfind("--", 0) == 0) {
    if (args[0] == "--stateful")
      kind = Kind::stateful;
    else if (args[0] == "--gb18030")
      kind = Kind::gb18030;
    else if (args[0] == "--utf-8")
      kind = Kind::utf8;
    else
      die("unknown option " + args[0]);
    args.erase(args.begin());
  }
  if (args.size() != 3)
    die("usage: iconv_codeset [--stateful | --gb18030 | --utf-8] ICONV-NAME NAME NUMBER\n"
        "       iconv_codeset --check ICONV-NAME FILE");
  unsigned number = parse_number(args[2], "");
  if (number > 0xFFFF) die("the number must be 0..65535");
  CodeSet set(kind, args[0].c_str());
  set.read();
  set.write(args[0], args[1], number);
  set.report(args[1]);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
