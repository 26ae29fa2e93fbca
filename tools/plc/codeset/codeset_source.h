// The parsed source of a code set (docs/codeset-sources.md).
#pragma once

#include <cstdint>
#include <map>

#include "source_file.h"

namespace plc {

struct CodesetSource {
  bool utf8 = false;  // algorithmic UTF-8: the mappings below are computed
  uint8_t replacement = 0;
  uint8_t line_feed = 0;
  uint8_t carriage_return = 0;
  uint8_t line_separator = 0;
  uint8_t paragraph_separator = 0;
  bool ascii_based = false;
  uint8_t max_length = 1;
  bool stateful = false;
  uint8_t shift_out = 0;
  uint8_t shift_in = 0;
  bool gb_rule = false;
  uint8_t lengths[256] = {};      // character length by first byte
  std::map<uint32_t, uint16_t> decode;  // packed character -> unit
  std::map<uint16_t, uint32_t> encode;  // unit -> packed character

  // The character's bytes, first byte first.
  static int byte_count(uint32_t packed) {
    return packed > 0xFFFFFF ? 4 : packed > 0xFFFF ? 3 : packed > 0xFF ? 2 : 1;
  }
  // A character read through the byte table rather than the trie.
  bool is_single_byte(uint32_t packed) const {
    return packed <= 0xFF && (stateful || lengths[packed] == 1);
  }
};

// Reads and checks a code-set source; false with the reason in source.error().
bool read_codeset_source(SourceFile &source, CodesetSource &out);

}  // namespace plc
