// The one conversion loop: characters from a source, mapped, into a sink, until the
// source ends or the sink is full; then the terminator and the closing shift-in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/conversion/fast_runs.h"
#include "charset/conversion/maps.h"
#include "charset/conversion/text_forms.h"

namespace pl {

// When a stateful output is brought back to the single-byte state.
enum class Close { never, with_terminator, always };

template <class Source, class Sink, class Map>
class Transcoder {
 public:
  Transcoder(Source &source, Sink &sink, Map &map, bool fast)
      : source_(source), sink_(sink), map_(map), fast_(fast) {}

  // Converts until the source stops or the sink is full; says which.
  Next run() {
    typename Source::Char c{};
    for (;;) {
      if (fast_) FastRun<Source, Sink, Map>::run(source_, sink_, map_);
      Next next = source_.next(c);
      if (next != Next::kChar) return next;
      if (!sink_.put(map_(source_, c))) return Next::kFull;
      source_.take(c);
      last_ = c;
    }
  }

  // Writes the terminator when `reserved` (room was held back for it) or when a
  // NUL-terminated source ended and room is left, closing a stateful output first as
  // `close` says. True when the terminator stands for the source's own NUL.
  bool finish(Next stop, bool reserved, Close close) {
    bool source_nul = source_.span().nul && stop == Next::kEnd;
    bool terminator = reserved || (source_nul && sink_.has_room());
    if (close == Close::always || (close == Close::with_terminator && terminator)) {
      if (sink_.close(terminator && !reserved ? 1 : 0)) source_.untake(last_);
    }
    if (terminator) sink_.terminate();
    return terminator && source_nul;
  }

 private:
  Source &source_;
  Sink &sink_;
  Map &map_;
  bool fast_;
  typename Source::Char last_{};
};

}  // namespace pl
