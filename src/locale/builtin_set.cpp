#include "locale/builtin_set.h"

#include <array>

#include "locale/records/language_record.h"
#include "locale/records/single_byte_charset.h"
#include "locale/records/territory_record.h"

namespace pl::builtin {
namespace {

using records::LanguageValues;
using records::SingleByteCharset;
using records::TerritoryValues;
namespace terr = layout::territory;

constexpr LanguageValues kEnglish = {
    .default_territory = 1,
    .default_codeset = 1,
    .default_collation = 0,
    .strings = {u"EN", u"English",
                u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday",
                u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat",
                u"January", u"February", u"March", u"April", u"May", u"June", u"July",
                u"August", u"September", u"October", u"November", u"December", u"",
                u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct",
                u"Nov", u"Dec", u"",
                u"AM", u"PM"},
    .upper_pairs = {},
    .lower_pairs = {},
};

constexpr TerritoryValues kUnitedStates = {
    .characters = {u'.', u',', u',', u'.', u','},
    .num_digits = 2,
    .frac_digits = 2,
    .int_frac_digits = 2,
    .positive_sign_position = 3,
    .negative_sign_position = 0,
    .value = 0,
    .flags = terr::kTerritoryFlag | terr::kPositiveSymbolPrecedes | terr::kNegativeSymbolPrecedes |
             terr::kFlag5 | terr::kFlag6,
    .strings = {u"USA", u"United States", u"3;0", u"3;0", u"$", u"USD", u"", u"-",
                u"%#I:%M:%S %p", u"%#m/%#d/%y", u"%A, %B %d, %Y"},
};

// A type word from its class bits, category and third field. The category's top bit
// and the third field's lowest bit share bit 21; the third field's lowest bit reads
// back as the alphabetic bit.
constexpr uint32_t type_word(uint32_t classes, uint32_t category, uint32_t third) {
  return classes | (category << 10) | ((third & ~1u) << 21);
}

constexpr bool in(int b, int first, int last) { return b >= first && b <= last; }

constexpr uint32_t ascii_type(int b) {
  constexpr uint32_t kThirdPlain = 0x080, kThirdSpaced = 0x090, kThirdLetter = 0x081;
  if (b == 0x09) return type_word(0x3C0, 0x200, kThirdSpaced);
  if (in(b, 0x0A, 0x0D)) return type_word(0x340, 0x001, kThirdSpaced);
  if (b < 0x20 || b == 0x7F) return type_word(0x300, 0x001, kThirdPlain);
  if (b == 0x20) return type_word(0x2C0, 0x400, kThirdSpaced);
  if (in(b, '0', '9')) return type_word(0x218, 0x008, kThirdPlain);
  if (in(b, 'A', 'F')) return type_word(0x213, 0x002, kThirdLetter);
  if (in(b, 'G', 'Z')) return type_word(0x203, 0x002, kThirdLetter);
  if (in(b, 'a', 'f')) return type_word(0x215, 0x002, kThirdLetter);
  if (in(b, 'g', 'z')) return type_word(0x205, 0x002, kThirdLetter);
  return type_word(0x220, 0x800, kThirdSpaced);  // the remaining graphic bytes
}

constexpr SingleByteCharset us_ascii() {
  SingleByteCharset set;
  set.replacement = '?';
  set.line_feed = 0x0A;
  set.carriage_return = 0x0D;
  set.line_separator = 0x0A;
  set.paragraph_separator = 0x0A;
  set.flags = layout::charset::kAsciiBased;
  for (int b = 0; b < 256; ++b) {
    bool ascii = b < 0x80;
    set.unicode[b] = ascii ? static_cast<uint16_t>(b) : 0xFFFD;
    set.reversible[b] = ascii;
    set.type[b] = ascii ? ascii_type(b) : 0;
    set.upper[b] = static_cast<uint8_t>(in(b, 'a', 'z') ? b - 0x20 : b);
    set.lower[b] = static_cast<uint8_t>(in(b, 'A', 'Z') ? b + 0x20 : b);
  }
  return set;
}

constexpr SingleByteCharset kUsAscii = us_ascii();

constexpr auto kLanguageBytes = [] {
  std::array<uint8_t, records::language_record_size(kEnglish)> bytes{};
  records::write_language_record(kEnglish, bytes.data());
  return bytes;
}();

constexpr auto kTerritoryBytes = [] {
  std::array<uint8_t, records::territory_record_size(kUnitedStates)> bytes{};
  records::write_territory_record(kUnitedStates, bytes.data());
  return bytes;
}();

constexpr auto kCharsetBytes = [] {
  std::array<uint8_t, records::kSingleByteTableSize> bytes{};
  records::write_single_byte_table(kUsAscii, bytes.data());
  return bytes;
}();

constexpr auto kLowTableBytes = [] {
  std::array<uint8_t, records::single_byte_low_tables_size(kUsAscii)> bytes{};
  records::write_single_byte_low_tables(kUsAscii, bytes.data());
  return bytes;
}();

template <size_t N>
constexpr Bytes bytes_of(const std::array<uint8_t, N> &array) {
  return {array.data(), static_cast<uint32_t>(N)};
}

template <size_t N>
constexpr ControlEntry entry(uint16_t number, uint8_t kind, const char (&name)[N], Bytes s1,
                             Bytes s3) {
  static_assert(N <= layout::kEntryNameSize);
  ControlEntry e{};
  e.number = number;
  e.kind = kind;
  e.state = kStateBuiltin;
  for (size_t i = 0; i < N; ++i) e.name[i] = name[i];
  e.section[0] = s1.data;
  e.size[0] = s1.size;
  e.section[2] = s3.data;
  e.size[2] = s3.size;
  return e;
}

const ControlEntry kTable[kEntryCount] = {
    entry(1, layout::kLanguage, "English", bytes_of(kLanguageBytes), {}),
    entry(1, layout::kTerritory, "UnitedStates", bytes_of(kTerritoryBytes), {}),
    entry(1, layout::kCodeset, "US-ASCII", bytes_of(kCharsetBytes), bytes_of(kLowTableBytes)),
};

}  // namespace

Bytes language_section() { return bytes_of(kLanguageBytes); }
Bytes territory_section() { return bytes_of(kTerritoryBytes); }
Bytes charset_table() { return bytes_of(kCharsetBytes); }
Bytes unicode_to_byte_table() { return bytes_of(kLowTableBytes); }

const ControlEntry *control_table() { return kTable; }

void substitute(ControlEntry &entry) {
  Bytes s1{}, s3{};
  switch (entry.kind) {
    case layout::kLanguage: s1 = language_section(); break;
    case layout::kTerritory: s1 = territory_section(); break;
    case layout::kCodeset:
      s1 = charset_table();
      s3 = unicode_to_byte_table();
      break;
    default: return;
  }
  entry.state |= kStateBuiltin;
  entry.section[2] = s3.data;
  entry.size[2] = s3.size;
  entry.size[0] = s1.size;
  publish_section1(entry, s1.data);
}

}  // namespace pl::builtin
