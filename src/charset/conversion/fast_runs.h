// Runs of characters converted without the per-character policy calls: one-byte
// characters through the byte table, ASCII eight bytes at a time, UTF-16 units that
// need no pairing. Each run stops before anything it does not cover, so the loop's
// character step takes over and the result is the same as the plain loop's.
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

// Four units that are all below 0x80.
inline bool ascii4(const PLUChar *s) {
  uint64_t word;
  std::memcpy(&word, s, 8);
  return (word & 0xFF80FF80FF80FF80u) == 0;
}

// Characters a run may convert: what both sides still allow.
template <class Source, class Sink>
size_t run_limit(const Source &source, const Sink &sink) {
  size_t n = smallest(source.span().units - source.read(), sink.room().units - sink.written());
  return smallest(n, smallest(source.span().chars - source.chars(),
                              sink.room().chars - sink.chars()));
}

struct DecodedRun {
  size_t bytes, units, chars;
};
// Characters of a stateless code set that give one unit each, within `n` bytes,
// `room` units and `chars` characters.
DecodedRun decode_chars(Decoder &decoder, const uint8_t *s, size_t n, PLUChar *out, size_t room,
                        size_t chars);
// UTF-16 units that are characters of their own (no surrogates) to a stateless code
// set, as long as their bytes fit in `room`; `units` receives how many.
size_t encode_units(const Encoder &encoder, const PLUChar *s, size_t n, uint8_t *out, size_t room,
                    size_t *units);
// ASCII bytes copied between two code sets that both keep ASCII as it is.
size_t copy_ascii(const uint8_t *s, size_t n, uint8_t *out);

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
    fast::DecodedRun done = fast::decode_chars(
        decoder, source.data() + source.read(), source.span().units - source.read(),
        sink.data() + sink.written(), sink.room().units - sink.written(),
        fast::smallest(source.span().chars - source.chars(), sink.room().chars - sink.chars()));
    source.skip(done.bytes, done.chars);
    sink.skip(done.units, done.chars);
  }
};

template <>
struct FastRun<UnitSource, ByteSink, EncodeMap> {
  static void run(UnitSource &source, ByteSink &sink, EncodeMap &map) {
    if (sink.stateful()) return;
    size_t n = fast::run_limit(source, sink);
    if (n == 0) return;
    size_t units = 0;
    size_t bytes = fast::encode_units(map.encoder, source.data() + source.read(), n,
                                      sink.data() + sink.written(),
                                      sink.room().units - sink.written(), &units);
    source.skip(units, units);
    sink.skip(bytes, units);
  }
};

template <>
struct FastRun<ByteSource, ByteSink, AcrossMap> {
  static void run(ByteSource &source, ByteSink &sink, AcrossMap &map) {
    if (sink.stateful() || source.decoder().stateful() || !source.decoder().ascii_identity() ||
        !map.encoder.ascii_identity())
      return;
    size_t n = fast::run_limit(source, sink);
    if (n == 0) return;
    size_t done =
        fast::copy_ascii(source.data() + source.read(), n, sink.data() + sink.written());
    source.skip(done, done);
    sink.skip(done, done);
  }
};

}  // namespace pl
