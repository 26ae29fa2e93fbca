// Temporary locale directories and environment for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace pltest {

// The locale directory the build compiled from data/.
inline const char *built_locale_dir() { return POLYLOC_TEST_LOCALEDIR; }
// The directory the test build of the library searches last.
inline const char *default_locale_dir() { return POLYLOC_TEST_DEFAULT_DIR; }

// A fresh directory, removed with its contents on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  const std::string &path() const { return path_; }
  std::string file(const std::string &name) const { return path_ + "/" + name; }
  // Copies every file of `from` into this directory.
  void copy_from(const std::string &from) const;

 private:
  std::string path_;
};

// Sets (or, with null, unsets) an environment variable for the life of the object.
class EnvVar {
 public:
  EnvVar(const char *name, const char *value);
  ~EnvVar();
  EnvVar(const EnvVar &) = delete;
  EnvVar &operator=(const EnvVar &) = delete;

 private:
  std::string name_;
  bool had_value_;
  std::string old_value_;
};

std::vector<uint8_t> read_bytes(const std::string &path);

// Runs `polyloc COMMAND --dir <the built locale directory> ARGS` through the shell in
// `dir` (`environment` is put in front, such as "TZ=UTC"): the exit status, the output
// and the errors.
std::tuple<int, std::string, std::string> run_cli(const TempDir &dir, const std::string &command,
                                                  const std::string &args,
                                                  const std::string &environment = "");
void write_bytes(const std::string &path, const std::vector<uint8_t> &bytes);

// One control-table entry as a file holds it.
struct EntrySpec {
  uint8_t kind;
  uint16_t number;
  std::string name;
};
std::vector<uint8_t> control_table_bytes(const std::vector<EntrySpec> &entries);

// A container file with the given sections, in the current header layout.
std::vector<uint8_t> container_bytes(const std::vector<std::vector<uint8_t>> &sections);

}  // namespace pltest
