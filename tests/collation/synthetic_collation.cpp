#include "collation/synthetic_collation.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "collation/collation_source.h"
#include "collation/table_builder.h"
#include "collation/table_writer.h"
#include "frame/endian.h"
#include "locale/layouts/collation_table.h"
#include "locale/layouts/container.h"
#include "locale/layouts/control.h"

namespace pltest {
namespace {

namespace ct = pl::layout::collation;

// The control table of a control file (its first section).
std::vector<uint8_t> control_table(const std::vector<uint8_t> &file) {
  pl::layout::ContainerHeader header;
  if (file.size() < pl::layout::kHeaderSize || !pl::layout::decode_header(file.data(), &header))
    std::abort();
  return {file.begin() + header.offset[0], file.begin() + header.offset[0] + header.size[0]};
}

std::vector<uint8_t> compile(const std::string &path) {
  plc::collation::CollationSource source;
  plc::collation::CollationTable table;
  std::string error;
  if (!plc::collation::read_collation_source(path, source, error) ||
      !plc::collation::build_table(source, table, error)) {
    std::fprintf(stderr, "synthetic collation: %s\n", error.c_str());
    std::abort();
  }
  return plc::collation::write_table(table);
}

}  // namespace

SyntheticLocaleDir::SyntheticLocaleDir(const std::vector<SyntheticCollation> &collations) {
  dir_.copy_from(built_locale_dir());
  std::vector<uint8_t> control = control_table(read_bytes(dir_.file("control.nls")));
  // Entries are sorted by kind and number, collations last: new ones go at the end.
  unsigned number = 0;
  for (size_t at = 0; at < control.size(); at += pl::layout::kControlEntrySize)
    if (control[at + pl::layout::kEntryKindAt] == pl::layout::kCollation)
      number = pl::read_u16(control.data() + at + pl::layout::kEntryNumberAt);
  for (const SyntheticCollation &c : collations) {
    std::string source = sources_.file(c.name + ".txt");
    write_bytes(source, std::vector<uint8_t>(c.source.begin(), c.source.end()));
    std::vector<uint8_t> table = compile(source);
    if (c.patch) c.patch(table);
    char file[32];
    std::snprintf(file, sizeof file, "so_%04u.nls", ++number);
    write_bytes(dir_.file(file), container_bytes({table}));
    std::vector<uint8_t> entry = control_table_bytes(
        {{pl::layout::kCollation, static_cast<uint16_t>(number), c.name}});
    control.insert(control.end(), entry.begin(), entry.end());
  }
  write_bytes(dir_.file("control.nls"), container_bytes({control}));
}

void set_record_order(std::vector<uint8_t> &table, uint16_t unit, uint8_t order) {
  const uint8_t *page = table.data() + ct::kPageTable + (unit >> 8) * ct::kPageSize;
  size_t record = pl::read_u32(table.data() + ct::kRecordsOffset) +
                  (pl::read_u32(page + ct::kPageValue) + (unit & 0xFF)) * ct::kRecordSize;
  uint16_t flags = pl::read_u16(table.data() + record + ct::kRecordFlags);
  flags = static_cast<uint16_t>((flags & ~ct::order_flags(0xF)) | ct::order_flags(order));
  pl::write_u16(table.data() + record + ct::kRecordFlags, flags);
}

std::string utf8(const std::u16string &text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace pltest
