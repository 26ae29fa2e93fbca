#include "support/locale_dir.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "frame/endian.h"
#include "locale/layouts/container.h"
#include "locale/layouts/control.h"

namespace pltest {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "polyloc-test-XXXXXX").string();
  char *made = mkdtemp(pattern.data());
  if (made == nullptr) std::abort();
  path_ = made;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::copy_from(const std::string &from) const {
  for (const auto &entry : std::filesystem::directory_iterator(from))
    std::filesystem::copy_file(entry.path(), path_ / entry.path().filename(),
                               std::filesystem::copy_options::overwrite_existing);
}

EnvVar::EnvVar(const char *name, const char *value) : name_(name) {
  const char *old = std::getenv(name);
  had_value_ = old != nullptr;
  if (had_value_) old_value_ = old;
  if (value != nullptr)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

EnvVar::~EnvVar() {
  if (had_value_)
    setenv(name_.c_str(), old_value_.c_str(), 1);
  else
    unsetenv(name_.c_str());
}

std::vector<uint8_t> read_bytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const std::string &path, const std::vector<uint8_t> &bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> control_table_bytes(const std::vector<EntrySpec> &entries) {
  std::vector<uint8_t> table(entries.size() * pl::layout::kControlEntrySize, 0);
  for (size_t i = 0; i < entries.size(); ++i)
    pl::layout::encode_control_entry(table.data() + i * pl::layout::kControlEntrySize,
                                     entries[i].number, entries[i].kind, entries[i].name.c_str());
  return table;
}

std::vector<uint8_t> container_bytes(const std::vector<std::vector<uint8_t>> &sections) {
  pl::layout::ContainerHeader header;
  header.section_count = static_cast<uint16_t>(sections.size());
  std::vector<uint8_t> bytes(pl::layout::kHeaderSize);
  for (size_t s = 0; s < sections.size(); ++s) {
    bytes.resize((bytes.size() + 3) & ~size_t{3});  // sections start 4-aligned
    header.offset[s] = static_cast<uint32_t>(bytes.size());
    header.size[s] = static_cast<uint32_t>(sections[s].size());
    bytes.insert(bytes.end(), sections[s].begin(), sections[s].end());
  }
  pl::layout::encode_header(header, bytes.data());
  return bytes;
}

std::tuple<int, std::string, std::string> run_cli(const TempDir &dir, const std::string &command,
                                                  const std::string &args, const std::string &environment) {
  int status = std::system(("cd " + dir.path() + " && " + environment + " " + POLYLOC_CLI + " " + command +
                            " --dir " + built_locale_dir() + " " + args + " > out 2> err")
                               .c_str());
  std::vector<uint8_t> out = read_bytes(dir.file("out")), err = read_bytes(dir.file("err"));
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(out.begin(), out.end()),
          std::string(err.begin(), err.end())};
}

}  // namespace pltest
