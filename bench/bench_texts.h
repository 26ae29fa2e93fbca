// Generated benchmark texts: about 4 MiB per code set, built from a repertoire of
// characters the code set holds, as UTF-16 and in the code set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "polyloc.h"

namespace plbench {

enum class Script { english, western, japanese, chinese };

struct Text {
  std::vector<PLUChar> units;
  std::string bytes;  // the same text in the code set
};

// The text of `script` in the code set of `locale`, about `size` bytes long there.
Text make_text(PLLocale *locale, Script script, size_t size);

// Initialises the library over the build's locale directory, registers the
// benchmarks and runs them; the exit code of a benchmark program.
int run_benchmarks(int argc, char **argv, void (*register_all)());

}  // namespace plbench
