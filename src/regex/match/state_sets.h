// Sets of instructions for the reference automaton, in two forms that behave alike: one
// 32-bit word for programs of at most 32 instructions, one byte per instruction for
// larger ones. Both offer the same operations, so the automaton is written once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pl::regex {

inline constexpr uint32_t kWordSetStates = 32;

class WordSet {
 public:
  bool has(uint32_t state) const { return (bits_ >> state & 1) != 0; }
  void add(uint32_t state) { bits_ |= uint32_t{1} << state; }
  void clear() { bits_ = 0; }
  bool empty() const { return bits_ == 0; }
  bool same(const WordSet &other) const { return bits_ == other.bits_; }
  void assign(const WordSet &other) { bits_ = other.bits_; }
  void join(const WordSet &other) { bits_ |= other.bits_; }
  bool take(uint32_t state, const WordSet &from, uint32_t from_state) {
    if (!from.has(from_state) || has(state)) return false;
    add(state);
    return true;
  }

 private:
  uint32_t bits_ = 0;
};

class ByteSet {
 public:
  ByteSet() = default;
  ByteSet(uint8_t *bytes, uint32_t count) : bytes_(bytes), count_(count) {}

  bool has(uint32_t state) const { return bytes_[state] != 0; }
  void add(uint32_t state) { bytes_[state] = 1; }
  void clear() { std::memset(bytes_, 0, count_); }
  bool empty() const {
    for (uint32_t i = 0; i < count_; ++i)
      if (bytes_[i] != 0) return false;
    return true;
  }
  bool same(const ByteSet &other) const { return std::memcmp(bytes_, other.bytes_, count_) == 0; }
  void assign(const ByteSet &other) { std::memcpy(bytes_, other.bytes_, count_); }
  void join(const ByteSet &other) {
    for (uint32_t i = 0; i < count_; ++i) bytes_[i] |= other.bytes_[i];
  }
  bool take(uint32_t state, const ByteSet &from, uint32_t from_state) {
    if (!from.has(from_state) || has(state)) return false;
    add(state);
    return true;
  }

 private:
  uint8_t *bytes_ = nullptr;
  uint32_t count_ = 0;
};

// Each instruction with the earliest start of the threads that reach it (kNoStart: none).
class StartSet {
 public:
  static constexpr size_t kNoStart = static_cast<size_t>(-1);

  StartSet(size_t *starts, uint32_t count) : starts_(starts), count_(count) {}

  bool has(uint32_t state) const { return starts_[state] != kNoStart; }
  size_t start(uint32_t state) const { return starts_[state]; }
  // Starts a thread at `start` in `state` unless an earlier one is there.
  void add(uint32_t state, size_t start) {
    if (start < starts_[state]) starts_[state] = start;
  }
  void clear() {
    for (uint32_t i = 0; i < count_; ++i) starts_[i] = kNoStart;
  }
  void assign(const StartSet &other) {
    std::memcpy(starts_, other.starts_, count_ * sizeof(size_t));
  }
  bool take(uint32_t state, const StartSet &from, uint32_t from_state) {
    size_t start = from.starts_[from_state];
    if (start >= starts_[state]) return false;
    starts_[state] = start;
    return true;
  }
  // Whether some thread that started before `start` is still alive.
  bool any_before(size_t start) const {
    for (uint32_t i = 0; i < count_; ++i)
      if (starts_[i] < start) return true;
    return false;
  }

 private:
  size_t *starts_;
  uint32_t count_;
};

// The sets a pass keeps at once: the current set, the start set, a copy to step from,
// and three for the units of two-unit collating elements still in flight.
inline constexpr int kSetSlots = 6;

// Memory of the byte sets: on the stack for moderate programs, else from the heap.
class SetSpace {
 public:
  explicit SetSpace(uint32_t nstates);
  ~SetSpace();
  SetSpace(const SetSpace &) = delete;
  SetSpace &operator=(const SetSpace &) = delete;

  // False when the heap block could not be had.
  bool ready() const { return base_ != nullptr || nstates_ <= kWordSetStates; }
  uint8_t *slot(int index) const { return base_ + static_cast<size_t>(index) * nstates_; }
  uint32_t nstates() const { return nstates_; }

 private:
  static constexpr uint32_t kStackStates = 512;

  uint32_t nstates_;
  uint8_t *base_ = nullptr;
  uint8_t *heap_ = nullptr;
  uint8_t stack_[kSetSlots * kStackStates];
};

}  // namespace pl::regex
