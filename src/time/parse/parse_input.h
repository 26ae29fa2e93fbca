// The input of a time parse: units of a form, a position and, for the Ex form, the
// shift state in effect there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "charset/shift_rule.h"
#include "polyloc.h"

namespace pl::time_parse {

inline constexpr uint32_t kNoUnit = UINT32_MAX;

template <class T>
class InputText {
 public:
  InputText(const T *text, size_t length, PLState state)
      : at_(text), end_(text + length), state_(state) {}

  bool at_end() const { return at_ == end_; }
  size_t left() const { return static_cast<size_t>(end_ - at_); }
  const T *position() const { return at_; }
  PLState state() const { return state_; }
  bool shifted() const { return state_ != kSingleByteState; }

  // The unit at the position when it is a single-byte character, else kNoUnit.
  uint32_t single() const {
    if (at_ == end_ || shifted()) return kNoUnit;
    return static_cast<std::make_unsigned_t<T>>(*at_);
  }
  void skip(size_t units) { at_ += units; }
  void move_to(const T *at, PLState state) {
    at_ = at;
    state_ = state;
  }

 private:
  const T *at_;
  const T *end_;
  PLState state_;
};

}  // namespace pl::time_parse
