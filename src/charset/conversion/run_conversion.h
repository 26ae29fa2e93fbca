// One conversion of a whole string: the loop, then the terminator and closing.
#pragma once

#include "charset/conversion/spans.h"
#include "charset/conversion/transcode.h"

namespace pl {

struct Converted {
  Next stop;
  bool nul_written;  // the terminator written stands for the source's NUL
  Code code;         // PL_OK, or 40 when the output was cut short
};

template <class Source, class Sink, class Map>
Converted run_conversion(Source &source, Sink &sink, Map &map, bool fast, bool reserved,
                         Close close) {
  Transcoder<Source, Sink, Map> transcoder(source, sink, map, fast);
  Next stop = transcoder.run();
  bool nul = transcoder.finish(stop, reserved, close);
  return {stop, nul, cut_code(stop, source.span().nul, nul)};
}

}  // namespace pl
