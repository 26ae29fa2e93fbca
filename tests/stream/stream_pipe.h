// Stream callbacks over memory for the tests: each call takes or delivers at most the
// next count of a script (a negative count fails the call), then as much as it may.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "polyloc.h"

namespace streamtest {

using Bytes = std::vector<uint8_t>;

struct Pipe {
  Bytes data;                   // read streams: the source; write streams: what was taken
  size_t at = 0;                // read streams: next byte delivered
  std::vector<int32_t> script;  // counts of the first calls
  size_t calls = 0;

  int32_t next_limit(int32_t count) {
    int32_t limit = calls < script.size() ? script[calls] : count;
    ++calls;
    return std::min(limit, count);
  }
};

inline int32_t pipe_read(void *context, void *buffer, int32_t count) {
  Pipe &p = *static_cast<Pipe *>(context);
  int32_t limit = p.next_limit(count);
  if (limit < 0) return -1;
  size_t n = std::min<size_t>(static_cast<size_t>(limit), p.data.size() - p.at);
  std::memcpy(buffer, p.data.data() + p.at, n);
  p.at += n;
  return static_cast<int32_t>(n);
}

inline int32_t pipe_write(void *context, void *buffer, int32_t count) {
  Pipe &p = *static_cast<Pipe *>(context);
  int32_t limit = p.next_limit(count);
  if (limit < 0) return -1;
  const uint8_t *b = static_cast<const uint8_t *>(buffer);
  p.data.insert(p.data.end(), b, b + limit);
  return limit;
}

// A script of `calls` random short counts: 0 to 3, 0 now and then (for a read
// stream 0 is the end of the data, so readers get at least 1).
inline std::vector<int32_t> short_counts(std::mt19937 &random, size_t calls, int32_t least) {
  std::vector<int32_t> counts(calls);
  for (int32_t &c : counts) c = least + static_cast<int32_t>(random() % (4 - least));
  return counts;
}

// Streams that close themselves.
struct Stream {
  PLStream *s;
  PLLocale *locale;
  Stream(PLLocale *l, Pipe &pipe, int32_t direction, int32_t buffer = 1)
      : s(PLOpenStreamEx(l, direction == PL_STREAM_READ ? pipe_read : pipe_write, &pipe, buffer,
                         direction)),
        locale(l) {}
  ~Stream() {
    if (s) PLCloseStream(s, locale);
  }
  int32_t close() {
    int32_t r = PLCloseStream(s, locale);
    s = nullptr;
    return r;
  }
  operator PLStream *() const { return s; }
};

}  // namespace streamtest
