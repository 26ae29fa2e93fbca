#include "charset/conversion/encoder.h"

#include "charset/codeset_ids.h"
#include "charset/from_unicode.h"
#include "locale/layouts/charset_table.h"

namespace pl {

Encoder::Encoder(const ControlEntry &entry, Path path)
    : entry_(entry),
      set_(entry),
      path_(path),
      stateful_(set_.stateful()),
      utf8_(entry.number == kUtf8Codeset),
      ascii_identity_(false),
      single_bytes_(false),
      replacement_(set_.replacement_byte()),
      nodes_(entry.section[0] + layout::charset::kUnicodeNodes),
      low_(entry.section[2]),
      high_(entry.section[3]),
      low_size_(entry.section[2] ? entry.size[2] : 0),
      high_size_(entry.section[3] ? entry.size[3] : 0) {
  if (path_ != Path::fast) return;
  bool identity = true;
  for (uint32_t u = 0; u < 0x80 && identity; ++u) identity = packed(u) == u;
  ascii_identity_ = identity;
  single_bytes_ = !stateful_ && !utf8_ && set_.max_length() == 1;
  if (!single_bytes_) return;
  for (uint32_t u = 0; u < 256; ++u) {
    uint32_t packed = run_packed(u);
    low_units_[u] = static_cast<uint16_t>(packed <= 0xFF ? packed : 0x100);
  }
}

uint32_t Encoder::engine_packed(uint32_t value) const { return to_packed(entry_, value); }

}  // namespace pl
