// The forms text takes on either side of a conversion: bytes of a code set (with the
// shift state of a stateful one), UTF-16 units and packed characters. A source steps
// one character at a time and can give it back; a sink writes one character if it
// fits. The conversion loop (transcode.h) is written once over these.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/conversion/decoder.h"
#include "charset/conversion/encoder.h"
#include "charset/packed_char.h"
#include "charset/shift_rule.h"
#include "charset/unicode_value.h"
#include "polyloc.h"

namespace pl {

// Why a source gave no character, or kChar; kFull when the sink had no room for it.
enum class Next { kChar, kEnd, kCut, kLimit, kFull };

// How far a source may be read: units (bytes, UTF-16 units or elements) and
// characters; `nul` marks a source measured up to its terminating NUL.
struct SourceSpan {
  size_t units = kNoLimit;
  size_t chars = kNoLimit;
  bool nul = false;
};

// Bytes of a code set. Shift runs are consumed with the character after them, and at
// the end of the input or in front of a cut character.
class ByteSource {
 public:
  struct Char {
    size_t at;        // first byte of the character
    uint8_t length;   // its bytes
    size_t advance;   // shift run and character
    PLState before;   // state before the run
    PLState state;    // state after it
  };

  ByteSource(Decoder &decoder, const uint8_t *s, SourceSpan span, PLState state)
      : decoder_(decoder), s_(s), span_(span), state_(decoder.stateful() && state ? 1 : 0) {}

  Next next(Char &c) {
    if (chars_ >= span_.chars) return Next::kLimit;
    size_t left = span_.units - at_;
    if (left == 0) return Next::kEnd;
    Measured m = decoder_.measure(s_ + at_, left, state_);
    if (m.length == 0 || m.cut) {
      at_ += m.shift;
      state_ = m.state;
      return m.length == 0 ? Next::kEnd : Next::kCut;
    }
    c = {at_ + m.shift, m.length, m.shift + m.length, state_, m.state};
    return Next::kChar;
  }
  uint32_t unicode(const Char &c) { return decoder_.unicode(s_ + c.at, c.length, c.state); }
  uint32_t packed(const Char &c) const { return pack_char(s_ + c.at, c.length); }
  void take(const Char &c) {
    at_ += c.advance;
    state_ = c.state;
    ++chars_;
  }
  void untake(const Char &c) {
    at_ -= c.advance;
    state_ = c.before;
    --chars_;
  }

  Decoder &decoder() { return decoder_; }
  const uint8_t *data() const { return s_; }
  const SourceSpan &span() const { return span_; }
  size_t read() const { return at_; }
  size_t chars() const { return chars_; }
  PLState state() const { return state_; }
  // Moves over `chars` characters in `units` bytes that a fast run converted.
  void skip(size_t units, size_t chars) {
    at_ += units;
    chars_ += chars;
  }

 private:
  Decoder &decoder_;
  const uint8_t *s_;
  SourceSpan span_;
  PLState state_;
  size_t at_ = 0;
  size_t chars_ = 0;
};

// Packed characters of a code set, one per element.
class PackedSource {
 public:
  struct Char {
    uint32_t packed;
  };

  PackedSource(Decoder &decoder, const PLWChar *s, SourceSpan span)
      : decoder_(decoder), s_(s), span_(span) {}

  Next next(Char &c) {
    if (at_ >= span_.chars) return Next::kLimit;
    if (at_ >= span_.units) return Next::kEnd;
    c.packed = s_[at_];
    return Next::kChar;
  }
  uint32_t unicode(const Char &c) {
    PackedBytes bytes = unpack_char(c.packed);
    return decoder_.unicode(bytes.bytes, bytes.count, bytes.count == 1 ? 0 : 1);
  }
  uint32_t packed(const Char &c) const { return c.packed; }
  void take(const Char &) { ++at_; }
  void untake(const Char &) { --at_; }

  const SourceSpan &span() const { return span_; }
  size_t read() const { return at_; }
  size_t chars() const { return at_; }
  PLState state() const { return 0; }

