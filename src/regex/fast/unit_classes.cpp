#include "regex/fast/unit_classes.h"

#include <algorithm>
#include <cstring>

#include "charset/unicode/unicode_types.h"
#include "frame/memory.h"

namespace pl::regex {

namespace {

constexpr uint32_t kUnits = 65536;
constexpr uint32_t kFirstSlots = 256;

void mark(uint64_t *bits, uint32_t unit) {
  if (unit < kUnits) bits[unit / 64] |= uint64_t{1} << (unit % 64);
}
bool marked(const uint64_t *bits, uint32_t unit) {
  return ((bits[unit / 64] >> (unit % 64)) & 1) != 0;
}

// How the program sees a unit, apart from its literals: its kind and its byte in each
// column of bracket sets.
class UnitView {
 public:
  explicit UnitView(const Program &program)
      : program_(program),
        newline_breaks_((program.compile_flags & PL_REG_NEWLINE) != 0),
        columns_((program.set_count + kSetsPerColumn - 1) / kSetsPerColumn) {
    // Bits of the last column that no set uses are left out.
    for (uint32_t s = (columns_ == 0 ? 0 : columns_ - 1) * kSetsPerColumn; s < program.set_count;
         ++s) {
      last_mask_ |= program.sets[s].mask;
    }
  }

  UnitKind kind(uint32_t unit) const {
    if (unit == '_' || unicode_is(UnicodeClass::alnum, static_cast<uint16_t>(unit)))
      return kWordUnit;
    return unit == '\n' && newline_breaks_ ? kNewlineUnit : kOtherUnit;
  }

  bool same(uint32_t a, uint32_t b) const {
    if (kind(a) != kind(b)) return false;
    for (uint32_t k = 0; k < columns_; ++k) {
      if (((program_.set_columns[k][a] ^ program_.set_columns[k][b]) & mask(k)) != 0) return false;
    }
    return true;
  }

  uint32_t hash(uint32_t unit) const {
    uint32_t h = kind(unit) * 0x9E3779B1u;
    for (uint32_t k = 0; k < columns_; ++k)
      h = (h ^ (program_.set_columns[k][unit] & mask(k))) * 0x01000193u;
    return h ^ (h >> 15);
  }

 private:
  uint8_t mask(uint32_t k) const { return k + 1 == columns_ ? last_mask_ : 0xFF; }

  const Program &program_;
  bool newline_breaks_;
  uint32_t columns_;
  uint8_t last_mask_ = 0;
};

// The classes found so far, looked up by the view of their first unit.
class ClassTable {
 public:
  ClassTable(const UnitView &view, const uint64_t *literal) : view_(view), literal_(literal) {}
  ~ClassTable() {
    release(slots_);
    release(first_);
  }
  ClassTable(const ClassTable &) = delete;
  ClassTable &operator=(const ClassTable &) = delete;

  bool init() {
    first_ = static_cast<uint16_t *>(allocate(kUnits * sizeof(uint16_t)));
    return first_ != nullptr && resize(kFirstSlots);
  }

  // The class of `unit` (a new one when none fits); -1 when memory ran out.
  int32_t find(uint32_t unit, bool alone) {
    if (!alone) {
      for (uint32_t slot = view_.hash(unit) & (capacity_ - 1); slots_[slot] != 0;
           slot = (slot + 1) & (capacity_ - 1)) {
        if (view_.same(first_[slots_[slot] - 1], unit))
          return static_cast<int32_t>(slots_[slot] - 1);
      }
    }
    first_[count_++] = static_cast<uint16_t>(unit);
    if (alone) return static_cast<int32_t>(count_ - 1);
    if (2 * count_ <= capacity_) {
      place(count_ - 1);
    } else if (!resize(2 * capacity_)) {
      return -1;
    }
    return static_cast<int32_t>(count_ - 1);
  }

  uint32_t count() const { return count_; }
  uint16_t first(uint32_t cls) const { return first_[cls]; }

 private:
  bool resize(uint32_t capacity) {
    auto *slots = create_array<uint32_t>(capacity);
    if (slots == nullptr) return false;
    release(slots_);
    slots_ = slots;
    capacity_ = capacity;
    // Classes of literals stay out of the table: no other unit belongs to them.
    for (uint32_t c = 0; c < count_; ++c) {
      if (!marked(literal_, first_[c])) place(c);
    }
    return true;
  }

