#include "codeset/packer.h"

#include <algorithm>
#include <cstring>

namespace plc {

// A stretch of the area equal to `slice`, or SIZE_MAX. Only byte areas are searched
// through: in wider areas an unaligned hit is useless and the search costly.
size_t Packer::find(const std::vector<uint8_t> &slice, size_t min_position) const {
  auto known = placed_.find(std::string(slice.begin(), slice.end()));
  if (known != placed_.end() && known->second >= min_position) return known->second;
  if (alignment_ != 1 || min_position >= area_.size()) return SIZE_MAX;
  const void *hit = memmem(area_.data() + min_position, area_.size() - min_position, slice.data(),
                           slice.size());
  return hit ? static_cast<size_t>(static_cast<const uint8_t *>(hit) - area_.data()) : SIZE_MAX;
}

size_t Packer::place(const std::vector<uint8_t> &slice, size_t min_position) {
  if (slice.empty()) return min_position;
  size_t found = find(slice, min_position);
  if (found != SIZE_MAX) return found;
  // Overlap the longest agreeing tail, keeping the alignment.
  size_t overlap = std::min(slice.size() - 1, area_.size());
  overlap -= overlap % alignment_;
  for (; overlap > 0; overlap -= alignment_) {
    size_t position = area_.size() - overlap;
    if (position >= min_position &&
        std::memcmp(area_.data() + position, slice.data(), overlap) == 0)
      break;
  }
  size_t position = area_.size() - overlap;
  if (position < min_position) {
    // Pad up to where the slice may start.
    position = (min_position + alignment_ - 1) / alignment_ * alignment_;
    area_.resize(position, 0);
    overlap = 0;
  }
  area_.insert(area_.end(), slice.begin() + static_cast<std::ptrdiff_t>(overlap), slice.end());
  placed_.emplace(std::string(slice.begin(), slice.end()), position);
  return position;
}

}  // namespace plc
