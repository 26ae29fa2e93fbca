// Reading a line: characters are taken from a source and stored until the buffer is
// full or an end of line of an accepted kind has been read. One loop serves the byte,
// UTF-16 and packed-character forms; they differ in their source, their store and
// the values of their end-of-line characters.
#pragma once

#include <cstdint>

#include "stream/stream_input.h"

namespace pl {

// The flags PLReadString and its forms accept.
inline constexpr int32_t kLineEndKinds = PL_EOL_LF | PL_EOL_CRLF | PL_EOL_LINE_SEP | PL_EOL_PARA_SEP;
inline constexpr int32_t kReadStringFlags =
    kLineEndKinds | PL_READ_TERMINATE | PL_READ_STRIP_EOL | PL_COUNT_CHARS;

// The end-of-line characters of a form, each `length` bytes long as read.
struct EolChars {
  uint32_t line_feed;
  uint32_t carriage_return;
  uint32_t line_separator;
  uint32_t paragraph_separator;
  uint8_t length;

  // The kinds `c` stands for, as PL_EOL_ bits; a carriage return is PL_EOL_CRLF. One
  // byte may be several: code sets without a line separator use the line feed. A
  // longer character is none, whatever its packed value (a shifted pair 00 25 is not
  // the line feed 25).
  int32_t kinds(const StreamChar &c) const {
    if (c.length != length) return 0;
    uint32_t v = c.packed;
    return (v == line_feed ? PL_EOL_LF : 0) | (v == carriage_return ? PL_EOL_CRLF : 0) |
           (v == line_separator ? PL_EOL_LINE_SEP : 0) |
           (v == paragraph_separator ? PL_EOL_PARA_SEP : 0);
  }
};

// Source: StreamChar next(); Code unget(const StreamChar &); optionally
//         bool copy_run(Store &, const EolChars &, int32_t flags), a run of characters
//         that end no line.
// Store: bool full(); bool fits(const StreamChar &); void put(const StreamChar &);
//        int32_t finish() (terminates when asked to; the units to report).
// Returns what PLReadString returns and leaves its code in the handle.
template <class Source, class Store>
int32_t read_line(PLLocale *handle, Source &source, Store &store, const EolChars &eol,
                  int32_t flags) {
  const int32_t single_kinds = flags & (PL_EOL_LF | PL_EOL_LINE_SEP | PL_EOL_PARA_SEP);
  const bool pairs = (flags & PL_EOL_CRLF) != 0, strip = (flags & PL_READ_STRIP_EOL) != 0;
  bool read_any = false, after_return = false, return_held = false;
  StreamChar held_return{};
  Code code = PL_OK;
  auto unget = [&](const StreamChar &c) {
    Code pushed = source.unget(c);
    if (code == PL_OK) code = pushed;
  };
  for (;;) {
    // Without stripping nothing more can be stored; with it, one more character is
    // read to consume an end of line that follows a full buffer.
    if (!strip && store.full()) break;
    if constexpr (requires { source.copy_run(store, eol, flags); }) {
      // A run stops in front of a character it leaves to the step below.
      if (!return_held && source.copy_run(store, eol, flags)) {
        read_any = true;
        after_return = false;
        if (!strip && store.full()) break;
      }
    }
    StreamChar c = source.next();
    if (c.length == 0) {
      code = c.code;
      if (return_held && store.fits(held_return))
        store.put(held_return);
      else if (return_held)
        unget(held_return);
      break;
    }
    read_any = true;
    int32_t kinds = eol.kinds(c);
    if (return_held) {
      // A carriage return held back under stripping: with a line feed behind it the
      // pair ends the line; otherwise it is an ordinary character.
      return_held = false;
      if (kinds & PL_EOL_LF) break;
      unget(c);
      if (!store.fits(held_return)) {
        unget(held_return);
        break;
      }
      store.put(held_return);
      continue;
    }
    if (strip && pairs && (kinds & PL_EOL_CRLF)) {
      return_held = true;
      held_return = c;
      continue;
    }
    bool ends = (kinds & single_kinds) != 0 || (pairs && after_return && (kinds & PL_EOL_LF));
    if (ends && strip) break;
    if (!store.fits(c)) {
      unget(c);
      break;
    }
    store.put(c);
    if (ends) break;
    after_return = (kinds & PL_EOL_CRLF) != 0;
  }
  handle->last_error = code;
  int32_t count = store.finish();
  if (read_any) return count;
  return code == PL_OK ? -1 : -2;
}

}  // namespace pl
