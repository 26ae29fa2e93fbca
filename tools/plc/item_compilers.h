// Each kind of item compiles from its source file into the sections of its data file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "source_file.h"

namespace plc {

using Section = std::vector<uint8_t>;
// Sections 1..4 of a data file; trailing empty sections are dropped by the writer.
using Sections = std::vector<Section>;

// Each returns false (with the reason in source.error()) when the source is not valid.
bool compile_language(SourceFile &source, Sections &out);
bool compile_territory(SourceFile &source, Sections &out);
bool compile_codeset(SourceFile &source, Sections &out);
// Collations have their own line syntax and may derive from other collation files, so
// this one reads `path` itself; false with "file:line: message" in `error`.
bool compile_collation(const std::string &path, Sections &out, std::string &error);

}  // namespace plc
