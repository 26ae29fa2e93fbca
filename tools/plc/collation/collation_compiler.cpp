// collations/<name>.txt: a collation, compiled into the collation table (section 1).
#include "collation/collation_source.h"
#include "collation/table_builder.h"
#include "collation/table_writer.h"
#include "item_compilers.h"

namespace plc {

bool compile_collation(const std::string &path, Sections &out, std::string &error) {
  collation::CollationSource source;
  collation::CollationTable table;
  if (!collation::read_collation_source(path, source, error)) return false;
  if (!collation::build_table(source, table, error)) {
    error = path + ": " + error;
    return false;
  }
  out = {collation::write_table(table)};
  return true;
}

}  // namespace plc
