#include "regex/fast/lazy_dfa.h"

#include <cstring>
#include <initializer_list>

#include "frame/memory.h"

namespace pl::regex {

namespace {

// Bytes a DFA may hold in states, sets and transitions before it is flushed.
constexpr size_t kCacheBudget = size_t{1} << 20;
constexpr uint32_t kFirstCapacity = 16;

void release_all(std::initializer_list<void *> blocks) {
  for (void *block : blocks) pl::release(block);
}

uint32_t hash_of(const StateWord *set, uint32_t words, UnitKind previous) {
  uint64_t h = 0x9E3779B97F4A7C15u ^ previous;
  for (uint32_t i = 0; i < words; ++i) h = (h ^ set[i]) * 0xFF51AFD7ED558CCDu;
  return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

bool LazyDfa::init(const StateStepper &s, const UnitClasses &c, bool restart) {
  *this = LazyDfa{};
  stepper = &s;
  classes = &c;
  restarts = restart;
  const size_t per_state = sizeof(State) + s.words * sizeof(StateWord) +
                           c.count * sizeof(uint32_t) + 2 * sizeof(uint32_t);
  // Capacities stay powers of two, as the hash of states needs.
  limit = kFirstCapacity;
  while (2 * static_cast<size_t>(limit) * per_state <= kCacheBudget) limit *= 2;
  work = create_array<StateWord>(3 * static_cast<size_t>(s.words));
  if (work == nullptr || !grow()) return false;
  s.start_set(work);
  flush();
  flushes = 0;
  return true;
}

void LazyDfa::release() { release_all({states, sets, table, slots, work}); }

uint32_t LazyDfa::start(UnitKind previous) {
  if (starts[previous] == kUnbuilt) {
    const uint32_t entry = intern(work, previous);
    if (entry == kNoMemory) return entry;
    starts[previous] = entry;
  }
  return starts[previous];
}

uint32_t LazyDfa::next(uint32_t row, uint32_t cls) {
  const uint32_t words = stepper->words;
  const uint32_t index = row / classes->count;
  StateWord *set = work + words;
  StateWord *before = work + 2 * words;
  std::memcpy(before, set_of(index), words * sizeof(StateWord));
  stepper->between(before, states[index].previous, classes->kind[cls]);
  const bool match = stepper->accepts(before);
  std::memset(set, 0, words * sizeof(StateWord));
  stepper->step(before, classes->representative[cls], set);
  bool moved = false;
  for (uint32_t i = 0; i < words; ++i) {
    moved = moved || set[i] != 0;
    if (restarts) set[i] |= work[i];
  }

  const uint64_t flushed = flushes;
  uint32_t entry = intern(set, classes->kind[cls]);
  if (entry == kNoMemory) return entry;
  if (match) entry |= kMatchBefore;
  if (!moved) entry |= kNoneMoved;
  // After a flush the row of `index` belongs to another state.
  if (flushed == flushes) table[row + cls] = entry;
  return entry;
}

bool LazyDfa::accepts_at_end(uint32_t row) {
  State &state = states[row / classes->count];
  if (state.at_end < 0) {
    StateWord *set = work + stepper->words;
    std::memcpy(set, set_of(row / classes->count), stepper->words * sizeof(StateWord));
    stepper->between(set, state.previous, kOutsideText);
    state.at_end = stepper->accepts(set) ? 1 : 0;
  }
  return state.at_end != 0;
}

uint32_t LazyDfa::intern(const StateWord *set, UnitKind previous) {
  const uint32_t words = stepper->words;
  const size_t bytes = words * sizeof(StateWord);
  const uint32_t hash = hash_of(set, words, previous);
  for (uint32_t slot = hash & slot_mask(); slots[slot] != 0; slot = (slot + 1) & slot_mask()) {
    const uint32_t index = slots[slot] - 1;
    if (states[index].hash == hash && states[index].previous == previous &&
        std::memcmp(set_of(index), set, bytes) == 0) {
      return index * classes->count;
    }
  }
  if (count == capacity && !(capacity < limit ? grow() : (flush(), true))) return kNoMemory;

  const uint32_t index = count++;
  std::memcpy(set_of(index), set, bytes);
  states[index] = State{hash, previous, -1};
  uint32_t *row = table + static_cast<size_t>(index) * classes->count;
  for (uint32_t c = 0; c < classes->count; ++c) row[c] = kUnbuilt;
  index_state(index);
  return index * classes->count;
}

void LazyDfa::index_state(uint32_t index) {
  uint32_t slot = states[index].hash & slot_mask();
  while (slots[slot] != 0) slot = (slot + 1) & slot_mask();
  slots[slot] = index + 1;
}

bool LazyDfa::grow() {
  const uint32_t bigger = capacity == 0 ? kFirstCapacity : 2 * capacity;
  const uint32_t words = stepper->words;
  const uint32_t stride = classes->count;
  auto *new_states = create_array<State>(bigger);
  auto *new_sets = create_array<StateWord>(static_cast<size_t>(bigger) * words);
  auto *new_table = create_array<uint32_t>(static_cast<size_t>(bigger) * stride);
  auto *new_slots = create_array<uint32_t>(2 * static_cast<size_t>(bigger));
  if (new_states == nullptr || new_sets == nullptr || new_table == nullptr ||
      new_slots == nullptr) {
    release_all({new_states, new_sets, new_table, new_slots});
    return false;
  }
  if (count > 0) {
    std::memcpy(new_states, states, count * sizeof(State));
    std::memcpy(new_sets, sets, static_cast<size_t>(count) * words * sizeof(StateWord));
    std::memcpy(new_table, table, static_cast<size_t>(count) * stride * sizeof(uint32_t));
  }
  release_all({states, sets, table, slots});
  states = new_states;
  sets = new_sets;
  table = new_table;
  slots = new_slots;
  capacity = bigger;
  for (uint32_t i = 0; i < count; ++i) index_state(i);
  return true;
}

void LazyDfa::flush() {
  count = 0;
  std::memset(slots, 0, 2 * static_cast<size_t>(capacity) * sizeof(uint32_t));
  for (uint32_t &entry : starts) entry = kUnbuilt;
  ++flushes;
}

}  // namespace pl::regex
