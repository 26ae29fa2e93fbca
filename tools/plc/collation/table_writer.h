// Lays out a built collation table as section 1 of a collation file: the fixed part,
// then the weight records, the expansions and the contractions, back to back.
#pragma once

#include <cstdint>
#include <vector>

#include "collation/table_builder.h"

namespace plc::collation {

std::vector<uint8_t> write_table(const CollationTable &table);

}  // namespace plc::collation
