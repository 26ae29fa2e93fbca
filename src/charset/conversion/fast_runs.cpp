#include "charset/conversion/fast_runs.h"

#include "charset/unicode_value.h"

namespace pl::fast {

namespace {

inline bool is_surrogate(uint32_t unit) { return (unit & 0xF800) == 0xD800; }

// Characters of a table-driven code set; reads two bytes at each position.
class TableIn {
 public:
  static constexpr size_t kLookahead = 2;

  explicit TableIn(Decoder &decoder)
      : decoder_(decoder),
        kinds_(decoder.kinds()),
        steps_(decoder.steps()),
        units_(decoder.unicode_table()),
        results_(decoder.results()),
        count_(decoder.result_count()) {}

  // The length of the character at `s` and its value; 0 to stop before it.
  unsigned next(const uint8_t *s, uint32_t &value) {
    for (;;) {
      uint8_t b = s[0], t = s[1];
      Decoder::Kind kind = kinds_[b];
      if (kind > Decoder::kGbPair) {
        if (kind < Decoder::kNewPair) return 0;
        decoder_.resolve(b);
        continue;
      }
      if (kind == Decoder::kGbPair && t < 0x40) return 0;
      // Both readings, then a choice: one-byte and two-byte characters alternate
      // unpredictably in mixed text.
      const Decoder::Step &step = steps_[b];
      size_t index = size_t{static_cast<uint8_t>(step.mask & t)} + step.base;
      uint32_t pair = t >= step.lowest && t <= step.highest && index < count_
                          ? read_u16(results_ + 2 * index)
                          : kReplacementCharacter;
      bool single = kind == Decoder::kSingle;
      value = single ? read_u16(units_ + 2u * b) : pair;
      return single ? 1 : 2;
    }
  }

 private:
  Decoder &decoder_;
  const Decoder::Kind *kinds_;
  const Decoder::Step *steps_;
  const uint8_t *units_;
  const uint8_t *results_;
  size_t count_;
};

// UTF-8 of one to three bytes, validated as the plain path's fast step validates.
class Utf8In {
 public:
  static constexpr size_t kLookahead = 3;

  explicit Utf8In(Decoder &decoder)
      : kinds_(decoder.kinds()), units_(decoder.unicode_table()) {}

  unsigned next(const uint8_t *s, uint32_t &value) {
    uint8_t b = s[0];
    Decoder::Kind kind = kinds_[b];
    if (kind == Decoder::kSingle) {
      value = read_u16(units_ + 2u * b);
      return 1;
    }
    if (kind == Decoder::kUtf8Three) {
      if ((s[1] & 0xC0) != 0x80 || (s[2] & 0xC0) != 0x80) return 0;
      value = (b & 0x0Fu) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3F);
      return value >= 0x800 ? 3 : 0;
    }
    if (kind == Decoder::kUtf8Two) {
      if ((s[1] & 0xC0) != 0x80) return 0;
      value = (b & 0x1Fu) << 6 | (s[1] & 0x3F);
      return 2;
    }
    return 0;
  }

 private:
  const Decoder::Kind *kinds_;
  const uint8_t *units_;
};

// The next character of `n` bytes at `s`: near the end through a zero-padded copy,
// so nothing past the input is read; a character longer than what is left stops.
template <class In>
inline unsigned next_char(In &in, const uint8_t *s, size_t n, uint32_t &value) {
  if (n >= In::kLookahead) return in.next(s, value);
  uint8_t padded[In::kLookahead] = {};
  std::memcpy(padded, s, n);
  unsigned length = in.next(padded, value);
  return length <= n ? length : 0;
}

// The bytes of a packed character if they fit in `left`; 0 otherwise.
inline size_t put_packed(uint32_t packed, uint8_t *out, size_t left) {
  if (packed <= 0xFF) {
    if (left < 1) return 0;
    out[0] = static_cast<uint8_t>(packed);
    return 1;
  }
  if (packed <= 0xFFFF) {
    if (left < 2) return 0;
    out[0] = static_cast<uint8_t>(packed >> 8);
    out[1] = static_cast<uint8_t>(packed);
    return 2;
  }
  size_t count = packed > 0xFFFFFF ? 4 : 3;
  if (left < count) return 0;
  for (size_t k = 0; k < count; ++k) out[k] = static_cast<uint8_t>(packed >> (8 * (count - 1 - k)));
  return count;
}

// Units of a table-driven code set. With `report`, a unit that becomes the
// replacement byte without being the replacement character stops the run: the
// map's character step notes it.
class TableOut {
 public:
  TableOut(const Encoder &encoder, bool report, uint32_t replacement_value)
      : encoder_(encoder),
        report_(report),
        replacement_(encoder.replacement()),
        replacement_value_(replacement_value) {}
  size_t put(uint32_t unit, uint8_t *out, size_t left) const {
    uint32_t packed = encoder_.run_packed(unit);
    if (report_ && packed == replacement_ && unit != replacement_value_) return 0;
    return put_packed(packed, out, left);
  }

