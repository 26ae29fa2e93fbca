#include "locale/layouts/container.h"

#include <cstring>

#include "frame/endian.h"

namespace pl::layout {
namespace {

// Field offsets of the current layout.
constexpr size_t kMagicAt = 0, kVersionAt = 4, kCountAt = 8, kSectionsAt = 12, kDescriptionAt = 44;
// The older layout: 16-bit sizes, each section's size before its offset.
constexpr size_t kOldFirstSizeAt = 10, kOldFirstOffsetAt = 12, kOldDescriptionAt = 40;
// Sections 2..4 of the older layout: size (16 bits, 2 reserved bytes), then offset.
constexpr size_t old_size_at(int section) { return 16 + 8 * static_cast<size_t>(section - 1); }

}  // namespace

bool decode_header(const uint8_t *bytes, ContainerHeader *header) {
  if (read_u32(bytes + kMagicAt) != kMagic) return false;
  *header = ContainerHeader{};
  header->file_version = read_u32(bytes + kVersionAt);
  header->section_count = read_u16(bytes + kCountAt);
  if (major_version(header->file_version) >= 3) {
    header->version = header->file_version;
    for (int s = 0; s < kMaxSections; ++s) {
      header->size[s] = read_u32(bytes + kSectionsAt + 8 * s);
      header->offset[s] = read_u32(bytes + kSectionsAt + 8 * s + 4);
    }
    std::memcpy(header->description, bytes + kDescriptionAt, kDescriptionSize);
    return true;
  }
  header->version = kCurrentVersion;
  header->size[0] = read_u16(bytes + kOldFirstSizeAt);
  header->offset[0] = read_u32(bytes + kOldFirstOffsetAt);
  for (int s = 1; s < kMaxSections; ++s) {
    header->size[s] = read_u16(bytes + old_size_at(s));
    header->offset[s] = read_u32(bytes + old_size_at(s) + 4);
  }
  std::memcpy(header->description, bytes + kOldDescriptionAt, kDescriptionSize);
  return true;
}

void encode_header(const ContainerHeader &header, uint8_t *bytes) {
  std::memset(bytes, 0, kHeaderSize);
  write_u32(bytes + kMagicAt, kMagic);
  write_u32(bytes + kVersionAt, kCurrentVersion);
  write_u16(bytes + kCountAt, header.section_count);
  for (int s = 0; s < kMaxSections; ++s) {
    write_u32(bytes + kSectionsAt + 8 * s, header.size[s]);
    write_u32(bytes + kSectionsAt + 8 * s + 4, header.offset[s]);
  }
  std::memcpy(bytes + kDescriptionAt, header.description, kDescriptionSize);
}

void encode_old_header(const ContainerHeader &header, uint8_t *bytes) {
  std::memset(bytes, 0, kHeaderSize);
  write_u32(bytes + kMagicAt, kMagic);
  write_u32(bytes + kVersionAt, header.file_version);
  write_u16(bytes + kCountAt, header.section_count);
  write_u16(bytes + kOldFirstSizeAt, static_cast<uint16_t>(header.size[0]));
  write_u32(bytes + kOldFirstOffsetAt, header.offset[0]);
  for (int s = 1; s < kMaxSections; ++s) {
    write_u16(bytes + old_size_at(s), static_cast<uint16_t>(header.size[s]));
    write_u32(bytes + old_size_at(s) + 4, header.offset[s]);
  }
  std::memcpy(bytes + kOldDescriptionAt, header.description, kDescriptionSize);
}

}  // namespace pl::layout
