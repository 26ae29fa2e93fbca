// What a sink receives for a source's character: its Unicode value, its packed form
// in the same code set, or its form in another code set.
#pragma once

#include <cstdint>

#include "charset/conversion/encoder.h"
#include "charset/conversion/text_forms.h"
#include "charset/unicode_value.h"

namespace pl {

// A character of a code set to its Unicode value.
struct DecodeMap {
  template <class Source>
  uint32_t operator()(Source &source, const typename Source::Char &c) {
    return source.unicode(c);
  }
};

// Bytes and packed characters of one code set.
struct SameMap {
  template <class Source>
  uint32_t operator()(Source &source, const typename Source::Char &c) {
    return source.packed(c);
  }
};

// UTF-16 to a code set: a lone high surrogate is the replacement byte.
struct EncodeMap {
  const Encoder &encoder;
  uint32_t operator()(UnitSource &, const UnitSource::Char &c) {
    return c.lone_high ? encoder.replacement() : encoder.packed(c.value);
  }
};

// One code set to another through Unicode. U+FFFD becomes the replacement byte; a
// replacement byte for any character but the one it stands for is noted.
struct AcrossMap {
  const Encoder &encoder;
  uint32_t replacement_value;
  bool replaced = false;

  template <class Source>
  uint32_t operator()(Source &source, const typename Source::Char &c) {
    uint32_t value = source.unicode(c);
    uint32_t packed =
        value == kReplacementCharacter ? encoder.replacement() : encoder.packed(value);
    if (packed == encoder.replacement() && value != replacement_value) replaced = true;
    return packed;
  }
};

}  // namespace pl