 private:
  const Encoder &encoder_;
  bool report_;
  uint32_t replacement_, replacement_value_;
};

// Units (no surrogates) as UTF-8.
class Utf8Out {
 public:
  static size_t put(uint32_t unit, uint8_t *out, size_t left) {
    if (unit < 0x80) {
      if (left < 1) return 0;
      out[0] = static_cast<uint8_t>(unit);
      return 1;
    }
    if (unit < 0x800) {
      if (left < 2) return 0;
      out[0] = static_cast<uint8_t>(0xC0 | unit >> 6);
      out[1] = static_cast<uint8_t>(0x80 | (unit & 0x3F));
      return 2;
    }
    if (left < 3) return 0;
    out[0] = static_cast<uint8_t>(0xE0 | unit >> 12);
    out[1] = static_cast<uint8_t>(0x80 | (unit >> 6 & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | (unit & 0x3F));
    return 3;
  }
};

template <class In>
Done decode_run(In in, bool ascii, const uint8_t *s, size_t n, PLUChar *out, size_t room) {
  size_t i = 0, w = 0;
  while (w < room && i < n) {
    if (ascii && s[i] < 0x80) {
      while (n - i >= 16 && room - w >= 16 && ascii16(s + i)) {
        widen16(s + i, out + w);
        i += 16;
        w += 16;
      }
      if (w == room || i == n) break;
    }
    uint32_t value;
    unsigned length = next_char(in, s + i, n - i, value);
    if (length == 0) break;
    out[w++] = static_cast<PLUChar>(value);
    i += length;
  }
  return {i, w, w};
}

// Every byte a character of its own: the byte table alone, four units to a store,
// without branches that mixed text would mispredict. The table is copied once into
// aligned units, so each byte takes one load.
Done decode_single(const Decoder &decoder, const uint8_t *s, size_t n, PLUChar *out,
                   size_t room) {
  const uint8_t *units = decoder.unicode_table();
  alignas(64) PLUChar table[256];
  for (size_t b = 0; b < 256; ++b) table[b] = read_u16(units + 2 * b);
  size_t end = smallest(n, room), i = 0;
  for (; end - i >= 8; i += 8) {
    const uint8_t *b = s + i;
    Units8 block = {table[b[0]], table[b[1]], table[b[2]], table[b[3]],
                    table[b[4]], table[b[5]], table[b[6]], table[b[7]]};
    std::memcpy(out + i, &block, 16);
  }
  for (; i < end; ++i) out[i] = table[s[i]];
  return {end, end, end};
}

template <class Out>
Done encode_run(const Out &to, bool ascii, const PLUChar *s, size_t n, uint8_t *out,
                size_t room) {
  size_t i = 0, w = 0;
  while (i < n) {
    uint32_t unit = s[i];
    if (ascii && unit < 0x80) {
      while (n - i >= 8 && room - w >= 8 && ascii8_units(s + i)) {
        narrow8(s + i, out + w);
        i += 8;
        w += 8;
      }
      if (i == n) break;
      unit = s[i];
    }
    if (is_surrogate(unit)) break;
    size_t bytes = to.put(unit, out + w, room - w);
    if (bytes == 0) break;
    w += bytes;
    ++i;
  }
  return {i, w, i};
}

// Eight units of a single-byte code set: units below 0x100 through the encoder's
// table of them, in registers and without branches; the rest, rare in text, each
// through the table. False, with nothing written, when one is a surrogate or takes
// more than one byte.
inline bool bytes8(const Encoder &encoder, const PLUChar *s, uint8_t *out) {
  const uint16_t *low = encoder.low_units();
  Units8 units;
  std::memcpy(&units, s, 16);
  Units8 packed = {low[units[0] & 0xFF], low[units[1] & 0xFF], low[units[2] & 0xFF],
                   low[units[3] & 0xFF], low[units[4] & 0xFF], low[units[5] & 0xFF],
                   low[units[6] & 0xFF], low[units[7] & 0xFF]};
  // Lanes above 0xFF: a unit of 0x100 or more, or one that does not take one byte.
  Units8 above = (packed | units) & 0xFF00;
  uint64_t halves[2];
  std::memcpy(halves, &above, 16);
  Bytes8 block = __builtin_convertvector(packed, Bytes8);
  if ((halves[0] | halves[1]) != 0) {
    for (size_t k = 0; k < 8; ++k) {
      if (above[k] == 0) continue;
      if (units[k] <= 0xFF || is_surrogate(units[k])) return false;
      uint32_t value = encoder.run_packed(units[k]);
      if (value > 0xFF) return false;
      block[k] = static_cast<uint8_t>(value);
    }
  }
  std::memcpy(out, &block, 8);
  return true;
}

// Units to a single-byte code set: blocks of eight, the unit step for a block that
// does not fit and for the tail.
Done encode_bytes(const Encoder &encoder, const PLUChar *s, size_t n, uint8_t *out,
                  size_t room) {
  TableOut to(encoder, false, 0);
  size_t i = 0, w = 0;
  while (i < n) {
    if (n - i >= 8 && room - w >= 8 && bytes8(encoder, s + i, out + w)) {
      i += 8;
      w += 8;
      continue;
    }
    if (is_surrogate(s[i])) break;
    size_t bytes = to.put(s[i], out + w, room - w);
    if (bytes == 0) break;
    w += bytes;
    ++i;
  }
  return {i, w, i};
}

template <class In, class Out>
Done across_run(In in, const Out &to, bool ascii, const uint8_t *s, size_t n, uint8_t *out,
                size_t room, size_t chars) {
  size_t i = 0, w = 0, count = 0;
  while (i < n && count < chars) {
    if (ascii && s[i] < 0x80) {
      while (n - i >= 8 && room - w >= 8 && chars - count >= 8 && ascii8(s + i)) {
        std::memcpy(out + w, s + i, 8);
        i += 8;
        w += 8;
        count += 8;
      }
      if (i == n || count == chars) break;
    }
    uint32_t value;
    unsigned length = next_char(in, s + i, n - i, value);
    if (length == 0 || value == kReplacementCharacter || is_surrogate(value)) break;
    size_t bytes = to.put(value, out + w, room - w);
    if (bytes == 0) break;
    w += bytes;
    i += length;
    ++count;
  }
  return {i, w, count};
}

template <class In>
Done across_to(In in, const Encoder &encoder, uint32_t replacement_value, const uint8_t *s,
               size_t n, uint8_t *out, size_t room, size_t chars, bool ascii) {
  if (encoder.utf8()) return across_run(in, Utf8Out(), ascii, s, n, out, room, chars);
  return across_run(in, TableOut(encoder, true, replacement_value), ascii, s, n, out, room,
                    chars);
}

}  // namespace

Done decode_chars(Decoder &decoder, const uint8_t *s, size_t n, PLUChar *out, size_t room) {
  if (decoder.utf8()) return decode_run(Utf8In(decoder), decoder.ascii_identity(), s, n, out, room);
  if (decoder.single_bytes()) return decode_single(decoder, s, n, out, room);
  return decode_run(TableIn(decoder), decoder.ascii_identity(), s, n, out, room);
}

Done encode_units(const Encoder &encoder, const PLUChar *s, size_t n, uint8_t *out, size_t room) {
  if (encoder.utf8()) return encode_run(Utf8Out(), true, s, n, out, room);
  if (encoder.single_bytes()) return encode_bytes(encoder, s, n, out, room);
  return encode_run(TableOut(encoder, false, 0), encoder.ascii_identity(), s, n, out, room);
}

Done across_chars(Decoder &decoder, const Encoder &encoder, uint32_t replacement_value,
                  const uint8_t *s, size_t n, uint8_t *out, size_t room, size_t chars) {
  bool ascii = decoder.ascii_identity() && encoder.ascii_identity();
  if (decoder.utf8())
    return across_to(Utf8In(decoder), encoder, replacement_value, s, n, out, room, chars, ascii);
  return across_to(TableIn(decoder), encoder, replacement_value, s, n, out, room, chars, ascii);
}

}  // namespace pl::fast