  void place(uint32_t cls) {
    uint32_t slot = view_.hash(first_[cls]) & (capacity_ - 1);
    while (slots_[slot] != 0) slot = (slot + 1) & (capacity_ - 1);
    slots_[slot] = cls + 1;
  }

  const UnitView &view_;
  const uint64_t *literal_;
  uint16_t *first_ = nullptr;  // per class: its lowest unit
  uint32_t *slots_ = nullptr;
  uint32_t capacity_ = 0;
  uint32_t count_ = 0;
};

// Marks in `change` every unit that may look different from the one before it: where
// word-ness changes, around newline and each literal, and where a column's byte changes.
void mark_changes(const Program &program, const uint64_t *literal, uint64_t *change) {
  const uint32_t *alnum = kUnicodeClassBitmaps.words[static_cast<int>(UnicodeClass::alnum)];
  uint64_t carry = 0;
  for (uint32_t i = 0; i < kUnits / 64; ++i) {
    uint64_t word = alnum[2 * i] | uint64_t{alnum[2 * i + 1]} << 32;
    if (i == '_' / 64) word |= uint64_t{1} << ('_' % 64);
    change[i] = word ^ (word << 1 | carry);
    carry = word >> 63;
    // A literal and the unit after it start new runs.
    change[i] |= literal[i] | literal[i] << 1 | (i > 0 ? literal[i - 1] >> 63 : 0);
  }
  mark(change, '\n');
  mark(change, '\n' + 1);
  mark(change, 0);
  const uint32_t columns = (program.set_count + kSetsPerColumn - 1) / kSetsPerColumn;
  for (uint32_t k = 0; k < columns; ++k) {
    const uint8_t *column = program.set_columns[k];
    uint32_t u = 1;
    for (; u + 8 <= kUnits; u += 8) {
      uint64_t here, before;
      std::memcpy(&here, column + u, 8);
      std::memcpy(&before, column + u - 1, 8);
      for (uint64_t diff = here ^ before; diff != 0; diff &= diff - 1) {
        mark(change, u + static_cast<uint32_t>(__builtin_ctzll(diff)) / 8);
      }
    }
    for (; u < kUnits; ++u) {
      if (column[u] != column[u - 1]) mark(change, u);
    }
  }
}

}  // namespace

bool UnitClasses::build(const Program &program) {
  *this = UnitClasses{};
  uint64_t literal[kUnits / 64] = {};
  for (uint32_t pc = program.first_state; pc <= program.last_state; ++pc) {
    const Instruction s = program.strip[pc];
    if (op_of(s) == kChar) mark(literal, operand_of(s));
  }
  uint64_t change[kUnits / 64];
  mark_changes(program, literal, change);

  const UnitView view(program);
  ClassTable table(view, literal);
  class_of = static_cast<uint16_t *>(allocate(kUnits * sizeof(uint16_t)));
  if (class_of == nullptr || !table.init()) {
    release();
    return false;
  }
  // Runs between changes share the class of their first unit.
  uint16_t cls = 0;
  for (uint32_t u = 0; u < kUnits; ++u) {
    if (change[u / 64] == 0) {
      std::fill_n(class_of + u, 64, cls);
      u += 63;
      continue;
    }
    if (marked(change, u)) {
      const int32_t found = table.find(u, marked(literal, u));
      if (found < 0) {
        release();
        return false;
      }
      cls = static_cast<uint16_t>(found);
    }
    class_of[u] = cls;
  }

  count = table.count();
  representative = create_array<uint16_t>(count);
  kind = create_array<UnitKind>(count);
  if (representative == nullptr || kind == nullptr) {
    release();
    return false;
  }
  for (uint32_t c = 0; c < count; ++c) {
    representative[c] = table.first(c);
    kind[c] = view.kind(table.first(c));
  }
  return true;
}

void UnitClasses::release() {
  pl::release(class_of);
  pl::release(representative);
  pl::release(kind);
  *this = UnitClasses{};
}

}  // namespace pl::regex
