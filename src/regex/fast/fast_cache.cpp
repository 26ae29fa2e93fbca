#include "regex/fast/fast_cache.h"

#include "frame/memory.h"

namespace pl::regex {

namespace {

// Units searched by the reference after which the cache pays for its set-up (about the
// time the reference takes over that many units).
constexpr uint64_t kWorthBuilding = 4096;

// Returns the DFAs and tables; the block itself stays for the next try.
void release_parts(FastCache &cache) {
  cache.first.release();
  cache.longest.release();
  cache.classes.release();
  release(cache.leaves_start);
  const uint64_t deferred = cache.deferred;
  cache = FastCache{};
  cache.deferred = deferred;
}

void release_cache(void *block) {
  release_parts(*static_cast<FastCache *>(block));
  release(block);
}

bool has_elements(const Program &program) {
  for (uint32_t s = 0; s < program.set_count; ++s) {
    if (program.sets[s].elements != nullptr && program.sets[s].elements[0] != 0) return true;
  }
  return false;
}

// The kinds of unit that may come before a position the first pass skips to: the first
// kinds_before(program) of these.
constexpr UnitKind kKindsBefore[] = {kOtherUnit, kWordUnit, kNewlineUnit};
int kinds_before(const Program &program) {
  return (program.compile_flags & PL_REG_NEWLINE) != 0 ? 3 : 2;
}

// Finds the classes the start set takes after any kind of unit that may precede them;
// *after_others tells whether it takes any after a unit that is not a newline.
bool mark_leaving_classes(FastCache &cache, const Program &program, bool *after_others) {
  *after_others = false;
  for (uint32_t cls = 0; cls < cache.classes.count; ++cls) {
    for (int k = 0; k < kinds_before(program); ++k) {
      const UnitKind previous = kKindsBefore[k];
      const uint32_t from = cache.first.start(previous);
      if (from == kNoMemory) return false;
      const uint32_t entry = cache.first.next(from, cls);
      if (entry == kNoMemory) return false;
      if ((entry & kEntryFlags) == kNoneMoved) continue;
      cache.leaves_start[cls] = 1;
      if (previous != kNewlineUnit) *after_others = true;
    }
  }
  return true;
}

// The units of the classes the start set takes, when there are one to four of them.
bool few_taken(const FastCache &cache, SkipSet *set) {
  uint32_t count = 0;
  for (uint32_t unit = 0; unit < 65536; ++unit) {
    if (!cache.leaves_start[cache.classes.class_of[unit]]) continue;
    if (count == 4) return false;
    set->members[count++] = static_cast<uint16_t>(unit);
  }
  for (uint32_t i = count; i < 4 && count > 0; ++i) set->members[i] = set->members[count - 1];
  return count > 0;
}

// The pairs of units a match may begin with, when a thread begun at any member needs a
// second unit and there are one to four such pairs.
bool few_pairs(FastCache &cache, const Program &program, SkipSet *set) {
  LazyDfa &dfa = cache.longest;
  const uint16_t *class_of = cache.classes.class_of;
  // Per class: bit i when a thread begun at member i takes a unit of it.
  uint8_t *follows = create_array<uint8_t>(cache.classes.count);
  if (follows == nullptr) return false;
  const uint64_t flushes = dfa.flushes;  // rows in hand stay valid only without a flush
  bool ok = true;
  for (uint32_t i = 0; i < 4 && ok; ++i) {
    if (i > 0 && set->members[i] == set->members[i - 1]) continue;
    for (int k = 0; k < kinds_before(program) && ok; ++k) {
      const uint32_t from = dfa.start(kKindsBefore[k]);
      const uint32_t first =
          from == kNoMemory ? kNoMemory : dfa.next(from, class_of[set->members[i]]);
      ok = first != kNoMemory && (first & kMatchBefore) == 0;
      if (!ok || (first & kNoneMoved) != 0) continue;
      for (uint32_t cls = 0; cls < cache.classes.count && ok; ++cls) {
        const uint32_t second = dfa.next(first & kRowMask, cls);
        ok = second != kNoMemory && (second & kMatchBefore) == 0 && dfa.flushes == flushes;
        if ((second & kNoneMoved) == 0) follows[cls] |= static_cast<uint8_t>(1u << i);
      }
    }
  }
  uint32_t count = 0;
  for (uint32_t unit = 0; unit < 65536 && ok; ++unit) {
    for (uint32_t bits = follows[class_of[unit]]; bits != 0 && ok; bits &= bits - 1) {
      ok = count < 4;
      if (!ok) break;
      set->firsts[count] = set->members[__builtin_ctz(bits)];
      set->seconds[count++] = static_cast<uint16_t>(unit);
    }
  }
  release(follows);
  for (uint32_t i = count; i < 4 && count > 0; ++i) {
    set->firsts[i] = set->firsts[count - 1];
    set->seconds[i] = set->seconds[count - 1];
  }
  return ok && count > 0;
}

void choose_skip(FastCache &cache, const Program &program, bool after_others) {
  cache.skips = true;
  if ((program.compile_flags & PL_REG_NEWLINE) != 0 && !after_others) {
    cache.skip = FastCache::kLineStarts;
    for (uint16_t &member : cache.skip_set.members) member = '\n';
    return;
  }
  if (few_taken(cache, &cache.skip_set)) {
    cache.skip =
        few_pairs(cache, program, &cache.skip_set) ? FastCache::kPairs : FastCache::kMembers;
    return;
  }
  // A look-up a unit pays only when few units stop it (judged on Latin-1).
  cache.skip = FastCache::kScan;
  uint32_t leaving = 0;
  for (uint32_t unit = 0; unit < 256; ++unit)
    leaving += cache.leaves_start[cache.classes.class_of[unit]];
  cache.skips = leaving <= 8;
}

bool build(FastCache &cache, const Program &program) {
  cache.stepper.init(program);
  bool after_others = false;
  if (cache.classes.build(program) &&
      (cache.leaves_start = create_array<uint8_t>(cache.classes.count)) != nullptr &&
      cache.first.init(cache.stepper, cache.classes, true) &&
      cache.longest.init(cache.stepper, cache.classes, false) &&
      mark_leaving_classes(cache, program, &after_others)) {
    choose_skip(cache, program, after_others);
    cache.ready = true;
    return true;
  }
  release_parts(cache);
  return false;
}

// The cache block of `program`, allocated on first use.
FastCache *block_of(Program &program) {
  if (program.cache == nullptr) {
    program.cache = create<FastCache>();
    if (program.cache == nullptr) return nullptr;
    program.release_cache = release_cache;
  }
  return static_cast<FastCache *>(program.cache);
}

}  // namespace

FastCache *fast_cache_for(Program &program, size_t units) {
  if (program.cache != nullptr && static_cast<FastCache *>(program.cache)->ready) {
    return static_cast<FastCache *>(program.cache);
  }
  FastCache *cache = has_elements(program) ? nullptr : block_of(program);
  if (cache == nullptr) return nullptr;
  cache->deferred += units;
  return cache->deferred >= kWorthBuilding && build(*cache, program) ? cache : nullptr;
}

FastCache *fast_cache_of(Program &program) { return fast_cache_for(program, kWorthBuilding); }

}  // namespace pl::regex
