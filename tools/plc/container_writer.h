// Writes a data file: the container header, then each section at a 4-byte boundary.
#pragma once

#include <string>

#include "item_compilers.h"

namespace plc {

// Returns false, with the reason in `error`, when the file cannot be written.
bool write_container(const std::string &path, const Sections &sections, std::string &error);

}  // namespace plc
