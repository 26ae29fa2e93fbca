// Runs of characters converted on local pointers, without the per-character policy
// calls: lead bytes classified once per call, two-byte characters through the lead's
// cached trie leaf, UTF-8 decoded and encoded inline, ASCII eight bytes at a time.
// Each run stops before anything it does not cover (end of room, a cut or unusual
// character, a replacement that must be reported), so the loop's character step takes
// over and the result is the same as the plain loop's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "charset/conversion/maps.h"
#include "charset/conversion/text_forms.h"

namespace pl {

namespace fast {

inline size_t smallest(size_t a, size_t b) { return a < b ? a : b; }

// Eight bytes that are all below 0x80.
inline bool ascii8(const uint8_t *s) {
  uint64_t word;
  std::memcpy(&word, s, 8);
  return (word & 0x8080808080808080u) == 0;
}

// Sixteen bytes that are all below 0x80.
inline bool ascii16(const uint8_t *s) {
  uint64_t a, b;
  std::memcpy(&a, s, 8);
  std::memcpy(&b, s + 8, 8);
  return ((a | b) & 0x8080808080808080u) == 0;
}

// Eight units that are all below 0x80.
inline bool ascii8_units(const PLUChar *s) {
  uint64_t a, b;
  std::memcpy(&a, s, 8);
  std::memcpy(&b, s + 4, 8);
  return ((a | b) & 0xFF80FF80FF80FF80u) == 0;
}

// Whole vectors: the compiler widens and narrows them in a few instructions.
typedef uint8_t Bytes16 __attribute__((vector_size(16)));
typedef uint16_t Units16 __attribute__((vector_size(32)));
typedef uint8_t Bytes8 __attribute__((vector_size(8)));
typedef uint16_t Units8 __attribute__((vector_size(16)));

inline void widen16(const uint8_t *s, PLUChar *out) {
  Bytes16 bytes;
  std::memcpy(&bytes, s, 16);
  Units16 units = __builtin_convertvector(bytes, Units16);
  std::memcpy(out, &units, 32);
}

inline void narrow8(const PLUChar *s, uint8_t *out) {
  Units8 units;
  std::memcpy(&units, s, 16);
  Bytes8 bytes = __builtin_convertvector(units, Bytes8);
  std::memcpy(out, &bytes, 8);
}

struct Done {
  size_t read, written, chars;
};

// Characters of a stateless code set, one unit each, within `n` bytes and `room`
// units (which also bounds the characters).
Done decode_chars(Decoder &decoder, const uint8_t *s, size_t n, PLUChar *out, size_t room);
// UTF-16 units that are characters of their own (no surrogates) to a stateless code
// set, within `room` bytes; `n` bounds the units and the characters.
Done encode_units(const Encoder &encoder, const PLUChar *s, size_t n, uint8_t *out, size_t room);
// Characters of one stateless code set to another within `n` bytes, `room` bytes and
// `chars` characters, stopping before any character the map would report or map
// from U+FFFD.
Done across_chars(Decoder &decoder, const Encoder &encoder, uint32_t replacement_value,
                  const uint8_t *s, size_t n, uint8_t *out, size_t room, size_t chars);

}  // namespace fast

template <class Source, class Sink, class Map>
struct FastRun {
  static void run(Source &, Sink &, Map &) {}
};

template <>
struct FastRun<ByteSource, UnitSink, DecodeMap> {
  static void run(ByteSource &source, UnitSink &sink, DecodeMap &) {
    Decoder &decoder = source.decoder();
    if (decoder.stateful()) return;
    size_t room = fast::smallest(sink.room().units - sink.written(),
                                 fast::smallest(source.span().chars - source.chars(),
                                                sink.room().chars - sink.chars()));
    fast::Done done = fast::decode_chars(decoder, source.data() + source.read(),
                                         source.span().units - source.read(),
                                         sink.data() + sink.written(), room);
    source.skip(done.read, done.chars);
    sink.skip(done.written, done.chars);
  }
};

template <>
struct FastRun<UnitSource, ByteSink, EncodeMap> {
  static void run(UnitSource &source, ByteSink &sink, EncodeMap &map) {
    if (sink.stateful()) return;
    size_t n = fast::smallest(source.span().units - source.read(),
                              fast::smallest(source.span().chars - source.chars(),
                                             sink.room().chars - sink.chars()));
    fast::Done done =
        fast::encode_units(map.encoder, source.data() + source.read(), n,
                           sink.data() + sink.written(), sink.room().units - sink.written());
    source.skip(done.read, done.chars);
    sink.skip(done.written, done.chars);
  }
};

template <>
struct FastRun<ByteSource, ByteSink, AcrossMap> {
  static void run(ByteSource &source, ByteSink &sink, AcrossMap &map) {
    if (sink.stateful() || source.decoder().stateful()) return;
    size_t chars = fast::smallest(source.span().chars - source.chars(),
                                  sink.room().chars - sink.chars());
    fast::Done done = fast::across_chars(
        source.decoder(), map.encoder, map.replacement_value, source.data() + source.read(),
        source.span().units - source.read(), sink.data() + sink.written(),
        sink.room().units - sink.written(), chars);
    source.skip(done.read, done.chars);
    sink.skip(done.written, done.chars);
  }
};

}  // namespace pl
