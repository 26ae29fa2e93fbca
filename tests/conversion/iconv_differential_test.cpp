// Every code set of the build-tree locale directory against glibc's iconv, in both
// directions: each byte sequence iconv decodes to one character, and each BMP unit
// (no surrogates) iconv encodes. Characters outside the BMP, which the tables of a
// table-driven set cannot hold, and sequences iconv maps to or from more than one
// character are counted apart.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "charset/charset_view.h"
#include "charset/codeset_ids.h"
#include "charset/length_rule.h"
#include "charset/packed_char.h"
#include "charset/shift_rule.h"
#include "charset/to_unicode.h"
#include "charset/unicode_value.h"
#include "charset/utf16_to_bytes.h"
#include "iconv_oracle.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using Bytes = std::vector<uint8_t>;
using pltest::Iconv;

std::string oracle_name(const std::string &name) {
  if (name == "US-ASCII") return "ANSI_X3.4-1968";
  if (name == "MS1361") return "JOHAB";
  if (name.rfind("MS", 0) == 0) return "CP" + name.substr(2);
  return name;
}

std::string hex(const Bytes &bytes) {
  std::string text;
  char digits[4];
  for (uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%02X ", b);
    text += digits;
  }
  return text;
}

std::string hex_value(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

struct Figures {
  long decoded = 0;   // sequences iconv decodes to one character, compared
  long encoded = 0;   // units (and, for UTF-8, pairs) iconv encodes, compared
  long unmapped = 0;  // units iconv cannot encode; ours must give the replacement byte
  long mismatches = 0;
  long non_bmp = 0;   // excluded: outside the BMP in a table-driven set
  long multiple = 0;  // excluded: more than one character on one side
};

class Differential {
 public:
  Differential(const pl::ControlEntry &entry, const std::string &oracle)
      : entry_(entry),
        set_(entry),
        oracle_(oracle),
        decoder_("UTF-16LE", oracle),
        encoder_(oracle, "UTF-16LE") {}

  bool has_oracle() const { return decoder_.ok() && encoder_.ok(); }

  Figures run() {
    if (set_.stateful()) {
      decode_stateful();
    } else {
      Bytes prefix;
      decode_plain(prefix);
    }
    encode_units();
    if (entry_.number == pl::kUtf8Codeset) encode_pairs();
    return figures_;
  }

 private:
  bool utf8() const { return entry_.number == pl::kUtf8Codeset; }
  bool gb() const { return oracle_ == "GB18030"; }

  void mismatch(const std::string &what) {
    if (++figures_.mismatches <= 10) ADD_FAILURE() << entry_.name << ": " << what;
  }

  // The bytes worth trying after `prefix`: what iconv finds incomplete is extended by
  // every byte, except that the GB four-byte codes are walked in their own ranges (and
  // only under the leads 0x81..0x84, the BMP ones) and UTF-8 by continuation bytes.
  std::vector<int> next_bytes(const Bytes &prefix) const {
    int first = 0x00, last = 0xFF;
    if (utf8() && !prefix.empty()) first = 0x80, last = 0xBF;
    if (gb() && prefix.size() == 2) {
      if (prefix[0] > 0x84) return {};
      first = 0x81, last = 0xFE;
    }
    if (gb() && prefix.size() == 3) first = 0x30, last = 0x39;
    std::vector<int> bytes;
    for (int b = first; b <= last; ++b) bytes.push_back(b);
    return bytes;
  }

  // The Unicode value iconv's units stand for, or false when excluded.
  bool expected_value(const std::vector<uint16_t> &units, uint32_t &value) {
    if (units.size() == 1 && !pl::is_high_surrogate(units[0]) && !pl::is_low_surrogate(units[0])) {
      value = units[0];
      return true;
    }
    if (units.size() == 2 && pl::is_high_surrogate(units[0]) && pl::is_low_surrogate(units[1])) {
      value = pl::pack_surrogates(units[0], units[1]);
      if (utf8()) return true;
      ++figures_.non_bmp;
      return false;
    }
    ++figures_.multiple;
    return false;
  }

  void decode_plain(Bytes &prefix) {
    for (int b : next_bytes(prefix)) {
      prefix.push_back(static_cast<uint8_t>(b));
      Iconv::Output out = decoder_.convert(prefix);
      if (out.status == Iconv::Status::kIncomplete && prefix.size() < 4)
        decode_plain(prefix);
      else if (out.status == Iconv::Status::kComplete && !out.bytes.empty())
        check_plain(prefix, pltest::units_of(out.bytes));
      prefix.pop_back();
    }
  }

  void check_plain(const Bytes &seq, const std::vector<uint16_t> &units) {
    uint32_t expected;
    if (!expected_value(units, expected)) return;
    ++figures_.decoded;
    pl::CharLength length = pl::char_length(set_, seq.data(), seq.size());
    if (length.rule != seq.size()) {
      mismatch(hex(seq) + "is one character of iconv, of length " + std::to_string(length.rule));
      return;
    }
    uint32_t ours = seq.size() == 1 ? set_.byte_unicode(seq[0])
                                    : pl::to_unicode(entry_, seq.data(), seq.size());
    uint32_t packed = pl::packed_to_unicode(entry_, pl::pack_char(seq.data(), seq.size()));
    if (ours != expected || packed != expected)
      mismatch(hex(seq) + "decodes to " + hex_value(ours) + " (packed " + hex_value(packed) +
               "), iconv " + hex_value(expected));
  }

  void decode_stateful() {
    uint8_t so = set_.shift_out_byte(), si = set_.shift_in_byte();
    for (int b = 0; b < 256; ++b) {
      if (b == so || b == si) continue;
      Bytes seq = {static_cast<uint8_t>(b)};
      Iconv::Output out = decoder_.convert(seq);
      if (out.status == Iconv::Status::kComplete && !out.bytes.empty())
        check_stateful(seq, pltest::units_of(out.bytes), pl::kSingleByteState);
    }
    for (int b1 = 0; b1 < 256; ++b1) {
      for (int b2 = 0; b2 < 256; ++b2) {
        if (b1 == so || b1 == si || b2 == so || b2 == si) continue;
        Bytes seq = {so, static_cast<uint8_t>(b1), static_cast<uint8_t>(b2), si};
        Iconv::Output out = decoder_.convert(seq);
        if (out.status == Iconv::Status::kComplete && !out.bytes.empty())
          check_stateful(seq, pltest::units_of(out.bytes), pl::kShiftedState);
      }
    }
  }

  // `seq` is one character, alone or framed by a shift-out and a shift-in byte.
  void check_stateful(const Bytes &seq, const std::vector<uint16_t> &units, PLState state) {
    uint32_t expected;
    if (!expected_value(units, expected)) return;
    ++figures_.decoded;
    pl::StatefulChar c = pl::stateful_char(set_, seq.data(), seq.size(), pl::kSingleByteState);
    size_t char_bytes = state == pl::kShiftedState ? seq.size() - 2 : seq.size();
    if (c.shift.state != state || c.length.rule != char_bytes) {
      mismatch(hex(seq) + "walks as a character of length " + std::to_string(c.length.rule));
      return;
    }
    const uint8_t *at = seq.data() + c.shift.length;
    uint32_t ours =
        char_bytes == 1 ? set_.byte_unicode(at[0]) : pl::to_unicode(entry_, at, char_bytes);
    uint32_t packed = pl::packed_to_unicode(entry_, pl::pack_char(at, char_bytes));
    if (ours != expected || packed != expected)
      mismatch(hex(seq) + "decodes to " + hex_value(ours) + " (packed " + hex_value(packed) +
               "), iconv " + hex_value(expected));
  }

  // Characters in iconv's output by our own rules.
  size_t characters(const Bytes &bytes) const {
    size_t count = 0;
    PLState state = pl::kSingleByteState;
    for (size_t at = 0; at < bytes.size();) {
      size_t step;
      if (set_.stateful()) {
        pl::StatefulChar c = pl::stateful_char(set_, bytes.data() + at, bytes.size() - at, state);
        state = c.shift.state;
        step = c.shift.length + c.length.bytes;
        if (c.length.bytes != 0) ++count;
      } else {
        pl::CharLength length = pl::char_length(set_, bytes.data() + at, bytes.size() - at);
        step = length.bytes;
        ++count;
      }
      at += step == 0 ? 1 : step;
    }
    return count;
  }

  Bytes ours(const std::vector<uint16_t> &units) {
    Bytes out(16);
    pl::EncodedText text = pl::utf16_to_bytes(entry_, units.data(), units.size(),
                                              pl::kSingleByteState, out.data(), out.size());
    out.resize(text.written);
    return out;
  }

  void encode_units() {
    for (uint32_t u = 0; u <= 0xFFFF; ++u) {
      if (pl::is_high_surrogate(u) || pl::is_low_surrogate(u)) continue;
      std::vector<uint16_t> units = {static_cast<uint16_t>(u)};
      Iconv::Output out = encoder_.convert(pltest::utf16le_of(units));
      Bytes mine = ours(units);
      if (out.status != Iconv::Status::kComplete || out.bytes.empty()) {
        ++figures_.unmapped;
        if (mine != Bytes{set_.replacement_byte()})
          mismatch("U+" + hex_value(u) + " has no form in iconv, ours " + hex(mine));
        continue;
      }
      if (characters(out.bytes) > 1) {
        ++figures_.multiple;
        continue;
      }
      ++figures_.encoded;
      if (mine != out.bytes)
        mismatch("U+" + hex_value(u) + " encodes to " + hex(mine) + ", iconv " + hex(out.bytes));
    }
  }

  void encode_pairs() {
    for (uint32_t cp = 0x10000; cp <= 0x10FFFF; ++cp) {
      uint32_t value = pl::unicode_value_of(cp);
      std::vector<uint16_t> units = {static_cast<uint16_t>(value >> 16),
                                     static_cast<uint16_t>(value)};
      Iconv::Output out = encoder_.convert(pltest::utf16le_of(units));
      ++figures_.encoded;
      Bytes mine = ours(units);
      if (mine != out.bytes)
        mismatch("code point " + hex_value(cp) + " encodes to " + hex(mine) + ", iconv " +
                 hex(out.bytes));
    }
  }

  const pl::ControlEntry &entry_;
  pl::CharsetView set_;
  std::string oracle_;
  Iconv decoder_, encoder_;
  Figures figures_;
};

TEST(IconvDifferential, EveryCodesetOfTheLocaleDirectory) {
  pltest::Session session(pltest::built_locale_dir());
  pl::Environment *env = session.env();
  ASSERT_NE(env, nullptr);
  int checked = 0;
  for (uint16_t i = env->start[pl::layout::kCodeset]; i < env->start[pl::layout::kCodeset + 1];
       ++i) {
    pl::Code code = PL_OK;
    pl::ControlEntry *entry = pl::load_entry(env, &env->table[i], &code);
    ASSERT_EQ(code, PL_OK) << env->table[i].name;
    ASSERT_NE(entry, nullptr);
    std::string oracle = oracle_name(entry->name);
    Differential differential(*entry, oracle);
    if (!differential.has_oracle()) {
      std::printf("%-12s %5u  no iconv converter %s\n", entry->name, entry->number, oracle.c_str());
      continue;
    }
    Figures f = differential.run();
    ++checked;
    char line[200];
    std::snprintf(line, sizeof line,
                  "decoded %ld, encoded %ld, unmapped %ld, mismatches %ld, "
                  "excluded non-BMP %ld, excluded multi-character %ld",
                  f.decoded, f.encoded, f.unmapped, f.mismatches, f.non_bmp, f.multiple);
    std::printf("%-12s %5u  %-15s %s\n", entry->name, entry->number, oracle.c_str(), line);
    testing::Test::RecordProperty(entry->name, line);
  }
  EXPECT_GT(checked, 0);
}

// The locale-independent codec on every code point, against iconv's UTF-8.
TEST(IconvDifferential, Utf8ValuesOfEveryCodePoint) {
  Iconv encoder("UTF-8", "UTF-16LE");
  ASSERT_TRUE(encoder.ok());
  long mismatches = 0;
  for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    uint32_t value = pl::unicode_value_of(cp);
    std::vector<uint16_t> units = {static_cast<uint16_t>(value)};
    if (value > 0xFFFF) units = {static_cast<uint16_t>(value >> 16), static_cast<uint16_t>(value)};
    Iconv::Output expected = encoder.convert(pltest::utf16le_of(units));
    uint8_t mine[4];
    size_t n = pl::utf8_encode_value(value, mine);
    pl::Utf8Decoded back = pl::utf8_decode_value(expected.bytes.data(), expected.bytes.size());
    if (Bytes(mine, mine + n) != expected.bytes || back.value != value ||
        back.length != expected.bytes.size())
      if (++mismatches <= 10) ADD_FAILURE() << "code point " << cp;
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
