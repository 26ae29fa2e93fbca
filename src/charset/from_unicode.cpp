#include "charset/from_unicode.h"

#include "charset/charset_view.h"
#include "charset/codeset_ids.h"
#include "charset/packed_char.h"
#include "charset/unicode_value.h"
#include "frame/endian.h"

namespace pl {
namespace {

// A low or high table: elements of one width from a byte offset into a section. A read
// that would leave the section fails.
class ValueTable {
 public:
  ValueTable(const ControlEntry &entry, int section, uint16_t offset)
      : data_(entry.section[section]),
        size_(entry.section[section] ? entry.size[section] : 0),
        offset_(offset) {}

  bool byte(size_t i, uint32_t &out) const {
    if (!fits(i, 1)) return false;
    out = data_[offset_ + i];
    return true;
  }
  bool word(size_t i, uint32_t &out) const {
    if (!fits(i, 2)) return false;
    out = read_u16(data_ + offset_ + 2 * i);
    return true;
  }

 private:
  bool fits(size_t i, size_t width) const { return offset_ + (i + 1) * width <= size_; }

  const uint8_t *data_;
  size_t size_;
  size_t offset_;
};

constexpr int kLowSection = 2;
constexpr int kHighSection = 3;

uint32_t table_packed(const ControlEntry &entry, uint32_t value) {
  CharsetView set(entry);
  uint32_t replacement = set.replacement_byte();
  if (value > 0xFFFF) return replacement;
  UnicodeNode node = set.unicode_node(static_cast<uint8_t>(value >> 8));
  uint8_t low_byte = static_cast<uint8_t>(value);
  if (low_byte < node.lowest || low_byte > node.highest) return replacement;
  size_t i = node.mask & low_byte;
  ValueTable low(entry, kLowSection, node.low_table), high(entry, kHighSection, node.high_table);
  uint32_t lo = 0, hi = 0;
  bool ok = false;
  switch (node.type) {
    case 0:
      ok = low.byte(i, lo);
      break;
    case 1:
      ok = low.word(i, lo);
      break;
    case 2:
      ok = high.byte(i, hi) && low.word(i, lo);
      hi <<= 16;
      break;
    case 3:
      ok = high.word(i, hi) && low.word(i, lo);
      hi <<= 16;
      break;
    case 4:
      ok = high.byte(i, hi) && low.byte(i, lo);
      hi <<= 8;
      break;
    default:
      break;
  }
  return ok ? hi | lo : replacement;
}

uint32_t utf8_packed(const ControlEntry &entry, uint32_t value) {
  if (value > 0xFFFF && !is_packed_pair(value)) return CharsetView(entry).replacement_byte();
  uint8_t bytes[4];
  return pack_char(bytes, utf8_encode_value(value, bytes));
}

}  // namespace

uint32_t to_packed(const ControlEntry &entry, uint32_t value) {
  return entry.number == kUtf8Codeset ? utf8_packed(entry, value) : table_packed(entry, value);
}

size_t to_bytes(const ControlEntry &entry, uint32_t value, uint8_t *out) {
  return write_packed_char(to_packed(entry, value), out);
}

}  // namespace pl
