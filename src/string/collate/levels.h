// The four weight levels of a string, built element by element in a work area of
// 16 bytes per UTF-16 unit plus 4: primaries (big-endian u16, 4 bytes a unit),
// secondaries and tertiaries (2 bytes a unit each) and special weights (a big-endian
// position and weight, 8 bytes a unit). A unit gives at most two elements. Each level
// lies one byte further on than the plain sum of the ones before, so that the sort key
// can be assembled in place by moving every level towards the start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "string/collate/collation_view.h"

namespace pl {

// Bytes of work area for `units` UTF-16 units.
constexpr size_t levels_size(size_t units) { return units * 16 + 4; }

class Levels {
 public:
  Levels(uint8_t *work, size_t units)
      : primary_(work),
        secondary_(work + units * 4 + 1),
        tertiary_(work + units * 6 + 2),
        special_(work + units * 8 + 3) {}

  void add(const Element &e, uint32_t position) {
    namespace c = layout::collation;
    if (e.order == c::kAllForward) {
      if (e.primary != 0) primary_.append(e.primary);
      if (e.secondary != 0) secondary_.append(e.secondary);
      if (e.tertiary != 0) tertiary_.append(e.tertiary);
      if (e.special != 0) special_.append(position << 16 | e.special);
      return;
    }
    if (e.primary != 0) primary_.add(e.primary, (e.order & c::kOrderPrimary) != 0);
    if (e.secondary != 0) secondary_.add(e.secondary, (e.order & c::kOrderSecondary) != 0);
    if (e.tertiary != 0) tertiary_.add(e.tertiary, (e.order & c::kOrderTertiary) != 0);
    if (e.special != 0) special_.add(position << 16 | e.special, (e.order & c::kOrderSpecial) != 0);
  }

  // One level: its bytes and its length in bytes.
  struct Level {
    const uint8_t *bytes;
    size_t size;
  };
  Level primaries() const { return primary_.level(); }
  Level secondaries() const { return secondary_.level(); }
  Level tertiaries() const { return tertiary_.level(); }
  Level specials() const { return special_.level(); }

  // Writes the sort key at the start of the work area, trailing default secondary and
  // tertiary weights dropped, and returns its length.
  size_t assemble_key(uint8_t *work, uint8_t default_secondary, uint8_t default_tertiary) const;

 private:
  // Forward weights go at the end; backward ones at the insertion mark, which stays, so
  // a run of backward weights comes out reversed.
  // A level of `Width`-byte weights, stored big-endian.
  template <size_t Width>
  class Buffer {
   public:
    explicit Buffer(uint8_t *at) : at_(at) {}
    void append(uint32_t weight) {
      put(at_ + size_, weight);
      size_ += Width;
      mark_ = size_;
    }
    void add(uint32_t weight, bool forward) {
      if (forward) return append(weight);
      std::memmove(at_ + mark_ + Width, at_ + mark_, size_ - mark_);
      put(at_ + mark_, weight);
      size_ += Width;
    }
    Level level() const { return {at_, size_}; }

   private:
    static void put(uint8_t *at, uint32_t weight) {
      for (size_t i = 0; i < Width; ++i) at[i] = static_cast<uint8_t>(weight >> (8 * (Width - 1 - i)));
    }

    uint8_t *at_;
    size_t size_ = 0;
    size_t mark_ = 0;
  };

  Buffer<2> primary_;
  Buffer<1> secondary_, tertiary_;
  Buffer<4> special_;
};

}  // namespace pl
