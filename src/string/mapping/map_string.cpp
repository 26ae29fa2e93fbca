#include "string/mapping/map_string.h"

#include <algorithm>

#include "charset/conversion/decoder.h"
#include "charset/conversion/text_forms.h"
#include "charset/unicode/unicode_types.h"
#include "charset/unicode_value.h"
#include "string/mapping/case_pairs.h"
#include "string/mapping/codeset_mapping.h"
#include "string/ops/char_copy.h"
#include "string/ops/element_ops.h"
#include "string/ops/string_ops.h"
#include "string/ops/string_walk.h"
#include "string/unicode/case_pages.h"
#include "string/unicode/unicode_mapping.h"

namespace pl {
namespace {

// What one character maps to: one to three characters (or units), and whether the
// character after it was taken too (a two-unit language pair).
struct Mapped {
  uint32_t c[3];
  int n;
  bool both;
};

Mapped one(uint32_t c) { return {{c, 0, 0}, 1, false}; }

// The `n` units at `units`, each made a character by `make`; false when one cannot be.
template <class Make>
bool made(const uint16_t *units, int n, bool both, Make make, Mapped *out) {
  *out = {{0, 0, 0}, n, both};
  for (int i = 0; i < n; ++i)
    if (!make(units[i], &out->c[i])) return false;
  return true;
}

// The language pair of `u` (alone, then with the next character's unit, which `peek`
// gives, 0 when there is none), with each result unit made a character by `make`.
template <class Peek, class Make>
bool pair_of(const CasePairs &pairs, uint32_t u, Peek peek, Make make, Mapped *out) {
  if (pairs.empty() || u > 0xFFFF) return false;
  uint16_t results[2];
  int n = pairs.find(static_cast<uint16_t>(u), 0, results);
  bool both = false;
  if (n == 0) {
    uint32_t v = peek();
    if (v == 0 || v > 0xFFFF) return false;
    n = pairs.find(static_cast<uint16_t>(u), static_cast<uint16_t>(v), results);
    both = true;
  }
  return n != 0 && made(results, n, both, make, out);
}

// The multi-unit uppercase of `u`, each unit made a character by `make`.
template <class Make>
bool special_of(uint32_t u, Make make, Mapped *out) {
  uint16_t units[3];
  int n = u <= 0xFFFF ? special_upper(static_cast<uint16_t>(u), units) : 0;
  return n != 0 && made(units, n, false, make, out);
}

// Maps the packed characters of a code set.
class CharMapper {
 public:
  CharMapper(const PLLocale &handle, Mapping mapping)
      : mapping_(mapping),
        chars_(*handle.codeset),
        pairs_(handle.language, mapping == Mapping::upper) {}

  uint32_t unicode(uint32_t packed) const { return chars_.unicode(packed); }

  template <class Peek>
  Mapped map(uint32_t packed, Peek peek) const {
    auto make = [this](uint32_t unit, uint32_t *c) { return chars_.encode(unit, c); };
    Mapped out;
    switch (mapping_) {
      case Mapping::upper_simple: return one(chars_.upper(packed));
      case Mapping::lower_simple: return one(chars_.lower(packed));
      case Mapping::fullwidth: return one(chars_.fullwidth(packed));
      case Mapping::halfwidth: return one(chars_.halfwidth(packed));
      case Mapping::digits: {
        if (!chars_.is_digit(packed)) return one(packed);
        uint32_t c, digit = unicode_digit(static_cast<uint16_t>(unicode(packed)));
        return digit != 0 && chars_.encode(digit, &c) ? one(c) : one(packed);
      }
      case Mapping::upper: {
        uint32_t u = unicode(packed);
        return special_of(u, make, &out) || pair_of(pairs_, u, peek, make, &out)
                   ? out
                   : one(chars_.upper(packed));
      }
      case Mapping::lower:
        return pair_of(pairs_, unicode(packed), peek, make, &out) ? out : one(chars_.lower(packed));
      case Mapping::copy: break;
    }
    return one(packed);
  }

