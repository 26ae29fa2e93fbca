// Turns a collation source into the parts of the binary table: each page of 256 units
// stored in the cheapest form that reproduces its elements, the weight records of the
// table pages, and the sorted expansion and contraction tables.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

#include "collation/collation_source.h"

namespace plc::collation {

struct PageEntry {
  uint8_t flags = 0;  // kPage* flags; none for a table page
  uint8_t order = 0;  // order bits of an algorithmic page
  uint32_t value = 0; // first record index, or the base weight
};

struct Record {
  uint16_t weight = 0;
  uint8_t secondary = 0;
  uint8_t tertiary = 0;
  uint16_t flags = 0;

  auto operator<=>(const Record &) const = default;
};

struct Expansion {
  uint16_t unit = 0;
  Element first, second;
};

struct Contraction {
  UnitPair units;
  Element element;
};

struct CollationTable {
  uint8_t default_secondary = 0;
  uint8_t default_tertiary = 0;
  uint8_t order_bits = 0;
  PageEntry pages[256];
  std::vector<Record> records;
  std::vector<Expansion> expansions;      // by unit, increasing
  std::vector<Contraction> contractions;  // by (first, second), increasing
};

// False with the reason in `error` when the source does not fit the table's limits.
bool build_table(const CollationSource &source, CollationTable &out, std::string &error);

}  // namespace plc::collation
