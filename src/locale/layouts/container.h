// The 80-byte header that begins every locale data file and the control file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pl::layout {

inline constexpr uint32_t kMagic = 0x476CF462;
// Major 3 (bits 28..31), minor 3 (bits 19..26): the format this library writes.
inline constexpr uint32_t kCurrentVersion = 0x30186000;
inline constexpr size_t kHeaderSize = 80;
inline constexpr int kMaxSections = 4;
inline constexpr size_t kDescriptionSize = 33;

// The text the library and its data carry to name their release.
inline constexpr char kVersionString[] = "POLYLOCVERSION_STRING=3.3.21";

constexpr unsigned major_version(uint32_t version) { return version >> 28; }
constexpr unsigned minor_version(uint32_t version) { return (version >> 19) & 0xFF; }

// The header in the current layout. `file_version` is the version the file itself
// declared: an older header is rewritten on reading and the original version kept
// here, because it decides how the sections' contents are upgraded.
struct ContainerHeader {
  uint32_t version = kCurrentVersion;
  uint32_t file_version = kCurrentVersion;
  uint16_t section_count = 0;  // as stored; only the first four are used
  uint32_t size[kMaxSections] = {};
  uint32_t offset[kMaxSections] = {};
  uint8_t description[kDescriptionSize] = {};

  int used_sections() const { return section_count < kMaxSections ? section_count : kMaxSections; }
};

// Decodes 80 header bytes; an older (major 1 or 2) layout is rewritten into the
// current one. Returns false when the magic number is wrong.
bool decode_header(const uint8_t *bytes, ContainerHeader *header);

// Writes `header` in the current layout (with the current version word).
void encode_header(const ContainerHeader &header, uint8_t *bytes);

// Writes `header` in the older layout (major 1 or 2, version taken from
// `header.file_version`). Section sizes must fit 16 bits. Used to produce files
// of earlier releases.
void encode_old_header(const ContainerHeader &header, uint8_t *bytes);

}  // namespace pl::layout
