// The library initialised over the build's locale directory for the lifetime of a
// fuzz target, released at exit so that the leak check sees every block come back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "polyloc.h"

class FuzzLibrary {
 public:
  FuzzLibrary() {
    if (PLInit(POLYLOC_LOCALE_DIR, nullptr, nullptr, nullptr, 0) != PL_OK) std::abort();
  }
  ~FuzzLibrary() { PLTerm(); }
  FuzzLibrary(const FuzzLibrary &) = delete;
  FuzzLibrary &operator=(const FuzzLibrary &) = delete;
};

// Rewrites text items of `l` from the input: each rewrite is a byte choosing one of
// `items`, a byte giving a length (below `longest`), and that many bytes of text.
template <size_t N>
void rewrite_text_items(PLLocale *l, const uint8_t *data, size_t size, const PLLocaleItem (&items)[N],
                        uint8_t longest) {
  for (size_t at = 0; at + 2 <= size;) {
    uint8_t which = data[at], n = data[at + 1];
    at += 2;
    size_t take = n % longest < size - at ? n % longest : size - at;
    PLSetLocaleTextInfo(l, items[which % N], reinterpret_cast<const char *>(data + at),
                        static_cast<int32_t>(take), 0);
    at += take;
  }
}

// Input bytes as units of a form: in the 16- and 32-bit forms a byte 0xFF takes the
// next two bytes as one unit.
template <class Unit>
std::vector<Unit> fuzz_units(const uint8_t *data, size_t size) {
  std::vector<Unit> units;
  for (size_t i = 0; i < size; ++i) {
    if (sizeof(Unit) > 1 && data[i] == 0xFF && i + 2 < size) {
      units.push_back(static_cast<Unit>(data[i + 1] << 8 | data[i + 2]));
      i += 2;
    } else {
      units.push_back(static_cast<Unit>(data[i]));
    }
  }
  return units;
}
