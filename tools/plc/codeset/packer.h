// Places slices of bytes in one growing area, reusing what is already there: a slice
// placed before is not stored again, a byte slice equal to any stretch of the area is
// found there, and a slice whose start equals the area's tail is stored overlapping it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace plc {

class Packer {
 public:
  // Positions are multiples of `alignment` (the width of the area's elements).
  explicit Packer(size_t alignment = 1) : alignment_(alignment) {}

  // Returns the position of `slice` in the area, at least `min_position`.
  size_t place(const std::vector<uint8_t> &slice, size_t min_position = 0);

  const std::vector<uint8_t> &bytes() const { return area_; }
  size_t size() const { return area_.size(); }

 private:
  size_t find(const std::vector<uint8_t> &slice, size_t min_position) const;

  size_t alignment_;
  std::vector<uint8_t> area_;
  std::map<std::string, size_t> placed_;  // each slice (as a string of its bytes) at its first position
};

}  // namespace plc
