#include "container_writer.h"

#include <cstring>

#include "locale/data_file.h"
#include "locale/layouts/container.h"

namespace plc {

bool write_container(const std::string &path, const Sections &sections, std::string &error) {
  namespace layout = pl::layout;
  size_t count = sections.size();
  while (count > 0 && sections[count - 1].empty()) --count;
  if (count > static_cast<size_t>(layout::kMaxSections)) {
    error = path + ": more than four sections";
    return false;
  }
  layout::ContainerHeader header;
  header.section_count = static_cast<uint16_t>(count);
  std::memcpy(header.description, layout::kVersionString, sizeof layout::kVersionString);
  std::vector<uint8_t> bytes(layout::kHeaderSize);
  for (size_t s = 0; s < count; ++s) {
    if (sections[s].empty()) continue;
    bytes.resize((bytes.size() + 3) & ~size_t{3});
    header.offset[s] = static_cast<uint32_t>(bytes.size());
    header.size[s] = static_cast<uint32_t>(sections[s].size());
    bytes.insert(bytes.end(), sections[s].begin(), sections[s].end());
  }
  layout::encode_header(header, bytes.data());

  pl::Code code = PL_OK;
  pl::DataFile *file = pl::open_file(path.c_str(), pl::FileMode::write, false, &code);
  if (file == nullptr) {
    error = path + ": cannot be created (code " + std::to_string(code) + ")";
    return false;
  }
  bool written = pl::write_file(file, bytes.data(), bytes.size(), &code);
  if (pl::close_file(file, !written) != PL_OK || !written) {
    error = path + ": cannot be written";
    return false;
  }
  return true;
}

}  // namespace plc