 private:
  Decoder &decoder_;
  const PLWChar *s_;
  SourceSpan span_;
  size_t at_ = 0;
};

// UTF-16 units. With pairing, a high surrogate followed by a low one is one character
// and a high surrogate without its low one is marked lone; without pairing every unit
// is a character of its own.
class UnitSource {
 public:
  struct Char {
    uint32_t value;
    uint8_t units;
    bool lone_high;
  };

  UnitSource(const PLUChar *s, SourceSpan span, bool pairing)
      : s_(s), span_(span), pairing_(pairing) {}

  Next next(Char &c) {
    if (chars_ >= span_.chars) return Next::kLimit;
    if (at_ >= span_.units) return Next::kEnd;
    uint32_t unit = s_[at_];
    c = {unit, 1, false};
    if (pairing_ && is_high_surrogate(unit)) {
      if (at_ + 1 < span_.units && is_low_surrogate(s_[at_ + 1]))
        c = {pack_surrogates(unit, s_[at_ + 1]), 2, false};
      else
        c.lone_high = true;
    }
    return Next::kChar;
  }
  void take(const Char &c) {
    at_ += c.units;
    ++chars_;
  }
  void untake(const Char &c) {
    at_ -= c.units;
    --chars_;
  }

  const PLUChar *data() const { return s_; }
  const SourceSpan &span() const { return span_; }
  size_t read() const { return at_; }
  size_t chars() const { return chars_; }
  PLState state() const { return 0; }
  void skip(size_t units, size_t chars) {
    at_ += units;
    chars_ += chars;
  }

 private:
  const PLUChar *s_;
  SourceSpan span_;
  bool pairing_;
  size_t at_ = 0;
  size_t chars_ = 0;
};

// Where a sink may write: units and characters.
struct SinkRoom {
  size_t units = kNoLimit;
  size_t chars = kNoLimit;
};

// Bytes of a code set; in a stateful one a shift byte goes in front of each change of
// character length, always together with its character.
class ByteSink {
 public:
  ByteSink(const CharsetView &set, uint8_t *out, SinkRoom room, PLState state, bool count_chars)
      : out_(out),
        room_(room),
        stateful_(set.stateful()),
        shift_out_(set.shift_out_byte()),
        shift_in_(set.shift_in_byte()),
        count_chars_(count_chars),
        state_(stateful_ && state ? 1 : 0) {}

  // Writes the character (after its shift byte) if both fit.
  bool put(uint32_t packed) {
    PackedBytes bytes = unpack_char(packed);
    size_t shift = 0;
    PLState after = state_;
    if (stateful_) {
      after = bytes.count == 1 ? kSingleByteState : kShiftedState;
      shift = after != state_ ? 1 : 0;
    }
    if (shift + bytes.count > room_.units - written_ || chars_ >= room_.chars) return false;
    last_start_ = written_;
    last_state_ = state_;
    if (shift != 0) out_[written_++] = after == kShiftedState ? shift_out_ : shift_in_;
    for (uint8_t i = 0; i < bytes.count; ++i) out_[written_++] = bytes.bytes[i];
    state_ = after;
    ++chars_;
    return true;
  }

  // Room for one more unit and character beyond what is written.
  bool has_room() const { return written_ < room_.units && chars_ < room_.chars; }
  // Whether `n` characters would all fit, with the shift bytes they need and, where
  // they end in the shifted state, room left for the shift-in that closes the text.
  bool fits_all(const uint32_t *packed, int n) const {
    size_t units = 0;
    PLState state = state_;
    for (int i = 0; i < n; ++i) {
      uint8_t count = unpack_char(packed[i]).count;
      PLState after = count == 1 ? kSingleByteState : kShiftedState;
      units += count + (stateful_ && after != state ? 1 : 0);
      state = after;
    }
    if (stateful_ && state == kShiftedState) ++units;
    return units <= room_.units - written_ && static_cast<size_t>(n) <= room_.chars - chars_;
  }
  void terminate() {
    out_[written_++] = 0;
    ++chars_;
  }

