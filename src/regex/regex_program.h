// The compiled form of a regular expression: a strip of 32-bit instructions over UTF-16
// code units, the bracket sets it refers to, and what each search leaves behind. The
// compiler writes it, the matcher reads it, PLRegfree releases it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "polyloc.h"

namespace pl::regex {

inline constexpr uint32_t kRegexMagic = 62053;
inline constexpr uint32_t kProgramMagic = 53829;

// Instruction: operation in the top 5 bits, operand in the low 27.
using Instruction = uint32_t;
inline constexpr unsigned kOpShift = 27;
inline constexpr uint32_t kOperandMask = 0x07FFFFFF;

enum Op : uint32_t {
  kEnd = 1,           // end of program
  kChar = 2,          // literal code unit (operand)
  kBol = 3,           // ^
  kEol = 4,           // $
  kAny = 5,           // .
  kAnyOf = 6,         // a unit of bracket set (operand: set index)
  kOpenBackref = 7,   // back reference to subexpression (operand)
  kCloseBackref = 8,
  kOpenPlus = 9,      // + loop (operand: distance to the partner)
  kClosePlus = 10,
  kOpenQuest = 11,    // optional part (operand: distance to the partner)
  kCloseQuest = 12,
  kOpenParen = 13,    // subexpression (operand: its number)
  kCloseParen = 14,
  kOpenAlt = 15,      // alternation (operand: distance to the first branch point)
  kAltBranch = 16,    // branch point (operand: distance to the next)
  kLastBranch = 17,
  kCloseAlt = 18,     // end of the alternation (operand: distance back)
  kBow = 19,          // beginning of word
  kEow = 20,          // end of word
};

constexpr Instruction instruction(Op op, uint32_t operand) {
  return static_cast<uint32_t>(op) << kOpShift | (operand & kOperandMask);
}
constexpr Op op_of(Instruction s) { return static_cast<Op>(s >> kOpShift); }
constexpr uint32_t operand_of(Instruction s) { return s & kOperandMask; }

// Units and pseudo-characters of the matcher: 0xFFFF stands for a position outside
// the string; the pseudo-characters lie above every code unit.
inline constexpr uint32_t kOutside = 0xFFFF;
inline constexpr uint32_t kBolChar = 0x10000;
inline constexpr uint32_t kEolChar = 0x10001;
inline constexpr uint32_t kBothChar = 0x10002;
inline constexpr uint32_t kNothingChar = 0x10003;
inline constexpr uint32_t kBowChar = 0x10004;
inline constexpr uint32_t kEowChar = 0x10005;

// A bracket set: its bit (mask) in each byte of a 65536-byte column shared by eight
// sets, the sum of its member units (to find identical sets), and its two-unit
// collating elements as consecutive NUL-terminated strings closed by an empty one
// (null when it has none).
struct BracketSet {
  uint8_t *bits;
  uint8_t mask;
  uint32_t hash;
  PLUChar *elements;

  bool contains(PLUChar unit) const { return (bits[unit] & mask) != 0; }
};

inline constexpr uint32_t kSetsPerColumn = 8;
inline constexpr size_t kColumnBytes = 65536;

// Compile flags beside the public ones: ranges were built in the locale's code order.
inline constexpr int32_t kCodeOrderRanges = 0x1;

// Internal flags.
inline constexpr uint32_t kUsesBol = 0x1;
inline constexpr uint32_t kUsesEol = 0x2;
inline constexpr uint32_t kInconsistent = 0x4;

struct Program {
  uint32_t magic;
  Instruction *strip;
  uint32_t csetsize;          // 65536
  uint32_t set_count;
  BracketSet *sets;
  uint8_t **set_columns;      // (set_count + 7) / 8 columns of kColumnBytes
  int32_t compile_flags;
  uint32_t nstates;
  uint32_t first_state;
  uint32_t last_state;
  uint32_t internal_flags;
  uint32_t nbol;
  uint32_t neol;
  const void *match_base;     // the caller's string of the last successful search
  PLState match_state;        // its initial shift state (Ex form)
  PLUChar *must;              // literal every match contains, or null
  uint32_t must_length;
  uint32_t nsub;
  int32_t backrefs;
  uint32_t nplus;
  int32_t *ranges;            // nsub + 1 (start, end) pairs in the caller's units, or null

  // The matcher's private state kept between searches (built on first use, owned),
  // released through `release_cache` when set.
  void *cache;
  void (*release_cache)(void *cache);
};

// The program of a compiled expression whose magics are both valid, or null.
inline Program *program_of(const PLRegex *re) {
  if (re == nullptr || re->magic != kRegexMagic) return nullptr;
  auto *program = static_cast<Program *>(re->program);
  return program != nullptr && program->magic == kProgramMagic ? program : nullptr;
}

}  // namespace pl::regex