 private:
  Mapping mapping_;
  CodesetMapping chars_;
  CasePairs pairs_;
};

// The one loop over a source of characters and a sink; false when the sink filled
// up before the source ended.
template <class Source, class Sink>
bool map_chars(Source &source, Sink &sink, const CharMapper &mapper) {
  typename Source::Char c{}, d{};
  while (source.next(c) == Next::kChar) {
    source.take(c);
    bool peeked = false;
    auto peek = [&]() -> uint32_t {
      peeked = source.next(d) == Next::kChar;
      return peeked ? mapper.unicode(source.packed(d)) : 0;
    };
    Mapped out = mapper.map(source.packed(c), peek);
    if (!sink.fits_all(out.c, out.n)) {
      source.untake(c);
      return false;
    }
    for (int i = 0; i < out.n; ++i) sink.put(out.c[i]);
    if (out.both && peeked) source.take(d);
  }
  return true;
}

// The one-to-one case mapping of a unit by its distance, or false for a unit with a
// special uppercase.
struct QuickCase {
  bool upper;

  bool map(uint32_t u, uint32_t *out) const {
    uint16_t unit = static_cast<uint16_t>(u);
    int32_t d = upper ? kUpperDistances.distance(unit) : kLowerDistances.distance(unit);
    *out = u + static_cast<uint32_t>(d);
    return d != kSpecialCase;
  }
};

bool quick_case(Mapping mapping, QuickCase *quick) {
  switch (mapping) {
    case Mapping::upper:
    case Mapping::upper_simple: *quick = {true}; return true;
    case Mapping::lower:
    case Mapping::lower_simple: *quick = {false}; return true;
    default: return false;
  }
}

// The fixed part of every U-form mapping: one unit to one.
uint32_t map_unit(Mapping mapping, uint32_t u) {
  switch (mapping) {
    case Mapping::upper_simple:
    case Mapping::upper: return unicode_upper(static_cast<uint16_t>(u));
    case Mapping::lower_simple:
    case Mapping::lower: return unicode_lower(static_cast<uint16_t>(u));
    case Mapping::fullwidth: return unicode_fullwidth(static_cast<uint16_t>(u));
    case Mapping::halfwidth: return unicode_halfwidth(static_cast<uint16_t>(u));
    case Mapping::digits: {
      uint16_t digit = unicode_digit(static_cast<uint16_t>(u));
      return digit != 0 && unicode_is(UnicodeClass::digit, static_cast<uint16_t>(u)) ? digit : u;
    }
    case Mapping::copy: break;
  }
  return u;
}

}  // namespace

bool mapping_of(int32_t selector, Mapping *mapping) {
  switch (selector) {
    case 0:
    case PL_MAP_COPY: *mapping = Mapping::copy; return true;
    case PL_MAP_FULLWIDTH: *mapping = Mapping::fullwidth; return true;
    case PL_MAP_HALFWIDTH: *mapping = Mapping::halfwidth; return true;
    case PL_MAP_LOWER: *mapping = Mapping::lower; return true;
    case PL_MAP_UPPER: *mapping = Mapping::upper; return true;
    case PL_MAP_LOWER_SIMPLE: *mapping = Mapping::lower_simple; return true;
    case PL_MAP_UPPER_SIMPLE: *mapping = Mapping::upper_simple; return true;
    case PL_MAP_DIGITS: *mapping = Mapping::digits; return true;
    default: return false;
  }
}

int32_t map_string(const PLLocale &handle, const TextRules &rules, Mapping mapping, char *dst,
                   PLState dst_state, int32_t dst_size, const char *src, PLState src_state,
                   int32_t src_len, bool count_chars) {
  if (mapping == Mapping::copy)
    return string_copy(rules, Path::fast, dst, dst_state, dst_size, src, src_state, src_len,
                       count_chars);
  if (src_len == 0 || dst_size < 1) return 0;
  size_t extent = byte_extent(rules, src, src_state, src_len, count_chars, true);
  // Characters are counted in whole output: mapped into a bounded work buffer first.
  constexpr size_t kWorkBytes = 512;
  uint8_t work[kWorkBytes];
  size_t room = static_cast<size_t>(dst_size);
  if (count_chars) room = room > kWorkBytes / 6 ? kWorkBytes : room * 6;
  uint8_t *out = count_chars ? work : as_bytes(dst);

  Decoder decoder(*handle.codeset, Path::fast);
  ByteSource source(decoder, as_bytes(src), {extent, kNoLimit, false}, src_state);
  ByteSink sink(rules.set, out, {room, kNoLimit}, dst_state, false);
  bool whole = map_chars(source, sink, CharMapper(handle, mapping));
  // Output cut short, or of a source that closed its shifted text, is closed too.
  if (sink.stateful() && (!whole || source.state() == kSingleByteState)) sink.close(0);
  if (!count_chars) return static_cast<int32_t>(sink.written());
  Copied copied = copy_chars(rules, as_bytes(dst), dst_state, kNoLimit, static_cast<size_t>(dst_size),
                             work, sink.written(), dst_state);
  return static_cast<int32_t>(copied.chars);
}

int32_t map_packed(const PLLocale &handle, Mapping mapping, PLWChar *dst, int32_t dst_size,
                   const PLWChar *src, int32_t src_len) {
  if (mapping == Mapping::copy) return element_copy(dst, dst_size, src, src_len);
  if (src_len == 0 || dst_size < 1) return 0;
  Decoder decoder(*handle.codeset, Path::reference);
  PackedSource source(decoder, src, {element_extent(src, src_len, true), kNoLimit, false});
  PackedSink sink(dst, {static_cast<size_t>(dst_size), kNoLimit});
  map_chars(source, sink, CharMapper(handle, mapping));
  return static_cast<int32_t>(sink.written());
}

int32_t map_units(const PLLocale &handle, Mapping mapping, PLUChar *dst, int32_t dst_size,
                  const PLUChar *src, int32_t src_len) {
  if (mapping == Mapping::copy) return element_copy(dst, dst_size, src, src_len);
  if (src_len == 0 || dst_size < 1) return 0;
  size_t n = element_extent(src, src_len, true), room = static_cast<size_t>(dst_size);
  bool expands = mapping == Mapping::upper || mapping == Mapping::lower;
  CasePairs pairs(handle.language, mapping == Mapping::upper);
  size_t in = 0, written = 0;
  // A case mapping without language pairs takes whole stretches from the quick tables.
  QuickCase quick;
  bool quick_path = pairs.empty() && quick_case(mapping, &quick);
  while (in < n && written < room) {
    if (quick_path) {
      size_t stop = in + std::min(n - in, room - written);
      uint32_t v;
      while (in < stop && quick.map(src[in], &v)) {
        dst[written++] = static_cast<PLUChar>(v);
        ++in;
      }
      if (in == stop) continue;
    }
    uint32_t u = src[in];
    if (!expands) {
      dst[written++] = static_cast<PLUChar>(map_unit(mapping, u));
      ++in;
      continue;
    }
    auto make = [](uint32_t unit, uint32_t *c) {
      *c = unit;
      return true;
    };
    auto peek = [&]() -> uint32_t { return in + 1 < n ? src[in + 1] : 0; };
    Mapped out;
    if (!((mapping == Mapping::upper && special_of(u, make, &out)) ||
          pair_of(pairs, u, peek, make, &out)))
      out = one(map_unit(mapping, u));
    if (static_cast<size_t>(out.n) > room - written) break;
    for (int i = 0; i < out.n; ++i) dst[written++] = static_cast<PLUChar>(out.c[i]);
    in += out.both ? 2 : 1;
  }
  // A pair cut in half is not left behind.
  if (written > 0 && is_high_surrogate(dst[written - 1])) dst[--written] = 0;
  return static_cast<int32_t>(written);
}

}  // namespace pl
