// Type words of characters: from a code set's tables for its characters, from the
// library's Unicode table for UTF-16 units; and the fields a type query reads.
#pragma once

#include <cstdint>

#include "charset/navigation/text_rules.h"
#include "polyloc.h"

namespace pl {

// The type word of the character at `s` (NUL-terminated). Under the shift rule a shift
// run in front is skipped and its state decides: the byte table in the single-byte
// state, the type trie in the shifted one; otherwise the byte table serves characters
// of one byte and the type trie longer ones.
uint32_t char_type(const TextRules &rules, const char *s, PLState state);

// The type word of a packed character: the byte table up to 0xFF, else the type trie.
uint32_t packed_type(const ControlEntry &entry, PLWChar c);

// The queries of the type functions.
inline constexpr uint32_t kQueryClasses = 0x80000010;
inline constexpr uint32_t kQueryCategory = 0x80000011;
inline constexpr uint32_t kQueryThird = 0x80000012;

// The field of `word` that `query` asks for. An unknown query gives the class bits and
// false.
bool type_field(uint32_t word, int32_t query, uint32_t *field);

}  // namespace pl
