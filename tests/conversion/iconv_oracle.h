// glibc's iconv as the oracle of the differential tests.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pltest {

class Iconv {
 public:
  Iconv(const std::string &to, const std::string &from);
  ~Iconv();
  Iconv(const Iconv &) = delete;
  Iconv &operator=(const Iconv &) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  enum class Status { kComplete, kIncomplete, kInvalid };
  struct Output {
    Status status;
    std::vector<uint8_t> bytes;
  };
  // Converts `bytes` as a whole from the initial state and closes the final state (a
  // stateful target gets its shift-in byte, held characters are written).
  Output convert(const std::vector<uint8_t> &bytes);

 private:
  iconv_t cd_;
};

// UTF-16LE bytes as units.
std::vector<uint16_t> units_of(const std::vector<uint8_t> &utf16le);
std::vector<uint8_t> utf16le_of(const std::vector<uint16_t> &units);

}  // namespace pltest
