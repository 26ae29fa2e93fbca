// The compiler's primitives: reading the pattern, keeping the first error, writing the
// strip.
#include "regex/compile/compiler.h"

#include <algorithm>

namespace pl::regex {

// The most instructions a strip holds (4 MiB): far beyond any pattern written by hand,
// it keeps a pattern of nested intervals such as ((a{255}){255}){255} from taking the
// process's memory, and every search step over its states, into seconds. Distances
// must also fit an operand. More gives code 20.
constexpr size_t kStripLimit = size_t{1} << 20;
static_assert(kStripLimit <= kOperandMask);

Compiler::Compiler(PLLocale *handle, Program *program, const PLUChar *pattern, size_t length)
    : handle_(handle), program_(program), next_(pattern), end_(pattern + length) {
  for (CaseSet &slot : case_sets) slot = {0, -1};
}

Compiler::~Compiler() { release(elements_); }

bool Compiler::eat(uint32_t c) {
  if (!see(c)) return false;
  ++next_;
  return true;
}

bool Compiler::eat_two(uint32_t a, uint32_t b) {
  if (!see_two(a, b)) return false;
  next_ += 2;
  return true;
}

void Compiler::set_error(Code code) {
  if (error_ == PL_OK) error_ = code;
  next_ = end_;
}

bool Compiler::require(bool condition, Code code) {
  if (!condition) set_error(code);
  return condition;
}

bool Compiler::start_strip(size_t capacity) { return grow_strip(std::min(capacity, kStripLimit)); }

// Room for `needed` instructions: the strip grows by half (up to the limit) so that
// emitting and copying stay linear.
size_t Compiler::grown_capacity(size_t needed) const {
  return std::max(needed, std::min((capacity_ + 1) / 2 * 3, kStripLimit));
}

// Moves the strip into a block of `capacity` instructions.
bool Compiler::grow_strip(size_t capacity) {
  if (capacity > kStripLimit) {
    set_error(PL_ERR_NO_MEMORY);
    return false;
  }
  if (!move_to_larger(&program_->strip, length_, capacity)) {
    set_error(PL_ERR_NO_MEMORY);
    return false;
  }
  capacity_ = capacity;
  return true;
}

bool Compiler::shrink_strip() {
  if (length_ == capacity_) return true;
  return grow_strip(length_);
}

void Compiler::emit(Op op, uint32_t operand) {
  if (error_ != PL_OK) return;
  if (length_ >= capacity_ && !grow_strip(grown_capacity(length_ + 1))) return;
  program_->strip[length_++] = instruction(op, operand);
}

void Compiler::insert(Op op, size_t pos) {
  if (error_ != PL_OK) return;
  emit(op, static_cast<uint32_t>(here() - pos + 1));
  if (error_ != PL_OK) return;
  Instruction s = program_->strip[length_ - 1];
  for (size_t i = 1; i < kBackrefLimit; ++i) {
    if (paren_begin[i] >= pos) ++paren_begin[i];
    if (paren_end[i] >= pos) ++paren_end[i];
  }
  std::memmove(program_->strip + pos + 1, program_->strip + pos,
               (length_ - pos - 1) * sizeof(Instruction));
  program_->strip[pos] = s;
}

void Compiler::ahead(size_t pos) {
  if (error_ != PL_OK) return;
  Instruction &s = program_->strip[pos];
  s = instruction(op_of(s), static_cast<uint32_t>(here() - pos));
}

size_t Compiler::duplicate(size_t start, size_t finish) {
  size_t at = here();
  size_t count = finish - start;
  if (error_ != PL_OK || count == 0) return at;
  if (length_ + count > capacity_ && !grow_strip(grown_capacity(length_ + count))) return at;
  std::memcpy(program_->strip + length_, program_->strip + start, count * sizeof(Instruction));
  length_ += count;
  return at;
}

// A dropped subexpression no longer exists for back references.
void Compiler::drop(size_t count) {
  length_ -= count;
  for (size_t i = 1; i < kBackrefLimit; ++i) {
    if (paren_end[i] >= length_) paren_begin[i] = paren_end[i] = 0;
  }
}

}  // namespace pl::regex
