// Bracket sets: eight share each 65536-byte column of membership bits; a finished set
// identical to an earlier one is dropped in favour of it.
#include <bit>
#include <cstring>

#include "frame/memory.h"
#include "regex/compile/compiler.h"

namespace pl::regex {
namespace {

// The bits are read eight units at a time: a set's bit of each of eight bytes, brought
// down to the low bit of each byte.
constexpr uint64_t kLowBits = 0x0101010101010101;

uint64_t load(const uint8_t *bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

void store(uint8_t *bytes, uint64_t word) { std::memcpy(bytes, &word, sizeof word); }

uint64_t members_at(const BracketSet &s, size_t unit) {
  return load(s.bits + unit) >> std::countr_zero(s.mask) & kLowBits;
}

}  // namespace

// Room for a new column and its eight sets.
bool Compiler::grow_sets() {
  size_t count = program_->set_count;
  size_t columns = count / kSetsPerColumn;
  if (set_capacity_ < count + kSetsPerColumn) {
    if (!move_to_larger(&program_->sets, count, count + kSetsPerColumn)) return false;
    set_capacity_ = count + kSetsPerColumn;
  }
  if (column_capacity_ < columns + 1) {
    if (!move_to_larger(&program_->set_columns, columns, columns * 2 + 1)) return false;
    column_capacity_ = columns * 2 + 1;
  }
  return true;
}

int32_t Compiler::new_set() {
  if (error_ != PL_OK) return -1;
  uint32_t index = program_->set_count;
  if (index % kSetsPerColumn == 0) {
    uint8_t *bits = nullptr;
    if (grow_sets()) bits = create_array<uint8_t>(kColumnBytes);
    if (bits == nullptr) {
      set_error(PL_ERR_NO_MEMORY);
      return -1;
    }
    program_->set_columns[index / kSetsPerColumn] = bits;
  }
  program_->sets[index] = {program_->set_columns[index / kSetsPerColumn],
                           static_cast<uint8_t>(1u << (index % kSetsPerColumn)), 0, nullptr};
  program_->set_count = index + 1;
  element_units_ = 0;
  return static_cast<int32_t>(index);
}

bool Compiler::add_element(const CollatingElement &element) {
  for (size_t i = 0; i < element_units_; i += 3) {
    if (elements_[i] == element.units[0] && elements_[i + 1] == element.units[1]) return true;
  }
  if (element_units_ + 3 > element_capacity_) {
    size_t capacity = element_capacity_ * 2 + 3;
    if (!move_to_larger(&elements_, element_units_, capacity)) {
      set_error(PL_ERR_NO_MEMORY);
      return false;
    }
    element_capacity_ = capacity;
  }
  elements_[element_units_++] = element.units[0];
  elements_[element_units_++] = element.units[1];
  elements_[element_units_++] = 0;
  return true;
}

// Clears the last set's bits and forgets it, with its column when it was the first there.
void Compiler::discard_set(uint32_t index) {
  BracketSet &s = set(index);
  uint64_t keep = ~(kLowBits * s.mask);
  for (size_t u = 0; u < kColumnBytes; u += 8) store(s.bits + u, load(s.bits + u) & keep);
  program_->set_count = index;
  if (index % kSetsPerColumn == 0) {
    release(program_->set_columns[index / kSetsPerColumn]);
    program_->set_columns[index / kSetsPerColumn] = nullptr;
  }
}

void Compiler::invert_set(uint32_t index) {
  BracketSet &s = set(index);
  uint64_t flip = kLowBits * s.mask;
  for (size_t u = 0; u < kColumnBytes; u += 8) store(s.bits + u, load(s.bits + u) ^ flip);
}

// From the top down, so that an other case added below a member is visited in turn.
void Compiler::add_other_cases(uint32_t index) {
  BracketSet &s = set(index);
  for (size_t end = kColumnBytes; end > 0; end -= 8) {
    if (members_at(s, end - 8) == 0) continue;
    for (size_t u = end; u-- > end - 8;) {
      if ((s.bits[u] & s.mask) != 0) add_to_set(index, other_case(static_cast<PLUChar>(u)));
    }
  }
}

// Set `a`, finished, against set `b` and the elements gathered for it.
bool Compiler::same_set(uint32_t a, uint32_t b) const {
  const BracketSet &x = set(a);
  const BracketSet &y = set(b);
  for (size_t u = 0; u < kColumnBytes; u += 8) {
    if (members_at(x, u) != members_at(y, u)) return false;
  }
  if (x.elements == nullptr) return element_units_ == 0;
  return element_units_ != 0 && x.elements[element_units_] == 0 &&
         std::memcmp(x.elements, elements_, element_units_ * sizeof(PLUChar)) == 0;
}

void Compiler::emit_set(uint32_t index) {
  if (error_ != PL_OK) return;
  BracketSet &s = set(index);
  uint32_t members = 0;
  uint32_t hash = 0;
  PLUChar first = 0;
  for (size_t u = 0; u < kColumnBytes; u += 8) {
    for (uint64_t m = members_at(s, u); m != 0; m &= m - 1) {
      uint32_t unit = static_cast<uint32_t>(u) + std::countr_zero(m) / 8;
      if (members++ == 0) first = static_cast<PLUChar>(unit);
      hash += unit;
    }
  }
  s.hash = hash;
  if (members == 1 && element_units_ == 0) {
    discard_set(index);
    ordinary(*this, first);
    return;
  }
  for (uint32_t earlier = 0; earlier < index; ++earlier) {
    if (set(earlier).hash == hash && same_set(earlier, index)) {
      discard_set(index);
      emit(kAnyOf, earlier);
      return;
    }
  }
  if (element_units_ != 0) {
    s.elements = create_array<PLUChar>(element_units_ + 1);
    if (s.elements == nullptr) {
      set_error(PL_ERR_NO_MEMORY);
      return;
    }
    std::memcpy(s.elements, elements_, element_units_ * sizeof(PLUChar));
  }
  emit(kAnyOf, index);
}

}  // namespace pl::regex