  // Leaves the shifted state: a shift-out byte at the end is dropped, else a shift-in
  // byte appended, after removing the last character when the shift-in and `after`
  // more bytes find no room. True when the last character was removed.
  bool close(size_t after) {
    if (!stateful_ || state_ == kSingleByteState) return false;
    if (written_ > 0 && out_[written_ - 1] == shift_out_) {
      --written_;
      state_ = kSingleByteState;
      return false;
    }
    bool removed = false;
    if (!fits(1 + after)) {
      if (chars_ == 0) return false;
      written_ = last_start_;
      state_ = last_state_;
      --chars_;
      removed = true;
      if (state_ == kSingleByteState || !fits(1 + after)) return removed;
    }
    out_[written_++] = shift_in_;
    state_ = kSingleByteState;
    return removed;
  }

  size_t written() const { return written_; }
  size_t chars() const { return chars_; }
  size_t result() const { return count_chars_ ? chars_ : written_; }
  PLState state() const { return state_; }
  bool stateful() const { return stateful_; }

  uint8_t *data() { return out_; }
  const SinkRoom &room() const { return room_; }
  // Counts `chars` characters in `bytes` that a fast run wrote.
  void skip(size_t bytes, size_t chars) {
    written_ += bytes;
    chars_ += chars;
  }

 private:
  uint8_t *out_;
  SinkRoom room_;
  bool stateful_;
  uint8_t shift_out_, shift_in_;
  bool count_chars_;
  PLState state_;
  size_t written_ = 0;
  size_t chars_ = 0;
  size_t last_start_ = 0;
  PLState last_state_ = 0;

  bool fits(size_t units) const { return units <= room_.units - written_; }
};

// UTF-16 units: a packed surrogate pair takes two.
class UnitSink {
 public:
  UnitSink(PLUChar *out, SinkRoom room) : out_(out), room_(room) {}

  bool put(uint32_t value) {
    size_t units = value > 0xFFFF ? 2 : 1;
    if (units > room_.units - written_ || chars_ >= room_.chars) return false;
    if (units == 2) out_[written_++] = static_cast<PLUChar>(value >> 16);
    out_[written_++] = static_cast<PLUChar>(value);
    ++chars_;
    return true;
  }
  bool has_room() const { return written_ < room_.units && chars_ < room_.chars; }
  void terminate() {
    out_[written_++] = 0;
    ++chars_;
  }
  bool close(size_t) { return false; }

  size_t written() const { return written_; }
  size_t chars() const { return chars_; }
  size_t result() const { return written_; }
  PLState state() const { return 0; }

  PLUChar *data() { return out_; }
  const SinkRoom &room() const { return room_; }
  void skip(size_t units, size_t chars) {
    written_ += units;
    chars_ += chars;
  }

 private:
  PLUChar *out_;
  SinkRoom room_;
  size_t written_ = 0;
  size_t chars_ = 0;
};

// Packed characters, one element each.
class PackedSink {
 public:
  PackedSink(PLWChar *out, SinkRoom room) : out_(out), room_(room) {}

  bool put(uint32_t packed) {
    if (written_ >= room_.units || written_ >= room_.chars) return false;
    out_[written_++] = packed;
    return true;
  }
  bool has_room() const { return written_ < room_.units && written_ < room_.chars; }
  bool fits_all(const uint32_t *, int n) const {
    return static_cast<size_t>(n) <= room_.units - written_ &&
           static_cast<size_t>(n) <= room_.chars - written_;
  }
  void terminate() { out_[written_++] = 0; }
  bool close(size_t) { return false; }

  size_t written() const { return written_; }
  size_t chars() const { return written_; }
  size_t result() const { return written_; }
  PLState state() const { return 0; }

 private:
  PLWChar *out_;
  SinkRoom room_;
  size_t written_ = 0;
};

}  // namespace pl
