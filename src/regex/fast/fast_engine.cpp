// The matcher's two whole-program passes answered from lazily built DFAs kept in the
// program's cache: one for the first pass (the start set joins at every position), one
// for the longest match from a fixed start.
#include "regex/fast/fast_cache.h"
#include "regex/match/passes.h"

namespace pl::regex {

namespace {

UnitKind kind_before(const FastCache &cache, const Subject &subject, size_t position) {
  if (position == 0) return subject.not_bol ? kOutsideText : kOutsideBol;
  return cache.classes.kind[cache.classes.class_of[subject.units[position - 1]]];
}

// The transitions a pass takes, built when missing. kNoMemory when memory ran out or
// when the cache is flushed again before it has paid for itself: the pass gives up.
class Transitions {
 public:
  explicit Transitions(LazyDfa &dfa) : dfa_(dfa), seen_(dfa.flushes), start_(seen_) {}

  uint32_t at(uint32_t row, uint32_t cls, size_t position) {
    uint32_t entry = dfa_.table[row + cls];
    if (entry != kUnbuilt) return entry;
    entry = dfa_.next(row, cls);
    return entry == kNoMemory || thrashing(position) ? kNoMemory : entry;
  }

 private:
  bool thrashing(size_t position) {
    if (dfa_.flushes == seen_) return false;
    const bool again = seen_ != start_ && position - last_ < 8 * static_cast<size_t>(dfa_.limit);
    seen_ = dfa_.flushes;
    last_ = position;
    return again;
  }

