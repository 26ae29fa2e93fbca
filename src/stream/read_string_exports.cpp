// PLReadString, PLReadStringEx, PLReadStringU, PLReadStringW: the sources and stores of
// the line reader for each form.
#include <cstring>

#include "charset/shift_rule.h"
#include "stream/line_reader.h"
#include "stream/line_runs.h"

namespace pl {
namespace {

// Room counted in units of the buffer, one kept for the terminator when asked for.
class Room {
 public:
  Room(int32_t size, bool terminate) : room_(size - (terminate ? 1 : 0)), terminate_(terminate) {}
  bool full() const { return used_ >= room_; }
  bool allows(int32_t units) const { return used_ + units <= room_; }
  size_t left() const { return used_ < room_ ? static_cast<size_t>(room_ - used_) : 0; }
  void take(int32_t units) { used_ += units; }
  int32_t reported() const { return used_ + (terminate_ ? 1 : 0); }
  bool terminate() const { return terminate_; }

 private:
  int32_t room_;
  int32_t used_ = 0;
  bool terminate_;
};

// Bytes of the code set; with the shift rule (the Ex form of a stateful set) a shift
// byte goes in front of each character whose state is not the text's.
class ByteStore {
 public:
  ByteStore(char *out, Room room, bool count_chars, const TextRules &rules, PLState state)
      : out_(reinterpret_cast<uint8_t *>(out)), room_(room), count_chars_(count_chars),
        rules_(rules), state_(state == kSingleByteState ? kSingleByteState : kShiftedState) {}
  bool full() const { return room_.full(); }
  bool fits(const StreamChar &c) const { return room_.allows(units(c)); }
  void put(const StreamChar &c) {
    room_.take(units(c));
    if (shift_needed(c)) {
      out_[written_++] = c.state == kSingleByteState ? rules_.set.shift_in_byte()
                                                     : rules_.set.shift_out_byte();
      state_ = c.state;
    }
    copy_char_bytes(c, out_ + written_);
    written_ += c.length;
  }
  int32_t finish() {
    if (room_.terminate()) out_[written_] = 0;
    return room_.reported();
  }
  PLState state() const { return state_; }

  // Runs of characters without shift bytes, copied as they are.
  bool counts_chars() const { return count_chars_; }
  size_t room_left() const { return room_.left(); }
  void append_run(const uint8_t *bytes, size_t count, size_t chars) {
    std::memcpy(out_ + written_, bytes, count);
    written_ += count;
    room_.take(static_cast<int32_t>(count_chars_ ? chars : count));
  }

 private:
  bool shift_needed(const StreamChar &c) const { return rules_.shift_rule && c.state != state_; }
  int32_t units(const StreamChar &c) const {
    return count_chars_ ? 1 : c.length + (shift_needed(c) ? 1 : 0);
  }

  uint8_t *out_;
  Room room_;
  bool count_chars_;
  const TextRules &rules_;
  PLState state_;
  size_t written_ = 0;
};

// One element a character: UTF-16 units or packed characters.
template <class T>
class ElementStore {
 public:
  ElementStore(T *out, Room room) : out_(out), room_(room) {}
  bool full() const { return room_.full(); }
  bool fits(const StreamChar &) const { return room_.allows(1); }
  void put(const StreamChar &c) {
    out_[written_++] = static_cast<T>(c.packed);
    room_.take(1);
  }
  int32_t finish() {
    if (room_.terminate()) out_[written_] = 0;
    return room_.reported();
  }

 private:
  T *out_;
  Room room_;
  size_t written_ = 0;
};

// Characters of the code set, as PLReadCharW reads them.
class StreamCharSource {
 public:
  StreamCharSource(PLStream &stream, const TextRules &rules) : stream_(stream), rules_(rules) {}
  StreamChar next() { return read_char(stream_, rules_); }
  Code unget(const StreamChar &c) {
    uint8_t bytes[4];
    copy_char_bytes(c, bytes);
    return push_back(stream_, rules_, bytes, c.length);
  }

  // Copies the characters that lie whole in the read buffer, up to the first byte that
  // may end a line of a kind in `flags` and as far as the store has room, in one
  // piece: the middle of a line needs no call a character. True when it copied any.
  bool copy_run(ByteStore &store, const EolChars &eol, int32_t flags) {
    if (stream_.held_count != 0 || rules_.shift_rule) return false;
    Run run = scan_run(store, eol, flags);
    if (run.end == stream_.read_position) return false;
    store.append_run(stream_.read_position, static_cast<size_t>(run.end - stream_.read_position), run.chars);
    stream_.read_position = const_cast<uint8_t *>(run.end);
    return true;
  }

