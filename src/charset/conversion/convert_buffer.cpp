#include <cstring>

#include "charset/conversion/conversion_object.h"
#include "charset/conversion/transcode.h"
#include "frame/memory.h"

namespace pl {
namespace {

// One conversion call: the two code sets, the object's fields and the caller's buffers.
class BufferCall {
 public:
  BufferCall(PLConversion *conversion, const PLLocale *target, const PLLocale *source,
             uint8_t **out, size_t *out_left, const uint8_t **in, size_t *in_left, Path path)
      : c_(*conversion),
        decoder_(*source->codeset, path_for_input(*in_left, path)),
        encoder_(*target->codeset, path_for_input(*in_left, path)),
        map_{encoder_, encoder_.set().byte_unicode(encoder_.replacement())},
        out_(out),
        out_left_(out_left),
        in_(in),
        in_left_(in_left) {}

  Code run() {
    if (c_.pending_count != 0) {
      if (*out_left_ == 0) return PL_ERR_OUTPUT_FULL;
      flush_pending();
      if (c_.pending_count != 0) return PL_ERR_OUTPUT_FULL;
    }
    if (c_.held_count != 0) {
      Code code = complete_held();
      if (code != PL_OK) return code;
    }
    return convert_input();
  }

  bool replaced() const { return map_.replaced; }

 private:
  static Path path_for_input(size_t bytes, Path path) {
    constexpr size_t kShortInput = 32;
    return bytes < kShortInput ? Path::reference : path;
  }

  void consume(size_t n) {
    *in_ += n;
    *in_left_ -= n;
  }

  void write(const uint8_t *bytes, size_t n) {
    std::memcpy(*out_, bytes, n);
    *out_ += n;
    *out_left_ -= n;
  }

  void flush_pending() {
    size_t n = c_.pending_count < *out_left_ ? c_.pending_count : *out_left_;
    write(c_.pending, n);
    c_.pending_count = static_cast<uint8_t>(c_.pending_count - n);
    std::memmove(c_.pending, c_.pending + n, c_.pending_count);
  }

  // Writes one character with its shift byte; what does not fit waits in the pending
  // output. False when some of it waits.
  bool emit(uint32_t packed) {
    uint8_t bytes[5];
    ByteSink one(encoder_.set(), bytes, {sizeof bytes, kNoLimit}, c_.output_state, false);
    one.put(packed);
    c_.output_state = static_cast<uint8_t>(one.state());
    size_t n = one.written() < *out_left_ ? one.written() : *out_left_;
    write(bytes, n);
    c_.pending_count = static_cast<uint8_t>(one.written() - n);
    std::memcpy(c_.pending, bytes + n, c_.pending_count);
    return c_.pending_count == 0;
  }

  // The held start of a character and the input bytes that complete it.
  Code complete_held() {
    uint8_t bytes[8];
    size_t held = c_.held_count;
    size_t extra = *in_left_ < 4 ? *in_left_ : 4;
    std::memcpy(bytes, c_.held, held);
    std::memcpy(bytes + held, *in_, extra);
    Measured m = decoder_.measure(bytes, held + extra, c_.input_state);
    if (m.cut) {
      std::memcpy(c_.held + held, *in_, *in_left_);
      c_.held_count = static_cast<uint8_t>(held + *in_left_);
      consume(*in_left_);
      return PL_ERR_PARTIAL_CHAR;
    }
    consume(m.length - held);
    c_.held_count = 0;
    ByteSource source(decoder_, bytes, {m.length, kNoLimit, false}, c_.input_state);
    ByteSource::Char c{};
    source.next(c);
    return emit(map_(source, c)) ? PL_OK : PL_ERR_OUTPUT_FULL;
  }

  Code convert_input() {
    ByteSource source(decoder_, *in_, {*in_left_, kNoLimit, false}, c_.input_state);
    ByteSink sink(encoder_.set(), *out_, {*out_left_, kNoLimit}, c_.output_state, false);
    Transcoder<ByteSource, ByteSink, AcrossMap> transcoder(source, sink, map_, decoder_.fast());
    Next stop = transcoder.run();
    uint32_t packed = 0;
    if (stop == Next::kFull) {
      // The next character does not fit: it goes out in part and waits in part.
      ByteSource::Char c{};
      source.next(c);
      packed = map_(source, c);
      source.take(c);
    }
    consume(source.read());
    *out_ += sink.written();
    *out_left_ -= sink.written();
    c_.input_state = static_cast<uint8_t>(source.state());
    c_.output_state = static_cast<uint8_t>(sink.state());
    if (stop == Next::kCut) {
      std::memcpy(c_.held, *in_, *in_left_);
      c_.held_count = static_cast<uint8_t>(*in_left_);
      consume(*in_left_);
      return PL_ERR_PARTIAL_CHAR;
    }
    if (stop != Next::kFull) return PL_OK;
    emit(packed);
    return PL_ERR_OUTPUT_FULL;
  }

  PLConversion &c_;
  Decoder decoder_;
  Encoder encoder_;
  AcrossMap map_;
  uint8_t **out_;
  size_t *out_left_;
  const uint8_t **in_;
  size_t *in_left_;
};

}  // namespace

PLConversion *open_conversion(PLLocale *target, PLLocale *source) {
  PLConversion *conversion = create<PLConversion>();
  if (conversion == nullptr) return nullptr;
  conversion->target = target;
  conversion->source = source;
  return conversion;
}

Code close_conversion(PLConversion *conversion) {
  return release(conversion) ? PL_OK : PL_ERR_FREE;
}

int32_t conversion_ratio(const PLLocale *target, const PLLocale *source) {
  if (target->codeset == source->codeset) return 1;
  CharsetView set(*target->codeset);
  return set.max_length() + (set.stateful() ? 1 : 0);
}

BufferResult convert_buffer(PLConversion *conversion, const PLLocale *target,
                            const PLLocale *source, uint8_t **out, size_t *out_left,
                            const uint8_t **in, size_t *in_left, Path path) {
  BufferCall call(conversion, target, source, out, out_left, in, in_left, path);
  Code code = call.run();
  return {code, call.replaced()};
}

}  // namespace pl
