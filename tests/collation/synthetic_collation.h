// Collations written inline by a test: each source is compiled into a collation table
// and added to a copy of the built locale directory as a collation entry under its
// name, so that a locale name such as "English_UnitedStates.MS1252@Test" selects it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/locale_dir.h"

namespace pltest {

struct SyntheticCollation {
  std::string name;
  std::string source;  // the text of a collation source; "base" names an earlier one
  // Changes the compiled table before it is written, for what sources cannot say.
  std::function<void(std::vector<uint8_t> &table)> patch = nullptr;
};

class SyntheticLocaleDir {
 public:
  explicit SyntheticLocaleDir(const std::vector<SyntheticCollation> &collations);

  const std::string &path() const { return dir_.path(); }

 private:
  TempDir dir_;
  TempDir sources_;
};

// Sets the order bits of the weight record of `unit` (a unit of a table page).
void set_record_order(std::vector<uint8_t> &table, uint16_t unit, uint8_t order);

// UTF-8 of UTF-16 text (surrogate pairs combined).
std::string utf8(const std::u16string &text);

}  // namespace pltest
