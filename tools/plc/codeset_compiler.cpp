// codesets/<name>.txt: a single-byte code set, one "byte" line per defined byte:
//   byte <byte> <Unicode> <type word> <upper byte> <lower byte> <full-width packed>
// Bytes without a line map to U+FFFD, have type 0 and map to themselves.
#include <memory>

#include "item_compilers.h"
#include "locale/layouts/charset_table.h"
#include "locale/records/single_byte_charset.h"

namespace plc {

bool compile_codeset(SourceFile &source, Sections &out) {
  source.reject_unknown_keys({"replacement", "line-feed", "carriage-return", "line-separator",
                              "paragraph-separator", "ascii-based", "byte"});
  auto set = std::make_unique<pl::records::SingleByteCharset>();
  auto byte_of = [&](const char *key) {
    return static_cast<uint8_t>(source.number(source.one(key), 0, 0xFF));
  };
  set->replacement = byte_of("replacement");
  set->line_feed = byte_of("line-feed");
  set->carriage_return = byte_of("carriage-return");
  set->line_separator = byte_of("line-separator");
  set->paragraph_separator = byte_of("paragraph-separator");
  if (source.number(source.one("ascii-based"), 0, 1) != 0)
    set->flags |= pl::layout::charset::kAsciiBased;
  for (int b = 0; b < 256; ++b) {
    set->unicode[b] = 0xFFFD;
    set->upper[b] = set->lower[b] = static_cast<uint8_t>(b);
  }
  bool seen[256] = {};
  for (const Line *line : source.all("byte")) {
    if (line->values.size() != 6) source.fail(line, "a byte line needs six values");
    uint32_t b = source.number(line, 0, 0xFF);
    if (seen[b]) source.fail(line, "byte defined twice");
    seen[b] = true;
    set->unicode[b] = static_cast<uint16_t>(source.number(line, 1, 0xFFFF));
    set->reversible[b] = set->unicode[b] != 0xFFFD;
    set->type[b] = source.number(line, 2, 0xFFFFFFFF);
    set->upper[b] = static_cast<uint8_t>(source.number(line, 3, 0xFF));
    set->lower[b] = static_cast<uint8_t>(source.number(line, 4, 0xFF));
    set->fullwidth[b] = source.number(line, 5, 0xFFFFFFFF);
  }
  if (!source.ok()) return false;
  Section table(pl::records::kSingleByteTableSize);
  pl::records::write_single_byte_table(*set, table.data());
  Section low_tables(pl::records::single_byte_low_tables_size(*set));
  pl::records::write_single_byte_low_tables(*set, low_tables.data());
  out = {table, Section{}, low_tables};
  return true;
}

}  // namespace plc
