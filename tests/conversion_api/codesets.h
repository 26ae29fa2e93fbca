// The code sets of the build-tree locale directory as locale handles, and random
// texts in them.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "polyloc.h"
#include "support/session.h"

namespace pltest {

struct Codeset {
  std::string name;
  uint16_t number;
  PLLocale *locale;
  bool stateful;
};

// A handle for every code set of the session's directory; released by the destructor.
class Codesets {
 public:
  explicit Codesets(Session &session);
  ~Codesets();
  Codesets(const Codesets &) = delete;
  Codesets &operator=(const Codesets &) = delete;

  const std::vector<Codeset> &all() const { return sets_; }
  const Codeset &named(const std::string &name) const;

 private:
  std::vector<Codeset> sets_;
};

using Bytes = std::vector<uint8_t>;
using Units = std::vector<uint16_t>;

// Random UTF-16 text: ASCII, the rest of the BMP and (now and then) surrogate pairs.
Units random_units(std::mt19937 &random, size_t count);
// Text of the code set: random units encoded by the library.
Bytes valid_text(std::mt19937 &random, const Codeset &set, size_t units);
// Random bytes, NUL excluded.
Bytes random_bytes(std::mt19937 &random, size_t count);

}  // namespace pltest
