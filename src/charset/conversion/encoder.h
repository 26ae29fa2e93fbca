// Unicode to one code set: the packed character of a Unicode value. The fast path
// reads the character-set table's nodes and value tables directly, with the same
// bounds the engine checks; UTF-8 is computed inline below U+10000.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/charset_view.h"
#include "charset/conversion/path.h"
#include "frame/endian.h"
#include "locale/control_entry.h"

namespace pl {

class Encoder {
 public:
  Encoder(const ControlEntry &entry, Path path);

  const ControlEntry &entry() const { return entry_; }
  const CharsetView &set() const { return set_; }
  bool stateful() const { return stateful_; }
  bool fast() const { return path_ == Path::fast; }
  uint8_t replacement() const { return replacement_; }
  // Units 0x00..0x7F encode to the same byte.
  bool ascii_identity() const { return ascii_identity_; }
  bool utf8() const { return utf8_; }
  // Characters take one byte (the runs still check each one).
  bool single_bytes() const { return single_bytes_; }
  // For runs of a single-byte code set: the packed characters of units 0x00..0xFF.
  const uint16_t *low_units() const { return low_units_; }

  // For runs: the packed character of a unit (no surrogate) of a table-driven code
  // set. Nodes of types 0 and 1 take one load, type 4 two; the rest, and reads near
  // the end of a table, go as `packed` goes.
  uint32_t run_packed(uint32_t unit) const {
    const uint8_t *node = nodes_ + 8 * (unit >> 8);
    uint8_t type = node[0];
    uint8_t low_byte = static_cast<uint8_t>(unit);
    size_t i = static_cast<uint8_t>(node[1] & low_byte);
    size_t lo_at = read_u16(node + 4);
    if (type == 4) {
      size_t hi_at = read_u16(node + 6);
      if (low_byte < node[2] || low_byte > node[3]) return replacement_;
      if (lo_at + i >= low_size_ || hi_at + i >= high_size_) return table_packed(unit);
      return uint32_t{high_[hi_at + i]} << 8 | low_[lo_at + i];
    }
    if (type > 1) return table_packed(unit);
    if (low_byte < node[2] || low_byte > node[3]) return replacement_;
    size_t at = lo_at + i * (type + 1u);
    // The two-byte read of a one-byte element needs one byte more of the table.
    if (at + 2 > low_size_) return table_packed(unit);
    uint32_t raw = read_u16(low_ + at);
    return type != 0 ? raw : raw & 0xFF;
  }

  uint32_t packed(uint32_t value) const {
    if (path_ == Path::fast) {
      if (utf8_) {
        if (value < 0x80) return value;
        if (value < 0x800) return (0xC0 | value >> 6) << 8 | (0x80 | (value & 0x3F));
        if (value < 0x10000)
          return (0xE0 | value >> 12) << 16 | (0x80 | (value >> 6 & 0x3F)) << 8 |
                 (0x80 | (value & 0x3F));
      } else {
        return table_packed(value);
      }
    }
    return engine_packed(value);
  }

 private:
  uint32_t engine_packed(uint32_t value) const;

  bool low_fits(size_t i, uint16_t offset, size_t width) const {
    return offset + (i + 1) * width <= low_size_;
  }
  bool high_fits(size_t i, uint16_t offset, size_t width) const {
    return offset + (i + 1) * width <= high_size_;
  }

  // The engine's node walk, on pointers taken once.
  uint32_t table_packed(uint32_t value) const {
    if (value > 0xFFFF) return replacement_;
    const uint8_t *node = nodes_ + 8 * (value >> 8);
    uint8_t low_byte = static_cast<uint8_t>(value);
    if (low_byte < node[2] || low_byte > node[3]) return replacement_;
    size_t i = node[1] & low_byte;
    uint16_t lo_at = read_u16(node + 4), hi_at = read_u16(node + 6);
    switch (node[0]) {
      case 0:
        return low_fits(i, lo_at, 1) ? low_[lo_at + i] : replacement_;
      case 1:
        return low_fits(i, lo_at, 2) ? read_u16(low_ + lo_at + 2 * i) : replacement_;
      case 2:
        return high_fits(i, hi_at, 1) && low_fits(i, lo_at, 2)
                   ? uint32_t{high_[hi_at + i]} << 16 | read_u16(low_ + lo_at + 2 * i)
                   : replacement_;
      case 3:
        return high_fits(i, hi_at, 2) && low_fits(i, lo_at, 2)
                   ? uint32_t{read_u16(high_ + hi_at + 2 * i)} << 16 |
                         read_u16(low_ + lo_at + 2 * i)
                   : replacement_;
      case 4:
        return high_fits(i, hi_at, 1) && low_fits(i, lo_at, 1)
                   ? uint32_t{high_[hi_at + i]} << 8 | low_[lo_at + i]
                   : replacement_;
      default:
        return replacement_;
    }
  }

  const ControlEntry &entry_;
  CharsetView set_;
  Path path_;
  bool stateful_, utf8_, ascii_identity_, single_bytes_;
  uint8_t replacement_;
  const uint8_t *nodes_;
  const uint8_t *low_, *high_;
  size_t low_size_, high_size_;
  uint16_t low_units_[256];
};

}  // namespace pl
