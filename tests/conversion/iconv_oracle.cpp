#include "iconv_oracle.h"

#include <cerrno>

namespace pltest {

Iconv::Iconv(const std::string &to, const std::string &from)
    : cd_(iconv_open(to.c_str(), from.c_str())) {}

Iconv::~Iconv() {
  if (ok()) iconv_close(cd_);
}

Iconv::Output Iconv::convert(const std::vector<uint8_t> &bytes) {
  iconv(cd_, nullptr, nullptr, nullptr, nullptr);
  std::vector<uint8_t> in = bytes;
  char out[64];
  char *in_at = reinterpret_cast<char *>(in.data());
  size_t in_left = in.size();
  char *out_at = out;
  size_t out_left = sizeof out;
  Output result{Status::kComplete, {}};
  if (iconv(cd_, &in_at, &in_left, &out_at, &out_left) == static_cast<size_t>(-1))
    result.status = errno == EINVAL ? Status::kIncomplete : Status::kInvalid;
  else if (iconv(cd_, nullptr, nullptr, &out_at, &out_left) == static_cast<size_t>(-1))
    result.status = Status::kInvalid;
  result.bytes.assign(out, out_at);
  return result;
}

std::vector<uint16_t> units_of(const std::vector<uint8_t> &utf16le) {
  std::vector<uint16_t> units(utf16le.size() / 2);
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<uint16_t>(utf16le[2 * i] | utf16le[2 * i + 1] << 8);
  return units;
}

std::vector<uint8_t> utf16le_of(const std::vector<uint16_t> &units) {
  std::vector<uint8_t> bytes;
  for (uint16_t u : units) {
    bytes.push_back(static_cast<uint8_t>(u));
    bytes.push_back(static_cast<uint8_t>(u >> 8));
  }
  return bytes;
}

}  // namespace pltest