 private:
  // The whole characters in the read buffer up to the first byte that may end a line.
  Run scan_run(const ByteStore &store, const EolChars &eol, int32_t flags) {
    const uint8_t *start = stream_.read_position, *end = stream_.data_end;
    size_t room = store.room_left();
    bool by_chars = store.counts_chars();
    const uint8_t *limit = by_chars || room >= static_cast<size_t>(end - start) ? end : start + room;
    limit = first_line_byte(start, limit, eol, flags);
    // One look at the table a stream, not a line.
    if (stream_.noted_lengths != rules_.set.byte_lengths()) {
      stream_.noted_lengths = rules_.set.byte_lengths();
      stream_.ascii_single = ascii_is_single(stream_.noted_lengths);
    }
    return whole_chars(rules_, stream_.ascii_single, start, limit, end, by_chars ? room : SIZE_MAX);
  }

  PLStream &stream_;
  const TextRules &rules_;
};

// Raw UTF-16 units, as PLReadCharU reads them; their end is the end of the data.
class RawUnitSource {
 public:
  explicit RawUnitSource(PLStream &stream) : stream_(stream) {}
  StreamChar next() {
    StreamChar unit = read_unit(stream_);
    if (unit.code == PL_ERR_END_OF_STREAM) unit.code = PL_OK;
    return unit;
  }
  Code unget(const StreamChar &c) {
    uint8_t bytes[2] = {static_cast<uint8_t>(c.packed), static_cast<uint8_t>(c.packed >> 8)};
    return hold_in_front(stream_, bytes, 2) ? PL_OK : PL_ERR_BUFFER_TOO_SMALL;
  }

 private:
  PLStream &stream_;
};

EolChars code_set_eol(const CharsetView &set) {
  return {set.line_feed_byte(), set.carriage_return_byte(), set.line_separator_byte(),
          set.paragraph_separator_byte(), 1};
}

constexpr EolChars kUnicodeEol{0x0A, 0x0D, 0x2028, 0x2029, 2};

// The checks every form makes: a read stream, known flags, a buffer with room for the
// terminator it is asked for. The stream, or null with the code stored.
PLStream *line_stream(PLLocale *handle, PLStream *stream, const void *buffer, int32_t size,
                      int32_t flags) {
  if (handle == nullptr || directed(handle, stream, kReadStream) == nullptr) return nullptr;
  int32_t needed = (flags & PL_READ_TERMINATE) != 0 ? 1 : 0;
  if ((flags & ~kReadStringFlags) != 0 || size < needed || (buffer == nullptr && size > 0)) {
    handle->last_error = PL_ERR_ARGUMENT;
    return nullptr;
  }
  return stream;
}

Room room_of(int32_t size, int32_t flags) { return Room(size, (flags & PL_READ_TERMINATE) != 0); }

int32_t read_bytes(PLLocale *locale, PLStream *stream, char *buffer, PLState *state, int32_t size,
                   int32_t flags) {
  PLLocale *handle = bound_handle(locale);
  if (line_stream(handle, stream, buffer, size, flags) == nullptr) return -2;
  TextRules rules = text_rules(*handle, true);
  StreamCharSource source(*stream, rules);
  // The base form stores the characters' own bytes, as PLReadCharW gives them.
  TextRules store_rules = state != nullptr ? rules : text_rules(*handle, false);
  ByteStore store(buffer, room_of(size, flags), (flags & PL_COUNT_CHARS) != 0, store_rules,
                  state != nullptr ? *state : kSingleByteState);
  int32_t result = read_line(handle, source, store, code_set_eol(rules.set), flags);
  if (state != nullptr && store_rules.shift_rule) *state = store.state();
  return result;
}

}  // namespace
}  // namespace pl

extern "C" {

PL_API int32_t PLReadString(PLStream *stream, PLLocale *locale, char *buffer, int32_t size,
                            int32_t flags) {
  return pl::read_bytes(locale, stream, buffer, nullptr, size, flags);
}

PL_API int32_t PLReadStringEx(PLStream *stream, PLLocale *locale, char *buffer, PLState *state,
                              int32_t size, int32_t flags) {
  PLState start = state != nullptr ? *state : pl::kSingleByteState;
  int32_t result = pl::read_bytes(locale, stream, buffer, &start, size, flags);
  if (state != nullptr) *state = start;
  return result;
}

PL_API int32_t PLReadStringU(PLStream *stream, PLLocale *locale, PLUChar *buffer, int32_t size,
                             int32_t flags) {
  PLLocale *handle = pl::enter(locale);
  if (pl::line_stream(handle, stream, buffer, size, flags) == nullptr) return -2;
  pl::RawUnitSource source(*stream);
  pl::ElementStore<PLUChar> store(buffer, pl::room_of(size, flags));
  return pl::read_line(handle, source, store, pl::kUnicodeEol, flags);
}

PL_API int32_t PLReadStringW(PLStream *stream, PLLocale *locale, PLWChar *buffer, int32_t size,
                             int32_t flags) {
  PLLocale *handle = pl::bound_handle(locale);
  if (pl::line_stream(handle, stream, buffer, size, flags) == nullptr) return -2;
  pl::TextRules rules = pl::text_rules(*handle, true);
  pl::StreamCharSource source(*stream, rules);
  pl::ElementStore<PLWChar> store(buffer, pl::room_of(size, flags));
  return pl::read_line(handle, source, store, pl::code_set_eol(rules.set), flags);
}

}  // extern "C"
