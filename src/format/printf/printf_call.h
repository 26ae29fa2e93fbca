// The steps every printf export takes around the engine: resolve the handle, check the
// flags and sizes, learn the format's arguments and collect them all (from a va_list
// or an argument source) before anything is written, run the engine, then terminate
// and count. Nothing is written to the output before the engine runs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/navigation/char_count.h"
#include "format/printf/argument_list.h"
#include "format/printf/argument_scan.h"
#include "format/printf/engine.h"
#include "format/printf/lazy_arguments.h"
#include "frame/handle.h"
#include "string/ops/element_ops.h"

namespace pl {

// Flags a printf call accepts beside PL_COUNT_CHARS: 0x10000 has no effect.
inline constexpr int32_t kPrintfFlags = PL_TERMINATE | PL_FROM_TERRITORY | 0x10000;

struct PrintfStates {
  PLState out;
  PLState format;
};

// The units of a format before its first NUL, among the first `limit`.
template <class T>
size_t element_length_within(const T *s, int32_t limit) {
  size_t n = 0;
  while (n < static_cast<size_t>(limit) && s[n] != 0) ++n;
  return n;
}

// Where the arguments come from: a va_list or an argument source.
struct ListArguments {
  va_list *list;
  bool valid() const { return true; }
  int32_t fetch(ArgumentList &args) const { return args.fetch(list); }
  LazyArguments<va_list *> lazy() const { return LazyArguments<va_list *>(list); }
};

struct SourceArguments {
  const PLArgSource *source;
  bool valid() const { return source != nullptr; }
  int32_t fetch(ArgumentList &args) const { return args.fetch(*source); }
  LazyArguments<const PLArgSource *> lazy() const {
    return LazyArguments<const PLArgSource *>(source);
  }
};

// Learns and reads every argument of a positional format. PL_OK or the call's code.
template <class Form, class From>
int32_t collect_arguments(const Form &form, const typename Form::Element *format, size_t length,
                          ArgumentList &args, const From &from) {
  auto cursor = form.cursor(format, length);
  ArgumentScan<decltype(cursor)> scan(cursor, args, Form::kKinds);
  read_format(cursor, scan);
  if (scan.inconsistent) return PL_ERR_FORMAT;
  if (scan.count > args.capacity()) {
    if (!args.reserve(scan.count)) return PL_ERR_BUFFER_TOO_SMALL;
    auto again = form.cursor(format, length);
    ArgumentScan<decltype(again)> rescan(again, args, Form::kKinds);
    read_format(again, rescan);
  }
  if (!args.settle(scan.count)) return PL_ERR_FORMAT;
  return from.fetch(args);
}

// Runs the engine over the format: a sequential format reads its arguments as the
// engine reaches them, a positional one collects them all first.
template <class Form, class From>
EngineResult run_engine(const Form &form, typename Form::Sink &sink,
                        const typename Form::Element *format, size_t length, int32_t flags,
                        const From &from) {
  auto probe = form.cursor(format, length);
  int32_t positional = probe.positional();
  if (positional < 0) {
    FirstDirective<decltype(probe)> first(probe);
    read_format(probe, first);
    positional = first.positional;
  }
  if (!positional) {
    auto lazy = from.lazy();
    Engine<Form, decltype(lazy)> engine(form, sink, lazy, flags);
    return engine.run(format, length);
  }
  ArgumentList args;
  if (int32_t code = collect_arguments(form, format, length, args, from))
    return {0, code, true};
  Engine<Form, ArgumentList> engine(form, sink, args, flags);
  return engine.run(format, length);
}

template <class Form, class From>
[[gnu::flatten]] int32_t printf_call(PLLocale *locale, typename Form::Element *out, int32_t out_size,
                    const typename Form::Element *format, int32_t format_length, int32_t flags,
                    PrintfStates states, const From &from) {
  using T = typename Form::Element;
  constexpr bool kBytes = sizeof(T) == 1;
  PLLocale *handle = resolve(locale);
  if (is_unbound(handle) || format == nullptr || (out == nullptr && out_size != 0) ||
      !from.valid()) {
    handle->last_error = PL_ERR_ARGUMENT;
    return -1;
  }
  Form form(*handle, false, states.format, states.out);
  bool count_chars = false;
  if (kBytes) {
    count_chars = (flags & PL_COUNT_CHARS) != 0;
    if (count_chars && format_length > 0) {
      Position end = move_pointer(form.rules, reinterpret_cast<const char *>(format),
                                  states.format, format_length, true);
      format_length = static_cast<int32_t>(end.at - reinterpret_cast<const char *>(format));
    }
  }
  if ((flags & ~(kPrintfFlags | PL_COUNT_CHARS)) != 0) {
    handle->last_error = PL_ERR_ARGUMENT;
    return -1;
  }
  if (out_size == 0) {
    handle->last_error = PL_ERR_BUFFER_TOO_SMALL;
    return -1;
  }
  bool terminate = (flags & PL_TERMINATE) != 0;
  int32_t room = terminate && out_size > 0 ? out_size - 1 : out_size;
  size_t length = format_length < 0 ? element_length(format)
                                     : element_length_within(format, format_length);
  if (length == 0) {
    handle->last_error = PL_ERR_FORMAT;
    return -1;
  }

  auto sink = form.sink(out, room);
  EngineResult done = run_engine(form, sink, format, length, flags, from);
  if (done.failed) {
    handle->last_error = done.code;
    return -1;
  }
  if (done.code != PL_OK) handle->last_error = done.code;
  size_t result = done.written;
  if (terminate) {
    if (sink.single_byte_mode()) {
      out[result++] = 0;
    } else if (room >= 0 && result + 2 > static_cast<size_t>(room)) {
      handle->last_error = PL_ERR_BUFFER_TOO_SMALL;
      done.code = PL_ERR_BUFFER_TOO_SMALL;
    } else {
      out[result++] = static_cast<T>(form.rules.set.shift_in_byte());
      out[result++] = 0;
    }
  }
  if (count_chars && done.code == PL_OK && result > 0) {
    handle->last_error = PL_OK;
    return num_chars(form.rules, reinterpret_cast<const char *>(out), states.out,
                     static_cast<int32_t>(result));
  }
  return static_cast<int32_t>(result);
}

}  // namespace pl
