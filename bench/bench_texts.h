// Generated benchmark texts: about 4 MiB per code set, built from a repertoire of
// characters the code set holds, as UTF-16 and in the code set.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
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

// The handle of locale `name`; the program ends with a message when there is none.
PLLocale *open_locale(const char *name);

// Runs `body(i)` once an iteration for i = 0, 1, ... `count` - 1 and round again.
template <class Body>
void each_value(benchmark::State &state, size_t count, Body body) {
  size_t i = 0;
  for (auto _ : state) {
    body(i);
    i = (i + 1) % count;
  }
  state.SetItemsProcessed(state.iterations());
}

// Initialises the library over the build's locale directory, registers the
// benchmarks and runs them; the exit code of a benchmark program.
int run_benchmarks(int argc, char **argv, void (*register_all)());

}  // namespace plbench
