// Drives a read or a write stream in UTF-8, MS932 or code page 930 with random calls
// over callbacks whose counts (short, 0, failures) come from the input: reading
// characters, units and lines under random flags into buffers of random size,
// pushing back, writing in every form, flushing, closing. Nothing may crash, leak,
// write outside a buffer or report more than a buffer's size.
//
// Input: a byte choosing the locale, one the read buffer size, one the direction, one
// the number of calls, two bytes a call (operation, argument), then the callback
// script's length and bytes, then the data the read callback delivers (or the bytes
// the written characters come from).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_library.h"
#include "polyloc.h"

namespace {

constexpr const char *kLocales[] = {"English_UnitedStates.UTF-8", "Japanese_Japan.MS932",
                                    "Japanese_Japan.IBM930"};

constexpr int32_t kLineFlags[] = {
    0, PL_EOL_LF, PL_EOL_CRLF, PL_EOL_LINE_SEP, PL_EOL_PARA_SEP, PL_EOL_ANY,
    PL_EOL_LF | PL_READ_STRIP_EOL, PL_EOL_CRLF | PL_READ_STRIP_EOL, PL_EOL_ANY | PL_READ_TERMINATE,
    PL_EOL_CRLF | PL_READ_STRIP_EOL | PL_READ_TERMINATE, PL_EOL_LF | PL_COUNT_CHARS,
    PL_EOL_ANY | PL_COUNT_CHARS | PL_READ_TERMINATE | PL_READ_STRIP_EOL, 0x1000, 0x2};

struct Input {
  const uint8_t *data;
  size_t size, at = 0;
  uint8_t byte() { return at < size ? data[at++] : 0; }
  const uint8_t *take(size_t n) {
    const uint8_t *p = data + (at < size ? at : size);
    at = at + n < size ? at + n : size;
    return p;
  }
};

// The callback: counts from the script (0xFF fails, 0xFE answers 0), the data behind.
struct Pipe {
  std::vector<uint8_t> script, data;
  size_t step = 0, at = 0, zeros = 0;

  int32_t next_count(int32_t count, bool writing) {
    uint8_t s = script.empty() ? 0x10 : script[step++ % script.size()];
    if (s == 0xFF) return -1;
    // A write stream is called again after a 0: a few in a row, then it takes bytes.
    if (s == 0xFE && (!writing || ++zeros < 4)) return 0;
    zeros = 0;
    int32_t n = 1 + s % 7;
    return n < count ? n : count;
  }
};

int32_t read_pipe(void *context, void *buffer, int32_t count) {
  Pipe &p = *static_cast<Pipe *>(context);
  int32_t n = p.next_count(count, false);
  if (n <= 0) return n;
  size_t left = p.data.size() - p.at;
  if (static_cast<size_t>(n) > left) n = static_cast<int32_t>(left);
  if (n == 0) return 0;
  std::memcpy(buffer, p.data.data() + p.at, static_cast<size_t>(n));
  p.at += static_cast<size_t>(n);
  return n;
}

int32_t write_pipe(void *context, void *buffer, int32_t count) {
  Pipe &p = *static_cast<Pipe *>(context);
  int32_t n = p.next_count(count, true);
  if (n > 0) p.data.insert(p.data.end(), static_cast<uint8_t *>(buffer), static_cast<uint8_t *>(buffer) + n);
  return n;
}

void check(bool ok) {
  if (!ok) std::abort();
}

// One line read in a form into a buffer of exactly `size` units (with PL_COUNT_CHARS
// room for `size` characters and their shift bytes).
void read_line(PLStream *s, PLLocale *l, uint8_t form, int32_t size, int32_t flags) {
  size_t units = static_cast<size_t>(size) * ((flags & PL_COUNT_CHARS) && form % 4 < 2 ? 5 : 1);
  int32_t n = -2;
  PLState state = form & 4 ? 1 : 0;
  switch (form % 4) {
    case 0: {
      std::vector<char> b(units);
      n = PLReadString(s, l, b.data(), size, flags);
      break;
    }
    case 1: {
      std::vector<char> b(units);
      n = PLReadStringEx(s, l, b.data(), &state, size, flags);
      break;
    }
    case 2: {
      std::vector<PLUChar> b(units);
      n = PLReadStringU(s, l, b.data(), size, flags);
      break;
    }
    default: {
      std::vector<PLWChar> b(units);
      n = PLReadStringW(s, l, b.data(), size, flags);
      break;
    }
  }
  check(n >= -2 && n <= size);
}

void run_read(PLStream *s, PLLocale *l, uint8_t op, uint8_t arg) {
  char c[5] = {static_cast<char>(arg), static_cast<char>(arg ^ 0x40), 0, 0, 0};
  switch (op % 9) {
    case 0: PLReadCharW(s, l); break;
    case 1: PLReadCharU(s, l); break;
    case 2:
    case 3: read_line(s, l, arg >> 4, arg % 9, kLineFlags[(op >> 4) % std::size(kLineFlags)]); break;
    case 4: PLUngetChar(s, l, c); break;
    case 5: PLUngetCharEx(s, l, c, arg & 1); break;
    case 6: PLUngetCharW(s, l, arg % 3 ? arg * 0x10101u : arg); break;
    case 7: PLUngetCharU(s, l, static_cast<PLUChar>(arg * 0x101)); break;
    default: PLFlushStream(s, l); break;
  }
}

void run_write(PLStream *s, PLLocale *l, uint8_t op, uint8_t arg, Input &in) {
  char c[6] = {};
  for (size_t i = 0; i < 4; ++i) c[i] = static_cast<char>(in.byte());
  switch (op % 6) {
    case 0: PLWriteChar(s, l, c); break;
    case 1: PLWriteCharEx(s, l, c, arg & 1); break;
    case 2: PLWriteCharU(s, l, static_cast<PLUChar>(arg * 0x101)); break;
    case 3: PLWriteCharW(s, l, static_cast<uint8_t>(c[0]) * 0x100u + arg); break;
    case 4: PLFlushStream(s, l); break;
    default: PLReadCharW(s, l); break;  // the wrong direction
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static FuzzLibrary library;
  static PLLocale *locales[std::size(kLocales)] = {};
  Input in{data, size};
  uint8_t which = in.byte() % std::size(kLocales);
  if (locales[which] == nullptr) locales[which] = PLGetLocale(kLocales[which], 0, nullptr);
  PLLocale *l = locales[which];
  int32_t buffer = in.byte() % 17;
  bool writing = in.byte() & 1;
  size_t calls = in.byte() % 64;
  const uint8_t *ops = in.take(2 * calls);
  calls = (in.at - static_cast<size_t>(ops - data)) / 2;
  Pipe pipe;
  size_t script = in.byte() % 32;
  const uint8_t *s = in.take(script);
  pipe.script.assign(s, data + in.at);
  const std::vector<uint8_t> rest(data + in.at, data + size);
  if (!writing) pipe.data = rest;
  PLStream *stream = PLOpenStreamEx(l, writing ? write_pipe : read_pipe, &pipe, buffer,
                                    writing ? PL_STREAM_WRITE : PL_STREAM_READ);
  if (stream == nullptr) std::abort();
  Input chars{rest.data(), rest.size()};
  for (size_t i = 0; i < calls; ++i) {
    if (writing)
      run_write(stream, l, ops[2 * i], ops[2 * i + 1], chars);
    else
      run_read(stream, l, ops[2 * i], ops[2 * i + 1]);
  }
  PLCloseStream(stream, l);
  return 0;
}
