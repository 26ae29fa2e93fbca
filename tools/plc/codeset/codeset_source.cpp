#include "codeset/codeset_source.h"

#include <string>

#include "frame/utf8.h"
#include "locale/layouts/gb_order.h"

namespace plc {
namespace {

// The UTF-8 bytes of a BMP unit as a packed character.
uint32_t utf8_packed(uint16_t unit) {
  char bytes[4];
  size_t n = pl::utf8_encode(unit, bytes);
  uint32_t packed = 0;
  for (size_t i = 0; i < n; ++i) packed = (packed << 8) | static_cast<uint8_t>(bytes[i]);
  return packed;
}

bool is_surrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

}  // namespace

bool read_codeset_source(SourceFile &source, CodesetSource &out) {
  source.reject_unknown_keys({"algorithm", "replacement", "line-feed", "carriage-return",
                              "line-separator", "paragraph-separator", "ascii-based", "max-length",
                              "shift-out", "shift-in", "gb-rule", "length", "map", "decode",
                              "encode", "run", "gb-run"});
  auto byte_of = [&](const char *key) {
    return static_cast<uint8_t>(source.number(source.one(key), 0, 0xFF));
  };
  std::vector<const Line *> algorithm = source.all("algorithm");
  if (!algorithm.empty()) {
    if (algorithm.size() != 1 || algorithm[0]->values.size() != 1 ||
        source.text(algorithm[0], 0) != u"utf-8")
      source.fail(algorithm[0], "the only algorithm is \"utf-8\"");
    out.utf8 = true;
  }
  out.replacement = byte_of("replacement");
  out.line_feed = byte_of("line-feed");
  out.carriage_return = byte_of("carriage-return");
  out.line_separator = byte_of("line-separator");
  out.paragraph_separator = byte_of("paragraph-separator");
  out.ascii_based = source.number(source.one("ascii-based"), 0, 1) != 0;
  out.max_length = static_cast<uint8_t>(source.number(source.one("max-length"), 0, 4));
  if (out.max_length == 0) source.fail(source.one("max-length"), "max-length is 1 to 4");
  std::vector<const Line *> shift_out = source.all("shift-out"), shift_in = source.all("shift-in");
  if (shift_out.size() != shift_in.size() || shift_out.size() > 1)
    source.fail(nullptr, "a stateful set needs one shift-out and one shift-in line");
  if (!shift_out.empty()) {
    out.stateful = true;
    out.shift_out = byte_of("shift-out");
    out.shift_in = byte_of("shift-in");
  }
  std::vector<const Line *> gb = source.all("gb-rule");
  out.gb_rule = gb.size() == 1 && source.number(gb[0], 0, 1) == 1;

  for (int b = 0; b < 256; ++b) out.lengths[b] = 1;
  for (const Line *line : source.all("length")) {
    uint32_t first = source.number(line, 0, 0xFF), last = source.number(line, 1, 0xFF);
    uint32_t length = source.number(line, 2, 4);
    if (first > last || length == 0) source.fail(line, "expected <first> <last> <1..4>");
    for (uint32_t b = first; b <= last && b <= 0xFF; ++b) out.lengths[b] = static_cast<uint8_t>(length);
  }
  if (!source.ok()) return false;

  auto add = [&](const Line *line, uint32_t packed, uint32_t unit, bool decodes, bool encodes) {
    if (unit > 0xFFFF || is_surrogate(unit)) return source.fail(line, "units are BMP characters");
    if (decodes && !out.decode.emplace(packed, static_cast<uint16_t>(unit)).second)
      source.fail(line, "character decoded twice");
    if (encodes && !out.encode.emplace(static_cast<uint16_t>(unit), packed).second)
      source.fail(line, "unit encoded twice");
  };
  for (const Line *line : source.all("map"))
    add(line, source.number(line, 0, 0xFFFFFFFF), source.number(line, 1, 0xFFFF), true, true);
  for (const Line *line : source.all("decode"))
    add(line, source.number(line, 0, 0xFFFFFFFF), source.number(line, 1, 0xFFFF), true, false);
  for (const Line *line : source.all("encode"))
    add(line, source.number(line, 0, 0xFFFFFFFF), source.number(line, 1, 0xFFFF), false, true);
  for (const char *key : {"run", "gb-run"}) {
    bool gb_order = std::string(key) == "gb-run";
    for (const Line *line : source.all(key)) {
      uint32_t packed = source.number(line, 0, 0xFFFFFFFF);
      uint32_t count = source.number(line, 1, 0x10000);
      uint32_t unit = source.number(line, 2, 0xFFFF);
      for (uint32_t i = 0; i < count && source.ok(); ++i) {
        add(line, packed, unit + i, true, true);
        packed = gb_order ? pl::layout::next_gb_code(packed) : packed + 1;
      }
    }
  }
  if (out.utf8) {
    if (!out.decode.empty()) source.fail(nullptr, "the UTF-8 set is computed, not listed");
    for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
      if (is_surrogate(unit)) continue;
      uint32_t packed = utf8_packed(static_cast<uint16_t>(unit));
      out.decode.emplace(packed, static_cast<uint16_t>(unit));
      out.encode.emplace(static_cast<uint16_t>(unit), packed);
    }
  }
  for (const auto &[packed, unit] : out.decode) {
    int bytes = CodesetSource::byte_count(packed);
    bool fits = out.stateful ? (bytes == 1 || bytes == out.max_length)
                             : (bytes == out.lengths[packed >> (8 * (bytes - 1))] ||
                                (out.gb_rule && bytes == 2));
    if (!fits) {
      source.fail(nullptr, "character 0x" + std::to_string(packed) +
                               " does not have the length its first byte gives");
      break;
    }
  }
  return source.ok();
}

}  // namespace plc