  LazyDfa &dfa_;
  uint64_t seen_;
  const uint64_t start_;
  size_t last_ = 0;
};

// Keeps skipping only while skips are long on average over the first searches. The
// average below which stepping every unit wins, by way of skipping (measured on English
// text): vector steps pay off sooner than a look-up a unit, pairs cost a little more.
void judge_skip(FastCache &cache, size_t length) {
  constexpr uint32_t kTries = 256;
  constexpr uint64_t kLongEnough[] = {16, 12, 20, 12};  // by FastCache::Skip
  const uint64_t long_enough = kLongEnough[cache.skip];
  if (cache.skip_tries == kTries) return;
  cache.skipped += length;
  if (++cache.skip_tries == kTries) cache.skips = cache.skipped >= long_enough * kTries;
}

// With only the start set alive at `p` (p > 0), the first position where it may take a
// unit.
size_t skip_start_set(const FastCache &cache, const PLUChar *units, size_t p, size_t length) {
  switch (cache.skip) {
    case FastCache::kMembers:
      return skip_to_member(units, p, length, cache.skip_set);
    case FastCache::kPairs:
      return skip_to_pair(units, p, length, cache.skip_set);
    case FastCache::kLineStarts: {
      if (units[p - 1] == '\n') return p;
      const size_t newline = skip_to_member(units, p, length, cache.skip_set);
      return newline == length ? length : newline + 1;
    }
    case FastCache::kScan:
      break;
  }
  const uint16_t *class_of = cache.classes.class_of;
  const uint8_t *leaves = cache.leaves_start;
  size_t q = p;
  while (q + 4 <= length && !(leaves[class_of[units[q]]] | leaves[class_of[units[q + 1]]] |
                              leaves[class_of[units[q + 2]]] | leaves[class_of[units[q + 3]]])) {
    q += 4;
  }
  while (q < length && !leaves[class_of[units[q]]]) ++q;
  return q;
}

}  // namespace

FastAnswer fast_first_end(Program &program, const Subject &subject, size_t from, size_t *end,
                          size_t *candidate) {
  FastCache *cache =
      from <= subject.length ? fast_cache_for(program, subject.length - from) : nullptr;
  if (cache == nullptr) return FastAnswer::kUnavailable;
  LazyDfa &dfa = cache->first;
  const uint16_t *class_of = cache->classes.class_of;
  const PLUChar *units = subject.units;
  const size_t length = subject.length;
  Transitions transitions(dfa);

  uint32_t row = dfa.start(kind_before(*cache, subject, from));
  if (row == kNoMemory) return FastAnswer::kUnavailable;
  size_t cold = from;  // the last position no thread of an earlier start reaches
  size_t p = from;
  for (;;) {
    const uint32_t *table = dfa.table;
    if (cache->skips) {
      while (p < length) {
        const uint32_t next = table[row + class_of[units[p]]];
        if (next & kEntryFlags) break;
        row = next;
        ++p;
      }
    } else {
      // Threads die out often here: note it without leaving the loop.
      while (p < length) {
        const uint32_t next = table[row + class_of[units[p]]];
        if (next & kMatchBefore) break;
        ++p;
        cold = next & kNoneMoved ? p : cold;
        row = next & kRowMask;
      }
    }
    if (p == length) {
      *candidate = cold;
      *end = p;
      return dfa.accepts_at_end(row) ? FastAnswer::kMatch : FastAnswer::kNoMatch;
    }
    const uint32_t entry = transitions.at(row, class_of[units[p]], p);
    if (entry == kNoMemory) return FastAnswer::kUnavailable;
    if (entry & kMatchBefore) {
      *candidate = cold;
      *end = p;
      return FastAnswer::kMatch;
    }
    row = entry & kRowMask;
    ++p;
    if ((entry & kNoneMoved) == 0) continue;
    cold = p;
    if (!cache->skips) continue;
    // Only the start set is left: skip the units that it cannot take.
    const size_t q = skip_start_set(*cache, units, p, length);
    judge_skip(*cache, q - p);
    if (q == p) continue;
    cold = q;
    // Skipped pairs: a thread begun at a member dies on the next unit, so the last cold
    // position is the last one after a unit that the start set does not take.
    while (cache->skip == FastCache::kPairs && cold > p) {
      const uint32_t from_row = dfa.start(kind_before(*cache, subject, cold - 1));
      const uint32_t taken = from_row == kNoMemory
                                 ? kNoMemory
                                 : transitions.at(from_row, class_of[units[cold - 1]], cold - 1);
      if (taken == kNoMemory) return FastAnswer::kUnavailable;
      if (taken & kNoneMoved) break;
      --cold;
    }
    row = dfa.start(kind_before(*cache, subject, q));
    if (row == kNoMemory) return FastAnswer::kUnavailable;
    p = q;
  }
}

FastAnswer fast_longest_end(Program &program, const Subject &subject, size_t start, size_t *end) {
  FastCache *cache =
      start <= subject.length ? fast_cache_for(program, subject.length - start) : nullptr;
  if (cache == nullptr) return FastAnswer::kUnavailable;
  LazyDfa &dfa = cache->longest;
  const uint16_t *class_of = cache->classes.class_of;
  const PLUChar *units = subject.units;
  const size_t length = subject.length;
  Transitions transitions(dfa);

  uint32_t row = dfa.start(kind_before(*cache, subject, start));
  if (row == kNoMemory) return FastAnswer::kUnavailable;
  bool found = false;
  size_t p = start;
  for (;;) {
    const uint32_t *table = dfa.table;
    while (p < length) {
      const uint32_t next = table[row + class_of[units[p]]];
      if (next & kEntryFlags) break;
      row = next;
      ++p;
    }
    if (p == length) {
      if (dfa.accepts_at_end(row)) {
        found = true;
        *end = p;
      }
      break;
    }
    const uint32_t entry = transitions.at(row, class_of[units[p]], p);
    if (entry == kNoMemory) return FastAnswer::kUnavailable;
    if (entry & kMatchBefore) {
      found = true;
      *end = p;
    }
    row = entry & kRowMask;
    ++p;
    if (entry & kNoneMoved) break;  // nothing left that could match
  }
  return found ? FastAnswer::kMatch : FastAnswer::kNoMatch;
}

}  // namespace pl::regex
